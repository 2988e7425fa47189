// A read-only cursor over a CSV file whose first row names the fields. Every value is text
// (FieldKind::String); an empty cell is an empty string, never null. The file is UTF-8 (a leading
// byte-order mark is dropped); cells are separated by commas, a cell in double quotes may hold
// commas, line breaks and doubled quotes.
#pragma once

#include "platform/dataset.h"

#include <QStringList>

namespace platform {

class CsvCursor : public Cursor {
public:
    CsvCursor();
    ~CsvCursor() override;

    // The file; read at the next open().
    void setFileName(const QString &path);
    QString fileName() const;

    // Splits CSV text into rows of cells. Throws DatabaseError naming `source` and the line for
    // an unterminated quote or text after a closing quote. Blank lines are skipped.
    static std::vector<QStringList> parse(const QString &text, const QString &source);

    // Cursor. Opening throws DatabaseError for a missing or unreadable file, a file without a
    // header row, an empty or repeated field name, or a row with more cells than the header
    // names (shorter rows are filled with empty cells). Editing throws DatabaseError: the file is
    // never written.
    void open() override;
    void close() override;
    bool isOpen() const override;
    void first() override;
    void next() override;
    void prior() override;
    bool eof() const override;
    bool bof() const override;
    int recordNumber() const override;
    int recordCount() const override;
    void setRecordNumber(int n) override;
    int fieldCount() const override;
    FieldInfo field(int index) const override;
    int fieldIndex(const QString &name) const override;
    bool isNull(const QString &fieldName) const override;
    QVariant value(const QString &fieldName) const override;
    QString displayText(const QString &fieldName) const override;
    int displayWidth(const QString &fieldName) const override;
    void append() override;
    void edit() override;
    void setValue(const QString &fieldName, const QVariant &value) override;
    void post() override;
    void cancel() override;
    bool isEditing() const override { return false; }
    qint64 newKey() const override { return 0; }
    void deleteCurrent() override;
    Bookmark bookmark() const override;
    void gotoBookmark(const Bookmark &bookmark) override;
    int compareBookmarks(const Bookmark &a, const Bookmark &b) const override;
    void releaseBookmark(Bookmark &bookmark) override;

private:
    void requireOpen() const;
    int columnOf(const QString &fieldName) const;
    [[noreturn]] void readOnly() const;
    int rowOfBookmark(const Bookmark &bookmark) const;

    QString m_path;
    bool m_open = false;
    QStringList m_fields;
    std::vector<QStringList> m_rows;
    int m_current = 0;
    bool m_atEof = false;
    bool m_atBof = false;
    quint64 m_generation = 0; // bumped by every open, so old bookmarks become foreign
};

} // namespace platform
