// String functions, with the boundaries of the language's standard library.
#include "script/fsScript.h"
#include "script/library_p.h"

using namespace Qt::StringLiterals;

namespace script::library::detail {

namespace {

// Copy(S, Index, Count): an Index below 1 counts from the first character, a Count beyond the end
// stops there, a negative Count gives nothing.
QString copy(const QString &s, qint64 index, qint64 count)
{
    qint64 length = s.size();
    qint64 start = index < 1 ? 0 : std::min(index - 1, length);
    if (count < 0) count = 0;
    count = std::min(count, length - start);
    return s.mid(qsizetype(start), qsizetype(count));
}

// Delete(S, Index, Count): nothing unless 1 <= Index <= Length and Count > 0.
QString removed(const QString &s, qint64 index, qint64 count)
{
    qint64 length = s.size();
    if (index < 1 || index > length || count <= 0) return s;
    count = std::min(count, length - index + 1);
    QString r = s;
    r.remove(qsizetype(index - 1), qsizetype(count));
    return r;
}

QString nameCase(const QString &s)
{
    QString r = s;
    bool start = true;
    for (QChar &c : r) {
        if (c.isLetter()) {
            c = start ? c.toUpper() : c.toLower();
            start = false;
        } else {
            start = c != u'\'';
        }
    }
    return r;
}

int compareText(const QString &a, const QString &b)
{
    auto fold = [](QChar c) {
        return c.unicode() >= 'a' && c.unicode() <= 'z' ? c.unicode() - 32 : c.unicode();
    };
    qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        int d = int(fold(a.at(i))) - int(fold(b.at(i)));
        if (d != 0) return d;
    }
    return int(a.size() - b.size());
}

// Blanks and control characters at the chosen ends, as the standard library trims.
QString trimmed(const QString &s, bool left, bool right)
{
    qsizetype b = 0, e = s.size();
    while (left && b < e && s.at(b).unicode() <= ' ')
        ++b;
    while (right && e > b && s.at(e - 1).unicode() <= ' ')
        --e;
    return s.mid(b, e - b);
}

// The members of StringReplace's flag set.
constexpr int ReplaceAll = 0;
constexpr int IgnoreCase = 1;

bool hasFlag(const Variant &set, int flag)
{
    if (!set.isArray()) return !set.isNull() && set.toInt64() == flag;
    for (qint64 i = 0, n = set.arrayCount(); i < n; ++i)
        if (set.at(set.arrayLow() + i).toInt64() == flag) return true;
    return false;
}

// The first occurrence of Old, or every one left to right without rescanning what was put in.
QString stringReplace(const QString &s, const QString &old, const QString &replacement, bool all,
                      bool ignoreCase)
{
    if (old.isEmpty()) return s;
    const Qt::CaseSensitivity cs = ignoreCase ? Qt::CaseInsensitive : Qt::CaseSensitive;
    QString out;
    qsizetype from = 0;
    for (qsizetype at = s.indexOf(old, 0, cs); at >= 0; at = s.indexOf(old, from, cs)) {
        out += QStringView(s).mid(from, at - from);
        out += replacement;
        Variant::checkLength(out.size());
        from = at + old.size();
        if (!all) break;
    }
    out += QStringView(s).mid(from);
    return out;
}

} // namespace

