// The generated object dictionary run: gen_objdict.c of the fixture projects and of every
// device description in tests/data/importers is compiled with the stack runtime of
// tests/stackruntime (under the address and undefined-behaviour sanitizers), started, and
// what the runtime reaches through the tables is compared with the project as the store
// holds it. The runtime's own reading is checked on a hand-written dictionary.

#include "compilecheck.h"
#include "importers/edsimporter.h"
#include "nwtest.h"
#include "tst_objdictgenerator_fixture.h"

#include <QDirIterator>
#include <QHash>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstring>

using odtest::sub;
using Sub = ObjectDataBase::SUBINDEX_DATA_T;

namespace {

const quint32 runtimeNodeId = 32;

QString runtimeDir()
{
    return QStringLiteral(NW_SOURCE_DIR "/tests/stackruntime");
}

// The application's variables, its indication and their declarations (app.h).
QString appDir()
{
    return gentest::testData("app");
}

// Compiles the sources (the generated files of folder are on the include path) with the
// runtime under the sanitizers into buildFolder and runs the result; its output goes to
// *output, or the compiler's when that fails.
bool runRuntime(const QString &folder, const QString &buildFolder, const QStringList &sources,
                const QStringList &defines, QString *output)
{
    return odtest::buildAndRun(
        sources + QStringList{runtimeDir() + QStringLiteral("/stackruntime.c")}, {folder, appDir()},
        QStringList{QStringLiteral("-fsanitize=address,undefined"),
                    QStringLiteral("-fno-sanitize-recover=all")}
            + defines,
        buildFolder + QStringLiteral("/runtime"), output);
}

// The runtime's listing, by kind of line.
struct Listing
{
    QHash<QString, QString> subs; // "line index sub" -> "TYPE KIND attr=.. value=.. ..."
    QMap<quint8, QStringList> objects; // line -> "0xIIII subs=.. highest=.." in walk order
    QStringList calls, pdos, mapEntries, cobIds, varInit, faults;
    int reached = -1;
    bool started = false;

    explicit Listing(const QString &text)
    {
        for (const QString &line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QString kind = line.section(QLatin1Char(' '), 0, 0);
            const QString rest = line.section(QLatin1Char(' '), 1);
            if (kind == QLatin1String("sub"))
                subs.insert(rest.section(QLatin1Char(' '), 0, 2),
                            rest.section(QLatin1Char(' '), 3));
            else if (kind == QLatin1String("object"))
                objects[quint8(rest.section(QLatin1Char(' '), 0, 0).toUInt())]
                    << rest.section(QLatin1Char(' '), 1, 3);
            else if (kind == QLatin1String("call"))
                calls << rest;
            else if (kind == QLatin1String("pdo"))
                pdos << rest;
            else if (kind == QLatin1String("mapentry"))
                mapEntries << rest;
            else if (kind == QLatin1String("cobid"))
                cobIds << rest;
            else if (kind == QLatin1String("varinit"))
                varInit << rest;
            else if (kind == QLatin1String("reached"))
                reached = rest.section(QLatin1Char('='), 1).toInt();
            else if (kind == QLatin1String("init"))
                started = rest == QLatin1String("0");
            else if (kind != QLatin1String("od") && kind != QLatin1String("overwrite"))
                faults << line;
        }
    }

