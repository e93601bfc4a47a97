#pragma once

#include "basemainform.h"

#include <QHash>
#include <QList>
#include <QPointer>

namespace Ui {
class ObjectDictionaryForm;
}

#include "basetreeform.h"
class QAction;
class QLineEdit;
class QMenu;
class QTreeWidget;
class QTreeWidgetItem;

// The object dictionary page of a CANopen line: a tree of the line's objects by segment
// and, beside it, the editor of the selected object, sub-index or segment. The tree
// follows the store's notifications item by item; structural edits (remove, duplicate,
// add and move sub-indices, the object clipboard, bulk commands) are done through
// DictionaryEditor. Without expert mode only manufacturer-specific objects
// (0x2000..0x5FFF) can be edited or changed.
class ObjectDictionaryForm : public BaseMainForm
{
    Q_OBJECT

public:
    enum SegmentType {
        CommunicationSegment = 0,
        ManufacturerSegment = 1,
        DeviceProfileSegment = 2,
        AdditionalSegment = 3
    };
    enum SelectionType {
        NoSelection = 0,
        SegmentSelection = 1,
        IndexSelection = 2,
        SubSelection = 3
    };

    explicit ObjectDictionaryForm(QWidget *parent = nullptr);
    ~ObjectDictionaryForm() override;

    void setProjectDatabase(ObjectDataBase *database) override;
    void setEditorMode(bool on);
    bool isExpertMode() const { return expertMode; }

    int getCurSelectionType() const;
    quint16 getCurrentIndex() const;
    // The sub-index item selected; false when the current item is none.
    bool getCurrentSubIndex(quint16 &index, quint8 &subIndex) const;
    QTreeWidgetItem *getIndexItem(quint16 index) const;
    // The number at the start of an item text ("0x2000 - ..." and "3 - ...").
    static quint16 parseIndexString(const QString &text);
    static quint8 parseSubIndexString(const QString &text);

    QTreeWidget *tree() const;
    QLineEdit *filterEdit() const;
    BaseTreeForm *openEditor() const { return editor; }
    // The context menu for the current selection (empty when the edit rule forbids
    // changes); the caller owns it.
    QMenu *buildContextMenu();
    QAction *action(const QString &text) const;

public slots:
    void updateData(ObjectDataBase::ChangeSet change) override;
    void saveData() override;
    void handleExpertMode(bool on) override;
    void lineHandle(quint8 newLine) override;
    void menuActionRequest(BaseMainForm::MenuAction action) override;
    void updateAllTree();
    void updateForm();
    void gotoIndex(quint16 index);
    void indexSelected(quint16 index);
    void subIndexSelected(quint16 index, quint8 subIndex);
    void segmentSelected(ObjectDictionaryForm::SegmentType segment);

    void deleteIndex();
    void deleteSub();
    void duplicateIndex();
    void duplicateSub();
    void addSpecificSub();
    void insertSubGapBefore();
    void insertSubGapAfter();
    void moveSubTo();
    void copyIndex();
    void cutIndex();
    void pasteIndex();
    void pasteIndexAt();
    void handleHiddenExtraCommand();

signals:
    void expertModeChanged(bool on);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private slots:
    void currentItemChanged(QTreeWidgetItem *current);
    void on_treeWidget_customContextMenuRequested(const QPoint &pos);
    void on_leFilter_textChanged(const QString &text);

private:
    // tree (objectdictionaryform.cpp)
    QTreeWidgetItem *segmentItem(quint16 index) const;
    QTreeWidgetItem *makeObjectItem(quint16 index, const QList<quint8> &subs);
    QTreeWidgetItem *makeSubItem(quint16 index, quint8 sub);
    QString subText(quint16 index, quint8 sub);
    void setObjectText(QTreeWidgetItem *item, quint16 index);
    void addOrModifyIndex(quint16 index);
    void addOrModifySub(quint16 index, quint8 sub);
    void updateDelete(quint16 index);
    void updateDelete(quint16 index, quint8 sub);
    void insertSorted(QTreeWidgetItem *parent, QTreeWidgetItem *child, int key);
    void scheduleRebuild();
    void rebuildKeepingSelection();
    bool filterItem(QTreeWidgetItem *item, const QString &text);
    void resetExpandedState();
    void openPane(BaseTreeForm *pane, quint16 index, int subIndex);
    void clearAndRemoveForm(bool showEmpty);
    void saveAndRemoveForm(bool showEmpty);

    // actions (objectdictionaryform_actions.cpp)
    void createActions();
    QAction *addAction(const QString &text, void (ObjectDictionaryForm::*handler)(),
                       const QString &icon = QString());
    bool mayChange(quint16 index) const;
    QList<quint16> selectedIndices() const;
    QList<QPair<quint16, quint8>> selectedSubs() const;
    bool confirmDelete(int count);
    void reportRefusal(const QString &reason);
    bool isArrayOrRecord(quint16 index) const;
    void fillSegmentMenu(QMenu *menu);
    void fillObjectMenu(QMenu *menu);
    void fillSubMenu(QMenu *menu, quint16 index);
    void shiftCurrentSub(bool up);

    Ui::ObjectDictionaryForm *ui;
    bool expertMode = true;
    bool editorMode = true;
    quint16 currentIndex = 0;
    int currentSubIndex = -1;
    QPointer<BaseTreeForm> editor;
    QHash<quint16, QTreeWidgetItem *> objectItems;
    QList<QTreeWidgetItem *> segments;
    QHash<QTreeWidgetItem *, bool> expandedBeforeFilter;
    bool rebuildScheduled = false;
    bool rebuilding = false;
    bool splitterPlaced = false;
    QList<QAction *> actions;
};
