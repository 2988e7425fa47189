// The writing half of SqliteCursor: append, edit, post, delete and adding many records. Every
// change is one statement in autocommit mode, or one transaction, so it is in the file when the
// call returns.
#include "platform/sqlitecursor.h"

#include "platform/sqlitecursor_p.h"

#include <QStringList>

namespace platform {

void SqliteCursor::Private::requireTable() const
{
    if (table.isEmpty())
        throw DatabaseError(QStringLiteral("The query \"%1\" names no table to write to").arg(sql));
}

qint64 SqliteCursor::Private::keyOfCurrent() const
{
    requireTable();
    if (keyColumn < 0)
        throw DatabaseError(QStringLiteral("The query \"%1\" does not read the key column %2 of table '%3'")
                                .arg(sql, keyName, table));
    const QVariant key = rows[size_t(current)].values[size_t(keyColumn)];
    if (key.typeId() != QMetaType::LongLong)
        throw DatabaseError(QStringLiteral("The current record of table '%1' has no key").arg(table));
    return key.toLongLong();
}

int SqliteCursor::Private::execute(const QString &statementText, const QVariantList &values) const
{
    sqlite::Statement statement = prepare(statementText);
    const QString context =
        QStringLiteral("Cannot write to table '%1' of the database '%2'").arg(table, path);
    for (int i = 0; i < values.size(); ++i) {
        const int code = sqlite::bind(statement.get(), i + 1, values[i]);
        if (code != SQLITE_OK) throw error(code, context);
    }
    const int code = sqlite3_step(statement.get());
    if (code != SQLITE_DONE) throw error(code, context);
    return sqlite3_changes(db);
}

bool SqliteCursor::Private::reloadRow(Row &row, qint64 key) const
{
    QStringList names;
    std::vector<int> shown;
    for (size_t i = 0; i < columns.size(); ++i)
        if (!columns[i].tableColumn.isEmpty()) {
            names << sqlite::quoted(columns[i].tableColumn);
            shown.push_back(int(i));
        }
    if (names.isEmpty()) names << QStringLiteral("1");
    sqlite::Statement statement =
        prepare(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                    .arg(names.join(u", "), sqlite::quoted(table), sqlite::quoted(keyName)));
    sqlite3_bind_int64(statement.get(), 1, key);
    const int code = sqlite3_step(statement.get());
    if (code == SQLITE_DONE) return false;
    if (code != SQLITE_ROW)
        throw error(code, QStringLiteral("Cannot read back the record of table '%1'").arg(table));
    for (size_t i = 0; i < shown.size(); ++i)
        row.values[size_t(shown[i])] = sqlite::columnValue(statement.get(), int(i));
    return true;
}

void SqliteCursor::finishEditing()
{
    if (d->mode != Private::Mode::Browse) post();
}

void SqliteCursor::append()
{
    d->requireOpen();
    finishEditing();
    d->requireTable();
    d->mode = Private::Mode::Append;
    d->changes.clear();
    notifyCurrentChanged();
}

void SqliteCursor::edit()
{
    d->requireOpen();
    if (d->mode == Private::Mode::Edit) return;
    finishEditing();
    d->requireCurrent();
    d->keyOfCurrent();
    d->mode = Private::Mode::Edit;
    d->changes.clear();
}

void SqliteCursor::setValue(const QString &fieldName, const QVariant &value)
{
    const int column = d->columnOf(fieldName);
    if (d->mode == Private::Mode::Browse)
        throw DatabaseError(QStringLiteral("Cannot change field '%1': the cursor is not appending or editing")
                                .arg(fieldName));
    if (d->columns[size_t(column)].tableColumn.isEmpty())
        throw DatabaseError(QStringLiteral("Field '%1' cannot be changed: it is no column of table '%2'")
                                .arg(fieldName, d->table));
    for (auto &[changed, changedValue] : d->changes)
        if (changed == column) {
            changedValue = value;
            return;
        }
    d->changes.emplace_back(column, value);
}

// A failed post leaves the cursor appending or editing with the values given, so that nothing
// typed is lost; cancel() drops them.
void SqliteCursor::post()
{
    d->requireOpen();
    if (d->mode == Private::Mode::Browse) return;
    QStringList names;
    QVariantList values;
    for (const auto &[column, value] : d->changes) {
        names << sqlite::quoted(d->columns[size_t(column)].tableColumn);
        values << value;
    }

    if (d->mode == Private::Mode::Append) {
        const QString table = sqlite::quoted(d->table);
        const QString sql = names.isEmpty()
                                ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table)
                                : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                      .arg(table, names.join(u", "),
                                           QStringList(names.size(), QStringLiteral("?")).join(u", "));
        d->execute(sql, values);
        const qint64 key = sqlite3_last_insert_rowid(d->db);
        Private::Row row;
        row.serial = d->nextSerial++;
        row.values.resize(d->columns.size());
        for (const auto &[column, value] : d->changes)
            row.values[size_t(column)] = value;
        d->mode = Private::Mode::Browse;
        d->changes.clear();
        d->lastKey = key;
        // The row is in the file now; reading it back only shows what the store made of it.
        d->reloadRow(row, key);
        d->rows.push_back(std::move(row));
        d->current = int(d->rows.size()) - 1;
        d->atEof = d->atBof = false;
        notifyRowsChanged();
        notifyCurrentChanged();
        return;
    }

