#include "generators/vobjdictgenerator.h"

#include "generators/generatedtext.h"

#include <QHash>
#include <QSaveFile>
#include <QSet>

#include <algorithm>

namespace {

const quint8 virtualImplementation = 3;

// Objects of a line holding virtual sub-indices, ascending.
QList<quint16> virtualIndices(const ObjectDataBase *db, quint8 line)
{
    QSet<quint16> found;
    const QList<ObjectDataBase::SubAddress> subs = db->getSubsByProperty(
        line, QStringLiteral("implementation"), QString::number(virtualImplementation));
    for (const ObjectDataBase::SubAddress &sub : subs) {
        if (sub.index >= 0x1000)
            found.insert(sub.index);
    }
    QList<quint16> indices(found.cbegin(), found.cend());
    std::sort(indices.begin(), indices.end());
    return indices;
}

} // namespace

VobjDictGenerator::VobjDictGenerator(QObject *parent) : AbstractGenerator(parent) {}

bool VobjDictGenerator::checkWritability()
{
    return isTargetWritable(QStringLiteral("gen_vobjdict.c"));
}

unsigned VobjDictGenerator::startGeneration()
{
    return startWorker(QStringLiteral("gen_vobjdict.c"));
}

unsigned VobjDictGenerator::abortGeneration()
{
    return requestAbort();
}

bool VobjDictGenerator::areVirtualObjectsPresent() const
{
    return areVirtualObjectsPresent(dataBase());
}

bool VobjDictGenerator::areVirtualObjectsPresent(const ObjectDataBase *db)
{
    if (!db)
        return false;
    for (quint8 line : dictionaryLines(db)) {
        if (!virtualIndices(db, line).isEmpty())
            return true;
    }
    return false;
}

QString VobjDictGenerator::getImplementationDataType(quint16 datatype)
{
    return (QStringLiteral("CO_DTYPE_") + ObjDictGenerator::dataTypePart(datatype)
            + QStringLiteral("_PTR"))
        .leftJustified(18, QLatin1Char(' '));
}

QString VobjDictGenerator::getODAttributes(quint16 datatype, const QString &accesstype,
                                           quint8 pdomapping, bool compact)
{
    const bool numeric = datatype <= 0x0008 || datatype == 0x0016 || datatype == 0x0018
                         || datatype == 0x0019 || datatype == 0x001B;
    QString text = numeric ? QStringLiteral("CO_ATTR_NUM | ") : QString();
    text += ObjDictGenerator::accessAttributes(accesstype, pdomapping);
    text += QStringLiteral(" | CO_ATTR_DYNOD");
    if (compact)
        text += QStringLiteral(" | CO_ATTR_COMPACT");
    return text;
}

void VobjDictGenerator::doJob()
{
    beginJob(true);
    varPositions.clear();
    descPositions.clear();
    QSharedPointer<QSaveFile> file = createOutputFile(QStringLiteral("gen_vobjdict.c"));
    if (!file) {
        failJob();
        return;
    }
    lockDataBase(true);
    const ObjectDataBase *db = dataBase();
    multiLine = db && db->existNode(1) && db->getIndices(1, 0x1000, 0xFFFF).size() > 1;
    compact = setting("compact_array_description").trimmed().toInt() == 1;
    limitCheck = setting("limit_check").trimmed().toInt() > 0;
    loadVirtualObjects();

    GeneratedText out(file.data());
    prepareOutputFile(out);
    defineApplicationVariables();
    emit progress(25);
    describeObjects(out);
    emit progress(50);
    assignObjects(out);
    emit progress(75);
    out.flush();
    finishJob({file.data()});
}

QList<quint8> VobjDictGenerator::dictionaryLines(const ObjectDataBase *db)
{
    QList<quint8> lines;
    for (quint8 line = 0; line < 8; ++line) {
        if (db->existNode(line) && db->getIndices(line, 0x1000, 0xFFFF).size() > 1)
            lines.append(line);
    }
    return lines;
}

void VobjDictGenerator::loadVirtualObjects()
{
    objects.clear();
    const ObjectDataBase *db = dataBase();
    if (!db)
        return;
    for (quint8 line : dictionaryLines(db)) {
        for (quint16 index : virtualIndices(db, line))
            objects.append(readObject(line, index));
    }
}

VobjDictGenerator::VirtualObject VobjDictGenerator::readObject(quint8 line, quint16 index) const
{
    const ObjectDataBase *db = dataBase();
    VirtualObject object;
    object.line = line;
    object.entry.index = index;
    ObjectDataBase::INDEX_DATA_T data;
    if (db->getIndexData(line, index, data))
        object.entry.objectType = data.objecttype;
    for (quint8 sub : db->getSubIndices(line, index, 0)) {
        SubEntry subEntry;
        subEntry.sub = sub;
        if (db->getSubIndexData(line, index, sub, subEntry.data))
            object.entry.subs.append(subEntry);
    }
    object.entry.sameStartSub = ObjDictGenerator::sameStartSub(object.entry, compact);
    return object;
}

QList<const VobjDictGenerator::SubEntry *> VobjDictGenerator::describedSubs(
    const ObjDictGenerator::IndexEntry &entry)
{
    QList<const SubEntry *> subs;
    for (const SubEntry &sub : entry.subs) {
        if (sub.sub > entry.sameStartSub)
            break;
        if (sub.data.implementation == virtualImplementation)
            subs.append(&sub);
    }
    return subs;
}

