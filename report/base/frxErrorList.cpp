#include "report/base/frxErrorList.h"

#include <algorithm>

namespace frx {

void TfrxErrorList::Add(const QString &line)
{
    Add(TfrxError{.message = line});
}

void TfrxErrorList::Add(TfrxError error)
{
    m_entries.append(std::move(error));
}

QStringList TfrxErrorList::Lines() const
{
    QStringList lines;
    lines.reserve(m_entries.size());
    for (const TfrxError &error : m_entries)
        lines.append(error.message);
    const auto less = [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; };
    const auto same = [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) == 0; };
    std::stable_sort(lines.begin(), lines.end(), less);
    lines.erase(std::unique(lines.begin(), lines.end(), same), lines.end());
    return lines;
}

QString TfrxErrorList::Text() const
{
    QString text;
    for (const QString &line : Lines())
        text += line + QStringLiteral("\r\n");
    return text;
}

} // namespace frx
