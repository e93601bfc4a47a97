#include "importers/csvimporter.h"

#include "panelkit/csvfields.h"
#include "panelkit/helper.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <cmath>
#include <limits>

namespace {

// An integer with C prefixes ("0x" hexadecimal, leading 0 octal) up to limit.
bool readNumber(const QString &text, uint limit, uint &value)
{
    bool ok = false;
    value = text.trimmed().toUInt(&ok, 0);
    return ok && value <= limit;
}

// A flag column: "yes", "true" or a non-zero number set it.
bool readFlag(const QString &text)
{
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("yes") || t == QLatin1String("true") || t == QLatin1String("y"))
        return true;
    return t.toLongLong(nullptr, 0) != 0;
}

// A limit as floating point number rounded to a 64-bit integer, held within its range.
bool readLimit(const QString &text, qint64 &value)
{
    bool ok = false;
    const QString t = text.trimmed();
    // Integers first: a double loses the low digits of large 64-bit values.
    value = t.toLongLong(&ok, 0);
    if (ok)
        return true;
    const double number = t.toDouble(&ok);
    if (!ok || std::isnan(number))
        return false;
    if (number >= 9.2233720368547758e18)
        value = std::numeric_limits<qint64>::max();
    else if (number <= -9.2233720368547758e18)
        value = std::numeric_limits<qint64>::min();
    else
        value = qint64(std::llround(number));
    return true;
}

quint8 mappingCode(const QString &text)
{
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("rpdo"))
        return 3;
    if (t == QLatin1String("tpdo"))
        return 4;
    if (t == QLatin1String("both"))
        return 1;
    return 0;
}

// The words from..from + count - 1 (to the last for count -1) joined by blanks.
QString words(const QStringList &list, int from, int count = -1)
{
    return QStringList(list.mid(from, count)).join(QLatin1Char(' '));
}

// The implementation type named by the export's "ImplementationType" column; -1 for none.
int implementationCode(const QString &text)
{
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("managedvariable"))
        return 0;
    if (t == QLatin1String("managedconst"))
        return 1;
    if (t == QLatin1String("variable"))
        return 2;
    return -1;
}

} // namespace

CsvImporter::CsvImporter(QObject *parent) : BaseDataImporter(parent) {}

bool CsvImporter::getCopyList(QList<SubAddress> &list) const
{
    list = m_copyList;
    return !list.isEmpty();
}

bool CsvImporter::getDeleteList(QList<SubAddress> &list) const
{
    list = m_deleteList;
    return !list.isEmpty();
}

void CsvImporter::doImport()
{
    m_running = true;
    m_copyList.clear();
    m_deleteList.clear();
    m_diagnostics.clear();
    m_lastError.clear();
    m_columns.clear();
    m_arrayDataType = 0;
    m_splitIndex = -1;
    m_lineNumber = 0;
    QFile file(importFileName());
    // Binary, so that the line ends inside quoted fields stay as they are.
    if (!m_database || !file.open(QIODevice::ReadOnly)) {
        m_lastError = tr("Cannot read %1.").arg(importFileName());
        qDebug() << "CsvImporter:" << m_lastError;
        finishImport();
        return;
    }
    m_database->setLockWriteAccess(false);
    QTextStream stream(&file);
    stream.setCodec("UTF-8");
    readRows(stream.readAll());
    if (m_columns.isEmpty())
        m_lastError = tr("%1 has no header line.").arg(importFileName());
    finishImport();
}

void CsvImporter::readRows(const QString &text)
{
    bool header = true;
    QStringList fields;
    int pos = 0;
    while (pos < text.size() && !abortRequested()) {
        int end = text.indexOf(QLatin1Char('\n'), pos);
        if (end < 0)
            end = text.size();
        QString line = text.mid(pos, end - pos);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const int rowStart = pos;
        pos = end + 1;
        ++m_lineNumber;
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
            continue;
        if (header) {
            readHeader(trimmed);
            header = false;
            continue;
        }
        const QChar first = trimmed.at(0).toLower();
        if (first == QLatin1Char('d')) {
            handleDeleteLine(trimmed);
            continue;
        }
        if (first == QLatin1Char('c')) {
            handleCopyLine(trimmed);
            continue;
        }
        // A quoted field may hold line breaks, so a row can run over several lines.
        int length = 0;
        const QStringView rest = QStringView(text).mid(rowStart);
        if (CsvFields::split(rest, m_separator, fields, length) != CsvFields::Split::Complete) {
            handleImportLine(line);
            continue;
        }
        const QString row = text.mid(rowStart, length);
        importFields(fields, row);
        const int breaks = int(row.count(QLatin1Char('\n')));
        if (breaks > 0) {
            m_lineNumber += breaks;
            pos = text.indexOf(QLatin1Char('\n'), rowStart + length);
            pos = pos < 0 ? text.size() : pos + 1;
        }
    }
}

