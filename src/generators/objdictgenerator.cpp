#include "generators/objdictgenerator.h"

#include "generators/generatedtext.h"

#include <QSaveFile>

ObjDictGenerator::ObjDictGenerator(bool compact, QObject *parent)
    : AbstractGenerator(parent), compact(compact)
{
}

bool ObjDictGenerator::checkWritability()
{
    return isTargetWritable(QStringLiteral("gen_objdict.c"));
}

unsigned ObjDictGenerator::startGeneration()
{
    return startWorker(QStringLiteral("gen_objdict.c"));
}

unsigned ObjDictGenerator::abortGeneration()
{
    return requestAbort();
}

quint32 ObjDictGenerator::subKey(quint8 line, quint16 index, quint8 sub, bool shared)
{
    return (quint32(shared ? 0 : line) << 24) | (quint32(index) << 8) | sub;
}

quint32 ObjDictGenerator::indexKey(quint8 line, quint16 index)
{
    return (quint32(line) << 24) | index;
}

namespace {

// The usual form of a value, plain decimal digits or "0x" and hexadecimal digits, few
// enough that they cannot overflow, read without the copies of the general path.
bool plainInteger(const QString &text, quint64 &value)
{
    const QChar *c = text.constData();
    const int size = text.size();
    int i = 0;
    unsigned base = 10;
    if (size > 2 && c[0] == QLatin1Char('0')
        && (c[1] == QLatin1Char('x') || c[1] == QLatin1Char('X'))) {
        base = 16;
        i = 2;
    }
    if (size - i < 1 || size - i > (base == 16 ? 16 : 19))
        return false;
    quint64 result = 0;
    for (; i < size; ++i) {
        const ushort u = c[i].unicode();
        unsigned digit = 0;
        if (u >= '0' && u <= '9')
            digit = u - '0';
        else if (base == 16 && u >= 'a' && u <= 'f')
            digit = u - 'a' + 10;
        else if (base == 16 && u >= 'A' && u <= 'F')
            digit = u - 'A' + 10;
        else
            return false;
        result = result * base + digit;
    }
    value = result;
    return true;
}

} // namespace