    if (names.isEmpty()) {
        d->mode = Private::Mode::Browse;
        return;
    }
    qint64 key = d->keyOfCurrent();
    values << key;
    const QString sql = QStringLiteral("UPDATE %1 SET %2 = ? WHERE %3 = ?")
                            .arg(sqlite::quoted(d->table), names.join(u" = ?, "), sqlite::quoted(d->keyName));
    if (d->execute(sql, values) == 0)
        throw DatabaseError(QStringLiteral("The record to change is no longer in table '%1'").arg(d->table));
    for (const auto &[column, value] : d->changes)
        if (column == d->keyColumn) key = value.toLongLong();
    Private::Row &row = d->rows[size_t(d->current)];
    for (const auto &[column, value] : d->changes)
        row.values[size_t(column)] = value;
    d->mode = Private::Mode::Browse;
    d->changes.clear();
    d->reloadRow(row, key);
    notifyRowsChanged();
}

void SqliteCursor::cancel()
{
    const bool appending = d->mode == Private::Mode::Append;
    d->mode = Private::Mode::Browse;
    d->changes.clear();
    if (appending) notifyCurrentChanged();
}

bool SqliteCursor::isEditing() const
{
    return d->mode != Private::Mode::Browse;
}

qint64 SqliteCursor::newKey() const
{
    return d->lastKey;
}

void SqliteCursor::deleteCurrent()
{
    d->requireOpen();
    // Deleting a record not yet posted just drops it; an unposted edit is dropped with its record.
    if (d->mode == Private::Mode::Append) {
        cancel();
        return;
    }
    cancel();
    if (d->rows.empty()) return;
    const qint64 key = d->keyOfCurrent();
    // A record another program removed already is gone either way.
    d->execute(QStringLiteral("DELETE FROM %1 WHERE %2 = ?")
                   .arg(sqlite::quoted(d->table), sqlite::quoted(d->keyName)),
               {key});
    d->rows.erase(d->rows.begin() + d->current);
    if (d->current >= int(d->rows.size())) d->current = std::max(0, int(d->rows.size()) - 1);
    d->atEof = d->atBof = false;
    notifyRowsChanged();
    notifyCurrentChanged();
}

void SqliteCursor::insertRecords(const QString &fieldName, const QVariantList &values)
{
    d->requireOpen();
    finishEditing();
    d->requireTable();
    const QString column = d->columns[size_t(d->columnOf(fieldName))].tableColumn;
    if (column.isEmpty())
        throw DatabaseError(QStringLiteral("Field '%1' cannot be changed: it is no column of table '%2'")
                                .arg(fieldName, d->table));
    d->execute(QStringLiteral("BEGIN IMMEDIATE"), {});
    try {
        sqlite::Statement insert = d->prepare(
            QStringLiteral("INSERT INTO %1 (%2) VALUES (?)").arg(sqlite::quoted(d->table), sqlite::quoted(column)));
        const QString context =
            QStringLiteral("Cannot write to table '%1' of the database '%2'").arg(d->table, d->path);
        for (const QVariant &value : values) {
            int code = sqlite::bind(insert.get(), 1, value);
            if (code == SQLITE_OK) code = sqlite3_step(insert.get());
            if (code != SQLITE_DONE) throw d->error(code, context);
            sqlite3_reset(insert.get());
        }
        d->execute(QStringLiteral("COMMIT"), {});
    } catch (...) {
        sqlite3_exec(d->db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

} // namespace platform
