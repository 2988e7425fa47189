// The database cursor: a static (snapshot) cursor over the result of one query, with the
// navigation, field access, bookmarks, append/post and delete that the guest list and the report
// data sets need. SqliteCursor (sqlitecursor.h) is the implementation over an SQLite file.
#pragma once

#include <QString>
#include <QVariant>

#include <memory>
#include <vector>

namespace platform {

enum class FieldKind { Integer, LargeInt, Float, String, Boolean, DateTime, Blob, Unknown };

struct FieldInfo {
    QString name;
    FieldKind kind = FieldKind::Unknown;
};

// Notified by a cursor; every method has an empty default.
class CursorObserver {
public:
    virtual ~CursorObserver() = default;
    virtual void cursorOpened() {}
    virtual void cursorClosing() {}
    // The current record moved (navigation, bookmark, append, delete).
    virtual void currentChanged() {}
    // Records were added, removed or changed; the count or the rows may differ.
    virtual void rowsChanged() {}
};

// An opaque position in the snapshot; stays valid until released or the cursor closes.
using Bookmark = std::shared_ptr<const void>;

class Cursor {
public:
    virtual ~Cursor() = default;

    // Runs the query and reads its whole result; the first record becomes current. Throws
    // DatabaseError (missing or unreadable store, malformed query, ...); the cursor then stays closed.
    virtual void open() = 0;
    // Notifies cursorClosing() first, then forgets the result. Closing a closed cursor does nothing.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Navigation; on a closed cursor they throw DatabaseError.
    virtual void first() = 0;
    virtual void next() = 0;
    virtual void prior() = 0;
    // Past the last record (always true on an empty result).
    virtual bool eof() const = 0;
    // Before the first record (after prior() on the first, or on an empty result).
    virtual bool bof() const = 0;
    // 1-based position of the current record; 0 when there is none.
    virtual int recordNumber() const = 0;
    virtual int recordCount() const = 0;
    // Makes record n (1-based) current.
    virtual void setRecordNumber(int n) = 0;

    virtual int fieldCount() const = 0;
    virtual FieldInfo field(int index) const = 0;
    // Index of a field by name without regard to case, or -1.
    virtual int fieldIndex(const QString &name) const = 0;

    // Field access on the current record. An unknown field name throws DatabaseError naming it
    // ("Field '姓名' not found"); so does reading with no current record.
    virtual bool isNull(const QString &fieldName) const = 0;
    virtual QVariant value(const QString &fieldName) const = 0;
    virtual QString displayText(const QString &fieldName) const = 0;
    // Width in characters a grid column would give the field.
    virtual int displayWidth(const QString &fieldName) const = 0;

    // Editing: append() starts a new record, setValue() fills it, post() inserts it into the
    // queried table, the new record becomes current and newKey() reports its key. edit() starts
    // changing the current record, post() writes it. cancel() drops an unposted change.
    virtual void append() = 0;
    virtual void edit() = 0;
    virtual void setValue(const QString &fieldName, const QVariant &value) = 0;
    virtual void post() = 0;
    virtual void cancel() = 0;
    virtual bool isEditing() const = 0;
    // The key of the record the last append's post inserted; 0 before any.
    virtual qint64 newKey() const = 0;
    // Deletes the current record from the store; the next record becomes current, or the previous
    // one when the last was deleted. On an empty result it does nothing.
    virtual void deleteCurrent() = 0;

    virtual Bookmark bookmark() const = 0;
    virtual void gotoBookmark(const Bookmark &bookmark) = 0;
    // <0, 0 or >0 as a stands before, at or after b; released or foreign bookmarks compare as 0
    // only to themselves.
    virtual int compareBookmarks(const Bookmark &a, const Bookmark &b) const = 0;
    virtual void releaseBookmark(Bookmark &bookmark) = 0;

    void addObserver(CursorObserver *observer);
    void removeObserver(CursorObserver *observer);

protected:
    void notifyOpened();
    void notifyClosing();
    void notifyCurrentChanged();
    void notifyRowsChanged();

private:
    std::vector<CursorObserver *> m_observers;
};

} // namespace platform
