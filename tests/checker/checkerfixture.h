#pragma once

#include "checker/modelchecker.h"
#include "database/objectdatabase.h"
#include "golden.h"
#include "projectbuilder.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTest>

#include <memory>

// Fixture projects of the model checker tests, built through the project store. A clean
// line passes every CANopen rule; each test breaks one thing in it.
namespace checkertest {

using Sub = ObjectDataBase::SUBINDEX_DATA_T;

using nwtest::initApplication;

inline Sub entry(quint16 type, const QString &access, const QString &value,
                 quint8 implementation = 0, const QString &name = QStringLiteral("Entry"))
{
    Sub sub;
    sub.name = name;
    sub.datatype = type;
    sub.accesstype = access;
    sub.defaultvalue = value;
    sub.implementation = implementation;
    return sub;
}

// An application variable that may be mapped into PDOs.
inline Sub variable(quint16 type, const QString &access, const QString &varName)
{
    Sub sub = entry(type, access, QStringLiteral("0"), 2);
    sub.varname = varName;
    sub.pdomapping = 1;
    return sub;
}

// An object named "Object" with sub-indices 0..n-1 as given.
inline void addObject(ObjectDataBase &db, quint8 line, quint16 index, quint8 objectType,
                      const QString &name = QStringLiteral("Object"), const QList<Sub> &subs = {})
{
    nwtest::ProjectBuilder(db).object(line, index, objectType, subs, name);
}

inline void addVar(ObjectDataBase &db, quint8 line, quint16 index, const Sub &sub)
{
    addObject(db, line, index, 7, QStringLiteral("Object"), {sub});
}

// Sub-index 0 holds the number of entries, as a managed constant.
inline Sub countEntry(int count, const QString &access = QStringLiteral("const"))
{
    return entry(5, access, QString::number(count), access == QLatin1String("const") ? 1 : 0,
                 QStringLiteral("Highest sub-index supported"));
}

// A RECORD with sub-index 0 and the given entries at 1..n.
inline void addRecord(ObjectDataBase &db, quint8 line, quint16 index, const QList<Sub> &subs,
                      quint8 objectType = 9)
{
    addObject(db, line, index, objectType, QStringLiteral("Object"),
              QList<Sub>{countEntry(subs.size())} + subs);
}

// A PDO mapping object; every entry has the access type of sub-index 0.
inline void addMapping(ObjectDataBase &db, quint8 line, quint16 index, const QStringList &entries,
                       const QString &access = QStringLiteral("const"),
                       const QString &count = QString())
{
    QList<Sub> subs{countEntry(entries.size(), access)};
    if (!count.isNull())
        subs[0].defaultvalue = count;
    for (const QString &value : entries)
        subs << entry(7, access, value, access == QLatin1String("const") ? 1 : 0);
    addObject(db, line, index, 9, QStringLiteral("Object"), subs);
}

inline void addPdoCommunication(ObjectDataBase &db, quint8 line, quint16 index,
                                const QString &cobId)
{
    addRecord(db, line, index, {entry(7, "rw", cobId), entry(5, "rw", "254")});
}

// Device type, error register, heartbeat, identity, one TPDO mapping one variable of
// 0x2000 and one RPDO mapping another.
inline void buildCleanLine(ObjectDataBase &db, quint8 line)
{
    ObjectDataBase::NODE_DATA_T node;
    node.name = QStringLiteral("Line %1").arg(line);
    db.addNode(line, node);
    db.setGeneralSettingsValue(QStringLiteral("line%1type").arg(line), "1");
    addVar(db, line, 0x1000, entry(7, "ro", "0x00000191", 1));
    addVar(db, line, 0x1001, entry(5, "ro", "0"));
    addVar(db, line, 0x1017, entry(6, "rw", "1000"));
    addRecord(db, line, 0x1018,
              {entry(7, "ro", "0x00000319", 1), entry(7, "ro", "0x1234", 1), entry(7, "ro", "1", 1),
               entry(7, "ro", "0")});
    addPdoCommunication(db, line, 0x1400, "$NODEID+0x200");
    addMapping(db, line, 0x1600, {"0x20000208"});
    addPdoCommunication(db, line, 0x1800, "$NODEID+0x180");
    addMapping(db, line, 0x1A00, {"0x20000108"});
    addRecord(db, line, 0x2000, {variable(5, "ro", "inputByte"), variable(5, "rw", "outputByte")});
}

// A one-line CANopen project that passes every rule.
inline void buildCleanProject(ObjectDataBase &db)
{
    db.createNewDataBase();
    db.setGeneralSettingsValue("co_node_id", "1");
    db.setDescriptionSettingsValue("Granularity", "8");
    buildCleanLine(db, 0);
}

// A protocol stack folder of the test data.
inline QString stackFolder(const QString &name)
{
    return QStringLiteral(NW_TEST_DATA_DIR "/checker/") + name;
}

// Everything a checker sends, in order.
class Recorder
{
public:
    explicit Recorder(ModelChecker &checker) : m_texts(std::make_shared<QStringList>())
    {
        auto texts = m_texts;
        QObject::connect(&checker, &ModelChecker::newError, &checker,
                         [texts](const QString &text) { texts->append(text); });
    }
    QStringList texts() const { return *m_texts; }

private:
    std::shared_ptr<QStringList> m_texts;
};

struct Result
{
    int count = 0;
    QStringList texts;
    bool modified = false;
};

// The writable store handed to startCANopenCheck for its corrections.
enum class Writable { Project, None, OtherProject };

// startCANopenCheck of one line with the stack path left empty, so that the two
// information lines about the missing stack come first.
inline Result canopenCheck(ObjectDataBase &db, quint8 line = 0, bool autoCorrection = true,
                           Writable writable = Writable::Project)
{
    ModelChecker checker;
    checker.setStackPath(QString());
    checker.setAutoCorrectionDisabled(!autoCorrection);
    Recorder recorder(checker);
    Result result;
    ObjectDataBase other;
    ObjectDataBase *correctable = writable == Writable::Project        ? &db
                                  : writable == Writable::OtherProject ? &other
                                                                       : nullptr;
    result.count = checker.startCANopenCheck(line, &db, result.modified, correctable);
    result.texts = recorder.texts();
    return result;
}

const QString noStackInfo = QStringLiteral(
    "\nInfo: Path to protocol stack not specified. Cannot check if generated code fits to "
    "installed stack/framework.");
const QString noStackHint =
    QStringLiteral("Specify path to protocol stack at Options -> Settings.\n");

// The findings of a CANopen check after the two information lines on the stack path.
inline QStringList findings(const Result &result)
{
    QStringList texts = result.texts;
    texts.removeAll(noStackInfo);
    texts.removeAll(noStackHint);
    return texts;
}

// A change that breaks one rule in a clean project; captureless lambdas convert to it.
using Mutation = void (*)(ObjectDataBase &);

} // namespace checkertest

