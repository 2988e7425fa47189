#include "script/variant.h"

#include "script/scripterror.h"
#include "script/scriptobject.h"

#include <functional>

#include <gtest/gtest.h>

using script::ScriptError;
using script::Variant;
using Type = Variant::Type;

namespace {

Variant s(const char16_t *text)
{
    return Variant(QString::fromUtf16(text));
}

std::string message(const std::function<void()> &f)
{
    try {
        f();
    } catch (const ScriptError &e) {
        return e.message().toStdString();
    }
    return "no error";
}

} // namespace

TEST(Variant, copiesShareStringsAndArraysCopyOnWrite)
{
    Variant a = Variant::array(1, 3);
    a.elementRef(1) = Variant(7);
    Variant b = a;
    b.elementRef(1) = Variant(8);
    EXPECT_EQ(a.at(1), Variant(7));
    EXPECT_EQ(b.at(1), Variant(8));
    Variant c = s(u"名字");
    Variant d = std::move(c);
    EXPECT_TRUE(c.isNull());
    EXPECT_EQ(d.toString(), QStringLiteral("名字"));
    d = d; // self-assignment keeps the value
    EXPECT_EQ(d.toString(), QStringLiteral("名字"));
    Variant e = Variant::array(0, 1);
    e.elementRef(0) = s(u"x");
    e = e.at(0); // assigning an element of itself
    EXPECT_EQ(e, s(u"x"));
    EXPECT_LE(sizeof(Variant), 32u);
}

TEST(Variant, integerArithmeticWidensInsteadOfOverflowing)
{
    EXPECT_EQ(Variant::add(Variant(2147483647), Variant(1)).type(), Type::Int64);
    EXPECT_EQ(Variant::add(Variant(2147483647), Variant(1)).int64Value(), 2147483648LL);
    EXPECT_EQ(Variant::multiply(Variant(65536), Variant(65536)).int64Value(), 4294967296LL);
    Variant big = Variant::add(Variant(qint64(9223372036854775807LL)), Variant(1));
    EXPECT_EQ(big.type(), Type::Float);
    EXPECT_DOUBLE_EQ(big.floatValue(), 9223372036854775808.0);
    EXPECT_EQ(Variant::negate(Variant(qint64(-2147483648LL))).int64Value(), 2147483648LL);
    EXPECT_EQ(Variant::subtract(Variant(qint64(5000000000LL)), Variant(qint64(4999999999LL))).type(),
              Type::Int64);
    EXPECT_EQ(Variant::add(Variant(1), Variant(2)).type(), Type::Integer);
}

TEST(Variant, divisionRules)
{
    EXPECT_EQ(Variant::divide(Variant(6), Variant(3)).type(), Type::Float);
    EXPECT_EQ(Variant::intDivide(Variant(-7), Variant(2)), Variant(-3));
    EXPECT_EQ(Variant::modulo(Variant(-7), Variant(2)), Variant(-1));
    EXPECT_EQ(Variant::modulo(Variant(7), Variant(-2)), Variant(1));
    EXPECT_EQ(Variant::intDivide(Variant(7.6), Variant(2)), Variant(4)); // 7.6 rounds to 8
    EXPECT_EQ(message([] { Variant::intDivide(Variant(1), Variant(0)); }), "Division by zero");
    EXPECT_EQ(message([] { Variant::modulo(Variant(1), Variant(0)); }), "Division by zero");
    EXPECT_EQ(message([] { Variant::divide(Variant(1.5), Variant(0.0)); }), "Division by zero");
    EXPECT_EQ(Variant::intDivide(Variant(qint64(INT64_MIN)), Variant(-1)).type(), Type::Float);
}

TEST(Variant, nullPropagatesThroughArithmeticButComparesAsSmallest)
{
    EXPECT_TRUE(Variant::add(Variant(), Variant(1)).isNull());
    EXPECT_TRUE(Variant::add(s(u"a"), Variant()).isNull());
    EXPECT_TRUE(Variant::divide(Variant(), Variant(0)).isNull());
    EXPECT_TRUE(Variant::negate(Variant()).isNull());
    EXPECT_TRUE(Variant::equals(Variant(), Variant()));
    EXPECT_FALSE(Variant::equals(Variant(), Variant(0)));
    EXPECT_FALSE(Variant::equals(Variant(), s(u"")));
    EXPECT_LT(Variant::compare(Variant(), Variant(-5)), 0);
    EXPECT_EQ(Variant().toString(), QString());
    EXPECT_EQ(Variant().toInt64(), 0);
    EXPECT_FALSE(Variant().toBool());
}

