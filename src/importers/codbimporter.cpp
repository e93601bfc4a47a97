#include "codbimporter.h"

#include "panelkit/helper.h"

#include <QDebug>
#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

#include <limits>

namespace {

enum Field {
    FieldIndex = 0,
    FieldSub = 1,
    FieldName = 2,
    FieldCategory = 3,
    FieldObjectCode = 5,
    FieldDataType = 7,
    FieldAccess = 9,
    FieldAllowed = 10,
    FieldSize = 11,
    FieldPdo = 12,
    FieldDefault = 13,
    FieldDefaultInEds = 14,
    FieldDescription = 15,
    FieldRange = 20,
    FieldLimitsInEds = 21,
    FieldImplementation = 22,
    FieldCount = 23
};

// A flag letter: "y" true, "n" false, empty gives the fallback.
bool readFlag(const QString &text, bool fallback, bool *ok)
{
    const QString t = text.trimmed().toLower();
    *ok = true;
    if (t.isEmpty())
        return fallback;
    if (t == QLatin1String("y"))
        return true;
    if (t == QLatin1String("n"))
        return false;
    *ok = false;
    return fallback;
}

// The text between "x[" and "]" of a qualified list or range; false for another shape.
bool bracketContent(const QString &text, QString *content)
{
    const QString t = text.trimmed();
    if (t.size() < 3 || !t.at(0).isLetter() || t.at(1) != QLatin1Char('[')
        || !t.endsWith(QLatin1Char(']')))
        return false;
    *content = t.mid(2, t.size() - 3);
    return true;
}

// A limit as written in a range: decimal (possibly negative) or "0x" hexadecimal.
// Unsigned values beyond the signed 64-bit range are held at its maximum.
bool readBound(const QString &text, qint64 *value)
{
    bool ok = false;
    const QString t = text.trimmed();
    if (t.startsWith(QLatin1Char('-'))) {
        *value = t.toLongLong(&ok, 0);
        return ok;
    }
    const quint64 u = t.toULongLong(&ok, 0);
    if (!ok)
        return false;
    *value = u > quint64(std::numeric_limits<qint64>::max()) ? std::numeric_limits<qint64>::max()
                                                             : qint64(u);
    return true;
}

// A one-letter code: its position in letters; empty text gives 0.
bool readLetter(const QString &text, const QString &letters, quint8 *value)
{
    const QString t = text.trimmed().toLower();
    if (t.isEmpty()) {
        *value = 0;
        return true;
    }
    const int pos = t.size() == 1 ? letters.indexOf(t.at(0)) : -1;
    if (pos < 0)
        return false;
    *value = quint8(pos);
    return true;
}

// PDO mapping letters, in the order of the mapping codes 0..4.
const QString pdoMappingLetters = QStringLiteral("nydrt");
// Implementation letters, in the order of the implementation codes 0..3.
const QString implementationLetters = QStringLiteral("mcav");

} // namespace

CODBImporter::CODBImporter(QObject *parent) : BaseDataImporter(parent) {}

void CODBImporter::doImport()
{
    m_running = true;
    m_skippedLines = 0;
    m_lastError.clear();
    QFile file(importFileName());
    if (!m_database || !file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        m_lastError = tr("Cannot read %1.").arg(importFileName());
        qDebug() << "CODBImporter:" << m_lastError;
        finishImport();
        return;
    }
    m_database->setLockWriteAccess(false);
    const qint64 size = qMax<qint64>(file.size(), 1);
    QTextStream stream(&file);
    stream.setCodec("UTF-8");
    quint8 lastReported = 0;
    while (!stream.atEnd() && !abortRequested()) {
        handleLine(stream.readLine());
        const quint8 percent = quint8(qMin<qint64>(99, file.pos() * 99 / size));
        if (percent >= lastReported + 10) {
            lastReported = percent;
            emit progress(percent);
        }
    }
    qDebug() << "Import completeted";
    finishImport();
}