    // The value of field name= of a sub-index line; "-" when it is absent.
    static QString field(const QString &subLine, const QString &name)
    {
        const QString key = name + QLatin1Char('=');
        for (const QString &part : subLine.split(QLatin1Char(' '))) {
            if (part.startsWith(key))
                return part.mid(key.size());
        }
        return QStringLiteral("-");
    }
};

// Type name the runtime reports for a data type. The types without tables of their own
// are kept in a stack type of their size (the 56-bit ones, which have none, in UNSIGNED64);
// the rest (UNICODE_STRING, complex types) as octet strings.
QString typeName(quint16 type)
{
    static const QHash<quint16, QString> names{
        {1, "BOOL"},    {2, "I8"},     {3, "I16"},    {4, "I32"},    {5, "U8"},     {6, "U16"},
        {7, "U32"},     {8, "R32"},    {9, "VS"},     {10, "OS"},    {12, "U48"},   {13, "U48"},
        {15, "DOMAIN"}, {0x10, "I24"}, {0x11, "U64"}, {0x12, "U40"}, {0x13, "U48"}, {0x14, "U64"},
        {0x15, "U64"},  {0x16, "U24"}, {0x18, "U40"}, {0x19, "U48"}, {0x1A, "U64"}, {0x1B, "U64"},
        {0x78, "VS"},   {0x79, "VS"},  {0x7C, "UTF8"}};
    if (type >= 0x64 && type <= 0x69)
        return QStringLiteral("U8");
    return names.value(type, QStringLiteral("OS"));
}

int typeBits(const QString &type)
{
    static const QHash<QString, int> bits{{"BOOL", 8}, {"U8", 8},   {"U16", 16}, {"U24", 24},
                                          {"U32", 32}, {"U40", 40}, {"U48", 48}, {"U64", 64},
                                          {"I8", 8},   {"I16", 16}, {"I24", 24}, {"I32", 32}};
    return bits.value(type);
}

// A number of the project as the runtime prints it for the given type: "$NODEID+"
// removed, "0x" hexadecimal or decimal, wrapped to the width of the type; a text that is
// no number stands for 0.
QString expectedNumber(const QString &type, QString text)
{
    text = text.remove(QStringLiteral("$nodeid+"), Qt::CaseInsensitive).trimmed();
    if (type == QLatin1String("R32")) {
        bool isBits = false;
        const quint32 bits = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
                                 ? text.mid(2).toUInt(&isBits, 16)
                                 : 0;
        float real = text.toFloat();
        if (isBits)
            std::memcpy(&real, &bits, sizeof real);
        return QString::number(double(real), 'g', 9);
    }
    const bool negative = text.startsWith(QLatin1Char('-'));
    if (negative || text.startsWith(QLatin1Char('+')))
        text.remove(0, 1);
    bool ok = false;
    quint64 magnitude = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
                            ? text.mid(2).toULongLong(&ok, 16)
                            : text.toULongLong(&ok, 10);
    if (!ok)
        magnitude = 0;
    const quint64 raw = negative ? quint64(0) - magnitude : magnitude;
    const int bits = typeBits(type);
    const quint64 mask = bits == 64 ? ~quint64(0) : (quint64(1) << bits) - 1;
    const quint64 value = raw & mask;
    if (type.startsWith(QLatin1Char('I')) && (value >> (bits - 1)) != 0)
        return QString::number(qint64(value | ~mask));
    return QString::number(value);
}

// A value of the project as the stack keeps it: a REAL64 number becomes its IEEE bit
// pattern (a hexadecimal text already is one).
QString storedText(const Sub &data, const QString &text)
{
    bool ok = false;
    const double real = text.trimmed().toDouble(&ok);
    if (data.datatype != 0x11 || !ok)
        return text;
    quint64 bits = 0;
    std::memcpy(&bits, &real, sizeof bits);
    return QString::number(bits);
}

bool isWritable(const QString &access)
{
    return access != QLatin1String("const") && access != QLatin1String("ro");
}

// CO_ATTR_READ .. CO_ATTR_MAP_REC, DEFVAL and STORE as the entry's access, mapping and
// flags ask for.
uint expectedAttributes(const Sub &data)
{
    const QString &access = data.accesstype;
    const bool mappable = data.pdomapping != 0;
    uint attr = 0;
    if (access != QLatin1String("wo"))
        attr |= 0x01;
    if (isWritable(access))
        attr |= 0x02;
    if (mappable && access != QLatin1String("wo") && access != QLatin1String("rww"))
        attr |= 0x08;
    if (mappable
        && (access == QLatin1String("wo") || access == QLatin1String("rww")
            || access == QLatin1String("rw")))
        attr |= 0x10;
    if (data.defaultineds)
        attr |= 0x20;
    if (data.nvstorage)
        attr |= 0x80;
    return attr;
}

// Compares what the runtime reached with the project; one message per difference.
class RuntimeComparison
{
public:
    RuntimeComparison(ObjectDataBase &db, const Listing &listing, const QString &sourceText)
        : m_db(db), m_listing(listing), m_text(sourceText)
    {
        for (quint8 line = 0; line < 8; ++line) {
            if (db.existNode(line) && db.getIndices(line, 0x1000, 0xFFFF).size() > 1)
                m_lines << line;
        }
        m_initialised =
            db.getGeneralSettingsValue(QStringLiteral("init_static_variables")).toInt() == 1;
        m_limits = db.getGeneralSettingsValue(QStringLiteral("limit_check")).toInt() > 0;
    }

