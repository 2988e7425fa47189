// The built-in library, through scripts, with exact outputs.
#include "script/formats.h"
#include "script/fsScript.h"

#include <QLocale>

#include <gtest/gtest.h>

using namespace script;

namespace {

// The value of an expression as text, or the error message.
QString eval(const QString &expression)
{
    static TfsScript s;
    try {
        Variant v = s.compileExpression(expression)->evaluate();
        return v.toString();
    } catch (const ScriptError &e) {
        return QStringLiteral("error: ") + e.message();
    }
}

QString eval(const char16_t *expression)
{
    return eval(QString::fromUtf16(expression));
}

#define EXPECT_EVAL(expr, text)                                                                              \
    EXPECT_EQ(eval(expr).toStdString(), QString::fromUtf16(text).toStdString()) << #expr

} // namespace

TEST(library, roundHalvesToEven)
{
    EXPECT_EVAL(u"Round(2.5)", u"2");
    EXPECT_EVAL(u"Round(3.5)", u"4");
    EXPECT_EVAL(u"Round(-2.5)", u"-2");
    EXPECT_EVAL(u"Round(2.51)", u"3");
    EXPECT_EVAL(u"Round(1e10)", u"10000000000");
    EXPECT_EVAL(u"Trunc(-2.7)", u"-2");
    EXPECT_EVAL(u"Int(-2.7)", u"-2");
    EXPECT_EVAL(u"Frac(2.75)", u"0.75");
    EXPECT_EVAL(u"Abs(-5)", u"5");
    EXPECT_EVAL(u"Sqrt(-1)", u"error: Invalid floating point operation");
    EXPECT_EVAL(u"Ln(0)", u"error: Invalid floating point operation");
    EXPECT_EVAL(u"Exp(1000)", u"error: Floating point overflow");
    EXPECT_EVAL(u"Round(Pi * 1000)", u"3142");
}

TEST(library, formatFloatPictures)
{
    EXPECT_EVAL(u"FormatFloat('#,##0.00', 1234.5)", u"1,234.50");
    EXPECT_EVAL(u"FormatFloat('#,##0.00', 1234567.891)", u"1,234,567.89");
    EXPECT_EVAL(u"FormatFloat('#,##0.00', -1234.5)", u"-1,234.50");
    EXPECT_EVAL(u"FormatFloat('0.00', 0.125)", u"0.13"); // decimal halves go away from zero
    EXPECT_EVAL(u"FormatFloat('0.##', 2.5)", u"2.5");
    EXPECT_EVAL(u"FormatFloat('#.##', 0.5)", u".5");
    EXPECT_EVAL(u"FormatFloat('000', 7)", u"007");
    EXPECT_EVAL(u"FormatFloat('0', 12345)", u"12345");
    EXPECT_EVAL(u"FormatFloat('000-000', 123456)", u"123-456");
    EXPECT_EVAL(u"FormatFloat('0.00E+00', 12345)", u"1.23E+04");
    EXPECT_EVAL(u"FormatFloat('0.0e-0', 0.00012)", u"1.2e-4");
    EXPECT_EVAL(u"FormatFloat('0.0E+00', 5)", u"5.0E+00");
    EXPECT_EVAL(u"FormatFloat('\"¥\"#,##0', 1500)", u"¥1,500");
    EXPECT_EVAL(u"FormatFloat('0.0'' 元''', 3)", u"3.0 元");
    EXPECT_EVAL(u"FormatFloat('0.00;(0.00);零', -3.5)", u"(3.50)");
    EXPECT_EVAL(u"FormatFloat('0.00;(0.00);零', 0)", u"零");
    EXPECT_EVAL(u"FormatFloat('0.00;(0.00);零', 0.001)", u"零");
    EXPECT_EVAL(u"FormatFloat('0.00;;零', -2)", u"-2.00");
    EXPECT_EVAL(u"FormatFloat('0', -0.4)", u"0");
    EXPECT_EVAL(u"FormatFloat('', 1.5)", u"1.5");
}

