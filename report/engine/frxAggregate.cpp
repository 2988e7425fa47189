#include "report/engine/frxAggregate.h"

#include "report/objects/frxClass.h"

#include <platform/errors.h>

namespace frx {

namespace {

bool isIdentifierStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool isIdentifierPart(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// Index just past the quoted string that starts at `i` (the quote itself), or the text's end.
qsizetype skipQuoted(const QString &text, qsizetype i)
{
    const QChar quote = text.at(i);
    for (++i; i < text.size(); ++i)
        if (text.at(i) == quote) return i + 1;
    return text.size();
}

// Index of the parenthesis closing the one at `open`, or -1 when it is never closed.
qsizetype matchingParenthesis(const QString &text, qsizetype open)
{
    int depth = 0;
    for (qsizetype i = open; i < text.size();) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            i = skipQuoted(text, i);
            continue;
        }
        if (c == QLatin1Char('(')) ++depth;
        if (c == QLatin1Char(')') && --depth == 0) return i;
        ++i;
    }
    return -1;
}

// The arguments of a call split at the commas outside parentheses, brackets and quotes, trimmed.
QStringList splitArguments(const QString &text)
{
    QStringList result;
    int depth = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            i = skipQuoted(text, i);
            continue;
        }
        if (c == QLatin1Char('(') || c == QLatin1Char('[') || c == QLatin1Char('<')) ++depth;
        if (c == QLatin1Char(')') || c == QLatin1Char(']') || c == QLatin1Char('>')) --depth;
        if (c == QLatin1Char(',') && depth == 0) {
            result.append(text.mid(start, i - start).trimmed());
            start = i + 1;
        }
        ++i;
    }
    result.append(text.mid(start).trimmed());
    return result;
}

// Flags written in a call: a number, or 0 for anything else.
int flagsOf(const QString &text)
{
    bool ok = false;
    const int flags = text.trimmed().toInt(&ok);
    return ok ? flags : 0;
}

// The band and its child bands.
QList<TfrxBand *> footerChain(TfrxBand *footer)
{
    QList<TfrxBand *> chain;
    for (TfrxBand *band = footer; band && !chain.contains(band); band = band->Child())
        chain.append(band);
    return chain;
}

// Whether the object was moved into `holder` from a band that prints totals: it is collected with that
// band instead.
bool movedFromTotalBand(const TfrxComponent *object, const TfrxBand *holder)
{
    const TfrxComponent *source = object->SourceBand;
    if (!source || source == holder) return false;
    return dynamic_cast<const TfrxFooter *>(source) || dynamic_cast<const TfrxGroupFooter *>(source) ||
           dynamic_cast<const TfrxReportSummary *>(source) || dynamic_cast<const TfrxPageFooter *>(source) ||
           dynamic_cast<const TfrxColumnFooter *>(source);
}

// Combines V into an accumulated value the way the function adds a row.
void combine(TfrxAggregateFunction function, script::Variant &value, const script::Variant &v)
{
    if (value.isNull()) {
        value = v;
        return;
    }
    if (v.isNull()) return;
    switch (function) {
    case agSum:
    case agAvg:
        value = script::Variant::add(value, v);
        break;
    case agMin:
        if (script::Variant::compare(v, value) < 0) value = v;
        break;
    case agMax:
        if (script::Variant::compare(v, value) > 0) value = v;
        break;
    case agCount:
        break;
    }
}

// Adds one row's value to a value and count.
void addRow(TfrxAggregateFunction function, script::Variant &value, int &count, const script::Variant &v)
{
    if (function != agAvg || !v.isNull()) ++count;
    combine(function, value, v);
}

} // namespace

void TfrxAggregateItem::Reset(bool keptRowsToo)
{
    Value = script::Variant();
    Count = 0;
    LastValue = script::Variant();
    LastCount = 0;
    if (keptRowsToo) {
        KeepValue = script::Variant();
        KeepCount = 0;
    }
    VValues.clear();
    VCounts.clear();
}

script::Variant TfrxAggregateItem::Result(int vColumn) const
{
    static const script::Variant none;
    const bool stored = vColumn >= 1 && size_t(vColumn) < VValues.size();
    const script::Variant &value = stored ? VValues[size_t(vColumn)] : vColumn >= 1 ? none : Value;
    const int count = stored ? VCounts[size_t(vColumn)] : vColumn >= 1 ? 0 : Count;
    script::Variant result;
    switch (Function) {
    case agAvg:
        if (!value.isNull() && count > 0) result = script::Variant::divide(value, count);
        break;
    case agCount:
        result = count;
        break;
    default:
        result = value;
    }
    return result.isNull() ? script::Variant(0) : result;
}

