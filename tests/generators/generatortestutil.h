#pragma once

#include "database/objectdatabase.h"
#include "generators/abstractgenerator.h"
#include "golden.h"
#include "panelkit/appidentity.h"
#include "testenv.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <QVariantMap>

#include <algorithm>

// Fixture projects built in code and helpers to read what generators wrote, shared by
// the generator, generation-run and command-line tests.
namespace gentest {

using golden::goldenSectionDiff;
using golden::lineChanges;

const quint8 receive = 0x77;
const quint8 transmit = 0x55;

// The time every generated file and output line of a test carries.
inline QDateTime fixedTime()
{
    return QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9));
}

// A file or folder under tests/data/generators.
inline QString testData(const QString &name)
{
    return QStringLiteral(NW_TEST_DATA_DIR "/generators/") + name;
}

// The protocol stack folder the model check compares projects with: it supports every
// feature, so that the fixture projects pass the check.
inline QString testStackFolder()
{
    return QStringLiteral(NW_TEST_DATA_DIR "/generators/stack");
}

// The preferences of a generation run in a test: the test stack, everything else default.
inline Preferences testPreferences()
{
    Preferences preferences;
    preferences.stackPath = testStackFolder();
    return preferences;
}

inline void initApplication()
{
    nwIsolateTestEnvironment();
    AppIdentity::apply(QStringLiteral("nodewright"));
    AbstractGenerator::setFixedDateTime(fixedTime());
}

// The preferences with "alwaysml" set: the multi-line form also for a single line.
inline Preferences alwaysMultiLine()
{
    Preferences preferences;
    preferences.alwaysMultiLine = true;
    return preferences;
}

// Configures a generator as the generation run does and runs it to its end.
inline bool runGenerator(AbstractGenerator &generator, ObjectDataBase &db, const QString &folder,
                         const QString &projectName, quint8 line = 0,
                         const Preferences &preferences = Preferences())
{
    generator.setPreferences(preferences);
    generator.setDataBase(&db);
    generator.setOutputDirectory(folder);
    generator.setProjectName(projectName);
    generator.setActiveLine(line);
    if (generator.startGeneration() != 0)
        return false;
    generator.wait();
    return true;
}

inline QString readText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("<missing %1>").arg(path);
    return QString::fromUtf8(file.readAll());
}

inline bool writeText(const QString &path, const QString &text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(text.toUtf8()) >= 0;
}

// The lines of a generated file with the date line of the comment header masked.
inline QStringList maskedLines(const QString &text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    const QString date = QStringLiteral(" * ") + fixedTime().toString(Qt::TextDate);
    std::replace(lines.begin(), lines.end(), date, QStringLiteral(" * <date>"));
    return lines;
}

// Empty when actual matches the golden file line for line; otherwise the first
// differing lines, for the failure message. UPDATE_GOLDEN=1 rewrites the golden file.
inline QString goldenDiff(const QString &goldenPath, const QString &actual)
{
    const QStringList got = maskedLines(actual);
    if (qEnvironmentVariableIntValue("UPDATE_GOLDEN") == 1) {
        writeText(goldenPath, got.join(QLatin1Char('\n')));
        return QString();
    }
    return golden::lineReport(readText(goldenPath).split(QLatin1Char('\n')), got);
}

// Fails the running test with a report that is not empty (differences, diagnostics).
#define GENTEST_VERIFY_EMPTY(report)                                                               \
    do {                                                                                           \
        const QString report_ = (report);                                                          \
        QVERIFY2(report_.isEmpty(), qPrintable(report_));                                          \
    } while (false)