TEST(library, formatDirectives)
{
    EXPECT_EVAL(u"Format('%d-%s', [42, 'x'])", u"42-x");
    EXPECT_EVAL(u"Format('%5d|%-5d|%.3d', [1, 2, 3])", u"    1|2    |003");
    EXPECT_EVAL(u"Format('%.2f', [3.14159])", u"3.14");
    EXPECT_EVAL(u"Format('%2.2f', [12.5])", u"12.50");
    EXPECT_EVAL(u"Format('%n', [1234567.891])", u"1,234,567.89");
    EXPECT_EVAL(u"Format('%e', [1234.5])", u"1.23450000000000E+003");
    EXPECT_EVAL(u"Format('%.3e', [-0.00012345])", u"-1.23E-004");
    EXPECT_EVAL(u"Format('%g', [0.5])", u"0.5");
    EXPECT_EVAL(u"Format('%x', [255])", u"FF");
    EXPECT_EVAL(u"Format('%m', [-5])", u"¥-5.00");
    EXPECT_EVAL(u"Format('%1:s %0:s', ['a', 'b'])", u"b a");
    EXPECT_EVAL(u"Format('%*d', [4, 7])", u"   7");
    EXPECT_EVAL(u"Format('%.2s', ['abc'])", u"ab");
    EXPECT_EVAL(u"Format('100%%', [])", u"100%");
    EXPECT_EVAL(u"Format('%d', [1.5])", u"error: Format '%d' invalid or incompatible with argument");
    EXPECT_EVAL(u"Format('%d %d', [1])", u"error: No argument for format '%d %d'");
    EXPECT_EVAL(u"Format('%', [1])", u"error: Format '%' invalid or incompatible with argument");
}

TEST(library, formatDateTimeSpecifiers)
{
    // 2024-03-05 is a Tuesday; 14:07:09.045
    const char16_t *d = u"EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 45)";
    auto f = [&](const char16_t *format) {
        return eval(QStringLiteral("FormatDateTime('") + QString::fromUtf16(format) + QStringLiteral("', ") +
                    QString::fromUtf16(d) + QStringLiteral(")"));
    };
    EXPECT_EQ(f(u"yyyy-mm-dd hh:nn:ss.zzz"), QStringLiteral("2024-03-05 14:07:09.045"));
    EXPECT_EQ(f(u"d/m/yy"), QStringLiteral("5/3/24"));
    EXPECT_EQ(f(u"hh:mm"), QStringLiteral("14:07")); // m after h means minutes
    EXPECT_EQ(f(u"ddd dddd"), QString::fromUtf16(u"周二 星期二"));
    EXPECT_EQ(f(u"mmm mmmm"), QString::fromUtf16(u"3月 三月"));
    EXPECT_EQ(f(u"h:nn am/pm"), QStringLiteral("2:07 pm"));
    EXPECT_EQ(f(u"h:nn AMPM"), QString::fromUtf16(u"2:07 下午"));
    EXPECT_EQ(f(u"c"), QStringLiteral("2024-03-05 14:07:09"));
    EXPECT_EQ(f(u"dddddd"), QString::fromUtf16(u"2024年3月5日"));
    EXPECT_EQ(f(u"\"Day\" d, ''yyyy''"), QStringLiteral("Day 5, yyyy")); // '' in a script string is one quote
    EXPECT_EVAL(u"DateToStr(EncodeDate(2024, 3, 5))", u"2024-03-05");
    EXPECT_EVAL(u"TimeToStr(EncodeTime(9, 5, 0, 0))", u"09:05:00");
    EXPECT_EVAL(u"DateTimeToStr(EncodeDate(2024, 3, 5))", u"2024-03-05");
    EXPECT_EVAL(u"DayOfWeek(EncodeDate(2024, 3, 5))", u"3");
    EXPECT_EVAL(u"YearOf(EncodeDate(2024, 3, 5)) * 100 + MonthOf(EncodeDate(2024, 3, 5))", u"202403");
    EXPECT_EVAL(u"DayOf(StrToDate('2024/03/05'))", u"5");
    EXPECT_EVAL(u"StrToDate(DateToStr(EncodeDate(1999, 12, 31))) = EncodeDate(1999, 12, 31)", u"True");
    EXPECT_EVAL(u"StrToDateTime('2024-03-05 14:07:09')", u"2024-03-05 14:07:09");
    EXPECT_EVAL(u"StrToTime('2:30 PM')", u"14:30:00");
    EXPECT_EVAL(u"StrToDate('2024-02-30')", u"error: '2024-02-30' is not a valid date");
    EXPECT_EVAL(u"EncodeDate(2023, 2, 29)", u"error: Invalid argument to date encode");
    EXPECT_EVAL(u"EncodeTime(24, 0, 0, 0)", u"error: Invalid argument to time encode");
    EXPECT_EVAL(u"IsLeapYear(1900)", u"False");
    EXPECT_EVAL(u"IsLeapYear(2000)", u"True");
    EXPECT_EVAL(u"DaysInMonth(2024, 2)", u"29");
    EXPECT_EVAL(u"DaysInMonth(EncodeDate(2023, 2, 1))", u"28");
    EXPECT_EVAL(u"ValidDate('2024-13-01')", u"False");
}

