#include "report/objects/frxDBSet.h"

#include "report/objects/frxClass_p.h"
#include "report/base/frxRes.h"

#include <QBuffer>
#include <QDateTime>

#include <algorithm>

namespace frx {

namespace {

// Days since 1899-12-30, the fraction being the time of day.
double daySerial(const QDateTime &dateTime)
{
    static const QDateTime epoch(QDate(1899, 12, 30), QTime(0, 0));
    const QDateTime local(dateTime.date(), dateTime.time());
    return double(epoch.msecsTo(local)) / 86400000.0;
}

script::Variant fromPlatform(const QVariant &value)
{
    if (value.isNull()) return {};
    switch (value.typeId()) {
    case QMetaType::Bool:
        return script::Variant(value.toBool());
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::UShort:
        return script::Variant(value.toInt());
    case QMetaType::LongLong:
    case QMetaType::UInt:
        return script::Variant(value.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return script::Variant(value.toDouble());
    case QMetaType::QDateTime:
        return script::Variant::fromDateTime(daySerial(value.toDateTime()));
    case QMetaType::QDate:
        return script::Variant::fromDateTime(daySerial(QDateTime(value.toDate(), QTime(0, 0))));
    case QMetaType::QByteArray:
        return script::Variant(QString::fromLatin1(value.toByteArray()));
    default:
        return script::Variant(value.toString());
    }
}

} // namespace

const ClassInfo &TfrxDBDataset::staticClassInfo()
{
    using C = TfrxDBDataset;
    return buildClass<C>(u"TfrxDBDataset", &TfrxCustomDBDataSet::staticClassInfo(), false,
                         [](ClassBuilder<C> &b) { b.boolean(u"BCDToCurrency", &C::BCDToCurrency); });
}

TfrxDBDataset::~TfrxDBDataset()
{
    attach(nullptr);
}

void TfrxDBDataset::forgetCursor()
{
    // The cursor is still alive here: the bookmark goes back to the cursor that made it.
    if (m_bookmark && m_opened) m_opened->releaseBookmark(m_bookmark);
    m_bookmark.reset();
    m_opened = nullptr;
    m_initialized = false;
}

void TfrxDBDataset::SetDataSet(platform::Cursor *cursor)
{
    if (cursor != source()) forgetCursor();
    m_dataSet = cursor;
    m_dataSource = nullptr;
    if (m_observed && m_observed != cursor) attach(nullptr);
}

void TfrxDBDataset::SetDataSource(HostDataSource *dataSource)
{
    if (dataSource != m_dataSource || m_dataSet) forgetCursor();
    m_dataSource = dataSource;
    m_dataSet = nullptr;
    if (m_observed && m_observed != source()) attach(nullptr);
}

platform::Cursor *TfrxDBDataset::source() const
{
    if (m_dataSet) return m_dataSet;
    return m_dataSource ? m_dataSource->dataSetCursor() : nullptr;
}

void TfrxDBDataset::attach(platform::Cursor *cursor)
{
    if (m_observed == cursor) return;
    if (m_observed) m_observed->removeObserver(this);
    m_observed = cursor;
    if (m_observed) m_observed->addObserver(this);
}

void TfrxDBDataset::Initialize()
{
    platform::Cursor *cursor = source();
    if (!cursor)
        throw platform::Error(frxGet(QStringLiteral("dbNotConn")).replace(QStringLiteral("%s"), Name()));
    attach(cursor);
    m_eof = false;
    m_initialized = false;
}

void TfrxDBDataset::Finalize()
{
    if (platform::Cursor *cursor = source()) {
        if (m_bookmark) {
            if (cursor->isOpen()) cursor->gotoBookmark(m_bookmark);
            cursor->releaseBookmark(m_bookmark);
        }
        if (CloseDataSource) Close();
    }
    attach(nullptr);
    m_initialized = false;
}

platform::Cursor *TfrxDBDataset::openCursor()
{
    if (!m_initialized) Open();
    // A cursor detached or swapped after opening is not called: the data set opens again.
    platform::Cursor *cursor = source();
    if (!cursor || cursor != m_opened) {
        m_initialized = false;
        m_opened = nullptr;
        m_bookmark.reset();
        Open();
        cursor = source();
    }
    return cursor;
}

void TfrxDBDataset::Open()
{
    if (m_initialized) return;
    platform::Cursor *cursor = source();
    if (!cursor)
        throw platform::Error(frxGet(QStringLiteral("dbNotConn")).replace(QStringLiteral("%s"), Name()));
    m_initialized = true;
    m_opened = cursor;
    cursor->open();
    rebuildFieldList();
    if (m_bookmark) cursor->releaseBookmark(m_bookmark);
    if ((RangeBegin == rbCurrent || RangeEnd == reCurrent) && cursor->recordCount() > 0 && !cursor->eof())
        m_bookmark = cursor->bookmark();
    TfrxDataSet::Open();
}

void TfrxDBDataset::Close()
{
    TfrxDataSet::Close();
    beforeClose();
    if (platform::Cursor *cursor = source()) cursor->close();
}

void TfrxDBDataset::beforeClose()
{
    if (m_bookmark) {
        if (platform::Cursor *cursor = source())
            cursor->releaseBookmark(m_bookmark);
        else
            m_bookmark.reset();
    }
    m_initialized = false;
}

void TfrxDBDataset::cursorOpened()
{
    rebuildFieldList();
}

void TfrxDBDataset::cursorClosing()
{
    beforeClose();
}

void TfrxDBDataset::GetFieldList(QStringList &list)
{
    list.clear();
    if (!FieldAliases.isEmpty()) {
        for (const QString &line : FieldAliases) {
            const qsizetype equals = line.indexOf(u'=');
            const QString field = equals < 0 ? line : line.left(equals);
            if (!field.startsWith(u'-')) list.append(equals < 0 ? line : line.mid(equals + 1));
        }
        return;
    }
    platform::Cursor *cursor = source();
    if (!cursor) return;
    try {
        for (int i = 0; i < cursor->fieldCount(); ++i)
            list.append(cursor->field(i).name);
    } catch (const platform::Error &) {
        // A cursor that cannot say its fields offers none.
    }
}

void TfrxDBDataset::rebuildFieldList()
{
    QStringList names;
    GetFieldList(names);
    std::sort(names.begin(), names.end(),
              [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    m_fields.clear();
    platform::Cursor *cursor = source();
    for (const QString &name : std::as_const(names)) {
        if (!m_fields.empty() && m_fields.back().name.compare(name, Qt::CaseInsensitive) == 0) continue;
        m_fields.push_back({name, cursor ? cursor->fieldIndex(ConvertAlias(name)) : -1});
    }
}

const TfrxDBDataset::Field *TfrxDBDataset::findField(const QString &name) const
{
    const auto it =
        std::lower_bound(m_fields.begin(), m_fields.end(), name, [](const Field &field, const QString &n) {
            return field.name.compare(n, Qt::CaseInsensitive) < 0;
        });
    if (it == m_fields.end() || it->name.compare(name, Qt::CaseInsensitive) != 0) return nullptr;
    return &*it;
}

void TfrxDBDataset::First()
{
    platform::Cursor *cursor = openCursor();
    if (RangeBegin == rbCurrent && m_bookmark)
        cursor->gotoBookmark(m_bookmark);
    else
        cursor->first();
    m_eof = false;
    TfrxDataSet::First();
}

void TfrxDBDataset::Next()
{
    platform::Cursor *cursor = openCursor();
    m_eof = false;
    if (RangeEnd == reCurrent && m_bookmark && !cursor->eof() &&
        cursor->compareBookmarks(cursor->bookmark(), m_bookmark) == 0) {
        m_eof = true;
        return;
    }
    cursor->next();
    TfrxDataSet::Next();
}

void TfrxDBDataset::Prior()
{
    openCursor()->prior();
    TfrxDataSet::Prior();
}

bool TfrxDBDataset::Eof()
{
    platform::Cursor *cursor = openCursor();
    return TfrxDataSet::Eof() || cursor->eof() || m_eof;
}

script::Variant TfrxDBDataset::Value(const QString &fieldName)
{
    platform::Cursor *cursor = openCursor();
    const Field *field = findField(fieldName);
    if (!field || field->index < 0) {
        fieldNotFound(fieldName);
        return {};
    }
    const platform::FieldInfo info = cursor->field(field->index);
    const QVariant value = cursor->value(info.name);
    if (value.isNull()) return {};
    if (info.kind == platform::FieldKind::LargeInt) return script::Variant(value.toLongLong());
    return fromPlatform(value);
}

QString TfrxDBDataset::DisplayText(const QString &fieldName)
{
    platform::Cursor *cursor = openCursor();
    if (!cursor->isOpen()) return fieldReference(UserName(), fieldName);
    if (m_fields.empty()) return cursor->displayText(fieldName);
    const Field *field = findField(fieldName);
    if (!field || field->index < 0) return fieldNotFound(fieldName);
    const platform::FieldInfo info = cursor->field(field->index);
    if (info.kind == platform::FieldKind::String) return cursor->value(info.name).toString();
    return cursor->displayText(info.name);
}

int TfrxDBDataset::DisplayWidth(const QString &fieldName)
{
    platform::Cursor *cursor = source();
    if (!cursor) return 10;
    const QString name = ConvertAlias(fieldName);
    return cursor->fieldIndex(name) >= 0 ? cursor->displayWidth(name) : 10;
}

TfrxFieldType TfrxDBDataset::FieldType(const QString &fieldName)
{
    platform::Cursor *cursor = source();
    const int index = cursor ? cursor->fieldIndex(ConvertAlias(fieldName)) : -1;
    if (index < 0) return fftNumeric;
    switch (cursor->field(index).kind) {
    case platform::FieldKind::String:
        return fftString;
    case platform::FieldKind::Boolean:
        return fftBoolean;
    default:
        return fftNumeric;
    }
}

bool TfrxDBDataset::IsBlobField(const QString &fieldName)
{
    platform::Cursor *cursor = openCursor();
    const Field *field = findField(fieldName);
    return field && field->index >= 0 && cursor->field(field->index).kind == platform::FieldKind::Blob;
}

int TfrxDBDataset::RecordCount()
{
    return openCursor()->recordCount();
}

void TfrxDBDataset::AssignBlobTo(const QString &fieldName, TfrxWideStrings &target)
{
    if (!IsBlobField(fieldName)) return;
    platform::Cursor *cursor = source();
    QByteArray bytes = cursor->value(cursor->field(findField(fieldName)->index).name).toByteArray();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    target.LoadFromStream(buffer);
}

void TfrxDBDataset::AssignBlobTo(const QString &fieldName, QIODevice &target)
{
    if (!IsBlobField(fieldName)) return;
    platform::Cursor *cursor = source();
    target.write(cursor->value(cursor->field(findField(fieldName)->index).name).toByteArray());
    target.seek(0);
}

} // namespace frx