void addStrings(Table &t)
{
    t.add("function Length(S: Variant): Integer", [](HostCall &c) {
        const Variant &v = c.args[0];
        if (v.isArray()) return Variant(v.arrayCount());
        return Variant(qint64(v.toString().size()));
    });
    t.add("function Copy(S: String; Index, Count: Integer): String", [](HostCall &c) {
        return Variant(copy(c.args[0].stringRef(), c.args[1].int64Value(), c.args[2].int64Value()));
    });
    t.add("function Pos(SubStr, S: String): Integer", [](HostCall &c) {
        const QString &sub = c.args[0].stringRef();
        return Variant(sub.isEmpty() ? 0 : qint64(c.args[1].stringRef().indexOf(sub) + 1));
    });
    auto remove = [](HostCall &c) {
        c.args[0] = Variant(removed(c.args[0].toString(), c.args[1].int64Value(), c.args[2].int64Value()));
        return Variant();
    };
    t.add("procedure Delete(var S: String; Index, Count: Integer)", remove);
    // The same as Delete, under the name the other script languages use.
    t.add("procedure DeleteStr(var S: String; Index, Count: Integer)", remove);
    t.add("procedure Insert(Source: String; var S: String; Index: Integer)", [](HostCall &c) {
        QString s = c.args[1].toString();
        const QString &source = c.args[0].stringRef();
        qint64 index = c.args[2].int64Value();
        qint64 at = index < 1 ? 0 : std::min<qint64>(index - 1, s.size());
        Variant::checkLength(s.size() + source.size());
        s.insert(qsizetype(at), source);
        c.args[1] = Variant(std::move(s));
        return Variant();
    });
    t.add("function Uppercase(S: String): String",
          [](HostCall &c) { return Variant(c.args[0].stringRef().toUpper()); });
    t.add("function Lowercase(S: String): String",
          [](HostCall &c) { return Variant(c.args[0].stringRef().toLower()); });
    t.add("function Trim(S: String): String",
          [](HostCall &c) { return Variant(trimmed(c.args[0].stringRef(), true, true)); });
    t.add("function TrimLeft(S: String): String",
          [](HostCall &c) { return Variant(trimmed(c.args[0].stringRef(), true, false)); });
    t.add("function TrimRight(S: String): String",
          [](HostCall &c) { return Variant(trimmed(c.args[0].stringRef(), false, true)); });
    t.add("function AnsiUpperCase(S: String): String",
          [](HostCall &c) { return Variant(c.args[0].stringRef().toUpper()); });
    t.add("function AnsiLowerCase(S: String): String",
          [](HostCall &c) { return Variant(c.args[0].stringRef().toLower()); });
    t.add("function QuotedStr(S: String): String", [](HostCall &c) {
        QString s = c.args[0].stringRef();
        return Variant(u'\'' + s.replace(u'\'', u"''"_s) + u'\'');
    });
    t.add("function StringReplace(S, OldPattern, NewPattern: String; Flags: Variant = Null): String",
          [](HostCall &c) {
              return Variant(stringReplace(c.args[0].stringRef(), c.args[1].stringRef(), c.args[2].stringRef(),
                                           hasFlag(c.args[3], ReplaceAll), hasFlag(c.args[3], IgnoreCase)));
          });
    t.constants.insert(u"rfreplaceall"_s, Variant(ReplaceAll));
    t.constants.insert(u"rfignorecase"_s, Variant(IgnoreCase));
    t.add("function NameCase(S: String): String",
          [](HostCall &c) { return Variant(nameCase(c.args[0].stringRef())); });
    t.add("function CompareText(S1, S2: String): Integer",
          [](HostCall &c) { return Variant(compareText(c.args[0].stringRef(), c.args[1].stringRef())); });
    t.add("function Chr(I: Integer): Char", [](HostCall &c) {
        qint64 code = c.args[0].int64Value();
        if (code < 0 || code > 0xFFFF) fail(u"Character code %1 out of range"_s.arg(code));
        return Variant(QString(QChar(char16_t(code))));
    });
    t.add("function Ord(Ch: Variant): Integer", [](HostCall &c) {
        const Variant &v = c.args[0];
        if (v.isString()) return Variant(v.stringRef().isEmpty() ? 0 : int(v.stringRef().at(0).unicode()));
        if (v.type() == Variant::Type::Boolean) return Variant(v.boolValue() ? 1 : 0);
        if (v.type() == Variant::Type::Integer || v.type() == Variant::Type::Int64) return v;
        fail(u"Ord needs an ordinal value"_s);
    });
    t.add("procedure SetLength(var S: Variant; NewLength: Integer)", [](HostCall &c) {
        qint64 length = c.args[1].int64Value();
        if (length < 0) length = 0;
        if (c.args[0].isArray()) {
            c.args[0].resizeArray(length);
            return Variant();
        }
        Variant::checkLength(qsizetype(std::min<qint64>(length, qint64(1) << 40)));
        QString s = c.args[0].toString();
        // New characters are blanks rather than undefined memory.
        if (length < s.size())
            s.truncate(qsizetype(length));
        else
            s.append(QString(qsizetype(length) - s.size(), u' '));
        c.args[0] = Variant(std::move(s));
        return Variant();
    });
}

} // namespace script::library::detail