void CsvImporter::readHeader(const QString &line)
{
    m_separator = line.contains(QLatin1Char(',')) ? QLatin1Char(',') : QLatin1Char(';');
    m_columns.clear();
    const QStringList names = CsvFields::fieldsOf(line.toLower(), m_separator);
    for (int i = 0; i < names.size(); ++i)
        m_columns.insert(names.at(i).trimmed(), i);
}

QString CsvImporter::column(const QStringList &fields, const char *name) const
{
    const int position = m_columns.value(QLatin1String(name), -1);
    return position >= 0 && position < fields.size() ? fields.at(position) : QString();
}

bool CsvImporter::note(const QString &text)
{
    m_diagnostics.append(QStringLiteral("%1:%2: warning: %3")
                             .arg(QFileInfo(importFileName()).fileName())
                             .arg(m_lineNumber)
                             .arg(text));
    qDebug().noquote() << m_diagnostics.constLast();
    return false;
}

bool CsvImporter::handleImportLine(const QString &line)
{
    return importFields(CsvFields::fieldsOf(line, m_separator), line);
}

bool CsvImporter::importFields(const QStringList &fields, const QString &line)
{
    uint index = 0;
    uint sub = 0;
    if (!readNumber(column(fields, "index"), 0xFFFF, index))
        return note(tr("no object index in \"%1\"; row skipped").arg(line.trimmed()));
    const QString subText = column(fields, "sub").trimmed();
    if (!subText.isEmpty() && !readNumber(subText, 0xFF, sub))
        return note(tr("sub-index \"%1\" is no number from 0 to 255; row skipped").arg(subText));
    if (index < lowIndex() || index > highIndex())
        return false;
    const QString typeText = column(fields, "datatype").trimmed().toLower();
    if (!typeText.isEmpty() && Helper::mapDataTypeString(typeText) == 0)
        return note(tr("unknown data type \"%1\"; row skipped").arg(typeText));
    QString name = column(fields, "edsname").trimmed();
    if (name.isEmpty())
        name = QStringLiteral("Object_%1").arg(index, 4, 16, QLatin1Char('0'));
    return storeObject(quint16(index), quint8(sub), fields, name);
}

QString CsvImporter::entryName(quint16 index, quint8 sub, const QString &rowName)
{
    ObjectDataBase::INDEX_DATA_T object;
    if (!m_database->getIndexData(activeLine(), index, object) || object.objecttype == 7)
        return rowName;
    if (index != m_splitIndex) {
        // An object that was there before the row: the row begins with its name.
        const QString prefix = object.name + QLatin1Char(' ');
        return rowName.startsWith(prefix) && rowName.size() > prefix.size()
                   ? rowName.mid(prefix.size())
                   : rowName;
    }
    const QStringList rowWords = rowName.split(QLatin1Char(' '));
    m_rowNames.insert(sub, rowName);
    if (m_rowNames.size() == 1) {
        m_firstRowWords = rowWords;
        return rowName;
    }
    // The object's name is what all its rows share, and every row keeps a word of its own.
    int limit = m_commonWords < 0 ? int(m_firstRowWords.size()) - 1 : m_commonWords;
    limit = qMin(limit, int(rowWords.size()) - 1);
    int common = 0;
    while (common < limit && m_firstRowWords.at(common) == rowWords.at(common))
        ++common;
    if (common != m_commonWords) {
        m_commonWords = common;
        renameSplitObject(object, sub);
    }
    return common > 0 ? words(rowWords, common) : rowName;
}

