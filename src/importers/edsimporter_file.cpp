// The parts of an EDS import beyond the objects: file and device information, the PDO
// objects a device promises, and the comment lines.

#include "importers/edsimporter.h"

#include "database/objectdatabase.h"

namespace {

const int maxPdos = 0x200;

ObjectDataBase::SUBINDEX_DATA_T pdoEntry(const QString &name, quint16 dataType, const char *access,
                                         const QString &value)
{
    ObjectDataBase::SUBINDEX_DATA_T entry;
    entry.name = name;
    entry.datatype = dataType;
    entry.accesstype = QLatin1String(access);
    entry.defaultvalue = value;
    entry.writedefaulttoeds = false;
    return entry;
}

// Sub-index 0 of a default PDO object: its count as default and current value.
ObjectDataBase::SUBINDEX_DATA_T countEntry(const char *access, int count, bool limitInEds)
{
    ObjectDataBase::SUBINDEX_DATA_T entry =
        pdoEntry(QStringLiteral("Number of Entries"), 5, access, QString::number(count));
    entry.currentvalue = entry.defaultvalue;
    entry.lowlimit = 0;
    entry.uplimit = count;
    entry.limitineds = limitInEds;
    return entry;
}

// The section names a comment may belong to: "xxxx" or "xxxxsubyy", hexadecimal.
bool commentTarget(const QString &section, quint16 &index, int &sub)
{
    bool ok = false;
    index = quint16(section.leftRef(4).toUInt(&ok, 16));
    if (section.size() < 4 || !ok)
        return false;
    if (section.size() == 4) {
        sub = -1;
        return true;
    }
    if (section.midRef(4, 3).compare(QLatin1String("sub"), Qt::CaseInsensitive) != 0)
        return false;
    const uint value = section.midRef(7).toUInt(&ok, 16);
    if (!ok)
        return false;
    sub = value == 0xFF ? -1 : int(value);
    return true;
}

} // namespace

bool EDSImporter::importFileDeviceInfo()
{
    if (!m_database)
        return false;
    if (!m_parsed)
        parse();
    const char *const fileInfo[] = {"FileVersion", "FileRevision", "CreatedBy", "ModifiedBy"};
    const char *const deviceInfo[] = {
        "VendorName",   "ProductName",   "OrderCode",    "LSS_Supported", "BaudRate_10",
        "BaudRate_20",  "BaudRate_50",   "BaudRate_125", "BaudRate_250",  "BaudRate_500",
        "BaudRate_800", "BaudRate_1000", "NrOfRXPDO",    "NrOfTXPDO",     "Granularity"};
    QList<QPair<QString, QString>> values;
    for (const char *key : fileInfo)
        values.append(
            {QLatin1String(key), m_parser->value(QStringLiteral("FileInfo"), QLatin1String(key))});
    for (int k = 1; k <= 7; ++k) {
        const QString key = QStringLiteral("Dummy000%1").arg(k);
        values.append({key, m_parser->value(QStringLiteral("DummyUsage"), key)});
    }
    for (const char *key : deviceInfo)
        values.append({QLatin1String(key),
                       m_parser->value(QStringLiteral("DeviceInfo"), QLatin1String(key))});
    const int lines =
        m_parser->value(QStringLiteral("Comments"), QStringLiteral("Lines")).toInt(nullptr, 0);
    QString comment;
    for (int k = 1; k <= lines; ++k)
        comment += m_parser->value(QStringLiteral("Comments"), QStringLiteral("Line%1").arg(k))
                   + QLatin1Char('\n');
    values.append({QStringLiteral("Comment"), comment});
    bool ok = true;
    for (const auto &value : qAsConst(values))
        ok = m_database->setDescriptionSettingsValue(value.first, value.second) && ok;
    return ok;
}

int EDSImporter::pdoCount(const char *key)
{
    const QString text =
        m_parser->value(QStringLiteral("DeviceInfo"), QLatin1String(key)).trimmed();
    bool ok = false;
    const int count = text.isEmpty() ? 0 : text.toInt(&ok, 0);
    if (!text.isEmpty() && (!ok || count < 0)) {
        note(tr("%1=%2 in [DeviceInfo] is no number; no PDO objects were added for it")
                 .arg(QLatin1String(key), text));
        return 0;
    }
    if (count > maxPdos) {
        note(tr("%1=%2 in [DeviceInfo] is more than a device can have; %3 were taken")
                 .arg(QLatin1String(key), text)
                 .arg(maxPdos));
        return maxPdos;
    }
    return count;
}

int EDSImporter::objectsIn(quint16 first, quint16 last) const
{
    int count = 0;
    for (auto it = m_objects.lowerBound(first); it != m_objects.cend() && it.key() <= last; ++it)
        ++count;
    return count;
}

