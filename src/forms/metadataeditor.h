#pragma once

#include "database/objectdatabase.h"

#include <QPointer>
#include <QWidget>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTableWidget;

// Edits the meta data map of an object or a sub-index: free key/value pairs such as
// "eds_define" (the EDS variant an object belongs to). Keys are offered from those already
// used in the line. One entry can be copied and pasted into another map through the
// store's meta-data clipboard. Every accepted edit emits metaDataChanged; a key that is
// empty or already used is refused.
class MetaDataEditor : public QWidget
{
    Q_OBJECT

public:
    explicit MetaDataEditor(QWidget *parent = nullptr);

    void setDatabase(ObjectDataBase *database);
    void setMetaData(const ObjectDataBase::MetaData &data);
    ObjectDataBase::MetaData metaData() const;
    // Offers the keys of the maps (sorted, each once) when adding an entry.
    void setKnownKeys(const QList<ObjectDataBase::MetaData> &maps);
    void setEditable(bool on);

    QTableWidget *table() const { return tblEntries; }
    QComboBox *keyBox() const { return cbKey; }
    QLineEdit *valueEdit() const { return leValue; }

public slots:
    bool addEntry();
    void removeEntry();
    void copyEntry();
    void pasteEntry();

signals:
    void metaDataChanged();

private slots:
    void entryEdited(int row, int column);

private:
    void showEntries();
    bool refuseKey(const QString &key, const QString &except);

    QPointer<ObjectDataBase> database;
    ObjectDataBase::MetaData entries;
    QTableWidget *tblEntries;
    QComboBox *cbKey;
    QLineEdit *leValue;
    QPushButton *btnAdd;
    QPushButton *btnRemove;
    QPushButton *btnCopy;
    QPushButton *btnPaste;
};
