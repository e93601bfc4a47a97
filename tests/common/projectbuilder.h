#pragma once

#include "database/objectdatabase.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace nwtest {

using Sub = ObjectDataBase::SUBINDEX_DATA_T;

// Isolated settings folders and the identity of the CANopen edition, as the front ends
// set them up. Call from initTestCase().
void initApplication();

// A sub-index entry.
Sub entry(quint16 datatype, const QString &access, const QString &value, quint8 implementation = 0);
// An application variable (implementation 2) with the given variable name.
Sub appVariable(quint16 datatype, const QString &access, const QString &varName,
                quint8 pdoMapping = 0);

// Every general setting of the project, key to value.
QMap<QString, QString> generalSettings(ObjectDataBase &db);

// Builds a project through the store's public interface. A call the store refuses fails
// the running test function.
class ProjectBuilder
{
public:
    explicit ProjectBuilder(ObjectDataBase &db) : m_db(db) {}

    // Starts an empty project whose line 0 is a CANopen line.
    ProjectBuilder &newProject();
    // Adds the line when it is missing and sets its type (1 CANopen, 2 J1939, 4 raw CAN,
    // 5 CANopen and J1939).
    ProjectBuilder &line(quint8 line, int type = 1);
    // Object index of line with sub-indices 0..n-1 as given.
    ProjectBuilder &object(quint8 line, quint16 index, quint8 objectType, const QList<Sub> &subs,
                           const QString &name = QString());
    ProjectBuilder &var(quint8 line, quint16 index, const Sub &sub,
                        const QString &name = QString());
    // Objects given as "line:index:count" (index hexadecimal; sub-indices 0 to count - 1,
    // a variable for one, an array otherwise; the line is added as CANopen when missing)
    // followed by options: values=v0,v1,... (default values by sub-index, else "0"),
    // access0= (access of sub-index 0; all others are "ro") and, for the entries
    // (sub-index 0 of a variable, else 1 and up), type= (data type, default 7), impl=
    // and nv=1.
    ProjectBuilder &objects(const QStringList &specs);
    ProjectBuilder &settings(const QVariantMap &general);
    ProjectBuilder &j1939Settings(const QVariantMap &settings);
    // Messages "line:number:direction" (number hexadecimal, direction t or r) as PGNs.
    ProjectBuilder &pgns(const QStringList &specs);
    // The same as raw CAN identifiers.
    ProjectBuilder &canIds(const QStringList &specs);

private:
    void require(bool done, const QString &what);
    ProjectBuilder &messages(const QStringList &specs, bool asPgns);

    ObjectDataBase &m_db;
};

} // namespace nwtest
