#pragma once

#include "../generators/generatortestutil.h"

#include <QRegularExpression>
#include <QTest>

// The device-description fixture shared by the EDS and CSV tests: one CANopen line with
// the description settings filled and objects of every kind the writers treat apart.
namespace desctest {

inline void addObject(ObjectDataBase &db, quint16 index, const QString &name, quint8 objectType,
                      const QString &description = QString(), quint16 datatype = 5)
{
    ObjectDataBase::INDEX_DATA_T data;
    data.name = name;
    data.objecttype = objectType;
    data.datatype = datatype;
    data.description = description;
    db.addIndex(0, index, data);
}

inline ObjectDataBase::SUBINDEX_DATA_T entry(const QString &name, quint16 datatype,
                                             const QString &access, const QString &value)
{
    ObjectDataBase::SUBINDEX_DATA_T data = gentest::sub(name, datatype, value);
    data.accesstype = access;
    return data;
}

inline void buildDescriptionProject(ObjectDataBase &db)
{
    gentest::buildCanopenProject(db);
    const QVariantMap description = gentest::settingsOf(
        "FileVersion=3; FileRevision=14; CreatedBy=J. Muster; VendorName=Tenv Motion; "
        "ProductName=Drive Ü 7; OrderCode=DRV-7; BaudRate_250=1; BaudRate_500=1; "
        "LSS_Supported=1; Dummy0005=1; Comment=Motor drive\nfirmware 2.1");
    for (auto it = description.cbegin(); it != description.cend(); ++it)
        db.setDescriptionSettingsValue(it.key(), it.value().toString());
    gentest::addRecord(db, 0, 0x1400, "RPDO1 communication", {"COB-ID", "Transmission type"});
    db.setSubIndexValue(0, 0x1400, 1, QStringLiteral("$NODEID+0x200"));
    gentest::addRecord(db, 0, 0x1600, "RPDO1 mapping", {"Mapping entry $s"});
    db.setSubIndexValue(0, 0x1600, 1, QStringLiteral("0x20000110"));

    // A sparse array: sub-sections are named in lower-case hexadecimal.
    addObject(db, 0x2100, "Channel gain", 8, "Gain per channel\n\nset at start-up");
    db.addSubIndex(0, 0x2100, 0, gentest::sub("Number of channels", 5, "0x1a"));
    ObjectDataBase::SUBINDEX_DATA_T gain = entry("Gain $z", 3, "rww", "-12");
    gain.pdomapping = 1;
    gain.limitineds = true;
    gain.lowlimit = -100;
    gain.uplimit = 100;
    db.addSubIndex(0, 0x2100, 1, gain);
    gain.description = QStringLiteral("last channel\nof the board");
    db.addSubIndex(0, 0x2100, 0x1A, gain);

    // A variable with a stray sub-index 1, which the EDS leaves out.
    addObject(db, 0x2200, "Device name", 7);
    ObjectDataBase::SUBINDEX_DATA_T text = entry("Device name", 9, "const", "Drive, \"7\"");
    db.addSubIndex(0, 0x2200, 0, text);
    db.addSubIndex(0, 0x2200, 1, gentest::sub("stray"));
    addObject(db, 0x2300, "Firmware image", 2);
    ObjectDataBase::SUBINDEX_DATA_T domain = entry("Firmware image", 15, "wo", QString());
    domain.implementation = 2;
    domain.refuseread = true;
    domain.varname = QStringLiteral("fwImage");
    db.addSubIndex(0, 0x2300, 0, domain);

    // Only in the variant "FULL".
    gentest::addVar(db, 0, 0x2500, "Diagnostics", 7, {{"eds_define", "FULL"}});
    addObject(db, 0x6040, "Controlword", 7);
    ObjectDataBase::SUBINDEX_DATA_T control = entry("Controlword", 6, "rw", "0");
    control.pdomapping = 3;
    control.implementation = 2;
    control.varname = QStringLiteral("control_$I");
    db.addSubIndex(0, 0x6040, 0, control);

    // Beyond the lists: gets a section of its own only.
    gentest::addVar(db, 0, 0xD000, "Vendor block", 7);
}

// The lines of a written file without their CR LF ends.
inline QStringList fileLines(const QString &text)
{
    QString lf = QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (lf.endsWith(QLatin1Char('\n')))
        lf.chop(1);
    return lf.split(QLatin1Char('\n'));
}

// Every line end is CR LF.
inline bool onlyCrLf(const QString &text)
{
    return !text.contains(QRegularExpression(QStringLiteral("[^\\r]\\n|^\\n|\\r(?!\\n)")));
}

// A written file has CR LF line ends and, read with LF ends, matches the golden file
// tests/data/description/<name>.
inline void compareWithGolden(const QString &text, const QString &name)
{
    QVERIFY(onlyCrLf(text));
    const QString diff =
        gentest::goldenDiff(QStringLiteral(NW_TEST_DATA_DIR "/description/") + name,
                            fileLines(text).join(QLatin1Char('\n')));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

} // namespace desctest
