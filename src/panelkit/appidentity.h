#pragma once

#include <QString>

// Name, version and organisation of the running tool. One executable serves four
// editions; the edition is chosen by the name the program was started under.
class AppIdentity
{
public:
    static constexpr const char *version = NW_VERSION_STRING;
    static constexpr const char *organisationName = "tenvor";
    static constexpr const char *organisationDomain = "tenvor.com";

    static constexpr const char *canopenEdition = "CANopen Nodewright";
    static constexpr const char *j1939Edition = "J1939 Nodewright";
    static constexpr const char *canEdition = "CAN Nodewright";
    static constexpr const char *energyBusEdition = "EnergyBus Packwright";

    // Edition name for the program path or invocation name argv0 ("j1939-nodewright",
    // "/usr/bin/can-nodewright", "nodewright.exe", ...). Unknown names give the
    // CANopen edition.
    static QString editionForProgram(const QString &argv0);

    // Sets application name, version, organisation name and domain on the running
    // QCoreApplication (or before it exists) for the given argv0.
    static void apply(const QString &argv0);

    static bool isJ1939Edition(const QString &applicationName);
    static bool isCanEdition(const QString &applicationName);
    static bool isEnergyBusEdition(const QString &applicationName);
};