bool TfrxAggregateList::functionOf(QStringView name, TfrxAggregateFunction &function)
{
    static const QLatin1String names[] = {QLatin1String("SUM"), QLatin1String("AVG"), QLatin1String("MIN"),
                                          QLatin1String("MAX"), QLatin1String("COUNT")};
    for (int i = 0; i < 5; ++i)
        if (name.compare(names[i], Qt::CaseInsensitive) == 0) {
            function = TfrxAggregateFunction(i);
            return true;
        }
    return false;
}

void TfrxAggregateList::Clear()
{
    m_items.clear();
    m_keeping = false;
}

void TfrxAggregateList::Collect(TfrxBand *dataBand, TfrxBand *footer)
{
    for (TfrxBand *band : footerChain(footer)) {
        for (TfrxComponent *object : band->AllObjects())
            if (!movedFromTotalBand(object, band)) collectMemo(object, dataBand, band);
        if (band->Vertical) continue;
        auto *page = dynamic_cast<TfrxReportPage *>(band->Parent());
        if (!page) continue;
        for (TfrxComponent *child : page->Objects())
            if (auto *vertical = dynamic_cast<TfrxBand *>(child); vertical && vertical->Vertical)
                for (TfrxComponent *object : vertical->AllObjects())
                    if (object->SourceBand == band) collectMemo(object, dataBand, band);
    }
}

void TfrxAggregateList::collectMemo(TfrxComponent *object, TfrxBand *dataBand, TfrxBand *footer)
{
    auto *memo = dynamic_cast<TfrxCustomMemoView *>(object);
    if (!memo || !memo->AllowExpressions) return;
    const qsizetype comma = memo->ExpressionDelimiters.indexOf(QLatin1Char(','));
    const QString open =
        memo->ExpressionDelimiters.left(comma < 0 ? memo->ExpressionDelimiters.size() : comma);
    const QString close = comma < 0 ? QString() : memo->ExpressionDelimiters.mid(comma + 1, 255);
    if (open.isEmpty()) return;
    const auto *holder = dynamic_cast<const TfrxBand *>(object->Parent());
    const bool perColumn = holder && holder->Vertical && !footer->Vertical;
    const size_t first = m_items.size();
    const QString text = memo->Text();
    qsizetype i = 0;
    while (i < text.size()) {
        i = text.indexOf(open, i);
        if (i < 0) break;
        qsizetype j = 0;
        const QString expression = FindDelimited(text, open, close, i, j);
        if (j == i) break;
        scan(expression, dataBand, footer, memo->Name(), 0);
        i = j + 1;
    }
    for (size_t k = first; k < m_items.size(); ++k)
        m_items[k]->PerColumn = perColumn;
}

void TfrxAggregateList::scan(const QString &text, TfrxBand *dataBand, TfrxBand *footer,
                             const QString &memoName, int depth)
{
    // Report variables may name each other; a cycle ends here instead of recursing for ever.
    if (depth > 16) return;
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            i = skipQuoted(text, i);
            continue;
        }
        if (!isIdentifierStart(c)) {
            ++i;
            continue;
        }
        qsizetype end = i + 1;
        while (end < text.size() && isIdentifierPart(text.at(end)))
            ++end;
        const QString name = text.mid(i, end - i);
        qsizetype next = end;
        while (next < text.size() && text.at(next).isSpace())
            ++next;
        TfrxAggregateFunction function;
        if (next < text.size() && text.at(next) == QLatin1Char('(') && functionOf(name, function)) {
            const qsizetype close = matchingParenthesis(text, next);
            const qsizetype stop = close < 0 ? text.size() : close;
            addCall(name, text.mid(next + 1, stop - next - 1), dataBand, footer, memoName,
                    text.mid(i, stop + 1 - i));
            i = stop + 1;
            continue;
        }
        const int index = m_report->Variables.IndexOf(name);
        if (index >= 0 && m_report->Variables.Items(index)->Value.isString())
            scan(m_report->Variables.Items(index)->Value.stringRef(), dataBand, footer, memoName, depth + 1);
        i = end;
    }
}