    QStringList run()
    {
        if (!m_listing.started)
            m_faults << QStringLiteral("the stack start did not return RET_OK");
        m_faults << m_listing.faults;
        int objects = 0;
        for (quint8 line : qAsConst(m_lines)) {
            objects += checkObjects(line);
            checkServices(line);
            checkPdos(line);
        }
        checkCount("CO_OD_ASSIGN_CNT", objects, "objects of the project");
        checkCount("CO_OBJ_DESC_CNT", m_listing.reached, "descriptions reached");
        if (m_db.getGeneralSettingsValue(QStringLiteral("overwrite_predef")).toInt() != 0)
            checkCobIds();
        return m_faults;
    }

private:
    Sub data(quint8 line, quint16 index, quint8 s) const
    {
        Sub d;
        m_db.getSubIndexData(line, index, s, d);
        return d;
    }

    QString value(quint8 line, quint16 index, quint8 s) const
    {
        return data(line, index, s).defaultvalue;
    }

    void differ(const QString &what, const QString &project, const QString &runtime)
    {
        m_faults << QStringLiteral("%1: project %2, runtime %3").arg(what, project, runtime);
    }

    void checkCount(const char *define, int found, const char *what)
    {
        const int written = odtest::definedCount(m_text, QLatin1String(define));
        if (written != found)
            differ(
                QStringLiteral("%1 against the %2").arg(QLatin1String(define), QLatin1String(what)),
                QString::number(found), QString::number(written));
    }

    // Every described entry of the line is found with its value, type, access and
    // limits; the line's assignment entries are exactly its objects.
    int checkObjects(quint8 line)
    {
        QStringList expectedObjects;
        for (quint16 index : m_db.getIndices(line, 0x1000, 0xFFFF)) {
            // Without a sub-index 0 in this dictionary the stack cannot find the object.
            const QList<quint8> subs = m_db.getSubIndices(line, index);
            if (subs.value(0, 1) != 0 || data(line, index, 0).implementation == 3)
                continue;
            for (quint8 s : subs)
                checkSub(line, index, s);
            expectedObjects << QStringLiteral("0x%1 highest=%2")
                                   .arg(index, 4, 16, QLatin1Char('0'))
                                   .arg(subs.last());
        }
        QStringList walked;
        for (const QString &object : m_listing.objects.value(line))
            walked << object.section(QLatin1Char(' '), 0, 0) + QLatin1Char(' ')
                          + object.section(QLatin1Char(' '), 2, 2);
        if (walked != expectedObjects)
            differ(QStringLiteral("line %1 objects").arg(line),
                   expectedObjects.mid(0, 40).join(QLatin1Char(',')),
                   walked.mid(0, 40).join(QLatin1Char(',')));
        return expectedObjects.size();
    }

