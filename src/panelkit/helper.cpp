#include "panelkit/helper.h"

#include <QHash>

#include <iterator>

namespace {

struct CodeText
{
    quint8 code;
    const char *text;
};

const CodeText objectCodes[] = {
    {0, "NULL"}, {2, "DOMAIN"}, {5, "DEFTYPE"}, {6, "DEFSTRUCT"},
    {7, "VAR"},  {8, "ARRAY"},  {9, "RECORD"},
};

const char *const pdoMappingTexts[] = {"Forbidden", "Allowed", "Default", "RPDO", "TPDO"};

const char *const implementationTexts[] = {"Managed Variable", "Managed Const", "Variable",
                                           "Virtual Object"};

const char *const categoryTexts[] = {"Mandatory", "Optional", "Conditional"};

// Column of an object or sub-index record and the property name the comparison shows.
const struct
{
    const char *column;
    const char *property;
} dbNames[] = {
    {"name", "Name"},
    {"datatype", "DataType"},
    {"objecttype", "ObjectType"},
    {"category", "Category"},
    {"device_class", "Device Class"},
    {"description", "Description"},
    {"accesstype", "AccessType"},
    {"defaultvalue", "DefaultValue"},
    {"pdomapping", "PdoMapping"},
    {"lowlimit", "LowerLimit"},
    {"uplimit", "UpperLimit"},
    {"size", "Size"},
    {"implementation", "Implementation"},
    {"varname", "VariableName"},
    {"wizardsource", "WizardSource"},
    {"changedbyuser", "ChangedByUser"},
    {"defaultineds", "HasDefault"},
    {"writedefaulttoeds", "DefaultInEDS"},
    {"limitineds", "LimitCheck"},
    {"managedbycbw", "Managed by CBW"},
    {"sharedlines", "In all lines"},
};

// EnergyBus device kinds and their short codes; "tool" is the service/diagnostic tool an
// EnergyBus controller may support.
const struct
{
    const char *kind;
    const char *code;
} ebTypes[] = {
    {"Battery", "bat"},
    {"Display", "hmi"},
    {"Voltage Converter", "vc"},
    {"Motor Controller Unit", "mcu"},
    {"EnergyBus Controller", "ebc"},
    {"Load Monitoring Device", "lmd"},
    {"Security Device/Extension", "sec"},
    {"Manufacturer specific device (passive)", "manup"},
    {"Manufacturer specific device (active)", "manua"},
    {"Service/Diagnostic tool", "tool"},
};

QHash<QString, QString> buildAccessTypes()
{
    const struct
    {
        const char *spelling;
        const char *type;
    } spellings[] = {
        {"const", "const"},
        {"constant", "const"},
        {"c", "const"},
        {"ro", "ro"},
        {"r", "ro"},
        {"read", "ro"},
        {"readonly", "ro"},
        {"wo", "wo"},
        {"w", "wo"},
        {"write", "wo"},
        {"writeonly", "wo"},
        {"rw", "rw"},
        {"wr", "rw"},
        {"readwrite", "rw"},
        {"rwr", "rwr"},
        {"readwriteread", "rwr"},
        {"readwriteinput", "rwr"},
        {"rww", "rww"},
        {"readwritewrite", "rww"},
        {"readwriteoutput", "rww"},
    };
    QHash<QString, QString> types;
    for (const auto &s : spellings)
        types.insert(QLatin1String(s.spelling), QLatin1String(s.type));
    return types;
}

} // namespace

QString Helper::objectCode2String(quint8 objectCode)
{
    for (const CodeText &entry : objectCodes) {
        if (entry.code == objectCode)
            return QLatin1String(entry.text);
    }
    return QString::number(objectCode);
}

quint8 Helper::string2objectCode(const QString &text, bool *ok)
{
    const QString upper = text.trimmed().toUpper();
    bool isNumber = false;
    const uint number = upper.toLower().toUInt(&isNumber, 0);
    for (const CodeText &entry : objectCodes) {
        if (upper == QLatin1String(entry.text) || (isNumber && number == entry.code)) {
            if (ok)
                *ok = true;
            return entry.code;
        }
    }
    if (ok)
        *ok = upper == QLatin1String("VARIABLE");
    return 7;
}

QString Helper::pdoMapping2String(quint8 pdoMapping)
{
    if (pdoMapping < std::size(pdoMappingTexts))
        return QLatin1String(pdoMappingTexts[pdoMapping]);
    return QString::number(pdoMapping);
}

QString Helper::implementation2String(quint8 implementation)
{
    if (implementation < std::size(implementationTexts))
        return QLatin1String(implementationTexts[implementation]);
    return QString::number(implementation);
}

QString Helper::normalizeAccessType(const QString &text, bool *ok)
{
    static const QHash<QString, QString> types = buildAccessTypes();
    QString key = text.section(QLatin1Char('#'), 0, 0).trimmed().toLower();
    key.remove(QLatin1Char(' '));
    key.remove(QLatin1Char('-'));
    key.remove(QLatin1Char('_'));
    const auto it = types.constFind(key);
    if (ok)
        *ok = it != types.constEnd();
    return it != types.constEnd() ? *it : QStringLiteral("ro");
}

quint8 Helper::convertCategory(const QString &word)
{
    const QString key = word.trimmed().toLower();
    if (key == QLatin1String("mandatory") || key == QLatin1String("m"))
        return 0;
    if (key == QLatin1String("conditional") || key == QLatin1String("c"))
        return 2;
    return 1;
}

QString Helper::convertCategory(quint8 category)
{
    return QLatin1String(categoryTexts[category < std::size(categoryTexts) ? category : 1]);
}

QString Helper::convertDbNames(const QString &name)
{
    for (const auto &entry : dbNames) {
        if (name == QLatin1String(entry.column))
            return QLatin1String(entry.property);
        if (name == QLatin1String(entry.property))
            return QLatin1String(entry.column);
    }
    return name;
}

QString Helper::convertEBType(const QString &kindOrCode)
{
    const QString text = kindOrCode.trimmed();
    for (const auto &entry : ebTypes) {
        if (text.compare(QLatin1String(entry.kind), Qt::CaseInsensitive) == 0)
            return QLatin1String(entry.code);
        if (text.compare(QLatin1String(entry.code), Qt::CaseInsensitive) == 0)
            return QLatin1String(entry.kind);
    }
    return QString();
}
