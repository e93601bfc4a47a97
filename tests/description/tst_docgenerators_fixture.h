#pragma once

#include "descriptiontestutil.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>

// The project the documentation tests describe: a CANopen line 0 with communication,
// manufacturer and profile objects, and a J1939 line 1. Names, values and descriptions
// hold the texts a page must escape (markup, ampersands, quotes, umlauts, line feeds,
// characters outside Latin-1) and the sub-index and PGN numbers whose spelling matters.
namespace doctest {

using desctest::addObject;
using desctest::entry;

inline void addCanopenLine(ObjectDataBase &db)
{
    gentest::addLine(db, 0, 1);
    addObject(db, 0x1000, "Device Type", 7, QString(), 7);
    db.addSubIndex(0, 0x1000, 0, entry("Device Type", 7, "ro", "0x00000000"));
    addObject(db, 0x1018, "Identity Object", 9, "Größe\nx");
    db.addSubIndex(0, 0x1018, 0, entry("Highest sub-index supported", 5, "const", "1"));
    db.addSubIndex(0, 0x1018, 1, entry("Vendor-ID", 7, "ro", "0x000002B7"));
    addObject(db, 0x2000, "Motor <Drive> & \"Co\"", 9);
    db.addSubIndex(0, 0x2000, 0, entry("Highest sub-index supported", 5, "const", "26"));
    ObjectDataBase::SUBINDEX_DATA_T constant = entry("Gear ratio", 6, "const", "42");
    constant.implementation = 1;
    constant.defaultineds = false;
    db.addSubIndex(0, 0x2000, 1, constant);
    ObjectDataBase::SUBINDEX_DATA_T variable = entry("Target <speed>", 4, "rww", "0");
    variable.implementation = 2;
    variable.varname = QStringLiteral("motor_$I_$S");
    variable.size = 4;
    variable.pdomapping = 1;
    variable.description = QStringLiteral("<b>set</b> & go");
    db.addSubIndex(0, 0x2000, 2, variable);
    ObjectDataBase::SUBINDEX_DATA_T limited = entry("Speed $s", 3, "rw", "-5");
    limited.limitineds = true;
    limited.lowlimit = -100;
    limited.uplimit = 100;
    limited.pdomapping = 2;
    db.addSubIndex(0, 0x2000, 0x1A, limited);
    addObject(db, 0x6000, "Temperatur in °C → €", 7, QString(), 9);
    ObjectDataBase::SUBINDEX_DATA_T text = entry("Temperatur in °C → €", 9, "ro", QString());
    text.size = 8;
    db.addSubIndex(0, 0x6000, 0, text);
}

inline void addJ1939Line(ObjectDataBase &db)
{
    gentest::addLine(db, 1, 2);
    ObjectDataBase::PGN cab;
    cab.name = QStringLiteral("Cab Message <1>");
    cab.desc = QStringLiteral("Wheel & brake");
    cab.number = 0x1FEF1;
    cab.direction = gentest::transmit;
    cab.cycletime_ms = 100;
    cab.priority = 6;
    db.addPGN(1, cab.number, cab);
    gentest::addSpn(db, 1, cab.number, gentest::transmit, 84, 8, 6, 16, "wheelSpeed");
    gentest::addSpn(db, 1, cab.number, gentest::transmit, 597, 0, 100, 2, QString(), 0);

    // A request is sent and received: two sections with distinct anchors.
    gentest::addPgn(db, 1, 0xEA00, gentest::transmit, "Request");
    gentest::addPgn(db, 1, 0xEA00, gentest::receive, "Request");
    gentest::addPgn(db, 1, 65262, gentest::receive, "Engine Temperature 1", "x");
    gentest::addSpn(db, 1, 65262, gentest::receive, 110, 0, 5, 8, "coolant");
}

inline void buildProject(ObjectDataBase &db)
{
    db.createNewDataBase();
    addCanopenLine(db);
    addJ1939Line(db);
}

// The preferences of a run with or without "implinfo".
inline Preferences implInfo(bool on)
{
    Preferences preferences;
    preferences.implementationInfo = on;
    return preferences;
}

// The generated text with the tool version masked, so that a release does not change the
// golden files.
inline QString versionMasked(QString text)
{
    return text.replace(QLatin1String(" ") + QCoreApplication::applicationVersion()
                            + QLatin1String(" "),
                        QStringLiteral(" <version> "));
}

inline QString goldenPath(const QString &name)
{
    return QStringLiteral(NW_TEST_DATA_DIR "/description/") + name;
}

} // namespace doctest