    void checkSub(quint8 line, quint16 index, quint8 s)
    {
        const Sub d = data(line, index, s);
        if (d.implementation == 3)
            return;
        const QString where =
            QStringLiteral("%1-0x%2:%3").arg(line).arg(index, 4, 16, QLatin1Char('0')).arg(s);
        const QString key =
            QStringLiteral("%1 0x%2 %3").arg(line).arg(index, 4, 16, QLatin1Char('0')).arg(s);
        if (!m_listing.subs.contains(key)) {
            m_faults << where + QStringLiteral(" is not found");
            return;
        }
        const QString found = m_listing.subs.value(key);
        const QString type = found.section(QLatin1Char(' '), 0, 0);
        const QString kind = found.section(QLatin1Char(' '), 1, 1);
        if (type != typeName(d.datatype))
            differ(where + QStringLiteral(" type"), typeName(d.datatype), type);
        const bool kindFits = d.implementation == 1 ? kind == QLatin1String("CONST")
                              : d.implementation == 0
                                  ? kind != QLatin1String("CONST") && kind != QLatin1String("PTR")
                                  : kind != QLatin1String("CONST") && kind != QLatin1String("VAR");
        if (!kindFits)
            differ(where + QStringLiteral(" storage"),
                   QStringLiteral("implementation %1").arg(d.implementation), kind);
        const uint attr = Listing::field(found, QStringLiteral("attr")).mid(2).toUInt(nullptr, 16);
        if ((attr & 0xBBu) != expectedAttributes(d))
            differ(where + QStringLiteral(" attributes"),
                   QString::number(expectedAttributes(d), 16), QString::number(attr & 0xBBu, 16));
        checkValue(where, d, type, kind, found);
    }

    void checkValue(const QString &where, const Sub &d, const QString &type, const QString &kind,
                    const QString &found)
    {
        const QString value = Listing::field(found, QStringLiteral("value"));
        if (type == QLatin1String("VS") || type == QLatin1String("UTF8")) {
            const uint length = Listing::field(found, QStringLiteral("len")).toUInt();
            if (kind == QLatin1String("CONST")) {
                const QByteArray text = d.defaultvalue.toUtf8();
                if (value != QLatin1String("x:") + QString::fromLatin1(text.toHex()))
                    differ(where + QStringLiteral(" text"), d.defaultvalue, value);
                if (length < uint(text.size()))
                    differ(where + QStringLiteral(" length"), QString::number(text.size()),
                           QString::number(length));
            } else if (length != d.size) {
                differ(where + QStringLiteral(" length"), QString::number(d.size),
                       QString::number(length));
            }
            return;
        }
        if (typeBits(type) == 0 && type != QLatin1String("R32"))
            return;
        const QString expected = expectedNumber(type, storedText(d, d.defaultvalue));
        const bool valueIsDefault =
            kind == QLatin1String("CONST") || (kind == QLatin1String("VAR") && m_initialised)
            || (kind != QLatin1String("VAR") && kind != QLatin1String("PTR"));
        if (valueIsDefault && value != expected)
            differ(where + QStringLiteral(" value"), expected, value);
        if (kind == QLatin1String("PTR") && value == QLatin1String("-"))
            m_faults << where + QStringLiteral(" points at no variable");
        const QString defaultValue = Listing::field(found, QStringLiteral("default"));
        if (defaultValue != expected)
            differ(where + QStringLiteral(" default"), expected, defaultValue);
        if (m_limits && d.limitineds && isWritable(d.accesstype)) {
            const QString low = Listing::field(found, QStringLiteral("low"));
            const QString high = Listing::field(found, QStringLiteral("high"));
            if (low != expectedNumber(type, storedText(d, QString::number(d.lowlimit))))
                differ(where + QStringLiteral(" lower limit"), QString::number(d.lowlimit), low);
            if (high != expectedNumber(type, storedText(d, QString::number(d.uplimit))))
                differ(where + QStringLiteral(" upper limit"), QString::number(d.uplimit), high);
        }
    }

    QString number(quint8 line, quint16 index, quint8 s, const QString &type = "U32") const
    {
        if (!m_db.existSubIndex(line, index, s))
            return QStringLiteral("0");
        return expectedNumber(type, value(line, index, s));
    }

    int countIn(quint8 line, quint16 first, quint16 last) const
    {
        return m_db.getIndices(line, first, last).size();
    }

    int subsFrom1(quint8 line, quint16 index) const
    {
        return qMax(0, m_db.getSubIndices(line, index).size() - 1);
    }

