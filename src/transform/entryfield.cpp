#include "transform/entryfield.h"

#include "panelkit/canopendatatype.h"
#include "panelkit/helper.h"
#include "panelkit/valuechecker.h"
#include "transform/dictionaryeditor.h"

#include <QRegularExpression>

using SUBINDEX_DATA_T = ObjectDataBase::SUBINDEX_DATA_T;

namespace {

EntryField::Choices yesNo()
{
    return {{EntryField::tr("no"), false}, {EntryField::tr("yes"), true}};
}

} // namespace

EntryField::Choices EntryField::choices(Field field)
{
    switch (field) {
    case DataType: {
        Choices types;
        for (auto it = Helper::stringDataTypeIndexMap.constBegin();
             it != Helper::stringDataTypeIndexMap.constEnd(); ++it)
            types.append({it.value(), int(it.key())});
        return types;
    }
    case AccessType:
        return {{tr("Constant"), QStringLiteral("const")},
                {tr("Read Only"), QStringLiteral("ro")},
                {tr("Write Only"), QStringLiteral("wo")},
                {tr("Read Write"), QStringLiteral("rw")},
                {tr("Read Write Read"), QStringLiteral("rwr")},
                {tr("Read Write Write"), QStringLiteral("rww")}};
    case PdoMapping:
        return {{tr("Forbidden"), 0},
                {tr("Allowed"), 1},
                {tr("Default"), 2},
                {tr("RPDO"), 3},
                {tr("TPDO"), 4}};
    case Implementation:
        return {{tr("Managed Variable"), 0},
                {tr("Managed Const"), 1},
                {tr("Variable"), 2},
                {tr("Virtual Object"), 3}};
    // The store keeps this flag as a yes/no value.
    case DefaultInEds:
        return {{tr("no"), false}, {tr("as defaultvalue"), true}};
    case LimitCheck:
    case RefuseRead:
    case RefuseWrite:
    case SharedLines:
    case NvStorage:
    case HasDefault:
        return yesNo();
    default:
        return {};
    }
}

QVariant EntryField::value(const SUBINDEX_DATA_T &data, Field field)
{
    switch (field) {
    case DataType:
        return int(data.datatype);
    case AccessType:
        return data.accesstype;
    case PdoMapping:
        return int(data.pdomapping);
    case Implementation:
        return int(data.implementation);
    case DefaultInEds:
        return data.writedefaulttoeds;
    case LimitCheck:
        return data.limitineds;
    case RefuseRead:
        return data.refuseread;
    case RefuseWrite:
        return data.refusewrite;
    case SharedLines:
        return data.sharedlines;
    case NvStorage:
        return data.nvstorage;
    case HasDefault:
        return data.defaultineds;
    default:
        return text(data, field);
    }
}

QString EntryField::text(const SUBINDEX_DATA_T &data, Field field)
{
    switch (field) {
    case Name:
        return data.name;
    case DataType:
        return Helper::index2DataTypeString(data.datatype).isEmpty()
                   ? QStringLiteral("0x%1").arg(data.datatype, 4, 16, QLatin1Char('0'))
                   : Helper::index2DataTypeString(data.datatype);
    case AccessType:
        return data.accesstype;
    case LowLimit:
        return QString::number(data.lowlimit);
    case HighLimit:
        return QString::number(data.uplimit);
    case DefaultValue:
        return data.defaultvalue;
    case VariableName:
        return data.varname;
    case Size:
        return QString::number(data.size);
    case Denotation:
        return data.denotation;
    default:
        break;
    }
    const QVariant stored = value(data, field);
    for (const auto &choice : choices(field)) {
        if (choice.second == stored)
            return choice.first;
    }
    return stored.toString();
}

void EntryField::setValue(SUBINDEX_DATA_T &data, Field field, const QVariant &value)
{
    switch (field) {
    case AccessType:
        data.accesstype = value.toString();
        break;
    case PdoMapping:
        data.pdomapping = quint8(value.toUInt());
        break;
    case Implementation:
        data.implementation = quint8(value.toUInt());
        break;
    case DefaultInEds:
        data.writedefaulttoeds = value.toBool();
        break;
    case LimitCheck:
        data.limitineds = value.toBool();
        break;
    case RefuseRead:
        data.refuseread = value.toBool();
        break;
    case RefuseWrite:
        data.refusewrite = value.toBool();
        break;
    case SharedLines:
        data.sharedlines = value.toBool();
        break;
    case NvStorage:
        data.nvstorage = value.toBool();
        break;
    case HasDefault:
        data.defaultineds = value.toBool();
        break;
    default:
        break;
    }
}