void CsvImporter::renameSplitObject(ObjectDataBase::INDEX_DATA_T &object, quint8 exceptSub)
{
    const quint8 line = activeLine();
    object.name = m_commonWords > 0 ? words(m_firstRowWords, 0, m_commonWords)
                                    : m_firstRowWords.join(QLatin1Char(' '));
    m_database->addIndex(line, m_splitIndex, object);
    for (auto it = m_rowNames.cbegin(); it != m_rowNames.cend(); ++it) {
        ObjectDataBase::SUBINDEX_DATA_T entry;
        if (it.key() == exceptSub
            || !m_database->getSubIndexData(line, m_splitIndex, it.key(), entry))
            continue;
        entry.name = m_commonWords > 0 ? words(it.value().split(QLatin1Char(' ')), m_commonWords)
                                       : it.value();
        m_database->addSubIndex(line, m_splitIndex, it.key(), entry);
    }
}

bool CsvImporter::storeObject(quint16 index, quint8 sub, const QStringList &fields,
                              const QString &rowName)
{
    const quint8 line = activeLine();
    const QString codeText = column(fields, "objectcode").trimmed();
    const quint8 objectCode =
        codeText.isEmpty() ? quint8(7) : Helper::string2objectCode(codeText.toUpper());
    quint16 dataType = Helper::mapDataTypeString(column(fields, "datatype").trimmed().toLower());
    if (objectCode == 8) {
        m_arrayDataType = dataType;
        m_arrayIndex = index;
    } else if (dataType == 0 && index == m_arrayIndex) {
        dataType = m_arrayDataType;
    }
    if (sub == 0) {
        if (!m_database->existIndex(line, index)) {
            ObjectDataBase::INDEX_DATA_T object;
            object.name = rowName;
            object.objecttype = objectCode;
            object.description = column(fields, "description");
            if (!m_database->addIndex(line, index, object))
                return note(
                    tr("object 0x%1 could not be stored").arg(index, 4, 16, QLatin1Char('0')));
            if (objectCode != 7)
                startSplit(index);
        }
    } else {
        if (!m_database->existIndex(line, index)) {
            // Entries of an object that has no row of its own.
            ObjectDataBase::INDEX_DATA_T object;
            object.name = rowName;
            object.objecttype = objectCode == 7 ? quint8(9) : objectCode;
            m_database->addIndex(line, index, object);
            startSplit(index);
        }
        ObjectDataBase::INDEX_DATA_T object;
        m_database->getIndexData(line, index, object);
        if ((object.objecttype == 8 || object.objecttype == 9)
            && !m_database->existSubIndex(line, index, 0)) {
            ObjectDataBase::SUBINDEX_DATA_T sub0;
            sub0.name = QStringLiteral("Highest Subindex supported");
            sub0.datatype = 5;
            sub0.accesstype = QStringLiteral("ro");
            sub0.implementation = 1;
            m_database->addSubIndex(line, index, 0, sub0);
        }
    }

    ObjectDataBase::SUBINDEX_DATA_T entry;
    entry.name = entryName(index, sub, rowName);
    entry.datatype = dataType;
    const QString access = column(fields, "access").trimmed().toLower();
    bool known = true;
    entry.accesstype =
        Helper::normalizeAccessType(access.isEmpty() ? QStringLiteral("ro") : access, &known);
    if (!known)
        note(tr("unknown access type \"%1\" read as ro").arg(access));
    entry.defaultvalue = column(fields, "value");
    QString varname = column(fields, "varname").trimmed();
    // The export writes NONE for entries that are no application variable.
    if (varname == QLatin1String("NONE"))
        varname.clear();
    entry.size = column(fields, "size").trimmed().toUInt(nullptr, 0);
    entry.pdomapping = mappingCode(column(fields, "mapable"));
    entry.description = column(fields, "description");
    if (hasColumn("hasdefault"))
        entry.defaultineds = readFlag(column(fields, "hasdefault"));
    if (hasColumn("defaultineds"))
        entry.writedefaulttoeds = quint8(qBound(0, column(fields, "defaultineds").toInt(), 2));
    if (hasColumn("refuseread"))
        entry.refuseread = readFlag(column(fields, "refuseread"));
    if (hasColumn("refusewrite"))
        entry.refusewrite = readFlag(column(fields, "refusewrite"));
    readLimits(fields, entry);
    const int implementation = implementationCode(column(fields, "implementationtype"));
    if (implementation >= 0)
        entry.implementation = quint8(implementation);
    if (!varname.isEmpty()) {
        entry.implementation = 2;
        entry.varname = varname;
    }
    // A domain is always an application variable; without a name of its own it gets one
    // made from its address.
    if (entry.datatype == 15) {
        entry.implementation = 2;
        if (varname.isEmpty())
            entry.varname = QStringLiteral("v_%1_%2").arg(index).arg(sub);
    }
    if (!m_database->addSubIndex(line, index, sub, entry))
        return note(tr("entry 0x%1 sub-index %2 could not be stored")
                        .arg(index, 4, 16, QLatin1Char('0'))
                        .arg(sub));
    return true;
}