void CODBImporter::handleLine(const QString &line)
{
    if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
        return;
    if (line.startsWith(QLatin1Char('$'))) {
        if (m_multipleObjects)
            handleAssignmentLine(line);
        return;
    }
    handleImportLine(line);
}

bool CODBImporter::handleImportLine(const QString &line)
{
    if (line.midRef(4, 2) == QLatin1String("::"))
        return importIndex(line);
    return importSubIndex(line);
}

bool CODBImporter::handleAssignmentLine(const QString &line)
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\$([0-9A-Fa-f]{4})=([0-9A-Fa-f]{4})"));
    const QRegularExpressionMatch match = pattern.match(line);
    if (!match.hasMatch())
        return skipLine(line, "not an assignment");
    const quint16 destination = match.captured(1).toUShort(nullptr, 16);
    const quint16 source = match.captured(2).toUShort(nullptr, 16);
    if (!inRange(destination))
        return false;
    if (!m_database->existIndex(activeLine(), source))
        return skipLine(line, "copy of an unknown object");
    return m_database->copyIndex(activeLine(), source, activeLine(), destination);
}

bool CODBImporter::importIndex(const QString &line)
{
    const QStringList fields = line.split(QLatin1Char(':'), Qt::KeepEmptyParts);
    if (fields.size() < FieldCount)
        return skipLine(line, "too few fields");
    bool ok = false;
    const quint16 index = fields.at(FieldIndex).toUShort(&ok, 16);
    if (!ok || fields.at(FieldIndex).size() != 4)
        return skipLine(line, "bad index");
    if (!inRange(index))
        return false;

    const QString name = fields.at(FieldName);
    const quint8 category = Helper::convertCategory(fields.at(FieldCategory));
    const QString code = fields.at(FieldObjectCode).trimmed().toUpper();
    if (code == QLatin1String("VAR") || code == QLatin1String("VARIABLE"))
        return importVariable(index, name, category, fields);
    if (code != QLatin1String("ARRAY") && code != QLatin1String("RECORD"))
        return skipLine(line, "unknown object code");

    ObjectDataBase::INDEX_DATA_T object;
    object.name = name;
    object.objecttype = code == QLatin1String("ARRAY") ? CAN::OC_ARRAY : CAN::OC_RECORD;
    object.category = category;
    object.description = fields.at(FieldDescription);
    const QString typeName = fields.at(FieldDataType).trimmed();
    if (!typeName.isEmpty()) {
        object.datatype = Helper::mapDataTypeString(typeName);
        if (object.datatype == 0)
            return skipLine(line, "unknown data type");
    }
    return m_database->addIndex(activeLine(), index, object);
}

bool CODBImporter::importVariable(quint16 index, const QString &name, quint8 category,
                                  const QStringList &fields)
{
    ObjectDataBase::SUBINDEX_DATA_T entry;
    entry.name = name;
    entry.category = category;
    if (!subIndexFromFields(index, 0, fields, entry))
        return skipLine(fields.join(QLatin1Char(':')), "bad attribute field");

    ObjectDataBase::INDEX_DATA_T object;
    object.name = name;
    object.objecttype = CAN::OC_VAR;
    object.datatype = entry.datatype;
    object.category = category;
    object.description = entry.description;
    if (!m_database->addIndex(activeLine(), index, object))
        return false;
    return m_database->addSubIndex(activeLine(), index, 0, entry);
}

bool CODBImporter::importSubIndex(const QString &line)
{
    const QStringList fields = line.split(QLatin1Char(':'), Qt::KeepEmptyParts);
    if (fields.size() < FieldCount)
        return skipLine(line, "too few fields");
    bool indexOk = false;
    bool subOk = false;
    const quint16 index = fields.at(FieldIndex).toUShort(&indexOk, 16);
    const uint sub = fields.at(FieldSub).toUInt(&subOk, 16);
    if (!indexOk || fields.at(FieldIndex).size() != 4 || !subOk || sub > 0xFF)
        return skipLine(line, "bad index or sub-index");
    if (!inRange(index))
        return false;
    if (!m_database->existIndex(activeLine(), index))
        return skipLine(line, "sub-index of an unknown object");

    ObjectDataBase::SUBINDEX_DATA_T entry;
    entry.name = fields.at(FieldName);
    entry.category = Helper::convertCategory(fields.at(FieldCategory));
    if (!subIndexFromFields(index, quint8(sub), fields, entry))
        return skipLine(line, "bad attribute field");
    return m_database->addSubIndex(activeLine(), index, quint8(sub), entry);
}

