#pragma once

#include "database/objectdatabase.h"
#include "database/undostep.h"

#include <QPointer>
#include <QWidget>

class QComboBox;
class QPlainTextEdit;
class QTabWidget;

// Base of the detail panes beside the object tree (object and sub-index editors, segment
// overviews, the empty pane). A pane edits one address of one line, writes every
// accepted input to the store at once and reloads itself from it; saveData() writes what
// is still pending (a text being typed). Input that does not fit is refused with a
// message and the field shows the stored value again.
class BaseTreeForm : public QWidget
{
    Q_OBJECT

public:
    explicit BaseTreeForm(QWidget *parent = nullptr);

    quint8 currentLine() const { return line; }
    quint16 currentIndex() const { return index; }
    bool isEditable() const { return editable; }
    // True while the pane writes to the store; it reloads itself when done, so reload
    // requests that arrive meanwhile are not needed.
    bool isSaving() const { return saving > 0; }

    // The name of the current tab (its object name); empty for panes without tabs.
    virtual QString getActiveTab() const;
    virtual void setActiveTab(const QString &name);
    // Shows or hides the meta-data tab of the pane (and reloads it when shown).
    virtual void enableMetaData(bool on);

    // Selects the entry whose item data equals value; false when there is none.
    static bool setValueInCombobox(QComboBox *box, const QVariant &value);
    // Objects that have a purpose-made communication mask.
    static bool hasIndexMask(quint16 index);
    // Every data type an entry may have, long name with the type as item data.
    static void fillDataTypesInCombobox(QComboBox *box);

public slots:
    virtual void saveData() = 0;
    virtual void updateData() = 0;

protected:
    // Panes with tabs name them here: the tab widget, the meta-data tab (hidden until
    // enableMetaData) and the description, which is saved when it loses the focus.
    void setupTabs(QTabWidget *tabs, QWidget *metaDataTab, QPlainTextEdit *description);
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Stores an edited entry of the pane's object through DictionaryEditor::storeSubIndex;
    // a refusal is shown.
    bool storeEntry(quint8 sub, const ObjectDataBase::SUBINDEX_DATA_T &data);
    int updatePDOMapping(quint16 mappedIndex, quint8 subIndex, quint8 bitLength);
    int updateSharedSub(quint8 sharedLine, quint16 sharedIndex, quint8 subIndex);
    void refuseInput(const QString &reason);

    // Counts nested writes (see isSaving()) and makes them one undo step shown as name; a
    // step already open takes them in.
    struct SavingScope
    {
        SavingScope(BaseTreeForm *form, const QString &name)
            : form(form), step(form->database, name)
        {
            ++form->saving;
        }
        ~SavingScope() { --form->saving; }
        BaseTreeForm *form;
        UndoStep step;
    };
    // "0x1a00", as the object tree shows an index.
    static QString hexIndex(quint16 index);

    quint8 line = 0;
    quint16 index = 0;
    QPointer<ObjectDataBase> database;
    bool editable = false;
    bool editorMode = true;
    int saving = 0;
    bool metaDataShown = false;

private:
    QTabWidget *tabWidget = nullptr;
    QWidget *metaTab = nullptr;
    QPlainTextEdit *descriptionEdit = nullptr;
};
