#pragma once

#include <QObject>

class ObjectDataBase;

// Corrections applied to a project right after it has been opened, bringing files of
// older versions up to the current form. A project already in the current form is left
// unchanged.
class ProjectConverter : public QObject
{
    Q_OBJECT

public:
    explicit ProjectConverter(ObjectDataBase *database, QObject *parent = nullptr);

    // Logs who created and last saved the project and how many lines it has; changes
    // nothing.
    void doGenericCorrection();
    // Security devices of the EnergyBus composition: older versions stored their kind as
    // a flag ("1" extension, "0" device) or in lower case, or not at all (a device), and
    // left the key behind when a device was removed. Rewrites every security device's
    // "sec_<n>_kind" to "Extension" or "Device" and removes the keys of positions that
    // hold no security device. Returns whether anything was changed.
    bool doEnergyBusCorrection();
    // J1939 projects of older versions: repairs mapping counts that disagree with the
    // stored SPNs, then folds parameter groups stored with their EDP/DP bits into the
    // number.
    void do1939Correction();
    // Multi-protocol projects: the transmit address-claim group 0xEE00 is produced by the
    // stack itself, so a stored one is removed from every line. Returns the number of
    // lines it was removed from.
    int doMPCorrection();

private:
    ObjectDataBase *m_database;
};
