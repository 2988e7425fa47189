#include "platform/sqlitecursor.h"

#include "platform/sqlitecursor_p.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <functional>
#include <limits>

namespace platform {

namespace {

// How long a statement waits for another program's lock before it reports the store as locked.
constexpr int busyTimeoutMs = 2000;

bool isIdentifierChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$' || c.unicode() >= 0x80;
}

// Reads SQL tokens far enough to find the table named after the first FROM outside
// parentheses, strings and comments ("select * from keren where ..." gives keren,
// "from main.keren" gives keren, "from (select ...)" gives none).
class TableFinder {
public:
    explicit TableFinder(const QString &sql) : m_sql(sql) {}

    QString table()
    {
        int depth = 0;
        Token token;
        while ((token = nextToken()).kind != Token::End) {
            if (token.kind == Token::Punctuation) {
                depth += token.text == u"(" ? 1 : token.text == u")" ? -1 : 0;
                continue;
            }
            if (depth != 0 || token.kind != Token::Word ||
                token.text.compare(u"from", Qt::CaseInsensitive) != 0)
                continue;
            Token name = nextToken();
            if (name.kind != Token::Word && name.kind != Token::Quoted) return {};
            const qsizetype afterName = m_pos;
            Token dot = nextToken();
            if (dot.kind == Token::Punctuation && dot.text == u".") {
                Token inner = nextToken();
                if (inner.kind == Token::Word || inner.kind == Token::Quoted) return inner.text;
                return {};
            }
            m_pos = afterName;
            return name.text;
        }
        return {};
    }

private:
    struct Token {
        enum Kind { End, Word, Quoted, String, Punctuation } kind = End;
        QString text;
    };

    QChar at(qsizetype i) const { return i < m_sql.size() ? m_sql[i] : QChar(); }

    Token nextToken()
    {
        for (;;) {
            while (m_pos < m_sql.size() && m_sql[m_pos].isSpace())
                ++m_pos;
            if (at(m_pos) == u'-' && at(m_pos + 1) == u'-') {
                const qsizetype end = m_sql.indexOf(u'\n', m_pos);
                m_pos = end < 0 ? m_sql.size() : end + 1;
            } else if (at(m_pos) == u'/' && at(m_pos + 1) == u'*') {
                const qsizetype end = m_sql.indexOf(u"*/", m_pos + 2);
                m_pos = end < 0 ? m_sql.size() : end + 2;
            } else {
                break;
            }
        }
        if (m_pos >= m_sql.size()) return {};
        const QChar c = m_sql[m_pos];
        if (c == u'\'' || c == u'"' || c == u'`' || c == u'[') {
            const QChar close = c == u'[' ? QChar(u']') : c;
            QString text;
            ++m_pos;
            while (m_pos < m_sql.size()) {
                if (m_sql[m_pos] == close) {
                    if (close != u']' && at(m_pos + 1) == close) {
                        text += close;
                        m_pos += 2;
                        continue;
                    }
                    ++m_pos;
                    break;
                }
                text += m_sql[m_pos++];
            }
            return {c == u'\'' ? Token::String : Token::Quoted, text};
        }
        if (isIdentifierChar(c)) {
            const qsizetype start = m_pos;
            while (m_pos < m_sql.size() && isIdentifierChar(m_sql[m_pos]))
                ++m_pos;
            return {Token::Word, m_sql.mid(start, m_pos - start)};
        }
        ++m_pos;
        return {Token::Punctuation, QString(c)};
    }

