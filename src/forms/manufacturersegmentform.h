#pragma once

#include "basetreeform.h"

class QLabel;
class QPushButton;
class QTableWidget;

// Overview of one segment of the object dictionary (communication, manufacturer, device
// profile or the network and gateway variables): its objects with type and number of
// entries, and the commands that add objects to it. A double click opens an object.
class ManufacturerSegmentForm : public BaseTreeForm
{
    Q_OBJECT

public:
    explicit ManufacturerSegmentForm(QWidget *parent = nullptr);

    // start is the first index of the segment (0x1000, 0x2000, 0x6000 or 0xA000).
    void setMember(quint8 line, quint16 start, ObjectDataBase *database, ObjectDataBase *catalogue,
                   bool expertMode);
    QTableWidget *objects() const { return table; }
    quint16 lastIndex() const { return last; }

public slots:
    void saveData() override {}
    void updateData() override;
    void addObject();
    void addFromCatalogue();
    // "Add Communication Service" (communication segment only).
    void addService();

signals:
    void objectActivated(quint16 index);

private:
    QString segmentName() const;

    quint16 last = 0;
    QPointer<ObjectDataBase> catalogue;
    QLabel *title;
    QTableWidget *table;
    QPushButton *btnAddObject;
    QPushButton *btnAddFromCatalogue;
    QPushButton *btnAddService;
};
