#include "app/model/guestimport.h"

#include <QSet>

GuestImport::GuestImport(const QStringList &names, const QStringList &listNames)
{
    const QSet<QString> inList(listNames.cbegin(), listNames.cend());
    QSet<QString> seen;
    m_entries.reserve(names.size());
    for (const QString &name : names) {
        ImportEntry entry{name};
        if (name.isEmpty())
            entry.status = ImportStatus::Empty;
        else if (inList.contains(name))
            entry.status = ImportStatus::AlreadyInList;
        else if (seen.contains(name))
            entry.status = ImportStatus::DuplicateInFile;
        seen.insert(name);
        m_entries << entry;
    }
}

int GuestImport::count(ImportStatus status) const
{
    int n = 0;
    for (const ImportEntry &entry : m_entries)
        if (entry.status == status) ++n;
    return n;
}

QStringList GuestImport::namesToAdd(bool keepDuplicates) const
{
    QStringList names;
    for (const ImportEntry &entry : m_entries)
        if (entry.status == ImportStatus::New || (keepDuplicates && entry.status != ImportStatus::Empty))
            names << entry.name;
    return names;
}