bool ObjDictGenerator::parseInteger(const QString &text, quint64 &uValue, qint64 &sValue)
{
    quint64 plain = 0;
    if (plainInteger(text, plain)) {
        uValue = plain;
        sValue = qint64(plain);
        return true;
    }
    QString value = text;
    value.remove(QStringLiteral("$nodeid+"), Qt::CaseInsensitive);
    value = value.trimmed();
    bool negative = false;
    if (value.startsWith(QLatin1Char('-')) || value.startsWith(QLatin1Char('+'))) {
        negative = value.startsWith(QLatin1Char('-'));
        value = value.mid(1).trimmed();
    }
    bool ok = false;
    quint64 magnitude = 0;
    if (value.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        magnitude = value.mid(2).toULongLong(&ok, 16);
    else
        magnitude = value.toULongLong(&ok, 10);
    if (!ok) {
        uValue = 0;
        sValue = 0;
        return false;
    }
    uValue = negative ? quint64(0) - magnitude : magnitude;
    sValue = qint64(uValue);
    return true;
}

void ObjDictGenerator::doJob()
{
    beginJob(true);
    varPositions.clear();
    constPositions.clear();
    lowLimitPositions.clear();
    highLimitPositions.clear();
    descPositions.clear();
    ptrPositions.clear();
    arrays.clear();
    writtenArrays.clear();
    writtenMapTables.clear();
    sharedRpdoTables.clear();
    outFile = createOutputFile(QStringLiteral("gen_objdict.c"));
    if (!outFile) {
        failJob();
        return;
    }
    lockDataBase(true);
    decideLineForm();
    canFd = settingNumber("canfd_supported") > 0;
    limitCheck = settingNumber("limit_check") > 0;
    bitwiseMapping = settingNumber("bitwise_mapping") == 1;
    loadDictionary();

    GeneratedText out(outFile.data());
    prepareOutputFile(out);
    defineManagedVariables(out);
    defineAllConsts(out);
    defineApplicationVariables(out);
    emit progress(25);
    describeObjects(out);
    emit progress(50);
    assignObjects(out);
    emit progress(75);
    createMappingTables(out);
    initDataTypeStructure(out);
    if (isMultiLineForm())
        initObjectDictionary_ml(out);
    else
        initObjectDictionary(out);
    if (settingNumber("overwrite_predef") != 0)
        overwrite301(out);
    out.flush();
    finishJob({outFile.data(), userFile.data()});
    outFile.clear();
    userFile.clear();
}

// The multi-line form is chosen by line 1; its prototypes list every line below 16 that
// holds more than one object.
void ObjDictGenerator::decideLineForm()
{
    multiLine = false;
    lines.clear();
    if (objectCount(1) > 1) {
        multiLine = true;
        for (quint8 line = 0; line < 16; ++line) {
            if (objectCount(line) > 1)
                lines.append(line);
        }
    } else if (forceMultiLine) {
        lines.append(0);
    }
}

// Objects 0x1000..0xFFFF of a line; 0 for a line the project does not have.
int ObjDictGenerator::objectCount(quint8 line) const
{
    const ObjectDataBase *db = dataBase();
    if (!db || !db->existNode(line))
        return 0;
    return db->getIndices(line, 0x1000, 0xFFFF).size();
}

void ObjDictGenerator::loadDictionary()
{
    odLines.clear();
    odLineNumbers.clear();
    maxMappingEntries = 0;
    for (quint8 line = 0; line < 8; ++line) {
        if (objectCount(line) <= 1)
            continue;
        odLineNumbers.append(line);
        odLines.insert(line, readLine(line));
    }
    for (quint8 line : qAsConst(odLineNumbers)) {
        const LineEntry &entry = odLines[line];
        for (quint16 index : entry.indicesIn(0x1600, 0x17FF) + entry.indicesIn(0x1A00, 0x1BFF))
            maxMappingEntries = qMax(maxMappingEntries, mappingCount(line, index));
    }
}

// A line outside the lines written (needed by the multi-line userOverwriteCobIdSettings)
// is read when first asked for.
const ObjDictGenerator::LineEntry *ObjDictGenerator::lineEntry(quint8 line)
{
    auto found = odLines.constFind(line);
    if (found == odLines.constEnd())
        found = odLines.insert(line, readLine(line));
    return &found.value();
}

ObjDictGenerator::LineEntry ObjDictGenerator::readLine(quint8 line)
{
    LineEntry entry;
    entry.line = line;
    const ObjectDataBase *db = dataBase();
    if (!db || !db->existNode(line))
        return entry;
    const QList<quint16> indices = db->getIndices(line, 0x1000, 0xFFFF);
    entry.indices.reserve(indices.size());
    for (quint16 index : indices) {
        IndexEntry object;
        object.index = index;
        ObjectDataBase::INDEX_DATA_T data;
        if (db->getIndexData(line, index, data))
            object.objectType = data.objecttype;
        const QList<quint8> subs = db->getSubIndices(line, index, 0);
        object.subs.reserve(subs.size());
        for (quint8 sub : subs) {
            SubEntry subEntry;
            subEntry.sub = sub;
            if (db->getSubIndexData(line, index, sub, subEntry.data))
                object.subs.append(subEntry);
        }
        object.sameStartSub = computeSameStartSub(object);
        entry.byIndex.insert(index, entry.indices.size());
        entry.indices.append(object);
    }
    return entry;
}

// Entries of a compact array are equal in everything the stack stores for them; the
// name does not count.
bool ObjDictGenerator::sameArrayContent(const ObjectDataBase::SUBINDEX_DATA_T &a,
                                        const ObjectDataBase::SUBINDEX_DATA_T &b)
{
    return a.datatype == b.datatype && a.accesstype == b.accesstype && a.pdomapping == b.pdomapping
           && a.lowlimit == b.lowlimit && a.uplimit == b.uplimit && a.size == b.size
           && a.defaultineds == b.defaultineds && a.limitineds == b.limitineds
           && a.implementation == b.implementation && a.varname == b.varname
           && a.nvstorage == b.nvstorage && a.defaultvalue == b.defaultvalue
           && a.writedefaulttoeds == b.writedefaulttoeds;
}

quint8 ObjDictGenerator::computeSameStartSub(const IndexEntry &entry) const
{
    return sameStartSub(entry, compact);
}

quint8 ObjDictGenerator::sameStartSub(const IndexEntry &entry, bool compact)
{
    if (!compact || entry.index < 0x1200 || entry.subs.size() < 3)
        return 0xFF;
    const SubEntry &highest = entry.subs.last();
    if (highest.sub == 0)
        return 0xFF;
    int low = entry.subs.size() - 1;
    while (low > 0) {
        const SubEntry &below = entry.subs.at(low - 1);
        if (below.sub == 0 || below.sub + 1 != entry.subs.at(low).sub
            || !sameArrayContent(below.data, highest.data))
            break;
        --low;
    }
    const int runLength = entry.subs.size() - low;
    return runLength >= 2 ? entry.subs.at(low).sub : quint8(0xFF);
}

const ObjDictGenerator::SubEntry *ObjDictGenerator::IndexEntry::find(quint8 sub) const
{
    for (const SubEntry &entry : subs) {
        if (entry.sub == sub)
            return &entry;
        if (entry.sub > sub)
            break;
    }
    return nullptr;
}

const ObjDictGenerator::IndexEntry *ObjDictGenerator::LineEntry::find(quint16 index) const
{
    const auto found = byIndex.constFind(index);
    return found == byIndex.constEnd() ? nullptr : &indices.at(found.value());
}

QList<quint16> ObjDictGenerator::LineEntry::indicesIn(quint16 first, quint16 last) const
{
    QList<quint16> found;
    for (const IndexEntry &entry : indices) {
        if (entry.index > last)
            break;
        if (entry.index >= first)
            found.append(entry.index);
    }
    return found;
}

const ObjDictGenerator::IndexEntry *ObjDictGenerator::findIndex(quint8 line, quint16 index) const
{
    const auto found = odLines.constFind(line);
    return found == odLines.constEnd() ? nullptr : found->find(index);
}

const ObjDictGenerator::SubEntry *ObjDictGenerator::findSub(quint8 line, quint16 index,
                                                            quint8 sub) const
{
    const IndexEntry *entry = findIndex(line, index);
    return entry ? entry->find(sub) : nullptr;
}

QList<quint16> ObjDictGenerator::indicesOf(quint8 line, quint16 first, quint16 last) const
{
    const auto found = odLines.constFind(line);
    return found == odLines.constEnd() ? QList<quint16>() : found->indicesIn(first, last);
}

QString ObjDictGenerator::setting(const char *key) const
{
    const ObjectDataBase *db = dataBase();
    return db ? db->getGeneralSettingsValue(QLatin1String(key)) : QString();
}

// Settings compared as numbers are decimal; empty or other text counts as 0.
int ObjDictGenerator::settingNumber(const char *key) const
{
    return setting(key).trimmed().toInt();
}

// The letter that tells the lines' mapping tables apart in the multi-line form.
QString ObjDictGenerator::tableSuffix(quint8 line) const
{
    return isMultiLineForm() ? QString(QChar(ushort('a' + line))) : QString();
}

QString ObjDictGenerator::indexStrFromKey(quint8 line, quint16 index, quint8 sub) const
{
    char text[labelCapacity + 8] = " /* ";
    int size = 4 + writeLabel(text + 4, line, index, sub);
    for (const char c : {' ', '*', '/'})
        text[size++] = c;
    return QString::fromLatin1(text, size);
}

// "0x2000:1", in multi-line form "1-0x2000:1". Written twice for every sub-index, so it is
// built in one buffer rather than from several temporary texts.
int ObjDictGenerator::writeLabel(char *text, quint8 line, quint16 index, quint8 sub) const
{
    int size = 0;
    const auto decimal = [text, &size](unsigned value) {
        if (value >= 100)
            text[size++] = char('0' + value / 100);
        if (value >= 10)
            text[size++] = char('0' + value / 10 % 10);
        text[size++] = char('0' + value % 10);
    };
    if (isMultiLineForm()) {
        decimal(line);
        text[size++] = '-';
    }
    static const char hexDigits[] = "0123456789abcdef";
    text[size++] = '0';
    text[size++] = 'x';
    for (int shift = 12; shift >= 0; shift -= 4)
        text[size++] = hexDigits[(index >> shift) & 0xF];
    text[size++] = ':';
    decimal(sub);
    return size;
}
