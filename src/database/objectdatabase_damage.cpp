#include "objectdatabase.h"

#include "metadatablob.h"
#include "objectdatabase_p.h"

#include <QSqlRecord>

// What a project file damaged by hand or by another program lacks. The damage is reported
// when the project is opened; the file itself is only changed when the user saves.
namespace {

struct RequiredTable
{
    const char *base; // table name, with the line number appended for line tables
    QStringList columns;
};

const RequiredTable lineTables[] = {
    {"Objects", {"objectindex", "name", "datatype", "objecttype"}},
    {"SubObjects",
     {"objectindex", "subindex", "name", "datatype", "accesstype", "defaultvalue",
      "implementation"}},
};

// Files made from the templates hold the number 0 where there is no metadata.
bool isGarbage(const QByteArray &blob)
{
    return !blob.isEmpty() && MetaDataBlob::decode(blob).isEmpty()
           && blob != MetaDataBlob::encode({});
}

} // namespace

// Checks one table of the working file: a missing one is made anew (empty) so that the
// line can be edited; one without the columns it needs is left as it is.
QString ObjectDataBase::damageOfTable(const QString &name, const QStringList &columns, quint8 line)
{
    if (!d->tableExists(name)) {
        createLineTables(line);
        return tr("the table %1 is missing; line %2 opens without what it held")
            .arg(name)
            .arg(line);
    }
    const QSqlRecord record = d->db.record(name);
    QStringList missing;
    for (const QString &column : columns) {
        if (!record.contains(column))
            missing << column;
    }
    if (!missing.isEmpty())
        return tr("the table %1 lacks the columns %2; its rows cannot be read")
            .arg(name, missing.join(QLatin1String(", ")));
    const int misplaced =
        d->select(QStringLiteral("select count(*) from %1 where typeof(objectindex) != 'integer' "
                                 "or objectindex not between 0 and 65535%2")
                      .arg(name, columns.contains(QLatin1String("subindex"))
                                     ? QLatin1String(" or typeof(subindex) != 'integer' or "
                                                     "subindex not between 0 and 255")
                                     : QLatin1String("")),
                  {}, Q_FUNC_INFO)
            .first()
            .toInt();
    if (misplaced > 0)
        return tr("rows of the table %1 without a valid index or sub-index: %2")
            .arg(name)
            .arg(misplaced);
    int garbage = 0;
    for (const SqlRows::Row row : d->select(
             QStringLiteral("select metadata from %1 where typeof(metadata) in ('blob', 'text') "
                            "and length(metadata) > 0")
                 .arg(name),
             {}, Q_FUNC_INFO))
        garbage += isGarbage(row.value(0).toByteArray()) ? 1 : 0;
    if (garbage > 0)
        return tr("metadata entries of the table %1 that cannot be read: %2; the file keeps "
                  "them as they are")
            .arg(name)
            .arg(garbage);
    return QString();
}

QStringList ObjectDataBase::damagedParts()
{
    QStringList damage;
    const int outside =
        d->select(QStringLiteral("select count(*) from Nodes where typeof(nodeId) != 'integer' "
                                 "or nodeId not between 0 and 255"),
                  {}, Q_FUNC_INFO)
            .first()
            .toInt();
    if (outside > 0)
        damage << tr("lines without a valid line number, left out: %1").arg(outside);
    if (!d->tableExists(QStringLiteral("Strings"))) {
        d->execSchema(QStringLiteral("create table Strings (id integer primary key, string text)"),
                      Q_FUNC_INFO);
        damage << tr("the table Strings is missing; names and descriptions are empty");
    } else {
        // The texts are read once, for this count and for the Strings cache of the store.
        cacheStrings();
        int invalid = 0;
        for (const QString &text : qAsConst(d->strings))
            invalid += text.contains(QChar::ReplacementCharacter) ? 1 : 0;
        if (invalid > 0)
            damage << tr("texts that are no valid UTF-8: %1; their invalid bytes are shown as %2")
                          .arg(invalid)
                          .arg(QChar(QChar::ReplacementCharacter));
    }
    for (quint8 line : getNodes()) {
        for (const RequiredTable &table : lineTables) {
            const QString problem = damageOfTable(d->table(table.base, line), table.columns, line);
            if (!problem.isEmpty())
                damage << problem;
        }
    }
    return damage;
}