TEST(library, stringBoundaries)
{
    EXPECT_EVAL(u"Copy('abcdef', 2, 3)", u"bcd");
    EXPECT_EVAL(u"Copy('abcdef', 0, 2)", u"ab");
    EXPECT_EVAL(u"Copy('abcdef', -5, 2)", u"ab");
    EXPECT_EVAL(u"Copy('abcdef', 5, 100)", u"ef");
    EXPECT_EVAL(u"Copy('abcdef', 7, 1)", u"");
    EXPECT_EVAL(u"Copy('abcdef', 2, -1)", u"");
    EXPECT_EVAL(u"Copy('张三先生', 3, 2)", u"先生");
    EXPECT_EVAL(u"Pos('cd', 'abcdcd')", u"3");
    EXPECT_EVAL(u"Pos('x', 'abc')", u"0");
    EXPECT_EVAL(u"Pos('', 'abc')", u"0");
    EXPECT_EVAL(u"Length('张三')", u"2");
    EXPECT_EVAL(u"Length(12345)", u"5");
    EXPECT_EVAL(u"Uppercase('abc') + Lowercase('DEF')", u"ABCdef");
    EXPECT_EVAL(u"'[' + Trim(#9'  a b '#13#10) + ']'", u"[a b]");
    EXPECT_EVAL(u"NameCase('hello wORLD o''neil')", u"Hello World O'neil");
    EXPECT_EVAL(u"CompareText('abc', 'ABD') < 0", u"True");
    EXPECT_EVAL(u"CompareText('Straße', 'STRAßE')", u"0");
    EXPECT_EVAL(u"Chr(65) + Chr($4E2D)", u"A中");
    EXPECT_EVAL(u"Ord('A') + Ord(True)", u"66");
    EXPECT_EVAL(u"Chr(70000)", u"error: Character code 70000 out of range");
    EXPECT_EVAL(u"FormatMaskText('000-0000;0;_', '1234567')", u"123-4567");
    EXPECT_EVAL(u"FormatMaskText('(000) 000;0;_', '12')", u"(12_) ___");
    EXPECT_EVAL(u"FormatMaskText('>LL-00;1', 'ab-12')", u"AB-12");
}

