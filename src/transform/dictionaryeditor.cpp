#include "transform/dictionaryeditor.h"

#include "panelkit/helper.h"
#include "panelkit/linetype.h"
#include "panelkit/valuechecker.h"

#include <QRegularExpression>

namespace {

const quint16 clipboardIndex = 0xF000;

} // namespace

DictionaryEditor::DictionaryEditor(ObjectDataBase *database) : db(database) {}

bool DictionaryEditor::refuse(const QString &reason)
{
    error = reason;
    return false;
}

bool DictionaryEditor::isManufacturerIndex(quint16 index)
{
    return index >= 0x2000 && index <= 0x5FFF;
}

bool DictionaryEditor::mayEdit(quint16 index, bool expertMode)
{
    return expertMode ? index != 0 : isManufacturerIndex(index);
}

bool DictionaryEditor::isMappingObject(quint16 index)
{
    return (index >= 0x1600 && index <= 0x17FF) || (index >= 0x1A00 && index <= 0x1BFF);
}

bool DictionaryEditor::isStackObject(quint16 index, quint8 sub)
{
    if (index == 0x1001)
        return true;
    if (index == 0x1003)
        return sub > 0;
    return (index == 0x1010 || index == 0x1011) && sub > 0;
}

QString DictionaryEditor::renumberedName(const QString &name, quint8 number)
{
    static const QRegularExpression digit(QStringLiteral("[0-9]"));
    const int position = name.indexOf(digit);
    if (position < 0)
        return tr("Subindex %1").arg(number);
    return name.left(position) + QString::number(number);
}

quint8 DictionaryEditor::mappingLength(const SUBINDEX_DATA_T &data)
{
    if (ValueChecker::hasByteSize(data.datatype))
        return quint8(data.size * 8);
    return quint8(Helper::getDataLengthBits(data.datatype));
}

void DictionaryEditor::applyDefaultLimits(SUBINDEX_DATA_T &data)
{
    if (!Helper::getDefaultLimitsInt64(data.datatype, data.lowlimit, data.uplimit)) {
        data.lowlimit = 0;
        data.uplimit = 0;
    }
}