    const QString &m_sql;
    qsizetype m_pos = 0;
};

FieldKind kindOfDeclaredType(const QString &declared)
{
    const QString type = declared.toUpper();
    const auto has = [&](const char *word) { return type.contains(QLatin1String(word)); };
    if (type.isEmpty()) return FieldKind::Unknown;
    if (has("BOOL")) return FieldKind::Boolean;
    if (has("DATE") || has("TIME")) return FieldKind::DateTime;
    if (has("BIGINT") || has("INT8") || has("INT64") || has("LARGEINT")) return FieldKind::LargeInt;
    if (has("INT")) return FieldKind::Integer;
    if (has("CHAR") || has("CLOB") || has("TEXT")) return FieldKind::String;
    if (has("BLOB")) return FieldKind::Blob;
    if (has("REAL") || has("FLOA") || has("DOUB") || has("NUM") || has("DEC") || has("MONEY"))
        return FieldKind::Float;
    return FieldKind::Unknown;
}

FieldKind kindOfValue(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::LongLong:
        return FieldKind::Integer;
    case QMetaType::Double:
        return FieldKind::Float;
    case QMetaType::QString:
        return FieldKind::String;
    case QMetaType::QByteArray:
        return FieldKind::Blob;
    default:
        return FieldKind::Unknown;
    }
}

int declaredSize(const QString &declared)
{
    static const QRegularExpression size(QStringLiteral("\\(\\s*(\\d+)"));
    const QRegularExpressionMatch match = size.match(declared);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

QDateTime parseDateTime(const QString &text)
{
    QString iso = text.trimmed();
    if (iso.size() > 10 && iso[10] == u' ') iso[10] = u'T';
    QDateTime dateTime = QDateTime::fromString(iso, Qt::ISODateWithMs);
    if (!dateTime.isValid()) dateTime = QDateTime(QDate::fromString(iso, Qt::ISODate), QTime(0, 0));
    return dateTime;
}

// A stored value as the field's kind presents it; values SQLite's loose typing let in that do
// not fit the kind stay as stored.
QVariant presented(FieldKind kind, const QVariant &stored)
{
    if (stored.isNull()) return {};
    const int type = stored.typeId();
    switch (kind) {
    case FieldKind::Integer:
        if (type == QMetaType::LongLong) {
            const qint64 value = stored.toLongLong();
            if (value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max())
                return int(value);
        }
        return stored;
    case FieldKind::Float:
        return type == QMetaType::LongLong ? QVariant(stored.toDouble()) : stored;
    case FieldKind::Boolean:
        if (type == QMetaType::LongLong || type == QMetaType::Double) return stored.toDouble() != 0;
        if (type == QMetaType::QString) {
            const QString text = stored.toString();
            if (text.compare(u"true", Qt::CaseInsensitive) == 0) return true;
            if (text.compare(u"false", Qt::CaseInsensitive) == 0) return false;
        }
        return stored;
    case FieldKind::DateTime:
        if (type == QMetaType::QString) {
            const QDateTime dateTime = parseDateTime(stored.toString());
            if (dateTime.isValid()) return dateTime;
        }
        return stored;
    default:
        return stored;
    }
}

struct BookmarkData {
    const void *owner;
    quint64 generation;
    quint64 serial;
};

} // namespace

namespace sqlite {

int bind(sqlite3_stmt *statement, int index, const QVariant &value)
{
    if (value.isNull()) return sqlite3_bind_null(statement, index);
    switch (value.typeId()) {
    case QMetaType::Bool:
        return sqlite3_bind_int64(statement, index, value.toBool() ? 1 : 0);
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return sqlite3_bind_int64(statement, index, value.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return sqlite3_bind_double(statement, index, value.toDouble());
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return sqlite3_bind_blob64(statement, index, bytes.constData(), sqlite3_uint64(bytes.size()),
                                   SQLITE_TRANSIENT);
    }
    case QMetaType::QDateTime:
        return bind(statement, index, value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    case QMetaType::QDate:
        return bind(statement, index, value.toDate().toString(Qt::ISODate));
    default: {
        const QByteArray text = value.toString().toUtf8();
        return sqlite3_bind_text64(statement, index, text.constData(), sqlite3_uint64(text.size()),
                                   SQLITE_TRANSIENT, SQLITE_UTF8);
    }
    }
}

QVariant columnValue(sqlite3_stmt *statement, int column)
{
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
        return qint64(sqlite3_column_int64(statement, column));
    case SQLITE_FLOAT:
        return sqlite3_column_double(statement, column);
    case SQLITE_TEXT: {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
        return QString::fromUtf8(text, sqlite3_column_bytes(statement, column));
    }
    case SQLITE_BLOB: {
        const auto *blob = static_cast<const char *>(sqlite3_column_blob(statement, column));
        return QByteArray(blob, sqlite3_column_bytes(statement, column));
    }
    default:
        return {};
    }
}

QString quoted(const QString &identifier)
{
    QString text = identifier;
    text.replace(u'"', QStringLiteral("\"\""));
    return u'"' + text + u'"';
}

} // namespace sqlite

