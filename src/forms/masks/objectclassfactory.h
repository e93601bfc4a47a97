#pragma once

#include <QObject>
#include <QStringList>

class BaseObjectMask;
class QWidget;

// Chooses the purpose-made mask of a communication object by its index (and, for the
// profile area, the device profile of the line).
class ObjectClassFactory : public QObject
{
    Q_OBJECT

public:
    explicit ObjectClassFactory(QObject *parent = nullptr);

    // The mask for the object, with its index set; null when the object has none.
    BaseObjectMask *getObjectMask(quint8 line, quint16 index, quint16 deviceType, QWidget *parent);
    // The entries of "Add Communication Service", in the order offered.
    static QStringList serviceNames();
    // The mask of a service entry, with the create-service flag set; null for other text.
    static BaseObjectMask *getServiceMask(const QString &service, QWidget *parent);
};
