#include "app/model/gueststore.h"

#include "platform/errors.h"

#include <QFileInfo>

QString GuestStore::initialQuery()
{
    return QStringLiteral("select *  from keren");
}

QString GuestStore::sortedQuery()
{
    return QStringLiteral("select * from keren order by ID");
}

QString GuestStore::nameQuery()
{
    return QStringLiteral("select * from keren where 姓名=? order by id ");
}

QString GuestStore::nameColumn()
{
    return QStringLiteral("姓名");
}

GuestStore::GuestStore()
{
    m_cursor.setQuery(initialQuery());
}

void GuestStore::setDatabaseFile(const QString &path)
{
    m_path = path;
}

QString GuestStore::databaseFile() const
{
    return m_path;
}

void GuestStore::ensureDatabase() const
{
    if (QFileInfo::exists(m_path)) return;
    platform::SqliteCursor::createDatabase(
        m_path, QStringLiteral("CREATE TABLE keren (ID INTEGER PRIMARY KEY AUTOINCREMENT, 姓名 TEXT)"));
}

void GuestStore::open()
{
    m_cursor.close();
    ensureDatabase();
    m_cursor.setDatabaseFile(m_path);
    m_cursor.open();
}

void GuestStore::close()
{
    m_cursor.close();
}

bool GuestStore::isOpen() const
{
    return m_cursor.isOpen();
}

QString GuestStore::query() const
{
    return m_cursor.query();
}

void GuestStore::setQuery(const QString &sql)
{
    m_cursor.setParameters({});
    m_cursor.setQuery(sql);
}

void GuestStore::selectName(const QString &name)
{
    m_cursor.setQuery(nameQuery());
    m_cursor.setParameters({name});
}

QString GuestStore::currentName() const
{
    if (!m_cursor.isOpen())
        throw platform::DatabaseError(QStringLiteral("Field '%1' not found").arg(nameColumn()));
    if (m_cursor.recordCount() == 0 || m_cursor.eof() || m_cursor.bof()) return {};
    return m_cursor.displayText(nameColumn());
}

void GuestStore::addGuest(const QString &name)
{
    if (!m_cursor.isOpen())
        throw platform::DatabaseError(QStringLiteral("Cannot perform this operation on a closed dataset"));
    m_cursor.append();
    m_cursor.setValue(nameColumn(), name);
    m_cursor.post();
}

bool GuestStore::isEmpty() const
{
    return !m_cursor.isOpen() || m_cursor.recordCount() == 0;
}

void GuestStore::deleteCurrent()
{
    if (!isEmpty()) m_cursor.deleteCurrent();
}

void GuestStore::deleteAll()
{
    if (!m_cursor.isOpen()) return;
    while (!m_cursor.eof() && m_cursor.recordCount() > 0)
        m_cursor.deleteCurrent();
}
