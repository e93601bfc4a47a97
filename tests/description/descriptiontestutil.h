#pragma once

#include "../generators/generatortestutil.h"

#include <QRegularExpression>

// The device-description fixture shared by the EDS and CSV tests: one CANopen line with
// the description settings filled and objects of every kind the writers treat apart.
namespace desctest {

inline void addObject(ObjectDataBase &db, quint16 index, const QString &name, quint8 objectType,
                      const QString &description = QString(),
                      const ObjectDataBase::MetaData &metadata = {})
{
    ObjectDataBase::INDEX_DATA_T data;
    data.name = name;
    data.objecttype = objectType;
    data.description = description;
    data.metadata = metadata;
    db.addIndex(0, index, data);
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
    ObjectDataBase::SUBINDEX_DATA_T gain = gentest::sub("Gain $z", 3, "-12");
    gain.accesstype = QStringLiteral("rww");
    gain.pdomapping = 1;
    gain.limitineds = true;
    gain.lowlimit = -100;
    gain.uplimit = 100;
    db.addSubIndex(0, 0x2100, 1, gain);
    gain.description = QStringLiteral("last channel\nof the board");
    db.addSubIndex(0, 0x2100, 0x1A, gain);

    // A variable with a stray sub-index 1, which the EDS leaves out.
    addObject(db, 0x2200, "Device name", 7);
    ObjectDataBase::SUBINDEX_DATA_T text = gentest::sub("Device name", 9, "Drive, \"7\"");
    text.accesstype = QStringLiteral("const");
    db.addSubIndex(0, 0x2200, 0, text);
    db.addSubIndex(0, 0x2200, 1, gentest::sub("stray"));
    addObject(db, 0x2300, "Firmware image", 2);
    ObjectDataBase::SUBINDEX_DATA_T domain = gentest::sub("Firmware image", 15, QString(), 2);
    domain.accesstype = QStringLiteral("wo");
    domain.refuseread = true;
    domain.varname = QStringLiteral("fwImage");
    db.addSubIndex(0, 0x2300, 0, domain);

    // Only in the variant "FULL".
    gentest::addVar(db, 0, 0x2500, "Diagnostics", 7, {{"eds_define", "FULL"}});
    addObject(db, 0x6040, "Controlword", 7);
    ObjectDataBase::SUBINDEX_DATA_T control = gentest::sub("Controlword", 6);
    control.accesstype = QStringLiteral("rw");
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
    QString lf = text;
    lf.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (lf.endsWith(QLatin1Char('\n')))
        lf.chop(1);
    return lf.split(QLatin1Char('\n'));
}

// Every line end is CR LF.
inline bool onlyCrLf(const QString &text)
{
    return !text.contains(QRegularExpression(QStringLiteral("[^\\r]\\n|^\\n|\\r(?!\\n)")));
}

} // namespace desctest