bool CODBImporter::subIndexFromFields(quint16 index, quint8 sub, const QStringList &fields,
                                      ObjectDataBase::SUBINDEX_DATA_T &entry)
{
    entry.datatype = Helper::mapDataTypeString(fields.at(FieldDataType).trimmed());
    if (entry.datatype == 0)
        return false;
    bool ok = false;
    entry.accesstype = Helper::normalizeAccessType(fields.at(FieldAccess), &ok);
    if (!ok)
        return false;

    const QString allowed = fields.at(FieldAllowed).trimmed();
    QString list;
    if (allowed.compare(QLatin1String("m"), Qt::CaseInsensitive) == 0) {
        entry.allowedaccesstypes = entry.accesstype;
    } else if (bracketContent(allowed, &list)) {
        QStringList types;
        for (const QString &type : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            types.append(Helper::normalizeAccessType(type, &ok));
            if (!ok)
                return false;
        }
        entry.allowedaccesstypes = types.join(QLatin1Char(','));
    } else if (!allowed.isEmpty()) {
        return false;
    }

    const QString size = fields.at(FieldSize).trimmed();
    entry.size = size.isEmpty() ? 0 : size.toUInt(&ok, 0);
    if (!size.isEmpty() && !ok)
        return false;
    if (!readLetter(fields.at(FieldPdo), pdoMappingLetters, &entry.pdomapping))
        return false;
    entry.defaultvalue = fields.at(FieldDefault);
    entry.defaultineds = readFlag(fields.at(FieldDefaultInEds), true, &ok);
    if (!ok)
        return false;
    entry.description = fields.at(FieldDescription);
    if (!readLimits(fields.at(FieldRange), entry.datatype, entry))
        return false;
    entry.limitineds = readFlag(fields.at(FieldLimitsInEds), false, &ok);
    if (!ok
        || !readLetter(fields.at(FieldImplementation), implementationLetters,
                       &entry.implementation))
        return false;

    // A domain lives in the application; so does every entry the catalogue marks as such.
    if (entry.datatype == CAN::DT_DOMAIN)
        entry.implementation = 2;
    if (entry.implementation == 2)
        entry.varname = QStringLiteral("v_%1%2").arg(index).arg(sub);
    return true;
}

bool CODBImporter::readLimits(const QString &range, quint16 dataType,
                              ObjectDataBase::SUBINDEX_DATA_T &entry)
{
    qint64 low = 0;
    qint64 high = 0;
    if (!Helper::getDefaultLimitsInt64(dataType, low, high))
        low = high = 0;
    const QString t = range.trimmed();
    QString content;
    if (!t.isEmpty() && t.compare(QLatin1String("n"), Qt::CaseInsensitive) != 0) {
        if (!bracketContent(t, &content))
            return false;
        const QChar kind = t.at(0).toLower();
        if (kind != QLatin1Char('d') && kind != QLatin1Char('m'))
            return false;
        const QStringList bounds = content.split(QStringLiteral("..."));
        if (bounds.size() != 2)
            return false;
        qint64 a = 0;
        qint64 b = 0;
        // A node-ID expression is no fixed number; the type's limits stay.
        if (readBound(bounds.at(0), &a) && readBound(bounds.at(1), &b)) {
            low = a;
            high = b;
        }
    }
    entry.lowlimit = low;
    entry.uplimit = high;
    return true;
}

bool CODBImporter::inRange(quint32 index) const
{
    return index >= lowIndex() && index <= highIndex();
}

bool CODBImporter::skipLine(const QString &line, const char *reason)
{
    ++m_skippedLines;
    qDebug() << "CODBImporter: skipped line (" << reason << "):" << line;
    return false;
}
