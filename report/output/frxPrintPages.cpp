#include "report/output/frxPrintPages.h"

#include "platform/errors.h"

#include <limits>

namespace frx {

namespace {

[[noreturn]] void invalid(const QString &text)
{
    throw platform::Error(QStringLiteral("页码范围无效: \"%1\"").arg(text));
}

int toNumber(QStringView digits, const QString &text)
{
    if (digits.isEmpty()) invalid(text);
    qint64 value = 0;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9') invalid(text);
        value = value * 10 + (c.unicode() - u'0');
        if (value > std::numeric_limits<int>::max()) invalid(text);
    }
    return int(value);
}

} // namespace

void TfrxPageNumbers::Append(Range range)
{
    m_restricted = true;
    if (range.first <= range.last) m_ranges.append(range);
}

bool TfrxPageNumbers::Contains(int n) const
{
    if (!m_restricted) return true;
    for (const Range &range : m_ranges)
        if (range.first <= n && n <= range.last) return true;
    return false;
}

TfrxPageNumbers ParsePageNumbers(const QString &text, int pageCount)
{
    TfrxPageNumbers result;
    QString s = text;
    s.remove(u' ');
    if (s.isEmpty()) return result;
    if (s.endsWith(u'-')) s += QString::number(pageCount);
    s += u',';

    qsizetype itemStart = 0;
    std::optional<int> rangeStart;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c == u'-') {
            // A second "-" in one item ("1-2-3") has no meaning.
            if (rangeStart) invalid(text);
            rangeStart = toNumber(QStringView(s).sliced(itemStart, i - itemStart), text);
            itemStart = i + 1;
        } else if (c == u',') {
            const QStringView digits = QStringView(s).sliced(itemStart, i - itemStart);
            itemStart = i + 1;
            // An empty item between two commas ("1,,3", "1,") names nothing and is passed over.
            if (digits.isEmpty() && !rangeStart) continue;
            const int n = toNumber(digits, text);
            if (rangeStart) {
                result.Append({*rangeStart, n});
                rangeStart.reset();
            } else {
                result.Append({n, n});
            }
        }
    }
    return result;
}

} // namespace frx