void TfrxAggregateList::addCall(const QString &name, const QString &arguments, TfrxBand *dataBand,
                                TfrxBand *footer, const QString &memoName, const QString &callText)
{
    auto item = std::make_unique<TfrxAggregateItem>();
    functionOf(name, item->Function);
    const QStringList args = splitArguments(arguments);
    QString bandName;
    int flags = 0;
    if (item->Function == agCount) {
        bandName = args.value(0);
        flags = flagsOf(args.value(1));
    } else {
        item->Expression = args.value(0);
        bandName = args.value(1);
        flags = flagsOf(args.value(2));
    }
    TfrxBand *band = nullptr;
    if (!bandName.isEmpty() && bandName != QLatin1String("0"))
        band = dynamic_cast<TfrxBand *>(m_report->FindObject(bandName));
    item->DataBand = band ? band : dataBand;
    item->FooterBand = footer;
    item->MemoName = memoName;
    item->CallText = callText;
    item->CountHidden = flags & afCountHidden;
    item->RunningTotal = flags & afRunningTotal;
    item->IsPageFooter = dynamic_cast<TfrxPageFooter *>(footer) != nullptr;
    item->Reset(true);
    m_items.push_back(std::move(item));
}

void TfrxAggregateList::Accumulate(TfrxBand *band, int vColumn)
{
    for (auto &item : m_items) {
        if (item->DataBand != band || (item->PerColumn && vColumn < 1)) continue;
        if (!band->Visible() && !item->CountHidden) continue;
        m_report->CurObject = item->MemoName;
        script::Variant v;
        if (item->Function != agCount) v = m_report->Calc(item->Expression);
        if (v.type() == script::Variant::Type::Boolean) v = v.boolValue() ? 1 : 0;
        if (vColumn >= 1) {
            if (item->VValues.size() <= size_t(vColumn)) {
                item->VValues.resize(size_t(vColumn) + 1);
                item->VCounts.resize(size_t(vColumn) + 1);
            }
            addRow(item->Function, item->VValues[size_t(vColumn)], item->VCounts[size_t(vColumn)], v);
        } else if (m_keeping && item->IsPageFooter) {
            addRow(item->Function, item->KeepValue, item->KeepCount, v);
        } else {
            item->LastValue = item->Value;
            item->LastCount = item->Count;
            addRow(item->Function, item->Value, item->Count, v);
        }
    }
}

void TfrxAggregateList::Retract(TfrxBand *band)
{
    for (auto &item : m_items)
        if (item->DataBand == band) {
            item->Value = item->LastValue;
            item->Count = item->LastCount;
        }
}

void TfrxAggregateList::Restart(TfrxBand *footer)
{
    for (auto &item : m_items)
        if (item->FooterBand == footer && !(item->RunningTotal && item->Count > 0)) item->Reset(false);
}

void TfrxAggregateList::HoldForKeep()
{
    m_keeping = true;
    for (auto &item : m_items)
        if (item->IsPageFooter) {
            item->KeepValue = script::Variant();
            item->KeepCount = 0;
        }
}

void TfrxAggregateList::ReleaseKeep()
{
    if (!m_keeping) return;
    m_keeping = false;
    for (auto &item : m_items) {
        if (!item->IsPageFooter) continue;
        item->Count += item->KeepCount;
        combine(item->Function, item->Value, item->KeepValue);
        item->KeepValue = script::Variant();
        item->KeepCount = 0;
    }
}

void TfrxAggregateList::RestartAll()
{
    for (auto &item : m_items)
        item->Reset(true);
}

script::Variant TfrxAggregateList::ValueFor(TfrxBand *footer, int vColumn, int flags, TfrxBand *band,
                                            const QString &expression, const QString &function) const
{
    TfrxAggregateFunction wanted;
    if (!functionOf(function, wanted)) return {};
    const QString trimmed = expression.trimmed();
    const bool countHidden = flags & afCountHidden, runningTotal = flags & afRunningTotal;
    for (const auto &item : m_items) {
        if (item->FooterBand != footer || item->Function != wanted) continue;
        if (item->PerColumn && vColumn < 1) continue;
        if (item->Expression.compare(trimmed, Qt::CaseInsensitive) != 0) continue;
        if (band && item->DataBand != band) continue;
        if (item->CountHidden != countHidden || item->RunningTotal != runningTotal) continue;
        return item->Result(vColumn);
    }
    return {};
}

} // namespace frx