DatabaseError SqliteCursor::Private::error(int code, const QString &context) const
{
    const QString detail =
        QString::fromUtf8(db && sqlite3_errcode(db) == code ? sqlite3_errmsg(db) : sqlite3_errstr(code));
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return DatabaseError(
            QStringLiteral("The database '%1' is locked by another program (%2)").arg(path, detail));
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return DatabaseError(
            QStringLiteral("The database '%1' is damaged or is not a database (%2)").arg(path, detail));
    case SQLITE_READONLY:
        return DatabaseError(QStringLiteral("The database '%1' cannot be written to (%2)").arg(path, detail));
    case SQLITE_CANTOPEN:
        return DatabaseError(QStringLiteral("Cannot open the database '%1' (%2)").arg(path, detail));
    case SQLITE_FULL:
        return DatabaseError(
            QStringLiteral("The disk holding the database '%1' is full (%2)").arg(path, detail));
    default:
        return DatabaseError(QStringLiteral("%1: %2").arg(context, detail));
    }
}

void SqliteCursor::Private::requireOpen() const
{
    if (!db) throw DatabaseError(QStringLiteral("Cannot perform this operation on a closed cursor"));
}

void SqliteCursor::Private::requireCurrent() const
{
    requireOpen();
    if (rows.empty() && mode != Mode::Append) throw DatabaseError(QStringLiteral("No current record"));
}

int SqliteCursor::Private::columnOf(const QString &fieldName) const
{
    requireOpen();
    for (size_t i = 0; i < columns.size(); ++i)
        if (columns[i].name.compare(fieldName, Qt::CaseInsensitive) == 0) return int(i);
    throw DatabaseError(QStringLiteral("Field '%1' not found").arg(fieldName));
}

sqlite::Statement SqliteCursor::Private::prepare(const QString &text) const
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_stmt *statement = nullptr;
    const char *tail = nullptr;
    const int code = sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &statement, &tail);
    sqlite::Statement owned(statement);
    const QString context = QStringLiteral("Error in the query \"%1\"").arg(text);
    if (code != SQLITE_OK) throw error(code, context);
    if (!statement) throw DatabaseError(QStringLiteral("The query is empty"));
    // Whatever follows the first statement must be empty: blanks, semicolons or comments.
    bool more = false;
    for (const char *rest = tail; rest && *rest && !more;) {
        sqlite3_stmt *second = nullptr;
        const char *after = nullptr;
        more = sqlite3_prepare_v2(db, rest, -1, &second, &after) != SQLITE_OK || second != nullptr;
        sqlite3_finalize(second);
        if (after == rest) break;
        rest = after;
    }
    if (more) throw DatabaseError(QStringLiteral("The query \"%1\" holds more than one statement").arg(text));
    return owned;
}

void SqliteCursor::Private::closeDatabase()
{
    sqlite3_close_v2(db);
    db = nullptr;
    columns.clear();
    rows.clear();
    table.clear();
    keyName.clear();
    keyColumn = -1;
    current = 0;
    atEof = atBof = false;
    mode = Mode::Browse;
    changes.clear();
}

SqliteCursor::SqliteCursor() : d(std::make_unique<Private>()) {}

// Observers are not told: they may already be gone when the cursor is destroyed.
SqliteCursor::~SqliteCursor()
{
    d->closeDatabase();
}

void SqliteCursor::setDatabaseFile(const QString &path)
{
    d->path = path;
}

QString SqliteCursor::databaseFile() const
{
    return d->path;
}

void SqliteCursor::setQuery(const QString &sql)
{
    d->sql = sql;
}

QString SqliteCursor::query() const
{
    return d->sql;
}

void SqliteCursor::setParameters(const QVariantList &values)
{
    d->parameters = values;
}