    // The services started for the line, with the object dictionary's parameters.
    void checkServices(quint8 line)
    {
        const QString l = QString::number(line) + QLatin1Char(' ');
        // The first server is started whether or not the line describes it.
        QStringList expected{l + QStringLiteral("sdoserver 1")};
        for (quint16 index : m_db.getIndices(line, 0x1201, 0x127F))
            expected << l + QStringLiteral("sdoserver %1").arg(index - 0x11FF);
        for (quint16 index : m_db.getIndices(line, 0x1280, 0x12FF))
            expected << l + QStringLiteral("sdoclient %1").arg(index - 0x127F);
        const QString consumers = QString::number(subsFrom1(line, 0x1016));
        if (m_db.existIndex(line, 0x1017))
            expected << l + QStringLiteral("errctrl ") + number(line, 0x1017, 0, "U16")
                            + QLatin1Char(' ') + consumers;
        else if (m_db.existIndex(line, 0x100C))
            expected << l + QStringLiteral("errctrl 0 ") + consumers;
        if (m_db.existIndex(line, 0x1014))
            expected << l + QStringLiteral("emcy");
        if (m_db.existIndex(line, 0x1005))
            expected << l
                            + QStringLiteral("sync %1 %2 %3")
                                  .arg(number(line, 0x1005, 0), number(line, 0x1006, 0),
                                       number(line, 0x1019, 0, "U8"));
        if (m_db.existIndex(line, 0x1028))
            expected << l + QStringLiteral("emcycons %1").arg(subsFrom1(line, 0x1028));
        if (m_db.existIndex(line, 0x1012)) {
            const quint64 time = number(line, 0x1012, 0).toULongLong();
            expected << l + QStringLiteral("time %1 %2").arg(time >> 31 & 1).arg(time >> 30 & 1);
        }
        static const QRegularExpression kinds(
            QStringLiteral("^\\d+ (sdoserver|sdoclient|errctrl|emcy|sync|time)"));
        QStringList started =
            m_listing.calls.filter(kinds).filter(QRegularExpression(QLatin1Char('^') + l));
        std::sort(expected.begin(), expected.end());
        std::sort(started.begin(), started.end());
        if (started != expected)
            differ(QStringLiteral("line %1 services").arg(line), expected.join(QLatin1String(", ")),
                   started.join(QLatin1String(", ")));
        const QString counts = QStringLiteral("%1 tpdo=%2 rpdo=%3")
                                   .arg(m_lines.indexOf(line))
                                   .arg(countIn(line, 0x1800, 0x19FF))
                                   .arg(countIn(line, 0x1400, 0x15FF));
        if (m_listing.varInit
                .filter(QRegularExpression(QLatin1Char('^') + counts + QLatin1Char(' ')))
                .isEmpty())
            differ(QStringLiteral("line %1 PDO counts").arg(line), counts,
                   m_listing.varInit.join(QLatin1String(", ")));
    }

    // Each PDO is started with its parameters and, when its mapping is static, with the
    // mapping of the project, every entry pointing at the object it names.
    void checkPdos(quint8 line)
    {
        m_line = line;
        for (bool transmit : {true, false}) {
            const quint16 first = transmit ? 0x1800 : 0x1400;
            for (quint16 comm : m_db.getIndices(line, first, quint16(first + 0x1FF))) {
                const int pdo = comm - first + 1;
                const QString name =
                    QStringLiteral("%1 %2%3").arg(line).arg(transmit ? 'T' : 'R').arg(pdo);
                const quint16 map = quint16(comm + 0x200);
                const int count =
                    m_db.isMappingStatic(line, comm) ? number(line, map, 0, "U8").toInt() : -1;
                QString expected =
                    name
                    + QStringLiteral(" trans=%1 inhibit=%2 event=%3 sync=%4 map=%5")
                          .arg(number(line, comm, 2, "U8"), number(line, comm, 3, "U16"),
                               number(line, comm, 5, "U16"),
                               transmit ? number(line, comm, 6, "U8") : "0",
                               count < 0 ? QStringLiteral("none") : QString::number(count));
                const QStringList started = m_listing.pdos.filter(
                    QRegularExpression(QLatin1Char('^') + name + QLatin1Char(' ')));
                if (count == 0)
                    expected.replace(QStringLiteral("map=0"), QStringLiteral("map=none"));
                if (started != QStringList{expected})
                    differ(QStringLiteral("PDO start"), expected, started.join(QLatin1Char('|')));
                // A count above 64 (a multiplexed PDO) carries only its first entry.
                for (int k = 1; k <= (count > 64 ? 1 : count); ++k)
                    checkMapEntry(name, k, number(line, map, quint8(k)).toUInt());
            }
        }
    }

