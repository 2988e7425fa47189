#include "platform/csvcursor.h"

#include "platform/errors.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace platform {

namespace {

struct BookmarkData {
    const void *owner;
    quint64 generation;
    int row;
};

} // namespace

CsvCursor::CsvCursor() = default;

CsvCursor::~CsvCursor() = default;

void CsvCursor::setFileName(const QString &path)
{
    m_path = path;
}

QString CsvCursor::fileName() const
{
    return m_path;
}

std::vector<QStringList> CsvCursor::parse(const QString &text, const QString &source)
{
    std::vector<QStringList> rows;
    QStringList row;
    QString cell;
    bool cellStarted = false; // the row has a cell, possibly empty, that is still open
    int line = 1;
    const qsizetype n = text.size();
    const auto endRow = [&] {
        if (cellStarted || !row.isEmpty()) {
            row.append(cell);
            rows.push_back(row);
        }
        row.clear();
        cell.clear();
        cellStarted = false;
    };
    for (qsizetype i = 0; i < n;) {
        const QChar c = text[i];
        if (c == u'"' && cell.isEmpty()) {
            const int startLine = line;
            ++i;
            for (;;) {
                if (i >= n)
                    throw DatabaseError(QStringLiteral("%1, line %2: a quoted cell is not closed")
                                            .arg(source)
                                            .arg(startLine));
                if (text[i] == u'"') {
                    if (i + 1 < n && text[i + 1] == u'"') {
                        cell += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                if (text[i] == u'\n') ++line;
                cell += text[i++];
            }
            cellStarted = true;
            if (i < n && text[i] != u',' && text[i] != u'\r' && text[i] != u'\n')
                throw DatabaseError(
                    QStringLiteral("%1, line %2: text after a closing quote").arg(source).arg(line));
            continue;
        }
        if (c == u',') {
            row.append(cell);
            cell.clear();
            cellStarted = true;
            ++i;
            continue;
        }
        if (c == u'\r' || c == u'\n') {
            endRow();
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') ++i;
            ++i;
            ++line;
            continue;
        }
        cell += c;
        cellStarted = true;
        ++i;
    }
    endRow();
    return rows;
}

void CsvCursor::open()
{
    if (m_open) return;
    if (m_path.isEmpty()) throw DatabaseError(QStringLiteral("No CSV file is given"));
    QFile file(m_path);
    if (QFileInfo(m_path).isDir() || !file.open(QIODevice::ReadOnly))
        throw DatabaseError(QStringLiteral("Cannot open the CSV file '%1'").arg(m_path));
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    std::vector<QStringList> rows = parse(QString::fromUtf8(bytes), m_path);
    if (rows.empty()) throw DatabaseError(QStringLiteral("The CSV file '%1' has no header row").arg(m_path));
    QStringList fields = rows.front();
    for (int i = 0; i < fields.size(); ++i) {
        fields[i] = fields[i].trimmed();
        if (fields[i].isEmpty())
            throw DatabaseError(QStringLiteral("The CSV file '%1' has an empty field name in column %2")
                                    .arg(m_path)
                                    .arg(i + 1));
        for (int j = 0; j < i; ++j)
            if (fields[j].compare(fields[i], Qt::CaseInsensitive) == 0)
                throw DatabaseError(
                    QStringLiteral("The CSV file '%1' names the field '%2' twice").arg(m_path, fields[i]));
    }
    rows.erase(rows.begin());
    for (size_t r = 0; r < rows.size(); ++r) {
        QStringList &row = rows[r];
        if (row.size() > fields.size())
            throw DatabaseError(
                QStringLiteral("The CSV file '%1': record %2 has %3 cells, the header names %4")
                    .arg(m_path)
                    .arg(r + 1)
                    .arg(row.size())
                    .arg(fields.size()));
        while (row.size() < fields.size())
            row.append(QString());
    }
    m_fields = fields;
    m_rows = std::move(rows);
    m_current = 0;
    m_atEof = m_atBof = false;
    m_open = true;
    ++m_generation;
    notifyOpened();
}

void CsvCursor::close()
{
    if (!m_open) return;
    notifyClosing();
    m_open = false;
    m_fields.clear();
    m_rows.clear();
}

bool CsvCursor::isOpen() const
{
    return m_open;
}

void CsvCursor::requireOpen() const
{
    if (!m_open) throw DatabaseError(QStringLiteral("Cannot perform this operation on a closed cursor"));
}

void CsvCursor::first()
{
    requireOpen();
    m_current = 0;
    m_atEof = m_atBof = false;
    notifyCurrentChanged();
}

void CsvCursor::next()
{
    requireOpen();
    m_atBof = false;
    if (m_current + 1 < int(m_rows.size())) {
        ++m_current;
        notifyCurrentChanged();
    } else {
        m_atEof = true;
    }
}

void CsvCursor::prior()
{
    requireOpen();
    m_atEof = false;
    if (m_current > 0) {
        --m_current;
        notifyCurrentChanged();
    } else {
        m_atBof = true;
    }
}

bool CsvCursor::eof() const
{
    return m_rows.empty() || m_atEof;
}

bool CsvCursor::bof() const
{
    return m_rows.empty() || m_atBof;
}

int CsvCursor::recordNumber() const
{
    return m_rows.empty() ? 0 : m_current + 1;
}

int CsvCursor::recordCount() const
{
    return int(m_rows.size());
}

void CsvCursor::setRecordNumber(int n)
{
    requireOpen();
    if (n < 1 || n > int(m_rows.size()))
        throw DatabaseError(
            QStringLiteral("Record number %1 is out of range (1 to %2)").arg(n).arg(m_rows.size()));
    m_current = n - 1;
    m_atEof = m_atBof = false;
    notifyCurrentChanged();
}

int CsvCursor::fieldCount() const
{
    return int(m_fields.size());
}

FieldInfo CsvCursor::field(int index) const
{
    if (index < 0 || index >= m_fields.size())
        throw DatabaseError(QStringLiteral("Field index %1 is out of range").arg(index));
    return {m_fields[index], FieldKind::String};
}

int CsvCursor::fieldIndex(const QString &name) const
{
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

int CsvCursor::columnOf(const QString &fieldName) const
{
    requireOpen();
    const int index = fieldIndex(fieldName);
    if (index < 0) throw DatabaseError(QStringLiteral("Field '%1' not found").arg(fieldName));
    return index;
}

bool CsvCursor::isNull(const QString &fieldName) const
{
    value(fieldName);
    return false;
}

QVariant CsvCursor::value(const QString &fieldName) const
{
    const int column = columnOf(fieldName);
    if (m_rows.empty()) throw DatabaseError(QStringLiteral("No current record"));
    return m_rows[size_t(m_current)][column];
}

QString CsvCursor::displayText(const QString &fieldName) const
{
    return value(fieldName).toString();
}

int CsvCursor::displayWidth(const QString &fieldName) const
{
    const int column = columnOf(fieldName);
    qsizetype longest = 0;
    for (const QStringList &row : m_rows)
        longest = std::max(longest, row[column].size());
    return int(std::clamp<qsizetype>(longest, 10, 255));
}

void CsvCursor::readOnly() const
{
    throw DatabaseError(QStringLiteral("The CSV file '%1' is read-only").arg(m_path));
}

void CsvCursor::append()
{
    readOnly();
}

void CsvCursor::edit()
{
    readOnly();
}

void CsvCursor::setValue(const QString &, const QVariant &)
{
    readOnly();
}

void CsvCursor::post()
{
    readOnly();
}

void CsvCursor::cancel() {}

void CsvCursor::deleteCurrent()
{
    readOnly();
}

Bookmark CsvCursor::bookmark() const
{
    requireOpen();
    if (m_rows.empty()) return {};
    return std::make_shared<const BookmarkData>(BookmarkData{this, m_generation, m_current});
}

int CsvCursor::rowOfBookmark(const Bookmark &bookmark) const
{
    const auto *data = static_cast<const BookmarkData *>(bookmark.get());
    if (!data || data->owner != this || data->generation != m_generation || !m_open) return -1;
    return data->row;
}

void CsvCursor::gotoBookmark(const Bookmark &bookmark)
{
    requireOpen();
    const int row = rowOfBookmark(bookmark);
    if (row < 0) throw DatabaseError(QStringLiteral("The bookmark is not valid for this cursor"));
    m_current = row;
    m_atEof = m_atBof = false;
    notifyCurrentChanged();
}

int CsvCursor::compareBookmarks(const Bookmark &a, const Bookmark &b) const
{
    const int rowA = rowOfBookmark(a), rowB = rowOfBookmark(b);
    if (rowA < 0 || rowB < 0) return a == b ? 0 : (a.get() < b.get() ? -1 : 1);
    return rowA - rowB;
}

void CsvCursor::releaseBookmark(Bookmark &bookmark)
{
    bookmark.reset();
}

} // namespace platform
