// Turning the sections read by EdsParser::Reader into object and sub-object records.

#include "panelkit/edsparser_reader.h"
#include "panelkit/helper.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

QString hex4(int index)
{
    return QStringLiteral("%1").arg(index, 4, 16, QLatin1Char('0')).toUpper();
}

} // namespace

void EdsParser::Reader::checkObjectLists()
{
    const char *const lists[] = {"mandatoryobjects", "optionalobjects", "manufacturerobjects"};
    for (const char *list : lists) {
        if (m_parser.m_sections.contains(QLatin1String(list))) {
            m_hasObjectLists = true;
            readObjectList(QLatin1String(list));
        }
    }
    if (!m_hasObjectLists)
        return;
    for (const ObjectEntry &object : m_objects) {
        if (object.object.seen && !object.listed && object.index >= 0x1000)
            repeated(Repeat::NotListed, object.object.line,
                     tr("the object section [%1] is not listed in an object list")
                         .arg(hex4(object.index)));
    }
}

void EdsParser::Reader::readObjectList(const QString &name)
{
    const Section &section = m_parser.m_sections[name];
    int entries = 0;
    for (const QString &key : section.keyOrder) {
        const QString lower = key.toLower();
        const int line = section.lines.value(lower);
        if (lower == QLatin1String("supportedobjects"))
            continue;
        bool ok = false;
        const QString value = section.values.value(lower).section(QLatin1Char('#'), 0, 0);
        const uint index = value.trimmed().toUInt(&ok, 0);
        if (!ok || index > 0xFFFF) {
            warning(line, tr("the entry %1=%2 of [%3] names no object and was ignored")
                              .arg(key, section.values.value(lower), section.name));
            continue;
        }
        ++entries;
        const int slot = m_slots[index];
        if (slot < 0 || !m_objects[size_t(slot)].object.seen) {
            repeated(Repeat::ListedMissing, line,
                     tr("the object %1 is listed in [%2], but the file has no section [%1]")
                         .arg(hex4(int(index)), section.name),
                     int(index));
            // A file cut off loses the objects after its last section.
            if (int(index) > m_lastSectionIndex)
                ++m_missingObjects;
            continue;
        }
        m_objects[size_t(slot)].listed = true;
    }
    bool ok = false;
    const QString count = section.values.value(QStringLiteral("supportedobjects"));
    const int declared = count.section(QLatin1Char('#'), 0, 0).trimmed().toInt(&ok, 0);
    if (!ok || declared != entries)
        warning(section.lines.value(QStringLiteral("supportedobjects")),
                (entries == 1 ? tr("[%1] declares SupportedObjects=%2 but lists %3 object")
                              : tr("[%1] declares SupportedObjects=%2 but lists %3 objects"))
                    .arg(section.name, count)
                    .arg(entries));
}

void EdsParser::Reader::deliverObjects()
{
    for (int slot : m_slots) {
        if (slot < 0)
            continue;
        ObjectEntry &object = m_objects[size_t(slot)];
        if (!object.object.seen) {
            error(object.firstSubLine,
                  tr("the file has sub-object sections of the object %1 but no section [%1]; "
                     "they were not read")
                      .arg(hex4(object.index)),
                  object.index);
            continue;
        }
        deliverObject(object);
    }
    // Objects listed after the last section, and a last object without all its parts
    // or a last line without a line end: the file was cut off. The error belongs to that
    // last object when it is incomplete.
    const bool lacksEnd = m_missingObjects > 0 || m_lastObjectShort;
    const int cutObject = m_lastObjectShort ? m_lastSectionIndex : -1;
    if (m_unterminated && lacksEnd)
        error(m_lineCount,
              tr("the file ends without a line end and lacks objects or sub-objects it "
                 "declares; it seems to be cut off"),
              cutObject);
    else if (m_missingObjects > 0 && m_lastObjectShort)
        error(m_lineCount,
              tr("the file ends inside an object and lacks objects it lists; it seems to be "
                 "cut off"),
              cutObject);
}

