#pragma once

#include "basetreeform.h"

#include <QMap>

namespace Ui {
class IndexForm;
}

class BaseObjectMask;
class MetaDataEditor;
class QTableWidget;

// Editor of one object: its attributes, description and meta data, and an overview of
// its sub-indices that experts may edit in place. Every accepted input is written to the
// store at once; "Reset Changes" restores the object and its sub-indices as they were
// when the editor was opened.
class IndexForm : public BaseTreeForm
{
    Q_OBJECT

public:
    explicit IndexForm(QWidget *parent = nullptr);
    ~IndexForm() override;

    void setMember(quint8 line, quint16 index, ObjectDataBase *database, bool editable,
                   bool editorMode);
    // The CiA 301 catalogue (line 255) that "Reset Defaults" takes objects from.
    void setCatalogue(ObjectDataBase *catalogue);

    void setActiveTab(const QString &name) override;

    QTableWidget *overview() const;
    MetaDataEditor *metaDataEditor() const { return metaEditor; }
    // The communication object mask on the "Mask" tab; null when the object has none.
    BaseObjectMask *objectMask() const { return mask; }
    // Columns of the overview table.
    enum OverviewColumn {
        ColSub,
        ColName,
        ColDataType,
        ColDefault,
        ColAccess,
        ColImplementation,
        ColHasDefault,
        ColDefaultInEds,
        ColVariable,
        ColPdoMapping,
        ColLowLimit,
        ColHighLimit,
        ColLimitCheck,
        ColSize,
        ColumnCount
    };

public slots:
    void saveData() override;
    void updateData() override;
    void on_btnAddSubIndex_clicked();
    void on_btnReset_clicked();
    void on_btnResetChanges_2_clicked();
    void on_btnExpertEditing_clicked();
    void on_cbFocusOverview_clicked(bool on);
    void copyValuesInOverview();

private slots:
    void on_tblOverview_customContextMenuRequested(const QPoint &pos);
    void overviewCellChanged(int row, int column);

private:
    void setupMask();
    void fillAttributes();
    void fillOverview();
    void fillOverviewRow(int row, quint8 sub, const ObjectDataBase::SUBINDEX_DATA_T &data);
    void applyEnabledStates();
    ObjectDataBase::INDEX_DATA_T attributesFromFields() const;

    Ui::IndexForm *ui;
    BaseObjectMask *mask = nullptr;
    MetaDataEditor *metaEditor;
    QPointer<ObjectDataBase> catalogue;
    ObjectDataBase::INDEX_DATA_T loaded;
    QMap<quint8, ObjectDataBase::SUBINDEX_DATA_T> rows;
    bool snapshotTaken = false;
    ObjectDataBase::INDEX_DATA_T openedObject;
    QMap<quint8, ObjectDataBase::SUBINDEX_DATA_T> openedSubs;
};