QList<quint8> DictionaryEditor::userLines() const
{
    QList<quint8> lines;
    for (quint8 line : db->getNodes()) {
        if (LineTypes::isProjectLine(line))
            lines.append(line);
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

bool DictionaryEditor::objectType(quint8 line, quint16 index, quint8 &type) const
{
    INDEX_DATA_T data;
    if (!db->getIndexData(line, index, data))
        return false;
    type = data.objecttype;
    return true;
}

bool DictionaryEditor::isSharedObject(quint8 line, quint16 index) const
{
    SUBINDEX_DATA_T zero;
    return db->getSubIndexData(line, index, 0, zero) && zero.sharedlines;
}

bool DictionaryEditor::createObject(quint8 line, quint16 index, const QString &name,
                                    quint8 objectType, quint16 dataType, int entries)
{
    return inUnit([&] {
        if (index < 0x1000)
            return refuse(tr("0x%1 lies outside the object dictionary (0x1000 to 0xFFFF).")
                              .arg(index, 4, 16, QLatin1Char('0')));
        if (db->existIndex(line, index))
            return refuse(tr("Object 0x%1 already exists.").arg(index, 4, 16, QLatin1Char('0')));
        if (name.trimmed().isEmpty())
            return refuse(tr("A name cannot be empty."));
        if (objectType != 7 && (entries < 1 || entries > 254))
            return refuse(tr("An ARRAY or RECORD has 1 to 254 entries."));
        INDEX_DATA_T object;
        object.name = name.trimmed();
        object.objecttype = objectType;
        object.datatype = dataType;
        if (!db->addIndex(line, index, object))
            return refuse(
                tr("Object 0x%1 could not be written.").arg(index, 4, 16, QLatin1Char('0')));
        SUBINDEX_DATA_T entry;
        entry.datatype = dataType;
        entry.accesstype = QStringLiteral("rw");
        entry.defaultvalue = ValueChecker::hasByteSize(dataType) ? QString() : QStringLiteral("0");
        applyDefaultLimits(entry);
        if (objectType == 7) {
            entry.name = object.name;
            return db->addSubIndex(line, index, 0, entry);
        }
        SUBINDEX_DATA_T count;
        count.name = tr("Highest sub-index supported");
        count.datatype = 5;
        count.defaultvalue = QString::number(entries);
        count.uplimit = 254;
        db->addSubIndex(line, index, 0, count);
        for (int sub = 1; sub <= entries; ++sub) {
            entry.name = QStringLiteral("%1 %2").arg(object.name).arg(sub);
            db->addSubIndex(line, index, quint8(sub), entry);
        }
        return true;
    });
}

bool DictionaryEditor::deleteIndex(quint8 line, quint16 index)
{
    return inUnit([&] {
        if (!db->existIndex(line, index))
            return refuse(tr("Object 0x%1 does not exist.").arg(index, 4, 16, QLatin1Char('0')));
        const bool shared = isSharedObject(line, index);
        if (!db->delIndex(line, index, false))
            return refuse(
                tr("Object 0x%1 could not be deleted.").arg(index, 4, 16, QLatin1Char('0')));
        if (shared) {
            for (quint8 other : userLines()) {
                if (other != line && db->existIndex(other, index))
                    db->delIndex(other, index, false);
            }
        }
        return true;
    });
}

quint16 DictionaryEditor::duplicateIndex(quint8 line, quint16 index, bool sharedLines)
{
    return inUnit([&]() -> quint16 {
        const quint16 target = db->getNextFreeIndex(line, index);
        if (target <= index) {
            refuse(tr("There is no free index after 0x%1.").arg(index, 4, 16, QLatin1Char('0')));
            return 0;
        }
        if (!db->copyIndex(line, index, line, target)) {
            refuse(tr("Object 0x%1 could not be copied.").arg(index, 4, 16, QLatin1Char('0')));
            return 0;
        }
        if (sharedLines && isSharedObject(line, target)) {
            QStringList skipped;
            for (quint8 other : userLines()) {
                if (other == line)
                    continue;
                if (db->existIndex(other, target))
                    skipped.append(QString::number(other));
                else
                    db->copyIndex(line, target, other, target);
            }
            if (!skipped.isEmpty())
                error = tr("Index 0x%1 is already used in line %2; the shared copy was not made "
                           "there.")
                            .arg(target, 4, 16, QLatin1Char('0'))
                            .arg(skipped.join(QStringLiteral(", ")));
        }
        return target;
    });
}

bool DictionaryEditor::copyToClipboard(quint8 line, quint16 index)
{
    if (!db->saveIndex(line, index))
        return refuse(tr("Object 0x%1 could not be copied to the clipboard.")
                          .arg(index, 4, 16, QLatin1Char('0')));
    return true;
}

bool DictionaryEditor::cutToClipboard(quint8 line, quint16 index)
{
    return inUnit([&] { return copyToClipboard(line, index) && deleteIndex(line, index); });
}

bool DictionaryEditor::hasClipboardObject() const
{
    return db->existNode(ReservedLine::clipboard)
           && db->existIndex(ReservedLine::clipboard, clipboardIndex);
}

bool DictionaryEditor::pasteFromClipboard(quint8 line, quint16 index, bool overwrite)
{
    return inUnit([&] {
        if (!hasClipboardObject())
            return refuse(tr("The clipboard holds no object. Copy or cut an object first."));
        if (index < 0x1000)
            return refuse(tr("0x%1 lies outside the object dictionary (0x1000 to 0xFFFF).")
                              .arg(index, 4, 16, QLatin1Char('0')));
        if (db->existIndex(line, index) && !overwrite)
            return refuse(tr("Object 0x%1 already exists.").arg(index, 4, 16, QLatin1Char('0')));
        if (!db->pasteSavedIndex(line, index))
            return refuse(
                tr("The object could not be pasted at 0x%1.").arg(index, 4, 16, QLatin1Char('0')));
        return true;
    });
}