    void checkMapEntry(const QString &pdo, int k, quint32 mapping)
    {
        const QString prefix = QStringLiteral("%1 %2 ").arg(pdo).arg(k);
        const QStringList entries = m_listing.mapEntries.filter(
            QRegularExpression(QLatin1Char('^') + QRegularExpression::escape(prefix)));
        const QString entry = entries.value(0);
        const QString val = QStringLiteral("0x%1").arg(mapping, 8, 16, QLatin1Char('0'));
        const QString target = Listing::field(entry, QStringLiteral("target"));
        const bool dummy =
            (mapping >> 16) < 0x1000
            || !m_db.existSubIndex(m_line, quint16(mapping >> 16), quint8(mapping >> 8));
        if (Listing::field(entry, QStringLiteral("val")) != val
            || Listing::field(entry, QStringLiteral("len")).toUInt() != ((mapping >> 3) & 0x1F)
            || target != (dummy ? QStringLiteral("none") : QStringLiteral("ok")))
            differ(QStringLiteral("mapping entry %1").arg(prefix.trimmed()),
                   val + QStringLiteral(" of its own object"), entry);
    }

    // userOverwriteCobIdSettings applies the COB-IDs of the PDOs and SDO channels.
    void checkCobIds()
    {
        QStringList expected;
        for (quint8 line : m_db.getNodes()) {
            const auto add = [&](quint16 first, quint16 last, QList<quint8> subs) {
                for (quint16 index : m_db.getIndices(line, first, last)) {
                    for (quint8 s : subs) {
                        const QString text = value(line, index, s);
                        quint64 cobId = number(line, index, s).toULongLong();
                        if (text.contains(QStringLiteral("$NODEID+"), Qt::CaseInsensitive))
                            cobId += runtimeNodeId;
                        expected << QStringLiteral("%1 0x%2 %3 %4")
                                        .arg(line)
                                        .arg(index, 4, 16, QLatin1Char('0'))
                                        .arg(s)
                                        .arg(quint32(cobId));
                    }
                }
            };
            add(0x1201, 0x12FF, {1, 2});
            add(0x1400, 0x15FF, {1});
            add(0x1800, 0x19FF, {1});
        }
        QStringList applied = m_listing.cobIds;
        std::sort(expected.begin(), expected.end());
        std::sort(applied.begin(), applied.end());
        if (applied != expected)
            differ(QStringLiteral("COB-IDs"), expected.join(QLatin1String(", ")),
                   applied.join(QLatin1String(", ")));
    }

