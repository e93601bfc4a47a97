#pragma once

#include "basemainform.h"

namespace Ui {
class DeviceDescriptionForm;
}

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;

// The device description page of a CANopen line: the file and device information written
// into its EDS and XDD files (the line's description settings) and the identity of object
// 0x1018 (vendor-ID, product code, revision number). Every accepted input is stored at
// once; a value that does not fit is refused with a message and the field shows the stored
// value again.
class DeviceDescriptionForm : public BaseMainForm
{
    Q_OBJECT

public:
    explicit DeviceDescriptionForm(QWidget *parent = nullptr);
    ~DeviceDescriptionForm() override;

    void setProjectDatabase(ObjectDataBase *database) override;
    QLineEdit *textField(const QString &key) const;
    QCheckBox *flagField(const QString &key) const;
    QPlainTextEdit *commentField() const;
    // The identity fields: sub-indices 1 to 3 of object 0x1018.
    QLineEdit *identityField(quint8 sub) const;

public slots:
    void updateData(ObjectDataBase::ChangeSet change) override;
    void saveData() override;
    void handleExpertMode(bool) override {}
    void lineHandle(quint8 newLine) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void loadAll();
    void storeSetting(const QString &key, const QString &typed);
    void storeIdentity(quint8 sub);
    // Every edit on the page is undone as one step of this name.
    static QString stepName();
    QString setting(const QString &key);

    Ui::DeviceDescriptionForm *ui;
    bool loading = false;
};
