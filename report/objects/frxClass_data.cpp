// How report objects take their data for the current record, and how the report evaluates the
// expressions of their texts.
#include "report/objects/frxClass_prepare_p.h"

#include "report/objects/frxDBSet.h"
#include "report/base/frxErrorList.h"
#include "report/base/frxRes.h"
#include "script/formats.h"

#include <utility>

namespace frx {

namespace {

bool isZero(const script::Variant &value)
{
    if (value.isNull() || value.isString()) return false;
    try {
        return value.toFloat() == 0;
    } catch (const platform::Error &) {
        return false;
    }
}

// Replaces each [expression] of a tag text by its value as text; inserted text is not scanned again.
QString expandTags(TfrxReport *report, QString s)
{
    const QString open = QStringLiteral("["), close = QStringLiteral("]");
    qsizetype i = 0;
    while (true) {
        while (i < s.size() - 1 && s.at(i) != QLatin1Char('['))
            ++i;
        qsizetype j = 0;
        const QString expression = FindDelimited(s, open, close, i, j);
        if (j == i) break;
        const QString value = report->Calc(expression).toString();
        s.remove(i, j - i + 1);
        s.insert(i, value);
        i += value.size();
    }
    return s;
}

} // namespace

QString FindDelimited(const QString &text, const QString &open, const QString &close, qsizetype &start,
                      qsizetype &end)
{
    end = start;
    if (text.isEmpty() || text.size() <= start) return {};
    int depth = 0;
    bool inDouble = false, inSingle = false;
    for (qsizetype j = start; j < text.size(); ++j) {
        end = j;
        const QChar c = text.at(j);
        if (!inDouble && !inSingle) {
            if (QStringView(text).mid(j).startsWith(open)) {
                if (depth == 0) start = j;
                ++depth;
            } else if (QStringView(text).mid(j).startsWith(close)) {
                --depth;
            }
        }
        if (c == QLatin1Char('"') && !inSingle)
            inDouble = !inDouble;
        else if (c == QLatin1Char('\'') && !inDouble)
            inSingle = !inSingle;
        if (depth == 0) break;
    }
    if (depth != 0) end = text.size() - 1; // an unclosed expression runs to the end of the text
    const qsizetype from = start + open.size();
    const qsizetype length = end - start - open.size();
    if (end == start) return {};
    if (depth == 0) end += close.size() - 1;
    return text.mid(from, std::max<qsizetype>(0, length));
}

QString FormatValue(const script::Variant &value, const TfrxFormat &format, int ansiCodePage)
{
    if (value.isNull()) return {};
    try {
        switch (format.Kind) {
        case fkText:
            break;
        case fkNumeric: {
            QString result;
            if (format.FormatStr.contains(QLatin1Char('#')))
                result = script::formats::formatFloat(format.FormatStr, value.toFloat());
            else if (!format.FormatStr.contains(QLatin1Char('d')) &&
                     !format.FormatStr.contains(QLatin1Char('u')))
                result = script::formats::format(format.FormatStr, {script::Variant(value.toFloat())});
            else
                result = script::formats::format(format.FormatStr, {script::Variant(value.toInt())});
            if (format.DecimalSeparator.size() == 1 && format.DecimalSeparator != QLatin1String("."))
                result.replace(QLatin1Char('.'), format.DecimalSeparator);
            return result;
        }
        case fkDateTime:
            return script::formats::formatDateTime(format.FormatStr, value.toDateTime());
        case fkBoolean: {
            const qsizetype comma = format.FormatStr.indexOf(QLatin1Char(','));
            const QString yes = format.FormatStr.left(comma < 0 ? format.FormatStr.size() : comma);
            const QString no = comma < 0 ? QString() : format.FormatStr.mid(comma + 1);
            bool isTrue = false;
            try {
                isTrue = script::Variant::equals(value, true);
            } catch (const platform::Error &) {
                // a value that is no Boolean is simply not true
            }
            return isTrue ? yes : no;
        }
        }
    } catch (const platform::Error &) {
    }
    QString text;
    try {
        text = value.toString();
    } catch (const platform::Error &) {
        return {};
    }
    return ansiCodePage == 0 ? text : platform::throughCodePage(ansiCodePage, text);
}

// ---- views ----

void TfrxView::GetData()
{
    TfrxReport *report = OwnerReport();
    if (!report) return;
    if (TagStr.contains(QLatin1Char('['))) TagStr = expandTags(report, TagStr);
    if (URL.contains(QLatin1Char('['))) URL = expandTags(report, URL);
}

// ---- text objects ----

void TfrxCustomMemoView::BeforePrint()
{
    TfrxStretcheable::BeforePrint();
    if (!IsDataField()) m_savedMemo = m_memo;
}

void TfrxCustomMemoView::AfterPrint()
{
    if (!IsDataField()) m_memo = m_savedMemo;
    TfrxStretcheable::AfterPrint();
}

void TfrxCustomMemoView::GetData()
{
    TfrxStretcheable::GetData();
    TfrxReport *report = OwnerReport();
    if (IsDataField()) {
        auto *ds = dynamic_cast<TfrxDataSet *>(DataSet());
        if (ds && ds->IsBlobField(DataField)) {
            ds->AssignBlobTo(DataField, m_memo);
        } else if (ds) {
            // Our data sets deliver Unicode, so the field's text taken in the code page of the
            // font's character set is the text as it survives that code page.
            Value = ds->Value(DataField);
            QString text;
            if (m_displayFormat.Kind != fkText) {
                text = FormatValue(Value, m_displayFormat);
            } else {
                text = ds->DisplayText(DataField);
                if (const int codePage = AnsiCodePage(); codePage != 0)
                    text = platform::throughCodePage(codePage, text);
            }
            if (HideZeros && isZero(Value)) text.clear();
            m_memo.setText(text);
        }
    } else if (AllowExpressions && report) {
        const qsizetype comma = ExpressionDelimiters.indexOf(QLatin1Char(','));
        const QString open = ExpressionDelimiters.left(comma < 0 ? ExpressionDelimiters.size() : comma);
        const QString close = comma < 0 ? QString() : ExpressionDelimiters.mid(comma + 1, 255);
        // Texts without an opening delimiter, the usual case, never reach the expression code.
        const QStringList &lines = m_memo.lines();
        bool hasOpen = false;
        for (const QString &line : lines)
            hasOpen = hasOpen || (!open.isEmpty() && line.contains(open));
        if (hasOpen) {
            QString s = m_memo.Text();
            s.chop(2); // the last line's CR LF
            qsizetype i = 0;
            while (true) {
                while (i < s.size() - 1 && !QStringView(s).mid(i).startsWith(open))
                    ++i;
                qsizetype j = 0;
                const QString expression = FindDelimited(s, open, close, i, j);
                if (j == i) break;
                const QString value = report->EvaluateAndFormat(this, expression);
                s.remove(i, j - i + 1);
                s.insert(i, value);
                i += value.size();
            }
            m_memo.setText(s);
        }
    }
    if (report) report->SetScriptValue(Value);
    if (report && !m_highlight.Condition.isEmpty())
        m_highlight.Active = report->Calc(m_highlight.Condition).toBool();
    else
        m_highlight.Active = false;
    if (SuppressRepeated) {
        const QString text = m_memo.Text();
        if (m_hasLastValue && text == m_lastValue) {
            m_memo.Clear();
        } else {
            m_lastValue = text;
            m_hasLastValue = true;
        }
    }
    if (m_flowTo) FlowRest(report);
}

bool TfrxCustomMemoView::FlowsBackToItself() const
{
    // A chain that does not come back is at most as long as the report has objects; the visited list
    // bounds the walk for any other shape.
    QList<const TfrxCustomMemoView *> visited;
    for (const TfrxCustomMemoView *next = m_flowTo; next; next = next->m_flowTo) {
        if (next == this) return true;
        if (visited.contains(next)) return false;
        visited.append(next);
    }
    return false;
}

void TfrxCustomMemoView::FlowRest(TfrxReport *report)
{
    if (FlowsBackToItself()) {
        if (report)
            report->ErrorList.Add(TfrxError{
                .object = Name(),
                .message = frxGet(QStringLiteral("enFlowToLoop")).replace(QStringLiteral("%s"), Name())});
        return;
    }
    InitPart();
    DrawPart();
    // The rest is text already evaluated; the target must not take its brackets as expressions.
    m_flowTo->SetText(PartText());
    m_flowTo->AllowExpressions = false;
}

// ---- expressions ----

QString TfrxReport::EvaluateAndFormat(TfrxCustomMemoView *memo, QString expression)
{
    TfrxFormat built;
    bool hasFormat = false;
    const qsizetype hash = expression.indexOf(QStringLiteral(" #"));
    if (hash >= 0) {
        QString f = expression.mid(hash + 2);
        if (!f.contains(QLatin1Char(')'))) {
            expression.truncate(hash);
            hasFormat = true;
            const QChar kind = f.isEmpty() ? QChar() : f.at(0).toLower();
            if (kind == QLatin1Char('n')) {
                built.Kind = fkNumeric;
                for (QChar &c : f)
                    if (c == QLatin1Char(',') || c == QLatin1Char('-') || c == QLatin1Char('.')) {
                        built.DecimalSeparator = QString(c);
                        c = QLatin1Char('.');
                    }
            } else if (kind == QLatin1Char('d') || kind == QLatin1Char('t')) {
                built.Kind = fkDateTime;
            } else if (kind == QLatin1Char('b')) {
                built.Kind = fkBoolean;
            }
            built.FormatStr = f.mid(1, 255);
        }
    }
    const int codePage = memo->AnsiCodePage();
    if (expression.compare(QLatin1String("TOTALPAGES#"), Qt::CaseInsensitive) == 0)
        memo->Value = QStringLiteral("[TotalPages#]");
    else if (expression.compare(QLatin1String("COPYNAME#"), Qt::CaseInsensitive) == 0)
        memo->Value = QStringLiteral("[CopyName#]");
    else
        memo->Value = Calc(codePage == 0 ? expression : platform::throughCodePage(codePage, expression));
    if (memo->HideZeros && isZero(memo->Value)) return {};
    return FormatValue(memo->Value, hasFormat ? built : memo->DisplayFormat(), codePage);
}

script::Variant TfrxReport::Calc(const QString &expression)
{
    TfrxReportRun &r = run();
    const bool forScript = std::exchange(r.calcForScript, false);
    script::Variant value;
    if (ResolveName(expression, value)) return value;
    QString message;
    try {
        const QString key = expression.toLower();
        auto it = r.expressions.find(key);
        if (it == r.expressions.end()) {
            if (r.language.compare(QLatin1String("PascalScript"), Qt::CaseInsensitive) != 0)
                throw platform::Error(QStringLiteral("script language %1 is not supported").arg(r.language));
            try {
                it = r.expressions.emplace(key, r.expressionScript.compileExpression(expression)).first;
            } catch (const script::ScriptError &e) {
                throw platform::Error(frxGet(QStringLiteral("clExprError")) + QStringLiteral(" '") +
                                      expression + QStringLiteral("': ") + e.message());
            }
        }
        return it->second->evaluate();
    } catch (const script::ScriptError &e) {
        // An expression that called StopReport ends quietly, like the script events.
        if (e.kind() == script::ScriptError::Kind::Stopped && Terminated) return {};
        message = e.message();
    } catch (const platform::Error &e) {
        message = e.message();
    }
    if (forScript) throw platform::Error(message);
    if (!CurObject.isEmpty()) message = CurObject + QStringLiteral(": ") + message;
    ErrorList.Add(TfrxError{.source = TfrxErrorSource::Script, .object = CurObject, .message = message});
    throw platform::Error(message);
}

bool TfrxReport::ResolveName(const QString &name, script::Variant &value)
{
    QString alias, field;
    if (splitFieldReference(name, alias, field)) {
        auto *ds = dynamic_cast<TfrxDataSet *>(GetDataset(alias));
        if (ds && !field.isEmpty()) {
            value = ds->Value(field);
            if (value.isNull() && EngineOptions.ConvertNulls) {
                switch (ds->FieldType(field)) {
                case fftNumeric:
                    value = 0;
                    break;
                case fftString:
                    value = QString();
                    break;
                case fftBoolean:
                    value = false;
                    break;
                }
            }
            return true;
        }
    }
    TfrxReportRun &r = run();
    const auto is = [&name](QLatin1String system) { return name.compare(system, Qt::CaseInsensitive) == 0; };
    if (name.size() <= 11) {
        if (is(QLatin1String("Date"))) {
            value = script::Variant::fromDateTime(QDate(1899, 12, 30).daysTo(r.engine.StartDate));
            return true;
        }
        if (is(QLatin1String("Time"))) {
            value = script::Variant::fromDateTime(r.engine.StartTime.msecsSinceStartOfDay() / 86400000.0);
            return true;
        }
        if (is(QLatin1String("Page"))) return value = r.pages.LogicalPageNo(), true;
        if (is(QLatin1String("Page#"))) return value = r.pages.PageIndex() + 1, true;
        if (is(QLatin1String("TotalPages"))) return value = r.pages.LogicalPageCount(), true;
        if (is(QLatin1String("TotalPages#"))) return value = r.engine.TotalPages(), true;
        if (is(QLatin1String("Line"))) return value = r.engine.CurrentLine, true;
        if (is(QLatin1String("Line#"))) return value = r.engine.CurrentLineThrough, true;
        if (is(QLatin1String("CopyName#")))
            return value = frxGlobalVariables().Value(QStringLiteral("CopyName0")), true;
    }
    if (OnGetValue) {
        script::Variant got;
        OnGetValue(name, got);
        if (!got.isNull()) return value = got, true;
    }
    const int index = Variables.IndexOf(name);
    if (index >= 0) {
        // A copy: the expression may change the variables while it runs.
        const script::Variant v = Variables.Items(index)->Value;
        // A string is an expression, unless it spans lines: then it is the text itself.
        if (v.isString() && !v.stringRef().contains(QStringLiteral("\r\n"))) {
            // A variable whose expression names itself, directly or through others, is refused
            // where the circle closes instead of being followed until the stack runs out.
            const QString key = name.toLower();
            if (r.resolving.contains(key)) {
                QString message = QStringLiteral("变量 %1 循环引用了自身").arg(name);
                if (!CurObject.isEmpty()) message = CurObject + QStringLiteral(": ") + message;
                throw platform::Error(message);
            }
            r.resolving.append(key);
            try {
                value = Calc(v.stringRef());
            } catch (...) {
                r.resolving.removeLast();
                throw;
            }
            r.resolving.removeLast();
        } else {
            value = v;
        }
        return true;
    }
    const int global = frxGlobalVariables().IndexOf(name);
    if (global >= 0) {
        value = frxGlobalVariables().Items(global)->Value;
        return true;
    }
    return r.script.globalValue(name, value);
}

} // namespace frx