QString VobjDictGenerator::setting(const char *key) const
{
    const ObjectDataBase *db = dataBase();
    return db ? db->getGeneralSettingsValue(QLatin1String(key)) : QString();
}

void VobjDictGenerator::prepareOutputFile(GeneratedText &out)
{
    writeFileHeader(out,
                    QStringLiteral(" * virtual object dictionary for %1 for external "
                                   "non-addressable memory - generated by %2 %3\n"),
                    QStringLiteral(" */\n"));
    out << "#include <stdlib.h>\n\n"
        << "#include <gen_define.h>\n"
        << "#include <co_canopen.h>\n";
    const QString headers = setting("applicationheader").trimmed();
    if (!headers.isEmpty()) {
        out << "/* application header file(s) */\n";
        for (const QString &header : headers.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            out << "#include \"" << header << "\"\n";
        out << "\n";
    }
    ObjDictGenerator::writeStorageClasses(out);
}

// Gives every virtual value its position among the virtual values of its type group, in
// the order of the descriptions. A shared entry is counted for line 0 only.
void VobjDictGenerator::defineApplicationVariables()
{
    QHash<QString, quint16> counts;
    for (const VirtualObject &object : qAsConst(objects)) {
        for (const SubEntry &sub : object.entry.subs) {
            if (sub.data.implementation != virtualImplementation
                || (object.line != 0 && sub.data.sharedlines))
                continue;
            QString group = ObjDictGenerator::valueArrayType(sub.data.datatype);
            if (group.isEmpty())
                group = QString::number(sub.data.datatype);
            quint16 &count = counts[group];
            varPositions.insert(ObjDictGenerator::subKey(object.line, object.entry.index, sub.sub,
                                                         sub.data.sharedlines),
                                count++);
        }
    }
}

void VobjDictGenerator::describeObjects(GeneratedText &out)
{
    out << "\n/* description of the objects */\n"
        << "CO_CONST CO_OBJECT_DESC_T CO_CONST_STORAGE_CLASS vod_description[CO_VOBJ_DESC_CNT] "
           "= {\n";
    quint16 written = 0;
    for (const VirtualObject &object : qAsConst(objects)) {
        descPositions.insert(ObjDictGenerator::indexKey(object.line, object.entry.index), written);
        for (const SubEntry *sub : describedSubs(object.entry)) {
            if (object.line != 0 && sub->data.sharedlines)
                continue;
            out << describeSubObject(object, *sub, sub->sub == object.entry.sameStartSub);
            ++written;
        }
    }
    out << "};\n";
}

QString VobjDictGenerator::describeSubObject(const VirtualObject &object, const SubEntry &sub,
                                             bool compactStart) const
{
    const ObjectDataBase::SUBINDEX_DATA_T &data = sub.data;
    const quint16 index = object.entry.index;
    const quint16 position = varPositions.value(
        ObjDictGenerator::subKey(object.line, index, sub.sub, data.sharedlines), 0);
    QString label = QStringLiteral("0x%1:%2").arg(index, 4, 16, QLatin1Char('0')).arg(sub.sub);
    if (isMultiLineForm())
        label.prepend(QString::number(object.line) + QLatin1Char('-'));
    return QStringLiteral("\t{ (UNSIGNED8)%1u, ").arg(sub.sub)
           + getImplementationDataType(data.datatype) + QStringLiteral(", ")
           + QStringLiteral("(UNSIGNED16)%1u, ").arg(position)
           + getODAttributes(ObjDictGenerator::storedType(data.datatype), data.accesstype,
                             data.pdomapping, compactStart)
           + QStringLiteral(", ")
           + (limitCheck ? QStringLiteral(" (UNSIGNED16)0u, (UNSIGNED16)0u, (UNSIGNED16)0u},")
                         : QStringLiteral(" (UNSIGNED16)0u},"))
           + QStringLiteral("/* ") + label + QStringLiteral("*/ \n");
}

void VobjDictGenerator::assignObjects(GeneratedText &out)
{
    out << "\n/* object dictionary assignment */\n"
        << "CO_CONST CO_OD_ASSIGN_T CO_CONST_STORAGE_CLASS vod_assign[CO_VOD_ASSIGN_CNT] = {\n";
    for (const VirtualObject &object : qAsConst(objects)) {
        if (!describedSubs(object.entry).isEmpty())
            out << assignIndex(object);
    }
    out << "};\n";
}

// The entries of an object shared by the lines are described under line 0.
QString VobjDictGenerator::assignIndex(const VirtualObject &object) const
{
    const ObjDictGenerator::IndexEntry &entry = object.entry;
    const SubEntry *first = entry.find(0);
    const quint8 descLine = first && first->data.sharedlines ? 0 : object.line;
    return QStringLiteral("\t{ 0x%1u, %2u, %3u, %4, %5u },\n")
        .arg(entry.index, 4, 16, QLatin1Char('0'))
        .arg(describedSubs(entry).size())
        .arg(entry.highestSub())
        .arg(ObjDictGenerator::objectTypeText(entry.objectType))
        .arg(descPositions.value(ObjDictGenerator::indexKey(descLine, entry.index), 0));
}
