// Internals of SqliteCursor shared by its reading and its writing half.
#pragma once

#include "platform/errors.h"
#include "platform/sqlitecursor.h"

#include <sqlite3.h>

#include <vector>

namespace platform {

namespace sqlite {

// Owns a prepared statement.
class Statement {
public:
    Statement() = default;
    explicit Statement(sqlite3_stmt *statement) : m_statement(statement) {}
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(Statement &&other) noexcept : m_statement(other.m_statement) { other.m_statement = nullptr; }
    Statement &operator=(Statement &&) = delete;
    sqlite3_stmt *get() const { return m_statement; }

private:
    sqlite3_stmt *m_statement = nullptr;
};

// Binds value to the 1-based placeholder index; returns the SQLite result code.
int bind(sqlite3_stmt *statement, int index, const QVariant &value);

// The value of column i of the current result row, by its storage class: null, qint64, double,
// QString or QByteArray.
QVariant columnValue(sqlite3_stmt *statement, int column);

// Quotes an identifier for SQL text.
QString quoted(const QString &identifier);

} // namespace sqlite

struct SqliteCursor::Private {
    struct Column {
        QString name;
        FieldKind kind = FieldKind::Unknown;
        int declaredSize = 0; // n of VARCHAR(n); 0 when none is declared
        QString tableColumn;  // the column of the written table it shows; empty when none
    };
    struct Row {
        std::vector<QVariant> values;
        quint64 serial = 0; // identity for bookmarks; never reused within the cursor's life
    };
    enum class Mode { Browse, Append, Edit };

    QString path;
    QString sql;
    QVariantList parameters;

    sqlite3 *db = nullptr;
    std::vector<Column> columns;
    std::vector<Row> rows;
    QString table;      // the table named after FROM; empty when the query names none
    QString keyName;    // the column addressing a row of table (its INTEGER PRIMARY KEY or rowid)
    int keyColumn = -1; // the result column holding the key, or -1
    int current = 0;    // index into rows while rows is not empty
    bool atEof = false;
    bool atBof = false;
    Mode mode = Mode::Browse;
    std::vector<std::pair<int, QVariant>> changes; // column -> new value, in the order set
    qint64 lastKey = 0;
    quint64 nextSerial = 1;
    quint64 generation = 0; // bumped by every open, so old bookmarks become foreign

    // Errors of SQLite, worded by kind: locked, damaged, read-only or other (after context).
    DatabaseError error(int code, const QString &context) const;
    DatabaseError error(const QString &context) const { return error(sqlite3_extended_errcode(db), context); }

    void requireOpen() const;
    void requireCurrent() const;
    int columnOf(const QString &fieldName) const;
    sqlite::Statement prepare(const QString &text) const;
    // Reads the columns of table for the row with key into row (columns shown from other
    // places keep their values). Returns false when no such row exists.
    bool reloadRow(Row &row, qint64 key) const;
    void closeDatabase();
    // Editing needs the table named after FROM and, for existing records, their key.
    void requireTable() const;
    qint64 keyOfCurrent() const;
    // Runs one writing statement with values bound in order; returns the number of rows changed.
    int execute(const QString &statementText, const QVariantList &values) const;
    // Runs the query on the open db and reads its columns and rows; throws DatabaseError.
    void load();
    void readKeyOfTable();
    // The stored value of column on the current record, with unposted changes applied.
    QVariant storedValue(int column) const;
    // Index of the row a bookmark stands for, or -1 when it is released, foreign or its row is gone.
    int rowOfBookmark(const Bookmark &bookmark) const;
};

} // namespace platform
