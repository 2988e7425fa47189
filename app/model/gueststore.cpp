#include "app/model/gueststore.h"

#include "platform/errors.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The access layer's errors in the program's language, by what went wrong; an error of no known
// kind keeps the layer's own text after a Chinese lead.
platform::DatabaseError translated(const platform::DatabaseError &error, const QString &path)
{
    const QString &text = error.message();
    const QString file = QDir::toNativeSeparators(path);
    const auto has = [&](const char *part) { return text.contains(QLatin1String(part)); };
    QString message;
    if (has("locked by another program"))
        message = QStringLiteral("客人名单“%1”正被其他程序使用，请稍后再试").arg(file);
    else if (has("damaged or is not a database"))
        message = QStringLiteral("客人名单“%1”已损坏，或不是客人名单文件").arg(file);
    else if (has("cannot be written to"))
        message = QStringLiteral("客人名单“%1”不能写入（只读文件或没有写入权限）").arg(file);
    else if (has("is full"))
        message = QStringLiteral("存放客人名单“%1”的磁盘已满").arg(file);
    else if (has("does not exist"))
        message = QStringLiteral("找不到客人名单“%1”").arg(file);
    else if (has("it is a folder"))
        message = QStringLiteral("客人名单“%1”是一个文件夹，不是文件").arg(file);
    else if (has("no such table") || has("no such column"))
        message = QStringLiteral("“%1”不是客人名单：其中没有客人表 keren").arg(file);
    else if (has("is no longer in table"))
        message = QStringLiteral("这位客人已不在客人名单“%1”中（可能已被其他程序删除）").arg(file);
    else if (has("Cannot create the database"))
        message = QStringLiteral("无法建立客人名单“%1”（%2）").arg(file, text.section(QStringLiteral(": "), -1));
    else if (has("closed"))
        message = QStringLiteral("客人名单没有打开");
    else
        message = QStringLiteral("客人名单出错：%1").arg(text);
    return platform::DatabaseError(message);
}

} // namespace

platform::DatabaseError GuestStore::inChinese(const platform::DatabaseError &error) const
{
    return translated(error, m_path);
}

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

QString GuestStore::idsQuery()
{
    return QStringLiteral("select * from keren where ID in (select value from json_each(?)) order by ID");
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
    const QFileInfo folder(QFileInfo(m_path).absolutePath());
    if (!folder.isDir())
        throw platform::DatabaseError(
            QStringLiteral("无法建立客人名单“%1”：文件夹不存在").arg(QDir::toNativeSeparators(m_path)));
    if (!folder.isWritable())
        throw platform::DatabaseError(
            QStringLiteral("无法建立客人名单“%1”：文件夹不可写入").arg(QDir::toNativeSeparators(m_path)));
    platform::SqliteCursor::createDatabase(
        m_path, QStringLiteral("CREATE TABLE keren (ID INTEGER PRIMARY KEY AUTOINCREMENT, 姓名 TEXT)"));
}

void GuestStore::open()
{
    m_cursor.close();
    try {
        ensureDatabase();
        m_cursor.setDatabaseFile(m_path);
        m_cursor.open();
    } catch (const platform::DatabaseError &error) {
        throw translated(error, m_path);
    }
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

void GuestStore::selectIds(const QList<qint64> &ids)
{
    QStringList numbers;
    for (qint64 id : ids)
        numbers << QString::number(id);
    m_cursor.setQuery(idsQuery());
    m_cursor.setParameters({QStringLiteral("[%1]").arg(numbers.join(u','))});
}

QString GuestStore::currentName() const
{
    if (!m_cursor.isOpen())
        throw platform::DatabaseError(QStringLiteral("客人名单没有打开，读不到客人的%1").arg(nameColumn()));
    if (m_cursor.recordCount() == 0 || m_cursor.eof() || m_cursor.bof()) return {};
    return m_cursor.displayText(nameColumn());
}

void GuestStore::addGuest(const QString &name)
{
    if (!m_cursor.isOpen())
        throw platform::DatabaseError(QStringLiteral("客人名单没有打开，不能添加客人"));
    try {
        m_cursor.append();
        m_cursor.setValue(nameColumn(), name);
        m_cursor.post();
    } catch (const platform::DatabaseError &error) {
        if (m_cursor.isOpen() && m_cursor.isEditing()) m_cursor.cancel();
        throw translated(error, m_path);
    }
}

bool GuestStore::isEmpty() const
{
    return !m_cursor.isOpen() || m_cursor.recordCount() == 0;
}

int GuestStore::count() const
{
    return m_cursor.isOpen() ? m_cursor.recordCount() : 0;
}

void GuestStore::deleteCurrent()
{
    if (isEmpty()) return;
    try {
        m_cursor.deleteCurrent();
    } catch (const platform::DatabaseError &error) {
        throw translated(error, m_path);
    }
}

void GuestStore::deleteAll()
{
    if (!m_cursor.isOpen()) return;
    try {
        while (!m_cursor.eof() && m_cursor.recordCount() > 0)
            m_cursor.deleteCurrent();
    } catch (const platform::DatabaseError &error) {
        throw translated(error, m_path);
    }
}

void GuestStore::addGuests(const QStringList &names)
{
    if (!m_cursor.isOpen())
        throw platform::DatabaseError(QStringLiteral("客人名单没有打开，不能添加客人"));
    QVariantList values;
    values.reserve(names.size());
    for (const QString &name : names)
        values << name;
    try {
        m_cursor.insertRecords(nameColumn(), values);
    } catch (const platform::DatabaseError &error) {
        throw inChinese(error);
    }
    open();
}

QStringList GuestStore::names()
{
    QStringList list;
    if (!m_cursor.isOpen()) return list;
    platform::SqliteCursor &cursor = m_cursor;
    const int current = cursor.recordNumber();
    const int count = cursor.recordCount();
    list.reserve(count);
    for (int n = 1; n <= count; ++n) {
        cursor.setRecordNumber(n);
        list << cursor.displayText(nameColumn());
    }
    if (current >= 1 && current <= count) cursor.setRecordNumber(current);
    return list;
}

QList<qint64> GuestStore::ids(const QList<int> &rows)
{
    QList<qint64> list;
    if (!m_cursor.isOpen()) return list;
    platform::SqliteCursor &cursor = m_cursor;
    const int current = cursor.recordNumber();
    const int count = cursor.recordCount();
    for (int row : rows)
        if (row >= 0 && row < count) {
            cursor.setRecordNumber(row + 1);
            list << cursor.value(QStringLiteral("ID")).toLongLong();
        }
    if (current >= 1 && current <= count) cursor.setRecordNumber(current);
    return list;
}

qint64 GuestStore::currentId() const
{
    if (!m_cursor.isOpen() || m_cursor.recordCount() == 0 || m_cursor.eof() || m_cursor.bof()) return 0;
    return m_cursor.value(QStringLiteral("ID")).toLongLong();
}

bool GuestStore::makeCurrent(qint64 id)
{
    if (!m_cursor.isOpen()) return false;
    const int current = m_cursor.recordNumber();
    const int count = m_cursor.recordCount();
    for (int n = 1; n <= count; ++n) {
        m_cursor.setRecordNumber(n);
        if (m_cursor.value(QStringLiteral("ID")).toLongLong() == id) return true;
    }
    if (current >= 1 && current <= count) m_cursor.setRecordNumber(current);
    return false;
}
