#pragma once

#include "forms/basetreeform.h"

#include <functional>
#include <memory>

class QComboBox;
class QFormLayout;
class QLabel;
class QVBoxLayout;

// Base of the communication object masks: a purpose-made editor of one kind of object
// (shown on the "Mask" tab of the object editor), or, with the create-service flag, the
// form that adds a whole communication service to the line. Masks write every accepted
// input at once, each user action through one function of their own, and reload from the
// store; saveData() writes what is still pending.
class BaseObjectMask : public BaseTreeForm
{
    Q_OBJECT

public:
    explicit BaseObjectMask(QWidget *parent = nullptr);

    void setProjectDataBase(ObjectDataBase *db) { database = db; }
    void setNode(quint8 node) { line = node; }
    void setIndex(quint16 newIndex) { index = newIndex; }
    void setCreateServiceFlag(bool on) { createService = on; }
    bool isCreateService() const { return createService; }
    void setEditable(bool on) { editable = on; }

    // Selects the entry whose item data is value; found (when given) tells whether one was.
    static void setComboboxValue(QComboBox *box, int value, int *found = nullptr);
    // An object exists at index of the line.
    bool checkForExistingIndex(quint8 node, quint16 objectIndex) const;

    // The folder of the object templates, "data" beside the executable unless a test
    // sets another one.
    static QString templateFolder();
    static void setTemplateFolder(const QString &folder);
    // Opens a template project of that folder ("objects.data", "mt.data"); null, after
    // telling the user, when it cannot be opened.
    std::unique_ptr<ObjectDataBase> openTemplate(const QString &fileName);

signals:
    // A service was added to the line; the first object it created.
    void serviceCreated(quint16 firstIndex);

protected:
    // A title line and a form layout below it, the frame of every mask.
    QFormLayout *setupFrame(const QString &title);
    QVBoxLayout *frameLayout() const { return outer; }
    // The value of an entry of the mask's object read as a number.
    quint32 entryNumber(quint8 sub, quint32 fallback = 0) const;
    // Writes the default value of one entry of the mask's object; a refusal is shown.
    bool storeValue(quint8 sub, const QString &value);
    bool storeValue(quint16 objectIndex, quint8 sub, const QString &value);
    void showFailure(const QString &title, const QString &text);
    // The name of the undo step of a change made in the mask.
    virtual QString changeName() const;
    // Copies the objects first..last of the template's line 0 into the line.
    bool copyFromTemplate(const ObjectDataBase &templateDb, quint16 first, quint16 last);
    // A service: copies the objects from the template, then runs setValues (the values
    // entered in the mask), all as one unit; tells the user when it failed.
    bool createServiceObjects(const QString &templateName, quint16 first, quint16 last,
                              const std::function<bool()> &setValues);
    // Runs the writes of a service as one unit; tells the user when it failed.
    bool runServiceUnit(quint16 firstIndex, const std::function<bool()> &work);

    bool createService = false;

private:
    QVBoxLayout *outer = nullptr;
    QLabel *titleLabel = nullptr;
};