TEST(Variant, stringsAndNumbersMix)
{
    EXPECT_EQ(Variant::add(s(u"1"), Variant(2)), Variant(3));
    EXPECT_EQ(Variant::add(s(u"1.5"), Variant(2)), Variant(3.5));
    EXPECT_EQ(Variant::add(s(u"ab"), s(u"cd")), s(u"abcd"));
    EXPECT_EQ(message([] { Variant::add(s(u"abc"), Variant(1)); }),
              "Could not convert variant of type (String) into type (Double)");
    EXPECT_TRUE(Variant::equals(s(u"10"), Variant(10)));
    EXPECT_GT(Variant::compare(s(u"10"), Variant(9)), 0);
    EXPECT_LT(Variant::compare(s(u"10"), s(u"9")), 0); // as strings
    EXPECT_NE(Variant::compare(s(u"a"), s(u"A")), 0);  // case-sensitive
    EXPECT_EQ(s(u" $1F ").toInt64(), 31);
    EXPECT_EQ(message([] { s(u"").toFloat(); }),
              "Could not convert variant of type (String) into type (Double)");
}

TEST(Variant, booleansAreMinusOneAsNumbers)
{
    EXPECT_EQ(Variant(true).toInt64(), -1);
    EXPECT_EQ(Variant::add(Variant(true), Variant(1)), Variant(0));
    EXPECT_EQ(Variant::bitAnd(Variant(true), Variant(false)), Variant(false));
    EXPECT_EQ(Variant::bitOr(Variant(12), Variant(3)), Variant(15));
    EXPECT_EQ(Variant::logicalNot(Variant(0)), Variant(-1));
    EXPECT_EQ(Variant::logicalNot(Variant(true)), Variant(false));
    EXPECT_TRUE(s(u"TRUE").toBool());
    EXPECT_EQ(Variant(true).toString(), QStringLiteral("True"));
    EXPECT_LT(Variant::compare(Variant(false), Variant(true)), 0);
}

TEST(Variant, datesStayDatesWhenNumbersAreAdded)
{
    Variant d = Variant::fromDateTime(45000.0);
    EXPECT_EQ(Variant::add(d, Variant(1)).type(), Type::DateTime);
    EXPECT_EQ(Variant::subtract(d, Variant(0.5)).type(), Type::DateTime);
    EXPECT_EQ(Variant::subtract(d, Variant::fromDateTime(44999.0)).type(), Type::Float);
    EXPECT_EQ(d.toString(), QStringLiteral("2023-03-15"));
    EXPECT_EQ(Variant::fromDateTime(45000.75).toString(), QStringLiteral("2023-03-15 18:00:00"));
}

TEST(Variant, floatTextUsesFifteenSignificantDigits)
{
    EXPECT_EQ(Variant(0.1 + 0.2).toString(), QStringLiteral("0.3"));
    EXPECT_EQ(Variant(1.0 / 3).toString(), QStringLiteral("0.333333333333333"));
    EXPECT_EQ(Variant(1e15).toString(), QStringLiteral("1E15"));
    EXPECT_EQ(Variant(123456789012345.0).toString(), QStringLiteral("123456789012345"));
    EXPECT_EQ(Variant(0.00001).toString(), QStringLiteral("0.00001"));
    EXPECT_EQ(Variant(-1.5e-7).toString(), QStringLiteral("-1.5E-7"));
    EXPECT_EQ(Variant(2.5).toInt64(), 2);
    EXPECT_EQ(Variant(3.5).toInt64(), 4);
    EXPECT_EQ(Variant(-2.5).toInt64(), -2);
}

TEST(Variant, conversionsToTypedVariables)
{
    EXPECT_EQ(Variant(2.5).convertedTo(Type::Integer), Variant(2));
    EXPECT_EQ(Variant(12).convertedTo(Type::String), s(u"12"));
    EXPECT_EQ(s(u"2024-02-29").convertedTo(Type::DateTime).toString(), QStringLiteral("2024-02-29"));
    EXPECT_EQ(message([] { Variant(1e12).convertedTo(Type::Integer); }),
              "Could not convert variant of type (Double) into type (Integer)");
    EXPECT_EQ(message([] { Variant::array(0, 1).toString(); }),
              "Could not convert variant of type (Array) into type (String)");
}

TEST(Variant, objectsCompareByIdentityOnly)
{
    struct Dummy : script::ScriptObject {
        QString scriptClassName() const override { return QStringLiteral("TDummy"); }
    } a, b;
    EXPECT_TRUE(Variant::equals(Variant(&a), Variant(&a)));
    EXPECT_FALSE(Variant::equals(Variant(&a), Variant(&b)));
    EXPECT_FALSE(Variant::equals(Variant(&a), Variant()));
    EXPECT_TRUE(Variant(static_cast<script::ScriptObject *>(nullptr)).isNull());
    EXPECT_EQ(message([] { Variant::add(Variant(1), Variant::array(0, 1)); }), "Invalid variant operation");
}
