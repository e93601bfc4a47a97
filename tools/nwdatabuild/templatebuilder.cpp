#include "templatebuilder.h"

#include "database/objectdatabase.h"
#include "importers/codbimporter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

namespace {

// Staging line of the catalogue database, as in the tool itself.
const quint8 catalogueLine = 255;

} // namespace

TemplateBuilder::TemplateBuilder() = default;
TemplateBuilder::~TemplateBuilder() = default;

bool TemplateBuilder::build(const QString &source, const QString &output)
{
    m_error.clear();
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        m_error = QStringLiteral("%1: %2").arg(source, file.errorString());
        return false;
    }
    m_sourceDir = QFileInfo(source).absolutePath();
    m_project.reset(new ObjectDataBase);
    m_catalogue.reset();
    if (!m_project->createNewDataBase()) {
        m_error = QStringLiteral("%1: cannot create a working database").arg(source);
        return false;
    }

    QTextStream stream(&file);
    stream.setCodec("UTF-8");
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    int number = 0;
    while (!stream.atEnd()) {
        const QString line = stream.readLine().trimmed();
        ++number;
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        m_location = QStringLiteral("%1:%2").arg(QFileInfo(source).fileName()).arg(number);
        const QString command = line.section(blanks, 0, 0);
        const QStringList args = line.split(blanks, Qt::SkipEmptyParts).mid(1);
        if (!runCommand(command, args, line))
            return false;
    }

    // The build leaves exactly one file: no backup of an earlier build.
    QFile::remove(output);
    QFile::remove(output + QStringLiteral(".bak"));
    QDir().mkpath(QFileInfo(output).absolutePath());
    if (!m_project->saveDataBase(output)) {
        m_error = QStringLiteral("%1: cannot write the template").arg(output);
        return false;
    }
    QFile::remove(output + QStringLiteral(".bak"));
    return true;
}

bool TemplateBuilder::runCommand(const QString &command, const QStringList &args,
                                 const QString &line)
{
    // The free text of a command: everything after its first fixedArgs words.
    const auto rest = [&line](int fixedArgs) {
        return line.section(QRegularExpression(QStringLiteral("\\s+")), fixedArgs + 1).trimmed();
    };
    if (command == QLatin1String("catalogue")) {
        if (args.size() != 1)
            return fail(QStringLiteral("catalogue takes one file"));
        return readCatalogue(QDir(m_sourceDir).absoluteFilePath(args.first()));
    }
    if (command == QLatin1String("line"))
        return addLine(args, rest(1));
    if (command == QLatin1String("object"))
        return copyObjects(args);
    if (command == QLatin1String("value"))
        return setValue(args, rest(3));
    static const QStringList stores = {QStringLiteral("general"), QStringLiteral("description"),
                                       QStringLiteral("j1939"), QStringLiteral("misc"),
                                       QStringLiteral("energybus")};
    if (stores.contains(command)) {
        if (args.isEmpty())
            return fail(QStringLiteral("%1 needs a key").arg(command));
        return setSetting(command, args.first(), rest(1));
    }
    return fail(QStringLiteral("unknown command \"%1\"").arg(command));
}

bool TemplateBuilder::readCatalogue(const QString &path)
{
    m_catalogue.reset(new ObjectDataBase);
    if (!m_catalogue->createNewDataBase())
        return fail(QStringLiteral("cannot create the catalogue database"));
    m_catalogue->addNode(catalogueLine, ObjectDataBase::NODE_DATA_T());
    CODBImporter importer;
    importer.setDatabase(m_catalogue.get());
    importer.setActiveLine(catalogueLine);
    importer.setIndexRange(0x0000, 0xFFFF);
    if (!importer.setImportFileName(path))
        return fail(QStringLiteral("cannot read catalogue %1").arg(path));
    importer.doImport();
    if (importer.skippedLineCount() > 0)
        return fail(QStringLiteral("catalogue %1 has %2 malformed line(s)")
                        .arg(path)
                        .arg(importer.skippedLineCount()));
    return true;
}

bool TemplateBuilder::addLine(const QStringList &args, const QString &name)
{
    uint line = 0;
    if (args.isEmpty() || !readNumber(args.first(), 10, 239, &line))
        return fail(QStringLiteral("line needs a line number from 0 to 239"));
    ObjectDataBase::NODE_DATA_T node;
    node.name = name;
    if (!m_project->addNode(quint8(line), node))
        return fail(QStringLiteral("cannot add line %1").arg(line));
    return true;
}

bool TemplateBuilder::copyObjects(const QStringList &args)
{
    uint line = 0;
    if (args.size() < 2 || !readNumber(args.first(), 10, 239, &line))
        return fail(QStringLiteral("object needs a line and at least one index"));
    if (!m_catalogue)
        return fail(QStringLiteral("object before any catalogue"));
    if (!m_project->existNode(quint8(line)))
        return fail(QStringLiteral("line %1 does not exist").arg(line));
    for (const QString &text : args.mid(1)) {
        uint index = 0;
        if (!readNumber(text, 16, 0xFFFF, &index))
            return fail(QStringLiteral("bad index \"%1\"").arg(text));
        if (!m_project->copyIndexFromDatabase(m_catalogue.get(), catalogueLine, quint16(index),
                                              quint8(line), quint16(index), true))
            return fail(QStringLiteral("the catalogue has no object 0x%1").arg(text));
    }
    return true;
}

bool TemplateBuilder::setValue(const QStringList &args, const QString &value)
{
    uint line = 0;
    uint index = 0;
    uint sub = 0;
    if (args.size() < 3 || !readNumber(args.at(0), 10, 239, &line)
        || !readNumber(args.at(1), 16, 0xFFFF, &index) || !readNumber(args.at(2), 16, 0xFF, &sub))
        return fail(QStringLiteral("value needs a line, an index and a sub-index"));
    if (!m_project->existSubIndex(quint8(line), quint16(index), quint8(sub)))
        return fail(
            QStringLiteral("line %1 has no entry 0x%2:%3").arg(line).arg(args.at(1), args.at(2)));
    m_project->setSubIndexValue(quint8(line), quint16(index), quint8(sub), value);
    return true;
}

bool TemplateBuilder::setSetting(const QString &store, const QString &key, const QString &value)
{
    bool ok = false;
    if (store == QLatin1String("general"))
        ok = m_project->setGeneralSettingsValue(key, value);
    else if (store == QLatin1String("description"))
        ok = m_project->setDescriptionSettingsValue(key, value);
    else if (store == QLatin1String("j1939"))
        ok = m_project->setJ1939SettingsValue(key, value);
    else if (store == QLatin1String("misc"))
        ok = m_project->setMiscSettingsValue(key, value);
    else
        ok = m_project->setEnergyBusSettingsValue(key, value);
    return ok || fail(QStringLiteral("cannot store %1 setting %2").arg(store, key));
}

bool TemplateBuilder::fail(const QString &message)
{
    m_error = QStringLiteral("%1: %2").arg(m_location, message);
    return false;
}

bool TemplateBuilder::readNumber(const QString &text, int base, uint max, uint *value)
{
    bool ok = false;
    *value = text.toUInt(&ok, base);
    return ok && *value <= max;
}