TEST(library, stringProceduresChangeTheirVariable)
{
    TfsScript s;
    QStringList out;
    s.setMessageHandler([&](const QString &t) { out.append(t); });
    ASSERT_TRUE(s.compile(QString::fromUtf16(
        u"var a: String; b: Variant; y, m, d: Integer;\n"
        u"begin\n"
        u"  a := 'abcdef'; Delete(a, 2, 2); ShowMessage(a);\n"
        u"  a := 'abcdef'; Delete(a, 0, 2); ShowMessage(a);\n"
        u"  a := 'abcdef'; Delete(a, 5, 10); ShowMessage(a);\n"
        u"  a := 'abcdef'; DeleteStr(a, 7, 1); ShowMessage(a);\n"
        u"  a := 'abc'; Insert('XY', a, 2); ShowMessage(a);\n"
        u"  a := 'abc'; Insert('XY', a, 0); ShowMessage(a);\n"
        u"  a := 'abc'; Insert('XY', a, 99); ShowMessage(a);\n"
        u"  a := 'abc'; SetLength(a, 5); ShowMessage('[' + a + ']');\n"
        u"  SetLength(a, 1); ShowMessage(a);\n"
        u"  b := VarArrayCreate([1, 3], varInteger); b[2] := 5; ShowMessage(b[1] + b[2]);\n"
        u"  SetLength(b, 1); ShowMessage(Length(b));\n"
        u"  DecodeDate(EncodeDate(2024, 3, 5), y, m, d); ShowMessage(y * 10000 + m * 100 + d);\n"
        u"  ShowMessage(VarType(b) = $200C);\n"
        u"  ShowMessage(VarType(1.5) = varDouble);\n"
        u"end.")))
        << s.errorText().toStdString();
    s.runMain();
    EXPECT_EQ(out,
              QStringList(
                  {QString::fromUtf16(u"adef"), QString::fromUtf16(u"abcdef"), QString::fromUtf16(u"abcd"),
                   QString::fromUtf16(u"abcdef"), QString::fromUtf16(u"aXYbc"), QString::fromUtf16(u"XYabc"),
                   QString::fromUtf16(u"abcXY"), QString::fromUtf16(u"[abc  ]"), QString::fromUtf16(u"a"),
                   QString::fromUtf16(u"5"), QString::fromUtf16(u"1"), QString::fromUtf16(u"20240305"),
                   QString::fromUtf16(u"True"), QString::fromUtf16(u"True")}));
}

TEST(library, conversionsAndValidation)
{
    EXPECT_EVAL(u"IntToStr(-12) + FloatToStr(0.1 + 0.2)", u"-120.3");
    EXPECT_EVAL(u"StrToInt(' $1A ')", u"26");
    EXPECT_EVAL(u"StrToInt('2147483648')", u"error: '2147483648' is not a valid integer value");
    EXPECT_EVAL(u"StrToInt64('9223372036854775807')", u"9223372036854775807");
    EXPECT_EVAL(u"StrToFloat('1.5e3')", u"1500");
    EXPECT_EVAL(u"StrToFloat('1,5')", u"error: '1,5' is not a valid floating point value");
    EXPECT_EVAL(u"ValidInt('12') and not ValidInt('1.2')", u"True");
    EXPECT_EVAL(u"ValidFloat('-.5') and not ValidFloat('x') and not ValidFloat('')", u"True");
    EXPECT_EVAL(u"VarToStr(Null) + VarToStr(True)", u"True");
    EXPECT_EVAL(u"CreateOleObject('Excel.Application')",
                u"error: CreateOleObject('Excel.Application') is not supported on this platform");
    EXPECT_EVAL(u"fr01cm * 10 = fr1cm", u"True");
    EXPECT_EVAL(u"fr1in + fr1CharY", u"113");
    EXPECT_EVAL(u"Random(1)", u"0");
    EXPECT_EVAL(u"(Random >= 0) and (Random < 1)", u"True");
}