QString EntryField::applyChoice(SUBINDEX_DATA_T &data, Field field, const QString &text)
{
    const QString typed = text.trimmed();
    const Choices list = choices(field);
    for (int i = 0; i < list.size(); ++i) {
        const bool named = typed.compare(list.at(i).first, Qt::CaseInsensitive) == 0;
        const bool stored = typed.compare(list.at(i).second.toString(), Qt::CaseInsensitive) == 0;
        if (named || stored || typed == QString::number(i)) {
            if (field == LimitCheck && list.at(i).second.toBool()
                && !ValueChecker::supportsLimitCheck(data.datatype))
                return tr("Values of %1 have no limits to check.")
                    .arg(Helper::index2DataTypeString(data.datatype));
            setValue(data, field, list.at(i).second);
            return QString();
        }
    }
    if (field == AccessType) {
        bool ok = false;
        const QString access = Helper::normalizeAccessType(typed, &ok);
        if (ok) {
            data.accesstype = access;
            return QString();
        }
    }
    QStringList names;
    for (const auto &choice : list)
        names.append(choice.first);
    return tr("\"%1\" is not one of %2.").arg(typed, names.join(QStringLiteral(", ")));
}

QString EntryField::applyDataType(SUBINDEX_DATA_T &data, const QString &text)
{
    const quint16 type = Helper::mapDataTypeString(text.trimmed());
    if (type == 0 || Helper::index2DataTypeString(type).isEmpty())
        return tr("\"%1\" is not a data type. Type its name (UNSIGNED8) or number (5).")
            .arg(text.trimmed());
    if (type == data.datatype)
        return QString();
    const QString reason = ValueChecker::checkDefaultValue(type, data.defaultvalue);
    if (!reason.isEmpty())
        return tr("The default value does not fit the new data type. %1").arg(reason);
    data.datatype = type;
    DictionaryEditor::applyDefaultLimits(data);
    if (!ValueChecker::supportsLimitCheck(type))
        data.limitineds = false;
    if (ValueChecker::hasByteSize(type))
        data.size = std::max(data.size, ValueChecker::textSize(type, data.defaultvalue));
    return QString();
}

QString EntryField::applyDefault(SUBINDEX_DATA_T &data, const QString &text)
{
    const QString reason = ValueChecker::checkDefaultValue(data.datatype, text);
    if (!reason.isEmpty())
        return reason;
    qint64 value = 0;
    const bool number =
        ValueChecker::parseLimit(text, value) && !ValueChecker::hasByteSize(data.datatype);
    if (data.limitineds && number && (value < data.lowlimit || value > data.uplimit))
        return tr("The default value %1 lies outside the limits (%2 to %3).")
            .arg(text.trimmed())
            .arg(data.lowlimit)
            .arg(data.uplimit);
    data.defaultvalue = ValueChecker::hasByteSize(data.datatype) ? text : text.trimmed();
    if (ValueChecker::hasByteSize(data.datatype))
        data.size = std::max(data.size, ValueChecker::textSize(data.datatype, data.defaultvalue));
    return QString();
}

QString EntryField::applyLimit(SUBINDEX_DATA_T &data, bool low, const QString &text)
{
    qint64 value = 0;
    const QString reason = ValueChecker::checkLimit(data.datatype, text, value);
    if (!reason.isEmpty())
        return reason;
    if (low ? value > data.uplimit : value < data.lowlimit)
        return tr("The lower limit must not lie above the upper limit (%1 to %2).")
            .arg(low ? value : data.lowlimit)
            .arg(low ? data.uplimit : value);
    (low ? data.lowlimit : data.uplimit) = value;
    return QString();
}

QString EntryField::apply(SUBINDEX_DATA_T &data, Field field, const QString &text)
{
    switch (field) {
    case Name:
        if (text.trimmed().isEmpty())
            return tr("A name cannot be empty.");
        data.name = text.trimmed();
        return QString();
    case Denotation:
        data.denotation = text.trimmed();
        return QString();
    case DataType:
        return applyDataType(data, text);
    case DefaultValue:
        return applyDefault(data, text);
    case LowLimit:
    case HighLimit:
        return applyLimit(data, field == LowLimit, text);
    case Size:
        return ValueChecker::checkSize(data.datatype, data.defaultvalue, text, data.size);
    case VariableName: {
        static const QRegularExpression blank(QStringLiteral("\\s"));
        const QString name = text.trimmed();
        const bool application = data.implementation == 2 || data.implementation == 3;
        if (application && name.isEmpty())
            return tr("An application variable needs a name.");
        if (name.contains(blank))
            return tr("A variable name cannot contain blanks.");
        data.varname = name.isEmpty() ? QStringLiteral(" ") : name;
        return QString();
    }
    default:
        return applyChoice(data, field, text);
    }
}
