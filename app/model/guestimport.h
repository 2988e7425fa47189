// What an import of names would do to the guest list, before anything is written: which names
// are new, empty, repeated within the file or already in the list.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

enum class ImportStatus {
    New,             // added
    Empty,           // never added
    DuplicateInFile, // a name seen earlier in the same file; added only when duplicates are kept
    AlreadyInList,   // a name the list holds; added only when duplicates are kept
};

struct ImportEntry {
    QString name;
    ImportStatus status = ImportStatus::New;
};

class GuestImport {
public:
    // names as read from the file (trimmed), listNames the guest list's names.
    GuestImport(const QStringList &names, const QStringList &listNames);

    const QList<ImportEntry> &entries() const { return m_entries; }
    int count(ImportStatus status) const;
    // The names to add, in file order: never the empty ones; duplicates of either kind only when
    // keepDuplicates.
    QStringList namesToAdd(bool keepDuplicates) const;

private:
    QList<ImportEntry> m_entries;
};