void CsvImporter::readLimits(const QStringList &fields, ObjectDataBase::SUBINDEX_DATA_T &entry)
{
    Helper::getDefaultLimitsInt64(entry.datatype, entry.lowlimit, entry.uplimit);
    qint64 value = 0;
    bool given = false;
    if (readLimit(column(fields, "lowlimit"), value)) {
        entry.lowlimit = value;
        given = true;
    }
    if (readLimit(column(fields, "uplimit"), value)) {
        entry.uplimit = value;
        given = true;
    }
    // The export writes both limits of every entry and says in "hasLimit" whether they
    // are in force.
    entry.limitineds = hasColumn("haslimit") ? readFlag(column(fields, "haslimit")) : given;
}

bool CsvImporter::commandFields(const QString &line, const QList<uint> &bounds, QList<uint> &values)
{
    const QStringList fields = CsvFields::fieldsOf(line, m_separator);
    qDebug().noquote() << QStringLiteral("(%1)").arg(fields.join(QLatin1String(", ")));
    values.clear();
    for (int i = 0; i < bounds.size(); ++i) {
        uint value = 0;
        if (i + 1 >= fields.size() || !readNumber(fields.at(i + 1), bounds.at(i), value))
            return note(tr("\"%1\" needs %2 numbers after its first field; row skipped")
                            .arg(line)
                            .arg(bounds.size()));
        values.append(value);
    }
    return true;
}

bool CsvImporter::handleCopyLine(const QString &line)
{
    QList<uint> values;
    if (!commandFields(line, {0xFFFF, 0xFFFF, 0xFF}, values))
        return false;
    const bool whole = values.at(2) == 0;
    m_copyList.append({quint16(values.at(0)), quint8(values.at(2)), whole});
    m_copyList.append({quint16(values.at(1)), quint8(values.at(2)), whole});
    return true;
}

bool CsvImporter::handleDeleteLine(const QString &line)
{
    QList<uint> values;
    if (!commandFields(line, {0xFFFF, 0xFF}, values))
        return false;
    m_deleteList.append({quint16(values.at(0)), quint8(values.at(1)), values.at(1) == 0});
    return true;
}

QStringList CsvImporter::applyCommands(ObjectDataBase *project, quint8 line) const
{
    const auto where = [](const SubAddress &address) {
        const QString index = QStringLiteral("0x%1").arg(address.index, 4, 16, QLatin1Char('0'));
        return address.wholeIndex ? index : tr("%1 sub-index %2").arg(index).arg(address.subIndex);
    };
    QStringList failed;
    for (int i = 0; i + 1 < m_copyList.size(); i += 2) {
        const SubAddress &from = m_copyList.at(i);
        const SubAddress &to = m_copyList.at(i + 1);
        const bool ok =
            from.wholeIndex && to.wholeIndex
                ? project->copyIndex(line, from.index, line, to.index)
                : project->existIndex(line, to.index)
                      && project->copySubIndexFromDatabase(project, line, from.index, from.subIndex,
                                                           line, to.index, to.subIndex);
        if (!ok)
            failed << tr("copy %1 to %2").arg(where(from), where(to));
    }
    for (const SubAddress &address : m_deleteList) {
        const bool ok =
            address.wholeIndex
                ? project->existIndex(line, address.index) && project->delIndex(line, address.index)
                : project->existSubIndex(line, address.index, address.subIndex)
                      && project->delSubIndex(line, address.index, address.subIndex);
        if (!ok)
            failed << tr("delete %1").arg(where(address));
    }
    return failed;
}
