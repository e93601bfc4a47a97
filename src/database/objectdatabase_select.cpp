#include "objectdatabase_p.h"

#include <QDate>
#include <QDateTime>
#include <QDebug>
#include <QSqlDriver>
#include <QTime>

#include <sqlite3.h>

// Selects are read straight from SQLite's handle of the project's connection (the same
// connection Qt's driver uses), which spares the driver's conversion of every cell into
// its row cache and every text into UTF-16 by SQLite. Values are bound and cells are
// turned into QVariants exactly as the driver does it, so callers see the same values.

namespace {

void bindValue(sqlite3_stmt *statement, int position, const QVariant &value, int &result)
{
    if (value.isNull()) {
        result = sqlite3_bind_null(statement, position);
        return;
    }
    switch (value.userType()) {
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        result = sqlite3_bind_blob(statement, position, bytes.constData(), bytes.size(),
                                   SQLITE_TRANSIENT);
        break;
    }
    case QMetaType::Int:
    case QMetaType::Bool:
        result = sqlite3_bind_int(statement, position, value.toInt());
        break;
    case QMetaType::Double:
        result = sqlite3_bind_double(statement, position, value.toDouble());
        break;
    case QMetaType::UInt:
    case QMetaType::LongLong:
        result = sqlite3_bind_int64(statement, position, value.toLongLong());
        break;
    default: {
        // Every other type is bound as its text, as the driver does.
        QString text;
        if (value.userType() == QMetaType::QDateTime)
            text = value.toDateTime().toString(Qt::ISODateWithMs);
        else if (value.userType() == QMetaType::QTime)
            text = value.toTime().toString(QStringLiteral("hh:mm:ss.zzz"));
        else
            text = value.toString();
        result = sqlite3_bind_text16(statement, position, text.utf16(), text.size() * 2,
                                     SQLITE_TRANSIENT);
        break;
    }
    }
}

// A text cell.
QString cellText(sqlite3_stmt *statement, int column)
{
    // A plain ASCII text reads the same in every encoding; any other goes through
    // SQLite's own conversion, as with the driver.
    const char *utf8 = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
    const int size = sqlite3_column_bytes(statement, column);
    bool ascii = true;
    for (int k = 0; k < size && ascii; ++k)
        ascii = static_cast<unsigned char>(utf8[k]) < 0x80;
    if (ascii)
        return QString::fromLatin1(utf8, size);
    const void *utf16 = sqlite3_column_text16(statement, column);
    return QString(static_cast<const QChar *>(utf16),
                   sqlite3_column_bytes16(statement, column) / int(sizeof(QChar)));
}

QVariant cell(sqlite3_stmt *statement, int column)
{
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(statement, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(statement, column));
    case SQLITE_NULL:
        return QVariant(QVariant::String);
    case SQLITE_BLOB:
        return QVariant(
            QByteArray(static_cast<const char *>(sqlite3_column_blob(statement, column)),
                       sqlite3_column_bytes(statement, column)));
    default:
        return QVariant(cellText(statement, column));
    }
}

} // namespace

sqlite3 *ObjectDataBasePrivate::sqliteHandle() const
{
    if (!db.isOpen() || !db.driver())
        return nullptr;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

int SqlCells::columnCount() const
{
    return sqlite3_column_count(m_statement);
}

QVariant SqlCells::value(int column) const
{
    return cell(m_statement, column);
}

bool SqlCells::isNull(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

QString SqlCells::text(int column) const
{
    switch (sqlite3_column_type(m_statement, column)) {
    case SQLITE_TEXT:
        return cellText(m_statement, column);
    case SQLITE_NULL:
        return QString();
    default:
        return value(column).toString();
    }
}

qint64 SqlCells::number(int column) const
{
    switch (sqlite3_column_type(m_statement, column)) {
    case SQLITE_INTEGER:
        return sqlite3_column_int64(m_statement, column);
    case SQLITE_NULL:
        return 0;
    default:
        return value(column).toLongLong();
    }
}

int SqlCells::integer(int column) const
{
    // QVariant takes an integer cell to int by truncation as well.
    if (sqlite3_column_type(m_statement, column) == SQLITE_INTEGER)
        return int(sqlite3_column_int64(m_statement, column));
    return value(column).toInt();
}

QByteArray SqlCells::bytes(int column) const
{
    switch (sqlite3_column_type(m_statement, column)) {
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char *>(sqlite3_column_blob(m_statement, column)),
                          sqlite3_column_bytes(m_statement, column));
    case SQLITE_NULL:
        return QByteArray();
    default:
        return value(column).toByteArray();
    }
}

bool ObjectDataBasePrivate::selectEach(const QString &sql, const QVariantList &values,
                                       const char *signature,
                                       const std::function<void(const SqlCells &)> &row)
{
    sqlite3_stmt *statement = rawPrepared(sql, signature);
    if (!statement)
        return false;
    int result = SQLITE_OK;
    const int parameters = sqlite3_bind_parameter_count(statement);
    if (values.size() != parameters) {
        lastSqlError = QStringLiteral("Parameter count mismatch");
        qDebug() << signature << lastSqlError << sql;
        return false;
    }
    for (int i = 0; i < values.size() && result == SQLITE_OK; ++i)
        bindValue(statement, i + 1, values.at(i), result);
    if (result == SQLITE_OK) {
        const SqlCells cells(statement);
        while ((result = sqlite3_step(statement)) == SQLITE_ROW)
            row(cells);
    }
    const bool ok = result == SQLITE_DONE;
    if (!ok)
        rawFailed(sqlite3_db_handle(statement), "Unable to fetch row", sql, signature);
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    return ok;
}

SqlRows ObjectDataBasePrivate::select(const QString &sql, const QVariantList &values,
                                      const char *signature)
{
    SqlRows rows;
    const bool ok = selectEach(sql, values, signature, [&rows](const SqlCells &cells) {
        if (rows.m_columns == 0)
            rows.m_columns = cells.columnCount();
        QVector<QVariant> &row = rows.newRow();
        for (int i = 0; i < rows.m_columns; ++i)
            row.append(cells.value(i));
    });
    if (ok)
        rows.m_ok = true;
    else
        rows = SqlRows(); // a select that fails part-way reports no rows at all
    return rows;
}
