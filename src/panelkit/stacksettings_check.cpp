// Value checks of the stack settings and the import of settings from another project.
#include "panelkit/stacksettings.h"

#include "database/objectdatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

using Format = StackSetting::Format;

QString tr(const char *text)
{
    return QCoreApplication::translate("StackSettings", text);
}

bool isIdentifier(const QString &text)
{
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return identifier.match(text).hasMatch();
}

// A number as the generators read it: decimal, or hexadecimal with "0x". With unsignedSuffix
// a trailing "u" (as in C) is allowed.
bool readNumber(QString text, qint64 &value, bool hexAllowed, bool unsignedSuffix)
{
    text = text.trimmed();
    if (unsignedSuffix && text.endsWith(QLatin1Char('u'), Qt::CaseInsensitive))
        text.chop(1);
    bool ok = false;
    if (hexAllowed && text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        value = text.mid(2).toLongLong(&ok, 16);
    else if (!text.isEmpty() && (text.at(0).isDigit() || text.at(0) == QLatin1Char('-')))
        value = text.toLongLong(&ok, 10);
    return ok;
}

QString rangeProblem(const StackSetting &setting, const QString &text, qint64 value)
{
    if (value >= setting.minimum && value <= setting.maximum)
        return QString();
    return tr("%1 is out of range (%2 to %3).")
        .arg(text.trimmed(), QString::number(setting.minimum), QString::number(setting.maximum));
}

QString numberProblem(const StackSetting &setting, const QString &text, bool hexAllowed,
                      bool unsignedSuffix = false)
{
    qint64 value = 0;
    if (!readNumber(text, value, hexAllowed, unsignedSuffix))
        return tr("\"%1\" is not a number.").arg(text.trimmed());
    return rangeProblem(setting, text, value);
}

QString nodeIdProblem(const QString &text)
{
    qint64 value = 0;
    if (readNumber(text, value, true, true) && ((value >= 1 && value <= 127) || value == 255))
        return QString();
    return tr("\"%1\" is no node-ID (1 to 127, or 255 for LSS).").arg(text.trimmed());
}

QString identifierProblem(const QString &text)
{
    if (isIdentifier(text.trimmed()))
        return QString();
    return tr("\"%1\" is no C identifier (letters, digits and _, not starting with a digit).")
        .arg(text.trimmed());
}

// A list with one entry per line; every entry is checked alone.
template <typename Check>
QString listProblem(const QString &value, Check check)
{
    const QStringList entries = value.split(QLatin1Char(','));
    for (int position = 0; position < entries.size(); ++position) {
        if (entries.at(position).trimmed().isEmpty())
            return tr("Entry %1 of the list is empty.").arg(position + 1);
        const QString problem = check(entries.at(position));
        if (!problem.isEmpty())
            return entries.size() == 1
                       ? problem
                       : tr("Entry %1: %2").arg(QString::number(position + 1), problem);
    }
    return QString();
}

QString headerProblem(const QString &value)
{
    static const QRegularExpression forbidden(QStringLiteral("[\"<>]"));
    for (const QString &header : value.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (header.contains(forbidden))
            return tr("\"%1\" is no header file name.").arg(header);
    }
    return QString();
}

QString textProblem(const StackSetting &setting, const QString &value)
{
    if (value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r')))
        return tr("The text must stay on one line.");
    if (setting.format == Format::Name && value.contains(QLatin1String("*/")))
        return tr("The name may not contain \"*/\".");
    return QString();
}

QString macroProblem(const StackSetting &setting, const QString &value)
{
    qint64 number = 0;
    if (readNumber(value, number, true, false))
        return rangeProblem(setting, value, number);
    if (isIdentifier(value))
        return QString();
    return tr("\"%1\" is neither a number from %2 to %3 nor a macro name.")
        .arg(value, QString::number(setting.minimum), QString::number(setting.maximum));
}

} // namespace

QString StackSettings::normalized(const StackSetting &setting, const QString &value)
{
    return setting.format == Format::Code ? value : value.trimmed();
}

QString StackSettings::validate(const QString &key, const QString &value)
{
    const StackSetting *setting = find(key);
    if (!setting)
        return tr("%1 is no stack setting.").arg(key);
    return validate(*setting, value);
}

QString StackSettings::validate(const StackSetting &setting, const QString &value)
{
    const QString stored = normalized(setting, value);
    QString reason;
    if (stored.isEmpty())
        reason = setting.hasFlag(StackSetting::Required) ? tr("A value is required.") : QString();
    else
        reason = problem(setting, stored);
    if (reason.isEmpty())
        return QString();
    return tr("%1: %2").arg(setting.displayLabel().trimmed(), reason);
}

QString StackSettings::problem(const StackSetting &setting, const QString &value)
{
    switch (setting.format) {
    case Format::Flag:
    case Format::Count:
        return numberProblem(setting, value, false);
    case Format::Choice: {
        qint64 index = 0;
        if (!readNumber(value, index, false, false))
            return tr("\"%1\" is not a number.").arg(value);
        if (index >= setting.minimum && index <= setting.maximum)
            return QString();
        return tr("%1 is no choice (%2 to %3).")
            .arg(value, QString::number(setting.minimum), QString::number(setting.maximum));
    }
    case Format::Number:
        return numberProblem(setting, value, true);
    case Format::NumberOrMacro:
        return macroProblem(setting, value);
    case Format::NumberPerLine:
        return listProblem(value, [&setting](const QString &entry) {
            return numberProblem(setting, entry, true, true);
        });
    case Format::NodeIdPerLine:
        return listProblem(value, nodeIdProblem);
    case Format::RolePerLine:
        return listProblem(value, [&setting](const QString &entry) {
            return numberProblem(setting, entry, false);
        });
    case Format::Identifier:
        return identifierProblem(value);
    case Format::IdentifierPerLine:
        return listProblem(value, identifierProblem);
    case Format::HeaderFiles:
        return headerProblem(value);
    case Format::Text:
    case Format::Name:
        return textProblem(setting, value);
    case Format::Code:
        break;
    }
    return QString();
}

bool StackSettings::importFrom(ObjectDataBase *project, ObjectDataBase *other, QStringList *refused,
                               int *copied)
{
    if (copied)
        *copied = 0;
    if (!project || !other || !project->beginTransaction())
        return false;
    int count = 0;
    for (const QString &key : importedKeys()) {
        if (!other->existGeneralSettingsValue(key))
            continue;
        const QString value = other->getGeneralSettingsValue(key);
        const QString problem = validate(key, value);
        if (!problem.isEmpty()) {
            if (refused)
                refused->append(problem);
            continue;
        }
        project->setGeneralSettingsValue(key, normalized(*find(key), value));
        ++count;
    }
    if (!project->commitTransaction())
        return false;
    if (copied)
        *copied = count;
    return true;
}

bool StackSettings::importFromFile(ObjectDataBase *project, const QString &path, QString *error,
                                   QStringList *refused, int *copied)
{
    if (!QFileInfo(path).isFile()) {
        if (error)
            *error = tr("The file %1 does not exist.").arg(QDir::toNativeSeparators(path));
        return false;
    }
    ObjectDataBase other;
    if (!other.openDataBase(path, false)) {
        if (error)
            *error = tr("%1 cannot be opened as a project: %2")
                         .arg(QDir::toNativeSeparators(path), other.errorString());
        return false;
    }
    if (importFrom(project, &other, refused, copied))
        return true;
    if (error)
        *error = tr("The settings could not be written into the project.");
    return false;
}