void SqliteCursor::createDatabase(const QString &path, const QString &schemaSql)
{
    if (QFileInfo::exists(path))
        throw DatabaseError(
            QStringLiteral("Cannot create the database '%1': the file already exists").arg(path));
    sqlite3 *db = nullptr;
    const QByteArray name = QFile::encodeName(QFileInfo(path).absoluteFilePath());
    int code = sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    char *message = nullptr;
    if (code == SQLITE_OK)
        code = sqlite3_exec(db, schemaSql.toUtf8().constData(), nullptr, nullptr, &message);
    if (code == SQLITE_OK) {
        sqlite3_close_v2(db);
        return;
    }
    const QString detail = QString::fromUtf8(message ? message
                                             : db    ? sqlite3_errmsg(db)
                                                     : sqlite3_errstr(code));
    sqlite3_free(message);
    sqlite3_close_v2(db);
    // A half-made store would be taken for a good one at the next start.
    QFile::remove(path);
    throw DatabaseError(QStringLiteral("Cannot create the database '%1': %2").arg(path, detail));
}

void SqliteCursor::open()
{
    if (d->db) return;
    if (d->path.isEmpty()) throw DatabaseError(QStringLiteral("No database file is given"));
    const QFileInfo file(d->path);
    if (!file.exists())
        throw DatabaseError(
            QStringLiteral("Cannot open the database '%1': the file does not exist").arg(d->path));
    if (file.isDir())
        throw DatabaseError(QStringLiteral("Cannot open the database '%1': it is a folder").arg(d->path));

    // Never SQLITE_OPEN_CREATE: a missing store is an error, not an empty new one. The path is
    // made absolute so that a name beginning with "file:" is never taken for a URI.
    const QByteArray name = QFile::encodeName(file.absoluteFilePath());
    const int code = sqlite3_open_v2(name.constData(), &d->db, SQLITE_OPEN_READWRITE, nullptr);
    if (code != SQLITE_OK) {
        const DatabaseError failure =
            d->error(code, QStringLiteral("Cannot open the database '%1'").arg(d->path));
        d->closeDatabase();
        throw failure;
    }
    sqlite3_extended_result_codes(d->db, 1);
    sqlite3_busy_timeout(d->db, busyTimeoutMs);
    try {
        d->load();
    } catch (...) {
        d->closeDatabase();
        throw;
    }
    ++d->generation;
    notifyOpened();
}

void SqliteCursor::Private::load()
{
    sqlite::Statement statement = prepare(sql);
    sqlite3_stmt *s = statement.get();
    if (!sqlite3_stmt_readonly(s) || sqlite3_column_count(s) == 0)
        throw DatabaseError(QStringLiteral("The query \"%1\" does not read records").arg(sql));
    const int placeholders = sqlite3_bind_parameter_count(s);
    if (placeholders != parameters.size())
        throw DatabaseError(QStringLiteral("The query \"%1\" takes %2 parameters, but %3 were given")
                                .arg(sql)
                                .arg(placeholders)
                                .arg(parameters.size()));
    for (int i = 0; i < placeholders; ++i) {
        const int code = sqlite::bind(s, i + 1, parameters[i]);
        if (code != SQLITE_OK)
            throw error(code, QStringLiteral("Cannot use parameter %1 of the query").arg(i + 1));
    }

    table = TableFinder(sql).table();
    readKeyOfTable();
    const int count = sqlite3_column_count(s);
    for (int i = 0; i < count; ++i) {
        Private::Column column;
        column.name = QString::fromUtf8(sqlite3_column_name(s, i));
        const QString declared = QString::fromUtf8(sqlite3_column_decltype(s, i));
        column.kind = kindOfDeclaredType(declared);
        column.declaredSize = declaredSize(declared);
        const char *database = sqlite3_column_database_name(s, i);
        const QString table = QString::fromUtf8(sqlite3_column_table_name(s, i));
        if (database && qstrcmp(database, "main") == 0 && !table.isEmpty() &&
            table.compare(table, Qt::CaseInsensitive) == 0) {
            column.tableColumn = QString::fromUtf8(sqlite3_column_origin_name(s, i));
            if (keyColumn < 0 && column.tableColumn.compare(keyName, Qt::CaseInsensitive) == 0) keyColumn = i;
        }
        columns.push_back(column);
    }

    const QString context = QStringLiteral("Error in the query \"%1\"").arg(sql);
    for (;;) {
        const int code = sqlite3_step(s);
        if (code == SQLITE_DONE) break;
        if (code != SQLITE_ROW) throw error(code, context);
        Private::Row row;
        row.serial = nextSerial++;
        row.values.reserve(size_t(count));
        for (int i = 0; i < count; ++i)
            row.values.push_back(sqlite::columnValue(s, i));
        rows.push_back(std::move(row));
    }
    // Columns without a declared type (expressions) take the kind of their first value.
    for (int i = 0; i < count; ++i) {
        Private::Column &column = columns[size_t(i)];
        if (column.kind != FieldKind::Unknown) continue;
        for (const Private::Row &row : rows)
            if (!row.values[size_t(i)].isNull()) {
                column.kind = kindOfValue(row.values[size_t(i)]);
                break;
            }
    }
}

