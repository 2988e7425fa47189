// The cursor over an SQLite database file. The query names its table after FROM; append/post
// insert into that table and delete removes by the table's integer primary key.
#pragma once

#include "platform/dataset.h"

#include <QVariantList>

namespace platform {

class SqliteCursor : public Cursor {
public:
    SqliteCursor();
    ~SqliteCursor() override;

    // The database file; it must exist when the cursor opens (a missing file is an error, never
    // silently created). Use createDatabase() to make a new one.
    void setDatabaseFile(const QString &path);
    QString databaseFile() const;
    // The query text; takes effect at the next open().
    void setQuery(const QString &sql);
    QString query() const;
    // Values for "?" placeholders of the query, in order.
    void setParameters(const QVariantList &values);

    // Adds one record per value to the table the query reads, the value in fieldName's column, in
    // one transaction: all of them or, when any write fails, none (and DatabaseError is thrown).
    // The open cursor's records stay as they are; open it again to see the new ones.
    void insertRecords(const QString &fieldName, const QVariantList &values);

    // Creates the file with the statements given (e.g. a CREATE TABLE); throws DatabaseError.
    static void createDatabase(const QString &path, const QString &schemaSql);

    // Cursor
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
    bool isEditing() const override;
    qint64 newKey() const override;
    void deleteCurrent() override;
    Bookmark bookmark() const override;
    void gotoBookmark(const Bookmark &bookmark) override;
    int compareBookmarks(const Bookmark &a, const Bookmark &b) const override;
    void releaseBookmark(Bookmark &bookmark) override;

private:
    // Posts a pending append or edit before the cursor moves.
    void finishEditing();

    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace platform
