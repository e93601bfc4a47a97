#pragma once

#include "compilecheck.h"
#include "database/objectdatabase.h"
#include "generators/codefinegenerator.h"
#include "generators/indicationgenerator.h"
#include "generators/objdictgenerator.h"
#include "generatortestutil.h"

#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <QStringList>

// Fixture projects of the object dictionary generator tests, built through the store's
// public interface, and helpers to run the generator and read what it wrote.
namespace odtest {

using Sub = ObjectDataBase::SUBINDEX_DATA_T;

inline Sub sub(quint16 datatype, const QString &access, const QString &value,
               quint8 implementation = 0, quint8 mapping = 0)
{
    Sub data;
    data.datatype = datatype;
    data.accesstype = access;
    data.defaultvalue = value;
    data.implementation = implementation;
    data.pdomapping = mapping;
    return data;
}

inline Sub appVar(quint16 datatype, const QString &access, const QString &varname,
                  quint8 mapping = 0)
{
    Sub data = sub(datatype, access, "0", 2, mapping);
    data.varname = varname;
    return data;
}

// An object with sub-indices 0..n-1 as given.
inline void addObject(ObjectDataBase &db, quint8 line, quint16 index, quint8 objectType,
                      const QList<Sub> &subs)
{
    ObjectDataBase::INDEX_DATA_T object;
    object.name = QStringLiteral("Object 0x%1").arg(index, 4, 16, QLatin1Char('0'));
    object.objecttype = objectType;
    db.addIndex(line, index, object);
    for (int i = 0; i < subs.size(); ++i)
        db.addSubIndex(line, index, quint8(i), subs.at(i));
}

inline void addVar(ObjectDataBase &db, quint8 line, quint16 index, const Sub &data)
{
    addObject(db, line, index, 7, {data});
}

// An array: sub-index 0 counting n equal entries.
inline void addArray(ObjectDataBase &db, quint8 line, quint16 index, int count, const Sub &entry)
{
    QList<Sub> subs{sub(5, "const", QString::number(count), 1)};
    for (int i = 0; i < count; ++i)
        subs << entry;
    addObject(db, line, index, 8, subs);
}

// A fresh project with line 0 holding two objects, enough to be written.
inline void buildMinimalProject(ObjectDataBase &db)
{
    db.createNewDataBase();
    addVar(db, 0, 0x1000, sub(7, "const", "0", 1));
    addVar(db, 0, 0x1001, sub(5, "ro", "0"));
}

inline void addBasics(ObjectDataBase &db, quint8 line)
{
    addVar(db, line, 0x1000, sub(7, "const", "0x00000191", 1));
    addVar(db, line, 0x1001, sub(5, "ro", "0", 0, 1));
    addVar(db, line, 0x1017, sub(6, "rw", "1000"));
    addObject(db, line, 0x1018, 9,
              {sub(5, "const", "4", 1), sub(7, "const", "0x12345", 1), sub(7, "const", "0x1001", 1),
               sub(7, "const", "0x00010002", 1), sub(7, "const", "0", 1)});
    addObject(
        db, line, 0x1200, 9,
        {sub(5, "const", "2", 1), sub(7, "ro", "$NODEID+0x600"), sub(7, "ro", "$NODEID+0x580")});
}

// A PDO: communication object and mapping object with the given mapping words. A
// static mapping has access "const", a dynamic one "rw".
inline void addPdo(ObjectDataBase &db, quint8 line, bool transmit, int number, const QString &cobId,
                   const QList<quint32> &mapping, bool dynamic, bool shared = false)
{
    const quint16 comm = quint16((transmit ? 0x1800 : 0x1400) + number - 1);
    QList<Sub> commSubs{sub(5, "const", "5", 1), sub(7, "rw", cobId), sub(5, "rw", "254"),
                        sub(6, "rw", "0"),       sub(5, "rw", "0"),   sub(6, "rw", "0")};
    if (transmit)
        commSubs << sub(5, "rw", "0");
    addObject(db, line, comm, 9, commSubs);
    const QString access = dynamic ? QStringLiteral("rw") : QStringLiteral("const");
    QList<Sub> mapSubs{sub(5, access, QString::number(mapping.size()))};
    for (quint32 word : mapping)
        mapSubs << sub(7, access, QStringLiteral("0x%1").arg(word, 8, 16, QLatin1Char('0')));
    for (Sub &entry : mapSubs)
        entry.sharedlines = shared;
    addObject(db, line, quint16(comm + 0x200), 8, mapSubs);
}

inline void setting(ObjectDataBase &db, const char *key, const QString &value)
{
    db.setGeneralSettingsValue(QLatin1String(key), value);
}

// Line 0 with the communication objects of a slave and application objects of every
// kind: managed variables, constants, application variables, limits, strings.
inline void buildSingleLineProject(ObjectDataBase &db)
{
    db.createNewDataBase();
    addBasics(db, 0);
    addVar(db, 0, 0x1005, sub(7, "rw", "0x80"));
    addVar(db, 0, 0x1006, sub(7, "rw", "0"));
    addVar(db, 0, 0x1012, sub(7, "rw", "0x80000100"));
    addVar(db, 0, 0x1014, sub(7, "ro", "$NODEID+0x80"));
    addObject(db, 0, 0x1016, 8, {sub(5, "const", "2", 1), sub(7, "rw", "0"), sub(7, "rw", "0")});
    addPdo(db, 0, false, 1, "$NODEID+0x200", {0x20000008, 0x20010010}, true);
    addPdo(db, 0, true, 1, "$NODEID+0x180", {0x20020008, 0x20030020}, false);
    addPdo(db, 0, true, 2, "0x80000280", {0x20040008}, false);
    Sub limited = sub(5, "rw", "0x10", 0, 1);
    limited.limitineds = true;
    limited.lowlimit = 1;
    limited.uplimit = 200;
    addVar(db, 0, 0x2000, limited);
    Sub readOnlyLimited = sub(6, "ro", "16", 0, 1);
    readOnlyLimited.limitineds = true;
    readOnlyLimited.lowlimit = 7;
    readOnlyLimited.uplimit = 9;
    addVar(db, 0, 0x2001, readOnlyLimited);
    addVar(db, 0, 0x2002, appVar(5, "ro", "appU8", 1));
    addVar(db, 0, 0x2003, sub(7, "ro", "16", 1, 1));
    addVar(db, 0, 0x2004, sub(2, "rw", "-5", 0, 1));
    addObject(db, 0, 0x2010, 9,
              {sub(5, "const", "6", 1), appVar(3, "rw", "appI16"), appVar(4, "rww", "appI32", 3),
               appVar(8, "rwr", "appReal", 4), sub(8, "rw", "1.5"), sub(4, "wo", "-70000"),
               sub(3, "rw", "-2")});
    Sub text = sub(9, "const", "Nodewright \"1\"", 1);
    text.size = 14;
    addVar(db, 0, 0x2020, text);
    Sub name = appVar(9, "rw", "appName");
    name.size = 16;
    addVar(db, 0, 0x2021, name);
    addVar(db, 0, 0x2022, appVar(0x0F, "rw", "appDomain"));
    Sub stored = sub(7, "rw", "0x12345678");
    stored.nvstorage = true;
    stored.defaultineds = false;
    addVar(db, 0, 0x2030, stored);
    setting(db, "limit_check", "1");
    setting(db, "init_static_variables", "1");
    setting(db, "overwrite_predef", "1");
    setting(db, "applicationheader", "app.h");
    setting(db, "fct_nmt", "appNmtInd");
}

// Lines 0 and 1; line 1 shares object 0x2100 and a receive mapping with line 0 and
// chooses its NMT role at run time.
inline void buildMultiLineProject(ObjectDataBase &db)
{
    db.createNewDataBase();
    db.addNode(1, ObjectDataBase::NODE_DATA_T());
    for (quint8 line : {quint8(0), quint8(1)}) {
        addBasics(db, line);
        Sub shared = sub(6, "rw", "300", 0, 1);
        shared.sharedlines = true;
        Sub count = sub(5, "const", "2", 1);
        count.sharedlines = true;
        addObject(db, line, 0x2100, 8, {count, shared, shared});
        addPdo(db, line, false, 1, "$NODEID+0x200", {0x21000110, 0x21000210}, false, true);
        addPdo(db, line, true, 1, "$NODEID+0x180", {quint32(0x21000110 + (line << 8))}, false);
        addVar(db, line, quint16(0x2200 + line), sub(7, "rw", QString::number(100 + line)));
    }
    addObject(db, 1, 0x1F2C, 9, {sub(5, "const", "1", 1), sub(7, "rw", "0")});
    addVar(db, 1, 0x1005, sub(7, "rw", "0x80"));
    setting(db, "nmtmaster", "2");
    setting(db, "co_ml_ms", "1,0");
    setting(db, "lss_supported", "1");
    setting(db, "overwrite_predef", "1");
    setting(db, "init_static_variables", "1");
}

// Line 0 with an object whose entries are all virtual and one with a virtual entry
// between two others.
inline void buildVirtualProject(ObjectDataBase &db)
{
    buildMinimalProject(db);
    Sub outside = sub(6, "rw", "4", 3);
    addObject(db, 0, 0x2300, 8, {sub(5, "const", "2", 3), outside, outside});
    addObject(db, 0, 0x2301, 8, {sub(5, "const", "2", 1), outside, sub(6, "rw", "4")});
}

// Line 0 with arrays for compact descriptions: all equal, equal from sub-index 4, and
// application variables named per sub-index.
inline void buildCompactProject(ObjectDataBase &db)
{
    buildMinimalProject(db);
    addArray(db, 0, 0x2200, 10, sub(7, "rw", "9", 0, 1));
    addArray(db, 0, 0x2201, 10, sub(6, "ro", "3", 1));
    for (quint8 s = 1; s <= 3; ++s)
        db.setSubIndexValue(0, 0x2201, s, QString::number(s * 10));
    addArray(db, 0, 0x2202, 5, appVar(4, "rw", "levels[$z]"));
}

// Runs the generator on db into folder; true when it started. The text of gen_objdict.c
// goes to text.
inline bool generate(ObjectDataBase &db, const QString &folder, bool compact,
                     QString *text = nullptr, ObjDictGenerator *generator = nullptr)
{
    ObjDictGenerator own(compact);
    ObjDictGenerator &used = generator ? *generator : own;
    const bool started =
        gentest::runGenerator(used, db, folder, QStringLiteral("fixture"), 0, used.preferences());
    if (text)
        *text = gentest::readText(folder + QStringLiteral("/gen_objdict.c"));
    return started;
}

// Writes what gen_objdict.c includes of the generated files (gen_define.h,
// gen_indication.h) and gen_objdict.c itself into folder, as a generation run does.
inline bool generateStackSources(ObjectDataBase &db, const QString &folder, bool compact,
                                 bool alwaysMultiLine)
{
    CoDefineGenerator define;
    indicationgenerator indication;
    ObjDictGenerator objdict(compact);
    const Preferences preferences = alwaysMultiLine ? gentest::alwaysMultiLine() : Preferences();
    const QString name = QStringLiteral("fixture");
    return gentest::runGenerator(define, db, folder, name, 0, preferences)
           && gentest::runGenerator(indication, db, folder, name, 0, preferences)
           && gentest::runGenerator(objdict, db, folder, name, 0, preferences);
}

// Builds program from the C sources against the stack stand-ins (the folders of
// includeDirs on the include path, arguments such as -D first) and runs it. True when both
// succeed; output gets the compiler's diagnostics, or else what the program printed.
inline bool buildAndRun(const QStringList &sources, const QStringList &includeDirs,
                        const QStringList &arguments, const QString &program, QString *output)
{
    QStringList all{QStringLiteral("-Wall"), QStringLiteral("-Werror"),
                    QStringLiteral("-o"),    program,
                    QStringLiteral("-I"),    nwStackStubDir()};
    for (const QString &dir : includeDirs)
        all << QStringLiteral("-I") << dir;
    nwtest::ProcessOptions options;
    options.mergeChannels = true;
    const nwtest::ProcessResult compiler =
        nwtest::runProcess(QStringLiteral("cc"), all + arguments + sources, options);
    if (!compiler.finished || compiler.exitCode != 0 || !compiler.out.trimmed().isEmpty()) {
        *output = QStringLiteral("cc: ") + compiler.errorString + compiler.out;
        return false;
    }
    const nwtest::ProcessResult run = nwtest::runProcess(program, {}, options);
    *output = run.out;
    return run.finished && run.exitCode == 0;
}

// The element lines of the array or table whose header line starts with header, up to
// its closing "};"; empty when there is no such header.
inline QStringList block(const QString &text, const QString &header)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    QStringList found;
    int i = 0;
    while (i < lines.size() && !lines.at(i).startsWith(header))
        ++i;
    for (++i; i < lines.size() && lines.at(i) != QLatin1String("};"); ++i)
        found << lines.at(i);
    return found;
}

// The value of "#define name <value>u" in text; -1 when it is missing.
inline int definedCount(const QString &text, const QString &name)
{
    const QString prefix = QStringLiteral("#define ") + name + QLatin1Char(' ');
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).chopped(1).toInt();
    }
    return -1;
}

} // namespace odtest