    ObjectDataBase &m_db;
    const Listing &m_listing;
    const QString m_text;
    QList<quint8> m_lines;
    bool m_initialised = false;
    bool m_limits = false;
    quint8 m_line = 0;
    QStringList m_faults;
};

enum Fixture {
    SingleLine,
    ExtendedTypes,
    MultiLine,
    MultiLineVirtual,
    Compact,
    Virtual,
    Placeholders,
    Integer24AndUtf8,
    Imported
};

// Application variables named per sub-index, of every kind of pointer array.
void addPlaceholderObjects(ObjectDataBase &db)
{
    odtest::addArray(db, 0, 0x2000, 3, odtest::appVar(6, "rw", "speed_$s", 1));
    odtest::addArray(db, 0, 0x20AB, 2, odtest::appVar(7, "ro", "o$I_$S"));
    odtest::addVar(db, 0, 0x20AC, odtest::appVar(8, "rw", "(&block.v$i)"));
    Sub text = odtest::appVar(9, "rw", "name$s");
    text.size = 12;
    odtest::addArray(db, 0, 0x2100, 2, text);
    Sub raw = odtest::appVar(10, "rw", "raw$s");
    raw.size = 8;
    odtest::addArray(db, 0, 0x2101, 1, raw);
    odtest::addVar(db, 0, 0x2102, odtest::appVar(15, "rw", "blob"));
    odtest::addPdo(db, 0, true, 1, "$NODEID+0x180", {0x20000110, 0x20ab0120}, false);
}

// INTEGER24 in each place a value can live (managed, constant, application variable, PDO
// mapping) and UTF-8 strings as constant and as application variable.
void addInteger24Objects(ObjectDataBase &db)
{
    odtest::addVar(db, 0, 0x2000, sub(0x10, "rw", "-5", 0, 1));
    odtest::addVar(db, 0, 0x2001, sub(0x10, "const", "8388607", 1));
    odtest::addVar(db, 0, 0x2002, odtest::appVar(0x10, "rw", "appI24", 1));
    Sub greeting = sub(0x7C, "const", "Gr\u00fc\u00dfe", 1);
    greeting.size = 7;
    odtest::addVar(db, 0, 0x2003, greeting);
    Sub label = odtest::appVar(0x7C, "rw", "appLabel");
    label.size = 16;
    odtest::addVar(db, 0, 0x2004, label);
    odtest::addPdo(db, 0, true, 1, "$NODEID+0x180", {0x20000018, 0x20020018}, false);
}

// One entry of each type the stack holds in a table of another type, in each kind of
// storage, with negative values, and limits on the REAL64 entry. None of the types the
// stack has its own extended tables for is among them: these must switch them on.
void addExtendedTypes(ObjectDataBase &db)
{
    Sub real = sub(0x11, "rw", "1.5");
    real.limitineds = true;
    real.lowlimit = 1;
    real.uplimit = 10;
    Sub unicode = odtest::appVar(0x0B, "rw", "appUnicode");
    unicode.size = 8;
    odtest::addObject(db, 0, 0x2400, 9,
                      {sub(5, "const", "8", 1), sub(0x0D, "const", "0x10000", 1),
                       sub(0x12, "rw", "-2"), sub(0x13, "const", "-3", 1), sub(0x14, "rw", "-1"),
                       sub(0x15, "const", "-5", 1), sub(0x1A, "rw", "0x123456789ABCDE"), real,
                       unicode});
}

bool buildProject(ObjectDataBase &db, int fixture, const QString &file)
{
    switch (fixture) {
    case SingleLine:
    case ExtendedTypes:
        odtest::buildSingleLineProject(db);
        if (fixture == ExtendedTypes)
            addExtendedTypes(db);
        return true;
    case MultiLine:
    case MultiLineVirtual:
        odtest::buildMultiLineProject(db);
        if (fixture == MultiLineVirtual) {
            const Sub outside = sub(6, "rw", "4", 3);
            odtest::addObject(db, 0, 0x2300, 8, {sub(5, "const", "2", 3), outside, outside});
        }
        return true;
    case Compact:
        odtest::buildCompactProject(db);
        return true;
    case Virtual:
        odtest::buildVirtualProject(db);
        return true;
    case Placeholders:
    case Integer24AndUtf8:
        odtest::buildMinimalProject(db);
        if (fixture == Placeholders)
            addPlaceholderObjects(db);
        else
            addInteger24Objects(db);
        return true;
    default:
        break;
    }
    db.createNewDataBase();
    if (!db.existNode(0))
        db.addNode(0, ObjectDataBase::NODE_DATA_T());
    EDSImporter importer;
    importer.setDatabase(&db);
    importer.setActiveLine(0);
    importer.setDcfMode(file.endsWith(QLatin1String(".dcf")));
    if (!importer.setImportFileName(file))
        return false;
    importer.doImport();
    odtest::setting(db, "init_static_variables", "1");
    odtest::setting(db, "limit_check", "1");
    odtest::setting(db, "overwrite_predef", "1");
    return importer.getLastError().isEmpty();
}

} // namespace