TEST(library, addedRoutinesMatchTheStandardOnes)
{
    // The results must not follow the process locale: run once in Chinese, once in English.
    for (QLocale::Language language : {QLocale::Chinese, QLocale::English}) {
        QLocale::setDefault(QLocale(language));
        EXPECT_EVAL(u"IntToHex(255, 4) + IntToHex(-1, 1) + IntToHex(StrToInt64('-4294967297'), 1)",
                    u"00FFFFFFFFFFFFFFFFFEFFFFFFFF");
        EXPECT_EVAL(u"StrToIntDef(' 12 ', 5) + StrToIntDef('1.5', 5) + StrToIntDef('', -1)", u"16");
        EXPECT_EVAL(u"StrToFloatDef('2.5', 0) + StrToFloatDef('2,5', 1)", u"3.5");
        EXPECT_EVAL(u"'[' + TrimLeft(#9' a ') + '|' + TrimRight(' b '#13#10) + ']'", u"[a | b]");
        EXPECT_EVAL(u"StringReplace('aAbaA', 'a', '-', [])", u"-AbaA");
        EXPECT_EVAL(u"StringReplace('aAbaA', 'a', 'aa', [rfReplaceAll])", u"aaAbaaA");
        EXPECT_EVAL(u"StringReplace('aAbaA', 'A', '', [rfReplaceAll, rfIgnoreCase])", u"b");
        EXPECT_EVAL(u"StringReplace('abc', '', 'x', [rfReplaceAll])", u"abc");
        EXPECT_EVAL(u"AnsiUpperCase('straße ä') + AnsiLowerCase('ÄB中')", u"STRASSE Ääb中");
        EXPECT_EVAL(u"QuotedStr('it''s')", u"'it''s'");
        EXPECT_EVAL(u"Sqr(-3) + Sqr(0.5)", u"9.25");
        EXPECT_EVAL(u"Power(2, 10) + Power(4, 0.5) + Power(0, 0)", u"1027");
        EXPECT_EVAL(u"Power(-8, 1/3)", u"error: Invalid floating point operation");
        EXPECT_EVAL(u"Power(0, -1)", u"error: Floating point division by zero");
        EXPECT_EVAL(u"Power(10, 400)", u"error: Floating point overflow");
        EXPECT_EVAL(u"Odd(-3) and not Odd(4)", u"True");
        EXPECT_EVAL(u"IntToStr(Ceil(-0.5)) + IntToStr(Ceil(1.1)) + IntToStr(Floor(-1.1))", u"02-2");
        EXPECT_EVAL(u"Floor(1e30)", u"error: Invalid floating point operation");
        EXPECT_EVAL(u"MaxInt", u"2147483647");
        EXPECT_EVAL(u"DateToStr(IncMonth(EncodeDate(2024, 1, 31)))", u"2024-02-29");
        EXPECT_EVAL(u"DateToStr(IncMonth(EncodeDate(2024, 3, 31), -13))", u"2023-02-28");
        EXPECT_EVAL(u"FormatDateTime('yyyy-mm-dd hh:nn', IncMonth(-1.25))", u"1900-01-29 06:00");
        EXPECT_EVAL(u"IncMonth(EncodeDate(9999, 12, 1))", u"error: Invalid argument to date encode");
        EXPECT_EVAL(u"DateToStr(IncDay(EncodeDate(2024, 2, 28), 2)) + DateToStr(IncDay(EncodeDate(2024, 1, 1), -1))",
                    u"2024-03-012023-12-31");
        EXPECT_EVAL(u"DaysBetween(EncodeDate(2024, 3, 1), EncodeDate(2024, 3, 5) + EncodeTime(23, 59, 0, 0))", u"4");
        EXPECT_EVAL(u"DaysBetween(EncodeDate(2024, 3, 5), EncodeDate(2024, 3, 4) + EncodeTime(0, 0, 0, 1))", u"0");
        EXPECT_EVAL(u"IntToStr(WeekOf(EncodeDate(2021, 1, 3))) + IntToStr(WeekOf(EncodeDate(2024, 12, 30)))", u"531");
        EXPECT_EVAL(u"IntToStr(DayOfTheWeek(EncodeDate(2024, 3, 4))) + IntToStr(DayOfTheWeek(EncodeDate(2024, 3, 10)))",
                    u"17");
        EXPECT_EVAL(u"IntToStr(YearOf(EncodeDate(2024, 3, 4))) + IntToStr(MonthOf(EncodeDate(2024, 3, 4)))", u"20243");
        EXPECT_EVAL(u"Format('%.1f|%g', [2.25, 1e20]) + FormatFloat('#,##0.0', 1234.25)", u"2.3|1E201,234.3");
    }
    QLocale::setDefault(QLocale::c());
}

TEST(library, showMessageGoesToTheHost)
{
    TfsScript parent, child;
    QString shown;
    parent.setMessageHandler([&](const QString &t) { shown = t; });
    child.setParent(&parent);
    child.compileExpression(QStringLiteral("ShowMessage('你好')"))->evaluate();
    EXPECT_EQ(shown, QString::fromUtf16(u"你好"));
}