Q_DECLARE_METATYPE(checkertest::Mutation)
Q_DECLARE_METATYPE(checkertest::Writable)

namespace checkertest {

// Applies a Sub change to an existing entry of line 0.
inline void changeSub(ObjectDataBase &db, quint16 index, quint8 sub, void (*change)(Sub &))
{
    Sub data;
    QVERIFY(db.getSubIndexData(0, index, sub, data));
    change(data);
    QVERIFY(db.addSubIndex(0, index, sub, data));
}

// One row of a rule test, whose only column is QTest::addColumn<Mutation>("mutate").
inline void ruleRow(const char *name, Mutation mutate)
{
    QTest::newRow(name) << mutate;
}

// The texts of a check and their count are those of the running row's section of the
// golden file tests/data/checker/<file>.
inline void compareWithGolden(const char *file, QStringList texts, int count)
{
    const QString diff = golden::goldenSectionDiff(QStringLiteral(NW_TEST_DATA_DIR "/checker/")
                                                       + QLatin1String(file),
                                                   texts << QStringLiteral("count %1").arg(count));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

// Breaks the clean project as the row says and compares the CANopen check's findings
// (after the stack information lines) with the golden file. A rule that only reports
// modifies nothing, so a saving front end does not save again.
inline void runRuleRow(const char *file)
{
    QFETCH(Mutation, mutate);
    ObjectDataBase db;
    buildCleanProject(db);
    mutate(db);
    const Result result = canopenCheck(db);
    compareWithGolden(file, findings(result), result.count);
    QVERIFY(!result.modified);
}

} // namespace checkertest
