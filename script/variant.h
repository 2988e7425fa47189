// The value type of fields, variables and expressions, with the conversions, arithmetic and
// comparisons of the report script language. 32 bytes, cheap to copy: numbers and Booleans are
// stored inline, strings share their data, arrays share theirs until written.
#pragma once

#include <QString>

#include <cstdint>
#include <vector>

namespace script {

class ScriptObject;
struct VariantArray;

class Variant {
public:
    enum class Type : quint8 { Null, Integer, Int64, Float, String, Boolean, DateTime, Object, Array };

    Variant() noexcept : m_type(Type::Null), m_int64(0) {}
    Variant(int value) noexcept : m_type(Type::Integer), m_int64(value) {}
    Variant(qint64 value) noexcept;
    Variant(double value) noexcept : m_type(Type::Float), m_float(value) {}
    Variant(bool value) noexcept : m_type(Type::Boolean), m_int64(value ? 1 : 0) {}
    Variant(const QString &value) : m_type(Type::String) { new (&m_string) QString(value); }
    Variant(QString &&value) noexcept : m_type(Type::String) { new (&m_string) QString(std::move(value)); }
    Variant(const char *) = delete; // literals must say their encoding
    // A reference to a host object; the host keeps ownership and must outlive the value's use.
    Variant(ScriptObject *object) noexcept;
    Variant(const Variant &other);
    Variant(Variant &&other) noexcept;
    ~Variant() { clear(); }
    Variant &operator=(const Variant &other);
    Variant &operator=(Variant &&other) noexcept;

    // A date-time: days since 1899-12-30, the fraction being the time of day.
    static Variant fromDateTime(double days) noexcept;
    // An array of Count Null elements indexed from Low.
    static Variant array(qint64 low, qint64 count);
    // An array holding Items, indexed from 0.
    static Variant array(std::vector<Variant> items);

    Type type() const noexcept { return m_type; }
    bool isNull() const noexcept { return m_type == Type::Null; }
    bool isString() const noexcept { return m_type == Type::String; }
    bool isNumeric() const noexcept
    {
        return m_type == Type::Integer || m_type == Type::Int64 || m_type == Type::Float;
    }
    bool isObject() const noexcept { return m_type == Type::Object; }
    bool isArray() const noexcept { return m_type == Type::Array; }
    // The name of the type in conversion messages: "Null", "Integer", "Int64", "Double", "String",
    // "Boolean", "Date", "Object", "Array".
    QString typeName() const;

    // Conversions. Null converts to 0, "", False; a string converts when it holds a number
    // (integer, "$" hexadecimal, or decimal with "." and an optional exponent) or True/False;
    // Boolean True is -1 as a number. Failures raise a run-time ScriptError
    // "Could not convert variant of type (X) into type (Y)".
    qint64 toInt64() const; // floats are rounded half to even
    int toInt() const;      // as toInt64, and out-of-range values are an error
    double toFloat() const;
    bool toBool() const;
    QString toString() const; // numbers in general form, dates with the fixed settings (a time alone
                              // when the date part is zero)
    double toDateTime() const;
    ScriptObject *toObject() const; // nullptr for Null; other types raise an error

    // Direct access, valid only for the matching type.
    const QString &stringRef() const noexcept { return m_string; }
    qint64 int64Value() const noexcept { return m_int64; }
    double floatValue() const noexcept { return m_float; }
    bool boolValue() const noexcept { return m_int64 != 0; }
    ScriptObject *objectValue() const noexcept { return m_object; }

    // Arrays: element access by index (bounds checked, errors raised), the bounds and resizing.
    qint64 arrayLow() const;
    qint64 arrayCount() const;
    const Variant &at(qint64 index) const;
    Variant &elementRef(qint64 index); // detaches a shared array first
    void resizeArray(qint64 count);

    // Converts to the given basic type (Null stays Null only for Type::Null); used to hold typed
    // variables at their declared type.
    Variant convertedTo(Type type) const;

    // Operators of the language. Null propagates through arithmetic. Integer results that leave the
    // 32-bit range become Int64, Int64 results that leave the 64-bit range become Float; "/" is
    // always Float; div and mod truncate toward zero; "+" of two strings concatenates, a string
    // with a number converts the string; a date plus a number stays a date.
    static Variant add(const Variant &a, const Variant &b);
    static Variant subtract(const Variant &a, const Variant &b);
    static Variant multiply(const Variant &a, const Variant &b);
    static Variant divide(const Variant &a, const Variant &b);
    static Variant intDivide(const Variant &a, const Variant &b);
    static Variant modulo(const Variant &a, const Variant &b);
    static Variant negate(const Variant &a);
    // and, or, xor, not: logical on two Booleans, bitwise on integers.
    static Variant bitAnd(const Variant &a, const Variant &b);
    static Variant bitOr(const Variant &a, const Variant &b);
    static Variant bitXor(const Variant &a, const Variant &b);
    static Variant logicalNot(const Variant &a);
    static Variant shiftLeft(const Variant &a, const Variant &b);
    static Variant shiftRight(const Variant &a, const Variant &b);

    // Three-way comparison: Null equals Null and is less than any other value; strings compare
    // by code unit, case-sensitively; a string against a number compares as numbers; objects only
    // compare for (in)equality. Returns <0, 0 or >0.
    static int compare(const Variant &a, const Variant &b);
    static bool equals(const Variant &a, const Variant &b);

    // Longest string (in characters) that the operators and the library build; longer results
    // raise "String too long". Process-wide; the default is 64 Mi characters.
    static qsizetype maxStringLength();
    static void setMaxStringLength(qsizetype length);
    static void checkLength(qsizetype length);

    // Exact identity (type and value), for tests and caches; not the language's "=".
    bool operator==(const Variant &other) const;

private:
    void clear() noexcept;
    void copyFrom(const Variant &other);
    void moveFrom(Variant &&other) noexcept;
    [[noreturn]] void conversionError(const char *target) const;

    Type m_type;
    union {
        qint64 m_int64; // Integer, Int64, Boolean
        double m_float; // Float, DateTime
        ScriptObject *m_object;
        VariantArray *m_array;
        QString m_string;
    };
};

struct VariantArray {
    int ref = 1;
    qint64 low = 0;
    std::vector<Variant> items;
};

using VariantList = std::vector<Variant>;

} // namespace script
