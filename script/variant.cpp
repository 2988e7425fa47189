#include "script/variant.h"

#include "script/formats.h"
#include "script/scripterror.h"
#include "script/scriptobject.h"

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace script {

Variant::Variant(qint64 value) noexcept
    : m_type(value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max()
                 ? Type::Integer
                 : Type::Int64),
      m_int64(value)
{
}

Variant::Variant(ScriptObject *object) noexcept : m_type(object ? Type::Object : Type::Null), m_object(object)
{
}

Variant::Variant(const Variant &other) : m_type(Type::Null), m_int64(0)
{
    copyFrom(other);
}

Variant::Variant(Variant &&other) noexcept : m_type(Type::Null), m_int64(0)
{
    moveFrom(std::move(other));
}

Variant &Variant::operator=(const Variant &other)
{
    if (this != &other) {
        // Hold the other's array or string while clearing: it may live inside this value.
        Variant copy(other);
        clear();
        moveFrom(std::move(copy));
    }
    return *this;
}

Variant &Variant::operator=(Variant &&other) noexcept
{
    if (this != &other) {
        Variant keep(std::move(other));
        clear();
        moveFrom(std::move(keep));
    }
    return *this;
}

Variant Variant::fromDateTime(double days) noexcept
{
    Variant v(days);
    v.m_type = Type::DateTime;
    return v;
}

namespace {
constexpr qint64 MaxArrayCount = qint64(16) * 1024 * 1024;
}

Variant Variant::array(qint64 low, qint64 count)
{
    if (count > MaxArrayCount) throw ScriptError::runtime(QStringLiteral("Array too large"));
    Variant v;
    v.m_array = new VariantArray;
    v.m_array->low = low;
    v.m_array->items.resize(size_t(std::max<qint64>(count, 0)));
    v.m_type = Type::Array;
    return v;
}

Variant Variant::array(std::vector<Variant> items)
{
    Variant v;
    v.m_array = new VariantArray;
    v.m_array->items = std::move(items);
    v.m_type = Type::Array;
    return v;
}

void Variant::clear() noexcept
{
    if (m_type == Type::String)
        m_string.~QString();
    else if (m_type == Type::Array && --m_array->ref == 0)
        delete m_array;
    m_type = Type::Null;
    m_int64 = 0;
}

void Variant::copyFrom(const Variant &other)
{
    switch (other.m_type) {
    case Type::String:
        new (&m_string) QString(other.m_string);
        break;
    case Type::Array:
        m_array = other.m_array;
        ++m_array->ref;
        break;
    case Type::Float:
    case Type::DateTime:
        m_float = other.m_float;
        break;
    case Type::Object:
        m_object = other.m_object;
        break;
    default:
        m_int64 = other.m_int64;
        break;
    }
    m_type = other.m_type;
}

void Variant::moveFrom(Variant &&other) noexcept
{
    if (other.m_type == Type::String) {
        new (&m_string) QString(std::move(other.m_string));
        other.m_string.~QString();
    } else if (other.m_type == Type::Float || other.m_type == Type::DateTime) {
        m_float = other.m_float;
    } else if (other.m_type == Type::Object) {
        m_object = other.m_object;
    } else if (other.m_type == Type::Array) {
        m_array = other.m_array;
    } else {
        m_int64 = other.m_int64;
    }
    m_type = other.m_type;
    other.m_type = Type::Null;
    other.m_int64 = 0;
}

QString Variant::typeName() const
{
    switch (m_type) {
    case Type::Null:
        return QStringLiteral("Null");
    case Type::Integer:
        return QStringLiteral("Integer");
    case Type::Int64:
        return QStringLiteral("Int64");
    case Type::Float:
        return QStringLiteral("Double");
    case Type::String:
        return QStringLiteral("String");
    case Type::Boolean:
        return QStringLiteral("Boolean");
    case Type::DateTime:
        return QStringLiteral("Date");
    case Type::Object:
        return QStringLiteral("Object");
    case Type::Array:
        return QStringLiteral("Array");
    }
    return {};
}

void Variant::conversionError(const char *target) const
{
    throw ScriptError::runtime(QStringLiteral("Could not convert variant of type (%1) into type (%2)")
                                   .arg(typeName(), QLatin1StringView(target)));
}

namespace {

// Rounds half to even; false when the value is outside the 64-bit range or not finite.
bool roundToInt64(double value, qint64 &result)
{
    if (!std::isfinite(value) || value >= 9223372036854775808.0 || value < -9223372036854775808.0)
        return false;
    result = qint64(std::nearbyint(value)); // the default rounding mode rounds halves to even
    return true;
}

} // namespace

qint64 Variant::toInt64() const
{
    switch (m_type) {
    case Type::Null:
        return 0;
    case Type::Integer:
    case Type::Int64:
        return m_int64;
    case Type::Boolean:
        return m_int64 ? -1 : 0;
    case Type::Float:
    case Type::DateTime: {
        qint64 result;
        if (!roundToInt64(m_float, result)) conversionError("Int64");
        return result;
    }
    case Type::String: {
        if (auto i = formats::textToInt(m_string)) return *i;
        qint64 result;
        if (auto f = formats::textToFloat(m_string); f && roundToInt64(*f, result)) return result;
        if (m_string.compare(u"true"_s, Qt::CaseInsensitive) == 0) return -1;
        if (m_string.compare(u"false"_s, Qt::CaseInsensitive) == 0) return 0;
        conversionError("Int64");
    }
    default:
        conversionError("Int64");
    }
}

int Variant::toInt() const
{
    if (m_type == Type::Integer) return int(m_int64);
    qint64 v = toInt64();
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        conversionError("Integer");
    return int(v);
}

double Variant::toFloat() const
{
    switch (m_type) {
    case Type::Null:
        return 0;
    case Type::Integer:
    case Type::Int64:
        return double(m_int64);
    case Type::Boolean:
        return m_int64 ? -1 : 0;
    case Type::Float:
    case Type::DateTime:
        return m_float;
    case Type::String:
        if (auto f = formats::textToFloat(m_string)) return *f;
        if (m_string.compare(u"true"_s, Qt::CaseInsensitive) == 0) return -1;
        if (m_string.compare(u"false"_s, Qt::CaseInsensitive) == 0) return 0;
        conversionError("Double");
    default:
        conversionError("Double");
    }
}

bool Variant::toBool() const
{
    switch (m_type) {
    case Type::Null:
        return false;
    case Type::Integer:
    case Type::Int64:
    case Type::Boolean:
        return m_int64 != 0;
    case Type::Float:
    case Type::DateTime:
        return m_float != 0;
    case Type::String:
        if (m_string.compare(u"true"_s, Qt::CaseInsensitive) == 0) return true;
        if (m_string.compare(u"false"_s, Qt::CaseInsensitive) == 0) return false;
        if (auto f = formats::textToFloat(m_string)) return *f != 0;
        conversionError("Boolean");
    default:
        conversionError("Boolean");
    }
}

QString Variant::toString() const
{
    switch (m_type) {
    case Type::Null:
        return {};
    case Type::Integer:
    case Type::Int64:
        return QString::number(m_int64);
    case Type::Boolean:
        return m_int64 ? QStringLiteral("True") : QStringLiteral("False");
    case Type::Float:
        return formats::floatToText(m_float);
    case Type::DateTime:
        // A time of day alone (day zero) reads as the time only.
        if (std::trunc(m_float) == 0 && m_float != 0) return formats::timeToText(m_float);
        return formats::dateTimeToText(m_float);
    case Type::String:
        return m_string;
    default:
        conversionError("String");
    }
}

double Variant::toDateTime() const
{
    if (m_type == Type::String) {
        if (auto d = formats::textToDateTime(m_string)) return *d;
        conversionError("Date");
    }
    return toFloat();
}

ScriptObject *Variant::toObject() const
{
    if (m_type == Type::Object) return m_object;
    if (m_type == Type::Null) return nullptr;
    conversionError("Object");
}

qint64 Variant::arrayLow() const
{
    if (m_type != Type::Array) throw ScriptError::runtime(QStringLiteral("Variant is not an array"));
    return m_array->low;
}

qint64 Variant::arrayCount() const
{
    if (m_type != Type::Array) throw ScriptError::runtime(QStringLiteral("Variant is not an array"));
    return qint64(m_array->items.size());
}

const Variant &Variant::at(qint64 index) const
{
    qint64 i = index - arrayLow();
    if (i < 0 || i >= qint64(m_array->items.size()))
        throw ScriptError::runtime(QStringLiteral("Variant array index %1 out of bounds").arg(index));
    return m_array->items[size_t(i)];
}

Variant &Variant::elementRef(qint64 index)
{
    qint64 i = index - arrayLow();
    if (i < 0 || i >= qint64(m_array->items.size()))
        throw ScriptError::runtime(QStringLiteral("Variant array index %1 out of bounds").arg(index));
    if (m_array->ref > 1) {
        auto *copy = new VariantArray;
        copy->low = m_array->low;
        copy->items = m_array->items;
        --m_array->ref;
        m_array = copy;
    }
    return m_array->items[size_t(i)];
}

void Variant::resizeArray(qint64 count)
{
    if (count < 0) count = 0;
    if (count > MaxArrayCount) throw ScriptError::runtime(QStringLiteral("Array too large"));
    if (m_type != Type::Array) {
        *this = array(0, count);
        return;
    }
    if (m_array->ref > 1) {
        auto *copy = new VariantArray;
        copy->low = m_array->low;
        copy->items = m_array->items;
        --m_array->ref;
        m_array = copy;
    }
    m_array->items.resize(size_t(count));
}

Variant Variant::convertedTo(Type type) const
{
    if (type == m_type) return *this;
    switch (type) {
    case Type::Null:
        return *this;
    case Type::Integer:
        return Variant(toInt());
    case Type::Int64: {
        Variant v(toInt64());
        v.m_type = Type::Int64;
        return v;
    }
    case Type::Float:
        return Variant(toFloat());
    case Type::String:
        return Variant(toString());
    case Type::Boolean:
        return Variant(toBool());
    case Type::DateTime:
        return fromDateTime(toDateTime());
    case Type::Object:
        return Variant(toObject());
    case Type::Array:
        if (m_type != Type::Array) conversionError("Array");
        return *this;
    }
    return *this;
}

namespace {
qsizetype maxLength = qsizetype(64) * 1024 * 1024;
}

qsizetype Variant::maxStringLength()
{
    return maxLength;
}
void Variant::setMaxStringLength(qsizetype length)
{
    maxLength = length;
}

void Variant::checkLength(qsizetype length)
{
    if (length > maxLength) throw ScriptError::runtime(QStringLiteral("String too long"));
}

bool Variant::operator==(const Variant &other) const
{
    if (m_type != other.m_type) return false;
    switch (m_type) {
    case Type::Null:
        return true;
    case Type::String:
        return m_string == other.m_string;
    case Type::Float:
    case Type::DateTime:
        return m_float == other.m_float;
    case Type::Object:
        return m_object == other.m_object;
    case Type::Array:
        if (m_array->low != other.m_array->low || m_array->items.size() != other.m_array->items.size())
            return false;
        for (size_t i = 0; i < m_array->items.size(); ++i)
            if (!(m_array->items[i] == other.m_array->items[i])) return false;
        return true;
    default:
        return m_int64 == other.m_int64;
    }
}

} // namespace script