// The key that addresses a row of the written table: its INTEGER PRIMARY KEY column, else rowid.
void SqliteCursor::Private::readKeyOfTable()
{
    keyName = QStringLiteral("rowid");
    if (table.isEmpty()) return;
    sqlite::Statement info = prepare(QStringLiteral("PRAGMA table_info(%1)").arg(sqlite::quoted(table)));
    QString keyColumn;
    int primaryKeys = 0;
    int code;
    while ((code = sqlite3_step(info.get())) == SQLITE_ROW) {
        if (sqlite3_column_int(info.get(), 5) == 0) continue;
        ++primaryKeys;
        const QString type =
            QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(info.get(), 2)));
        if (type.compare(u"integer", Qt::CaseInsensitive) == 0)
            keyColumn = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(info.get(), 1)));
    }
    if (code != SQLITE_DONE)
        throw error(code, QStringLiteral("Cannot read the columns of table '%1'").arg(table));
    if (primaryKeys == 1 && !keyColumn.isEmpty()) keyName = keyColumn;
}

void SqliteCursor::close()
{
    if (!d->db) return;
    notifyClosing();
    d->closeDatabase();
}

bool SqliteCursor::isOpen() const
{
    return d->db != nullptr;
}

void SqliteCursor::first()
{
    d->requireOpen();
    finishEditing();
    d->current = 0;
    d->atEof = d->atBof = false;
    notifyCurrentChanged();
}

void SqliteCursor::next()
{
    d->requireOpen();
    finishEditing();
    d->atBof = false;
    if (d->current + 1 < int(d->rows.size())) {
        ++d->current;
        notifyCurrentChanged();
    } else {
        d->atEof = true;
    }
}

void SqliteCursor::prior()
{
    d->requireOpen();
    finishEditing();
    d->atEof = false;
    if (d->current > 0) {
        --d->current;
        notifyCurrentChanged();
    } else {
        d->atBof = true;
    }
}

bool SqliteCursor::eof() const
{
    return d->rows.empty() || d->atEof;
}

bool SqliteCursor::bof() const
{
    return d->rows.empty() || d->atBof;
}

int SqliteCursor::recordNumber() const
{
    return d->rows.empty() ? 0 : d->current + 1;
}

int SqliteCursor::recordCount() const
{
    return int(d->rows.size());
}

void SqliteCursor::setRecordNumber(int n)
{
    d->requireOpen();
    if (n < 1 || n > int(d->rows.size()))
        throw DatabaseError(
            QStringLiteral("Record number %1 is out of range (1 to %2)").arg(n).arg(d->rows.size()));
    finishEditing();
    d->current = n - 1;
    d->atEof = d->atBof = false;
    notifyCurrentChanged();
}

int SqliteCursor::fieldCount() const
{
    return int(d->columns.size());
}

FieldInfo SqliteCursor::field(int index) const
{
    if (index < 0 || index >= int(d->columns.size()))
        throw DatabaseError(QStringLiteral("Field index %1 is out of range").arg(index));
    return {d->columns[size_t(index)].name, d->columns[size_t(index)].kind};
}

