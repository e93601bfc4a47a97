// J1939 part of the project store benchmark: 2 lines x 500 PGNs x 8 SPNs are written, the
// project is saved and reopened (with the open-time repairs), and every PGN and SPN is read
// back the way the generators and the J1939 page do, through the SPN cache. The same read
// without the cache is timed for comparison. Each phase runs several times; the fastest run
// is reported.
#include "database/objectdatabase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>

namespace {

const int lineCount = 2;
const int pgnsPerLine = 500;
const int spnsPerPgn = 8;
const int runs = 3;

quint8 directionOf(int pgn)
{
    return pgn % 2 ? ObjectDataBase::DirectionReceive : ObjectDataBase::DirectionTransmit;
}

// Each number is used once per direction, as proprietary groups often are.
quint32 pgnNumber(int pgn)
{
    return 0xFF00u + quint32(pgn / 2);
}

bool writeProject(ObjectDataBase &db)
{
    bool ok = db.createNewDataBase();
    for (quint8 line = 1; line <= lineCount; ++line) {
        ok = db.addNode(line, ObjectDataBase::NODE_DATA_T()) && ok;
        db.setGeneralSettingsValue(QStringLiteral("line%1type").arg(line), QStringLiteral("2"));
        for (int p = 0; p < pgnsPerLine; ++p) {
            ObjectDataBase::PGN pgn;
            pgn.number = pgnNumber(p);
            pgn.direction = directionOf(p);
            pgn.name = QStringLiteral("PGN %1 of line %2").arg(p).arg(line);
            pgn.desc = QStringLiteral("Parameter group %1").arg(p);
            pgn.priority = 6;
            pgn.cycletime_ms = 100;
            pgn.mappingcount = spnsPerPgn;
            ok = db.addPGN(line, pgn.number, pgn) && ok;
            for (int s = 0; s < spnsPerPgn; ++s) {
                ObjectDataBase::SPN spn;
                spn.pos = quint8(s * 8);
                spn.spnnumber = quint32(p * spnsPerPgn + s + 1);
                spn.name = QStringLiteral("SPN %1").arg(spn.spnnumber);
                spn.desc = QStringLiteral("Parameter %1 of PGN %2").arg(s).arg(p);
                spn.datatype = 5;
                spn.bitsize = 8;
                spn.varname = QStringLiteral("spn_%1_%2").arg(line).arg(spn.spnnumber);
                ok = db.addSPN(line, pgn.number, pgn.direction, spn.spnnumber, spn) && ok;
            }
        }
    }
    return ok;
}

// Reads every PGN and SPN of both lines; returns the number of SPNs read.
int readProject(ObjectDataBase &db, bool cached)
{
    int spns = 0;
    for (quint8 line = 1; line <= lineCount; ++line) {
        if (cached)
            db.cacheAllSpnDataForLine(line);
        for (quint8 direction :
             {ObjectDataBase::DirectionTransmit, ObjectDataBase::DirectionReceive}) {
            for (quint32 number : db.getPGNs(line, direction)) {
                ObjectDataBase::PGN pgn;
                db.getPGNData(line, number, direction, pgn);
                for (quint32 spnNumber : db.getSPNs(line, number, direction)) {
                    ObjectDataBase::SPN spn;
                    if (db.getSPNData(line, number, direction, spnNumber, spn))
                        ++spns;
                }
            }
        }
        db.clearAllCachedSpnData();
    }
    return spns;
}

double fastest(const std::function<void()> &phase)
{
    double best = 0;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        phase();
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        best = run == 0 ? ms : std::min(best, ms);
    }
    return best;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir dir;
    QTextStream out(stdout);
    const QString path = dir.filePath(QStringLiteral("j1939.nwrp"));
    const int total = lineCount * pgnsPerLine * spnsPerPgn;
    bool ok = dir.isValid();

    const double write = fastest([&] {
        ObjectDataBase db;
        ok = writeProject(db) && ok;
    });
    ObjectDataBase source;
    ok = writeProject(source) && ok;
    const double save = fastest([&] { ok = source.saveDataBase(path) && ok; });
    const double reopen = fastest([&] {
        ObjectDataBase db;
        ok = db.openDataBase(path, false) && ok;
    });
    ObjectDataBase db;
    ok = db.openDataBase(path, false) && ok;
    int cachedSpns = 0;
    int fileSpns = 0;
    const double cached = fastest([&] { cachedSpns = readProject(db, true); });
    const double uncached = fastest([&] { fileSpns = readProject(db, false); });

    out << QStringLiteral("J1939 store: %1 lines x %2 PGNs x %3 SPNs (%4 SPNs), fastest of %5\n")
               .arg(lineCount)
               .arg(pgnsPerLine)
               .arg(spnsPerPgn)
               .arg(total)
               .arg(runs);
    auto line = [&out, total](const char *name, double ms) {
        out << QStringLiteral("  %1 %2 ms  (%3 us per SPN)\n")
                   .arg(QLatin1String(name), -32)
                   .arg(ms, 9, 'f', 1)
                   .arg(ms * 1000 / total, 7, 'f', 2);
    };
    line("write (addPGN, addSPN)", write);
    line("save", save);
    line("reopen (with repairs)", reopen);
    line("read via cacheAllSpnDataForLine", cached);
    line("read without the cache", uncached);
    if (!ok || cachedSpns != total || fileSpns != total) {
        out << QStringLiteral("FAILED: %1 SPNs read with cache, %2 without, %3 expected\n")
                   .arg(cachedSpns)
                   .arg(fileSpns)
                   .arg(total);
        return 1;
    }
    return 0;
}