void EDSImporter::addMissingPdoObjects()
{
    const int receive = pdoCount("NrOfRXPDO");
    const int transmit = pdoCount("NrOfTXPDO");
    addMissingPdos(0x1400, receive, false);
    addMissingPdos(0x1800, transmit, true);
    for (quint16 first : {quint16(0x1600), quint16(0x1A00)}) {
        const int count = first == 0x1600 ? receive : transmit;
        if (objectsIn(first, quint16(first + maxPdos - 1)) >= count)
            continue;
        for (int i = first; i < first + count; ++i) {
            if (!m_objects.contains(quint16(i)))
                createDefaultMapping(quint16(i));
        }
    }
}

void EDSImporter::addMissingPdos(quint16 first, int count, bool transmit)
{
    if (objectsIn(first, quint16(first + maxPdos - 1)) >= count)
        return;
    for (int i = first; i < first + count; ++i) {
        if (!m_objects.contains(quint16(i))) {
            if (transmit)
                createDefaultTpdo(quint16(i));
            else
                createDefaultRpdo(quint16(i));
        }
        if (!m_objects.contains(quint16(i + 0x200)))
            createDefaultMapping(quint16(i + 0x200));
    }
}

void EDSImporter::createDefaultRpdo(quint16 index)
{
    DictionaryObject &object = m_objects[index];
    object.index = index;
    object.data = ObjectDataBase::INDEX_DATA_T();
    object.data.name = tr("Receive PDO parameter %1").arg(index - 0x13FF);
    object.data.objecttype = 9;
    object.subs.clear();
    object.subs.insert(0, countEntry("ro", 2, false));
    object.subs.insert(1,
                       pdoEntry(QStringLiteral("COB-ID"), 7, "rw", QStringLiteral("0x80000000")));
    object.subs.insert(
        2, pdoEntry(QStringLiteral("Transmission Type"), 5, "rw", QStringLiteral("0xFF")));
}

void EDSImporter::createDefaultTpdo(quint16 index)
{
    DictionaryObject &object = m_objects[index];
    object.index = index;
    object.data = ObjectDataBase::INDEX_DATA_T();
    object.data.name = tr("Transmit PDO parameter %1").arg(index - 0x17FF);
    object.data.objecttype = 9;
    object.subs.clear();
    object.subs.insert(0, countEntry("ro", 5, false));
    object.subs.insert(1,
                       pdoEntry(QStringLiteral("COB-ID"), 7, "rw", QStringLiteral("0x80000000")));
    object.subs.insert(
        2, pdoEntry(QStringLiteral("Transmission Type"), 5, "rw", QStringLiteral("0xFF")));
    object.subs.insert(3, pdoEntry(QStringLiteral("Inhibit Time"), 6, "rw", QStringLiteral("0")));
    object.subs.insert(5, pdoEntry(QStringLiteral("Event Timer"), 6, "rw", QStringLiteral("0")));
}

void EDSImporter::createDefaultMapping(quint16 index)
{
    DictionaryObject &object = m_objects[index];
    object.index = index;
    object.data = ObjectDataBase::INDEX_DATA_T();
    object.data.name = tr("Mapping Parameter");
    object.data.objecttype = 9;
    object.subs.clear();
    object.subs.insert(0, countEntry("rw", 8, true));
    for (int k = 1; k <= 8; ++k)
        object.subs.insert(quint8(k), pdoEntry(tr("Mappping Entry %1").arg(k), 7, "rw",
                                               QStringLiteral("0x00000000")));
}

void EDSImporter::applyComments()
{
    const QList<EdsParser::SectionComment> comments = m_parser->comments();
    for (const EdsParser::SectionComment &comment : comments)
        applyComment(comment);
}

void EDSImporter::applyComment(const EdsParser::SectionComment &comment)
{
    quint16 index = 0;
    int sub = -1;
    if (!commentTarget(comment.section, index, sub))
        return;
    const auto object = m_objects.find(index);
    if (object == m_objects.end())
        return;
    // The writer puts each piece of a description between line ends on a ";;" line, so
    // the line end after the last piece is not part of the description.
    QString text = comment.text;
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    if (sub < 0) {
        object->data.description = text;
        // Sub-index 0 of an ARRAY or RECORD has a section of its own for its comments.
        const bool ownSection = object->data.objecttype == 8 || object->data.objecttype == 9;
        if (ownSection && comment.section.size() == 4)
            return;
        sub = 0;
    }
    const auto entry = object->subs.find(quint8(sub));
    if (entry != object->subs.end())
        entry->description = text;
}