int SqliteCursor::fieldIndex(const QString &name) const
{
    for (size_t i = 0; i < d->columns.size(); ++i)
        if (d->columns[i].name.compare(name, Qt::CaseInsensitive) == 0) return int(i);
    return -1;
}

QVariant SqliteCursor::Private::storedValue(int column) const
{
    requireCurrent();
    for (const auto &[changed, value] : changes)
        if (changed == column) return value;
    if (mode == Private::Mode::Append) return {};
    return rows[size_t(current)].values[size_t(column)];
}

bool SqliteCursor::isNull(const QString &fieldName) const
{
    return d->storedValue(d->columnOf(fieldName)).isNull();
}

QVariant SqliteCursor::value(const QString &fieldName) const
{
    const int column = d->columnOf(fieldName);
    return presented(d->columns[size_t(column)].kind, d->storedValue(column));
}

QString SqliteCursor::displayText(const QString &fieldName) const
{
    const QVariant shown = value(fieldName);
    if (shown.isNull()) return {};
    switch (shown.typeId()) {
    case QMetaType::Bool:
        return shown.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Double:
        return QString::number(shown.toDouble(), 'g', 15);
    case QMetaType::QDateTime: {
        const QDateTime dateTime = shown.toDateTime();
        return dateTime.toString(dateTime.time() == QTime(0, 0) ? QStringLiteral("yyyy-MM-dd")
                                                                : QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    case QMetaType::QByteArray:
        return QStringLiteral("(BLOB)");
    default:
        return shown.toString();
    }
}

int SqliteCursor::displayWidth(const QString &fieldName) const
{
    const int index = d->columnOf(fieldName);
    const Private::Column &column = d->columns[size_t(index)];
    switch (column.kind) {
    case FieldKind::String: {
        if (column.declaredSize > 0) return column.declaredSize;
        qsizetype longest = 0;
        for (const Private::Row &row : d->rows)
            longest = std::max(longest, row.values[size_t(index)].toString().size());
        return int(std::clamp<qsizetype>(longest, 10, 255));
    }
    case FieldKind::LargeInt:
        return 15;
    case FieldKind::DateTime:
        return 20;
    case FieldKind::Boolean:
        return 5;
    default:
        return 10;
    }
}

Bookmark SqliteCursor::bookmark() const
{
    d->requireCurrent();
    if (d->rows.empty()) return {};
    return std::make_shared<const BookmarkData>(
        BookmarkData{d.get(), d->generation, d->rows[size_t(d->current)].serial});
}

int SqliteCursor::Private::rowOfBookmark(const Bookmark &bookmark) const
{
    const auto *data = static_cast<const BookmarkData *>(bookmark.get());
    if (!data || data->owner != this || data->generation != generation || !db) return -1;
    const auto row = std::find_if(rows.begin(), rows.end(), [&](const Private::Row &candidate) {
        return candidate.serial == data->serial;
    });
    return row == rows.end() ? -1 : int(row - rows.begin());
}

void SqliteCursor::gotoBookmark(const Bookmark &bookmark)
{
    d->requireOpen();
    const int row = d->rowOfBookmark(bookmark);
    if (row < 0)
        throw DatabaseError(QStringLiteral("The bookmark does not stand for a record of this cursor"));
    finishEditing();
    d->current = row;
    d->atEof = d->atBof = false;
    notifyCurrentChanged();
}

int SqliteCursor::compareBookmarks(const Bookmark &a, const Bookmark &b) const
{
    if (a == b) return 0;
    const int rowA = d->rowOfBookmark(a);
    const int rowB = d->rowOfBookmark(b);
    if (rowA >= 0 && rowB >= 0) return rowA < rowB ? -1 : rowA > rowB ? 1 : 0;
    if (rowA >= 0 || rowB >= 0) return rowA < 0 ? -1 : 1;
    return std::less<const void *>()(a.get(), b.get()) ? -1 : 1;
}

void SqliteCursor::releaseBookmark(Bookmark &bookmark)
{
    bookmark.reset();
}

} // namespace platform