// Settings written "key=value; key=value" (a value may hold blanks) as one map.
inline QVariantMap settingsOf(const QString &pairs)
{
    QVariantMap settings;
    for (const QString &pair : pairs.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        settings.insert(pair.section(QLatin1Char('='), 0, 0).trimmed(),
                        pair.section(QLatin1Char('='), 1).trimmed());
    return settings;
}

inline void setLineType(ObjectDataBase &db, quint8 line, int type)
{
    db.setGeneralSettingsValue(QStringLiteral("line%1type").arg(line), QString::number(type));
}

inline void addLine(ObjectDataBase &db, quint8 line, int type)
{
    if (!db.existNode(line))
        db.addNode(line, ObjectDataBase::NODE_DATA_T());
    setLineType(db, line, type);
}

inline ObjectDataBase::SUBINDEX_DATA_T sub(const QString &name, quint16 datatype = 7,
                                           const QString &value = "0", quint8 implementation = 0)
{
    ObjectDataBase::SUBINDEX_DATA_T data;
    data.name = name;
    data.datatype = datatype;
    data.defaultvalue = value;
    data.implementation = implementation;
    return data;
}

// A variable (object type 7) with its sub-index 0.
inline void addVar(ObjectDataBase &db, quint8 line, quint16 index, const QString &name,
                   quint16 datatype = 7, const ObjectDataBase::MetaData &metadata = {})
{
    ObjectDataBase::INDEX_DATA_T data;
    data.name = name;
    data.objecttype = 7;
    data.datatype = datatype;
    data.metadata = metadata;
    db.addIndex(line, index, data);
    db.addSubIndex(line, index, 0, sub(name, datatype));
}

// A record (object type 9) with sub-index 0 counting the named sub-indices 1..n.
inline void addRecord(ObjectDataBase &db, quint8 line, quint16 index, const QString &name,
                      const QStringList &subNames, quint8 objectType = 9)
{
    ObjectDataBase::INDEX_DATA_T data;
    data.name = name;
    data.objecttype = objectType;
    db.addIndex(line, index, data);
    db.addSubIndex(line, index, 0,
                   sub("Highest sub-index supported", 5, QString::number(subNames.size())));
    for (int i = 0; i < subNames.size(); ++i)
        db.addSubIndex(line, index, quint8(i + 1), sub(subNames.at(i)));
}

// The objects every CANopen line of the fixtures has.
inline void addCanopenBasics(ObjectDataBase &db, quint8 line)
{
    addVar(db, line, 0x1000, "Device Type");
    addVar(db, line, 0x1001, "Error Register", 5);
    addVar(db, line, 0x1017, "Producer Heartbeat Time", 6);
    addRecord(db, line, 0x1018, "Identity Object",
              {"Vendor-ID", "Product Code", "Revision Number", "Serial Number"});
    db.setSubIndexValue(line, 0x1018, 1, QStringLiteral("0x12345"));
    db.setSubIndexValue(line, 0x1018, 2, QStringLiteral("1"));
    db.setSubIndexValue(line, 0x1018, 3, QStringLiteral("1"));
    addRecord(db, line, 0x1200, "Server SDO Parameter",
              {"COB-ID Client->Server", "COB-ID Server->Client"});
    db.setGeneralSettingsValue(QStringLiteral("co_node_id"), QStringLiteral("32"));
    // As a new project has it; the stack start passes it to the timer.
    db.setGeneralSettingsValue(QStringLiteral("co_timer_interval"), QStringLiteral("10000"));
}

inline void addPgn(ObjectDataBase &db, quint8 line, quint32 number, quint8 direction,
                   const QString &name, const QString &description = QString())
{
    ObjectDataBase::PGN pgn;
    pgn.name = name;
    pgn.desc = description;
    pgn.number = number;
    pgn.direction = direction;
    db.addPGN(line, number, pgn);
}

inline void addSpn(ObjectDataBase &db, quint8 line, quint32 pgn, quint8 direction, quint32 number,
                   quint8 pos, quint16 datatype, quint16 bitsize, const QString &varname,
                   quint8 implementation = 2)
{
    ObjectDataBase::SPN spn;
    spn.name = QStringLiteral("SPN %1").arg(number);
    spn.pos = pos;
    spn.datatype = datatype;
    spn.bitsize = bitsize;
    spn.pgnnumber = pgn;
    spn.direction = direction;
    spn.spnnumber = number;
    spn.implementation = implementation;
    spn.varname = varname;
    db.addSPN(line, pgn, direction, number, spn);
}

// Line 0 CANopen with the basic objects and a manufacturer record.
inline void buildCanopenProject(ObjectDataBase &db)
{
    db.createNewDataBase();
    addLine(db, 0, 1);
    addCanopenBasics(db, 0);
    addRecord(db, 0, 0x2000, "Motor Data", {"Speed", "Torque"});
}

// The J1939 name and address settings the model check asks for, one value per line.
inline void setJ1939Identity(ObjectDataBase &db, int lineCount)
{
    db.setJ1939SettingsValue(QStringLiteral("identitynumber"),
                             QStringLiteral("17,").repeated(lineCount).chopped(1));
    db.setJ1939SettingsValue(QStringLiteral("manufacturercode"),
                             QStringLiteral("99,").repeated(lineCount).chopped(1));
    for (const char *key : {"ecuinstance", "functioninstance", "function", "vehiclesystem",
                            "vehicleinstance", "industrygroup"})
        db.setJ1939SettingsValue(QLatin1String(key), QStringLiteral("0"));
    db.setJ1939SettingsValue(QStringLiteral("startaddress"), QStringLiteral("128"));
    db.setJ1939SettingsValue(QStringLiteral("bamsupport"), QStringLiteral("1"));
}

// Line 0 J1939 with the address claim PGN and two PGNs carrying application variables.
inline void buildJ1939Project(ObjectDataBase &db, quint8 line = 0)
{
    if (line == 0)
        db.createNewDataBase();
    addLine(db, line, 2);
    setJ1939Identity(db, line + 1);
    addPgn(db, line, 0xEE00, transmit, "Address Claimed");
    addPgn(db, line, 61444, receive, "Electronic Engine Controller 1");
    addSpn(db, line, 61444, receive, 190, 24, 6, 16, "engineSpeed");
    addSpn(db, line, 61444, receive, 899, 0, 102, 4, "torqueMode");
    addPgn(db, line, 65262, transmit, "Engine Temperature 1");
    addSpn(db, line, 65262, transmit, 110, 0, 5, 8, "coolantTemp");
    addSpn(db, line, 65262, transmit, 1133, 8, 9, 48, "engineName");
    addSpn(db, line, 65262, transmit, 175, 56, 5, 8, "oilTemp", 0);
}

// Line 0 CANopen, line 1 J1939.
inline void buildMixedProject(ObjectDataBase &db)
{
    buildCanopenProject(db);
    buildJ1939Project(db, 1);
}

} // namespace gentest