class TestObjDictRuntime : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        gentest::initApplication();
        if (!nwHaveCCompiler())
            QSKIP("no C compiler installed");
    }

    // The runtime on a hand-written dictionary: what it reaches, how it reads each kind of
    // storage, a compact array, an entry that is not described, a misdirected mapping
    // entry and a description that no object reaches.
    void runtimeReadsTables()
    {
        QTemporaryDir dir;
        const QString self = runtimeDir() + QStringLiteral("/selftest");
        QString output;
        QVERIFY2(
            runRuntime(self, dir.path(), {self + QStringLiteral("/gen_objdict.c")}, {}, &output),
            qPrintable(output));
        GENTEST_VERIFY_EMPTY(
            gentest::goldenDiff(gentest::testData("runtime_selftest.txt"), output));
    }

    void generatedDictionaryRuns_data()
    {
        QTest::addColumn<int>("fixture");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("options"); // compact, multi-line form, CAN FD
        QTest::addRow("single line, CAN FD") << int(SingleLine) << QString() << "CAN FD";
        QTest::addRow("types kept in tables of another type")
            << int(ExtendedTypes) << QString() << "";
        QTest::addRow("single line in multi-line form")
            << int(SingleLine) << QString() << "multi-line form";
        QTest::addRow("multi-line, CAN FD") << int(MultiLine) << QString() << "CAN FD";
        QTest::addRow("multi-line with a virtual object")
            << int(MultiLineVirtual) << QString() << "";
        QTest::addRow("compact arrays") << int(Compact) << QString() << "compact";
        QTest::addRow("virtual objects") << int(Virtual) << QString() << "";
        QTest::addRow("variables named by placeholders")
            << int(Placeholders) << QString() << "compact";
        QTest::addRow("INTEGER24 and UTF-8 strings") << int(Integer24AndUtf8) << QString() << "";
        QTest::addRow("INTEGER24 and UTF-8 strings in multi-line form")
            << int(Integer24AndUtf8) << QString() << "multi-line form";
        QDirIterator files(QStringLiteral(NW_TEST_DATA_DIR "/importers"),
                           {QStringLiteral("*.eds"), QStringLiteral("*.dcf")}, QDir::Files,
                           QDirIterator::Subdirectories);
        QStringList paths;
        while (files.hasNext())
            paths << files.next();
        paths.sort();
        for (const QString &path : qAsConst(paths))
            QTest::addRow("%s", qPrintable(QFileInfo(path).fileName()))
                << int(Imported) << path << "";
    }

    void generatedDictionaryRuns()
    {
        QFETCH(int, fixture);
        QFETCH(QString, file);
        QFETCH(QString, options);
        ObjectDataBase db;
        QVERIFY(buildProject(db, fixture, file));
        if (options.contains(QLatin1String("CAN FD"))) {
            odtest::setting(db, "canfd_supported", "1");
            odtest::setting(db, "usdo_client_cnt", "1");
        }
        odtest::setting(db, "applicationheader", "app.h");
        odtest::setting(db, "co_timer_interval", "10000");
        odtest::setting(db, "co_node_id", QString::number(runtimeNodeId));
        QTemporaryDir dir;
        QVERIFY(odtest::generateStackSources(db, dir.path(), options == QLatin1String("compact"),
                                             options == QLatin1String("multi-line form")));
        const QString text = gentest::readText(dir.filePath(QStringLiteral("gen_objdict.c")));
        QStringList defines;
        if (text.contains(QLatin1String("RET_T coCanOpenStackInitPara(")))
            defines << QStringLiteral("-DNW_RT_INIT_PARA");
        QString output;
        QVERIFY2(runRuntime(dir.path(), dir.path(),
                            {dir.filePath(QStringLiteral("gen_objdict.c")),
                             appDir() + QStringLiteral("/app.c")},
                            defines, &output),
                 qPrintable(output.left(4000)));
        const QStringList faults = RuntimeComparison(db, Listing(output), text).run();
        QVERIFY2(faults.isEmpty(), qPrintable(faults.mid(0, 30).join(QLatin1Char('\n'))));
    }
};

NW_TEST_MAIN(TestObjDictRuntime)
#include "tst_objdictruntime.moc"