void EdsParser::Reader::deliverObject(ObjectEntry &object)
{
    CAN::CANopenIndex record;
    record.index = object.index;
    record.line = object.object.line;
    if (!readObjectHeader(object, record))
        return;
    std::sort(object.subs.begin(), object.subs.end(),
              [](const SubEntry &a, const SubEntry &b) { return a.sub < b.sub; });
    switch (record.objectType) {
    case 2:
    case 5:
    case 7:
        deliverVariable(object, record);
        break;
    default:
        if (record.compactCount > 0)
            deliverCompactElements(object, record);
        else
            deliverSubObjects(object, record);
        break;
    }
}

bool EdsParser::Reader::readObjectHeader(ObjectEntry &object, CAN::CANopenIndex &record)
{
    const Entry &entry = object.object;
    const int index = object.index;
    record.name = string(entry.fields[ParameterName]);
    if (!entry.fields[ParameterName].present())
        warning(entry.line, tr("the object %1 has no ParameterName").arg(hex4(index)), index);

    quint64 compact = 0;
    if (entry.fields[CompactSubObj].present() && number(entry.fields[CompactSubObj], compact)
        && compact > 254) {
        error(entry.fields[CompactSubObj].line,
              tr("CompactSubObj=%1 is larger than 254; the object was not read").arg(compact),
              index);
        return false;
    }
    record.compactCount = quint8(compact);

    quint64 code = 7;
    const Field &type = entry.fields[ObjectType];
    if (type.present() && !text(type).isEmpty()) {
        if (!number(type, code)
            || (code != 2 && code != 5 && code != 6 && code != 7 && code != 8 && code != 9)) {
            error(type.line,
                  tr("ObjectType=%1 is no known object code; the object was not read")
                      .arg(text(type).toString()),
                  index);
            return false;
        }
    } else if (compact > 0) {
        code = 8;
    } else if (!object.subs.empty() && !entry.fields[DataType].present()) {
        warning(entry.line,
                tr("the object %1 has no ObjectType but sub-object sections; it was read as a "
                   "RECORD")
                    .arg(hex4(index)),
                index);
        code = 9;
    }
    record.objectType = quint8(code);
    if (code == 7 && !object.subs.empty() && !entry.fields[DataType].present()) {
        warning(entry.line,
                tr("the VAR object %1 has no DataType but sub-object sections; it was read as a "
                   "RECORD")
                    .arg(hex4(index)),
                index);
        record.objectType = 9;
    }
    const bool variable = code == 2 || code == 5 || record.objectType == 7;
    if (!variable && entry.fields[DataType].present())
        record.dataType = readDataType(entry.fields[DataType], quint16(index));
    if (compact > 0) {
        record.compactAccessType = text(entry.fields[AccessType]).trimmed().toString();
        quint64 mapping = 0;
        if (entry.fields[PDOMapping].present())
            number(entry.fields[PDOMapping], mapping);
        record.compactPdoMapping = mapping != 0 ? 1 : 0;
    }
    return true;
}

void EdsParser::Reader::deliverVariable(ObjectEntry &object, const CAN::CANopenIndex &header)
{
    CAN::CANopenIndex record = header;
    CAN::CANopenSubIndex value;
    const quint16 implied = record.objectType == 2 ? quint16(CAN::DT_DOMAIN) : quint16(0);
    const bool valid = readValue(object.object, object.index, 0, value, implied);
    if (valid)
        record.dataType = value.dataType;
    emit m_parser.newIndex(record);
    if (valid)
        emit m_parser.newSubIndex(value);
    ignoreLists(object);
    if (object.subs.empty())
        return;
    warning(object.subs.front().entry.line,
            tr("the VAR object %1 has sub-object sections; they were read as further "
               "sub-indices")
                .arg(hex4(object.index)),
            object.index);
    for (const SubEntry &sub : object.subs) {
        CAN::CANopenSubIndex extra;
        if (sub.sub != 0 && readValue(sub.entry, object.index, sub.sub, extra))
            emit m_parser.newSubIndex(extra);
    }
}

