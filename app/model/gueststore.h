// The guest store and the guest list: the table keren (ID assigned by the store, 姓名 the name) in
// an SQLite file, and the query over it that the grid shows and the card report reads. Every change
// is written to the file at once.
#pragma once

#include "platform/errors.h"
#include "platform/sqlitecursor.h"

#include <QList>
#include <QString>
#include <QStringList>

class GuestStore {
public:
    // The list's query texts.
    static QString initialQuery(); // at start, until the first print: the store's own order
    static QString sortedQuery();  // after every print: sorted by ID
    static QString nameQuery();    // one name, bound as the query's one parameter
    static QString idsQuery();     // chosen guests, their IDs bound as one JSON array, sorted by ID
    static QString nameColumn();   // "姓名"

    GuestStore();

    // The store's file; a missing file is created with an empty table keren when the list opens.
    void setDatabaseFile(const QString &path);
    QString databaseFile() const;

    // Closes the list and opens it again with its current query; the first guest becomes current.
    // Throws platform::DatabaseError, with a Chinese text saying why, when the store cannot be
    // opened or created; the list then stays closed. An existing file is never replaced.
    void open();
    void close();
    bool isOpen() const;

    QString query() const;
    // Sets the query for the next open(); a narrowing by name goes through selectName().
    void setQuery(const QString &sql);
    // Sets the query that selects every guest named name, sorted by ID, for the next open().
    void selectName(const QString &name);
    // Sets the query that selects the guests of these IDs, sorted by ID, for the next open().
    void selectIds(const QList<qint64> &ids);

    // The current guest's name; empty for an open list without guests. Throws DatabaseError
    // (field not found) when the list is closed.
    QString currentName() const;
    // Adds a guest named name (also an empty one); it becomes the current guest. Throws
    // DatabaseError when the list is closed.
    void addGuest(const QString &name);
    // Deletes the current guest; nothing when the list is empty or closed.
    void deleteCurrent();
    // Deletes every guest of the list; nothing when it is empty or closed.
    void deleteAll();
    bool isEmpty() const;
    // Number of guests in the list; 0 when it is closed.
    int count() const;

    // error of the list's cursor in the program's language, saying what went wrong with the store;
    // for those who reach the cursor directly (the grid's in-place editing).
    platform::DatabaseError inChinese(const platform::DatabaseError &error) const;

    // Adds a guest for every name, in order, in one transaction: all of them, or none when a write
    // fails (DatabaseError). The list is opened again and shows them; its first guest is current.
    void addGuests(const QStringList &names);
    // Every name of the list, in the list's order; empty for a closed list. Walks the cursor and
    // puts it back on the current guest.
    QStringList names();
    // The IDs of the guests in the given 0-based rows of the list, in the order given; rows outside
    // the list are left out.
    QList<qint64> ids(const QList<int> &rows);
    // The current guest's ID; 0 for a closed or empty list.
    qint64 currentId() const;
    // Makes the guest of that ID current; false, and the current guest unchanged, when the list
    // does not hold it.
    bool makeCurrent(qint64 id);

    // The list's cursor, for the grid and the card report.
    platform::SqliteCursor &cursor() { return m_cursor; }
    const platform::SqliteCursor &cursor() const { return m_cursor; }

private:
    void ensureDatabase() const;

    platform::SqliteCursor m_cursor;
    QString m_path;
};
