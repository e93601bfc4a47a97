#pragma once

#include <QVariant>
#include <QVector>

// Every row of one select. The statement is read to its end and finished before the rows
// are handed out, so whatever the reader does next (resolve texts, write) can never cut a
// read short.
class SqlRows
{
public:
    class Row
    {
    public:
        Row(const SqlRows *rows, int row) : m_rows(rows), m_row(row) {}
        const QVariant &value(int column) const { return m_rows->at(m_row, column); }

    private:
        const SqlRows *m_rows;
        int m_row;
    };

    class const_iterator
    {
    public:
        const_iterator(const SqlRows *rows, int row) : m_rows(rows), m_row(row) {}
        Row operator*() const { return Row(m_rows, m_row); }
        const_iterator &operator++()
        {
            ++m_row;
            return *this;
        }
        bool operator!=(const const_iterator &other) const { return m_row != other.m_row; }

    private:
        const SqlRows *m_rows;
        int m_row;
    };

    // The statement ran (a select without rows is ok).
    bool ok() const { return m_ok; }
    int count() const { return m_count; }
    int columnCount() const { return m_columns; }
    bool isEmpty() const { return m_count == 0; }
    const QVariant &at(int row, int column) const
    {
        return m_chunks.at(row / chunkRows).at((row % chunkRows) * m_columns + column);
    }
    // First column of the first row; invalid when there is none.
    QVariant first() const { return m_count > 0 ? at(0, 0) : QVariant(); }
    Row row(int row) const { return Row(this, row); }
    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, m_count); }

private:
    friend class ObjectDataBasePrivate;
    // The cells are kept in blocks of this many rows: a large result then grows without
    // copying what was read before.
    static constexpr int chunkRows = 1024;
    // Appends a row, to be filled with columnCount() append()s.
    QVector<QVariant> &newRow()
    {
        if (m_count++ % chunkRows == 0) {
            m_chunks.append(QVector<QVariant>());
            m_chunks.last().reserve(chunkRows * m_columns);
        }
        return m_chunks.last();
    }
    bool m_ok = false;
    int m_columns = 0;
    int m_count = 0;
    QVector<QVector<QVariant>> m_chunks;
};