void EdsParser::Reader::deliverSubObjects(ObjectEntry &object, const CAN::CANopenIndex &header)
{
    CAN::CANopenIndex record = header;
    if (!object.object.fields[DataType].present()) {
        for (const SubEntry &sub : object.subs) {
            if (sub.sub >= 1 && sub.entry.fields[DataType].present()) {
                record.dataType = readDataType(sub.entry.fields[DataType], object.index);
                break;
            }
        }
    }
    emit m_parser.newIndex(record);
    for (const SubEntry &sub : object.subs) {
        CAN::CANopenSubIndex value;
        if (readValue(sub.entry, object.index, sub.sub, value))
            emit m_parser.newSubIndex(value);
    }
    checkSubNumber(object);
    ignoreLists(object);
}

void EdsParser::Reader::deliverCompactElements(ObjectEntry &object, const CAN::CANopenIndex &record)
{
    emit m_parser.newIndex(record);
    const int count = record.compactCount;
    std::vector<const Field *> names(size_t(count) + 1, nullptr);
    std::vector<const Field *> values(size_t(count) + 1, nullptr);
    std::vector<const Field *> denotations(size_t(count) + 1, nullptr);
    auto collect = [&](const std::vector<ListItem> &items, std::vector<const Field *> &target,
                       const char *kind) {
        for (const ListItem &item : items) {
            if (item.element <= count)
                target[size_t(item.element)] = &item.value;
            else
                warning(item.value.line,
                        tr("the entry %1 of [%2%3] lies beyond CompactSubObj=%4 and was ignored")
                            .arg(item.element)
                            .arg(hex4(object.index), QLatin1String(kind))
                            .arg(count),
                        object.index);
        }
    };
    collect(object.names, names, "Name");
    collect(object.values, values, "Value");
    collect(object.denotations, denotations, "Denotation");

    CAN::CANopenSubIndex element;
    if (!readValue(object.object, object.index, 1, element))
        return;
    for (int k = 1; k <= count; ++k) {
        element.subIndex = quint8(k);
        element.parameterName = names[size_t(k)]
                                    ? string(*names[size_t(k)])
                                    : record.name + QLatin1Char(' ') + QString::number(k);
        element.parameterValue =
            values[size_t(k)] ? nodeIdExpression(string(*values[size_t(k)])) : QString();
        element.denotation = denotations[size_t(k)] ? string(*denotations[size_t(k)]) : QString();
        emit m_parser.newSubIndex(element);
    }
    // Explicit sub-object sections of a compact array override its elements.
    for (const SubEntry &sub : object.subs) {
        CAN::CANopenSubIndex value;
        if (readValue(sub.entry, object.index, sub.sub, value))
            emit m_parser.newSubIndex(value);
    }
}

void EdsParser::Reader::checkSubNumber(const ObjectEntry &object)
{
    const Field &field = object.object.fields[SubNumber];
    quint64 declared = 0;
    const bool given = field.present() && number(field, declared);
    const quint64 found = object.subs.size();
    // The last section of a file that is cut off is often an object without all its parts.
    if (object.index == m_lastSectionIndex && found < qMax<quint64>(declared, 1))
        m_lastObjectShort = true;
    if (given && found != declared)
        warning(field.line,
                tr("the object %1 declares SubNumber=%2 but the file has %3 sub-object sections")
                    .arg(hex4(object.index))
                    .arg(declared)
                    .arg(found),
                object.index);
}

void EdsParser::Reader::ignoreLists(const ObjectEntry &object)
{
    if (object.names.empty() && object.values.empty() && object.denotations.empty())
        return;
    warning(object.object.line,
            tr("the Name, Value and Denotation sections of the object %1 were ignored; it is no "
               "compact array")
                .arg(hex4(object.index)),
            object.index);
}
