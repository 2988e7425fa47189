// Report objects as the report script sees them: published properties through the property registry,
// and the few methods scripts call on text objects, data sets, the report, its engine and outline.
#include "report/objects/frxClass_prepare_p.h"

#include "report/objects/frxDBSet.h"
#include "report/xml/frxXMLSerializer.h"

#include <platform/errors.h>

#include <QRegularExpression>

#include <cmath>

using namespace Qt::StringLiterals;

namespace frx {

namespace {

bool is(const QString &name, QLatin1String wanted)
{
    return name.compare(wanted, Qt::CaseInsensitive) == 0;
}

void expectArguments(const QString &method, const script::VariantList &args, size_t count)
{
    if (args.size() < count) throw platform::Error(u"Not enough actual parameters for %1"_s.arg(method));
}

QString linesText(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines)
        text += line + u"\r\n"_s;
    return text;
}

QStringList textLines(const QString &text)
{
    QStringList lines = text.split(QRegularExpression(u"\r\n|\r|\n"_s));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

// A list of lines (a text object's text, a string list property), read and written as a whole.
class StringsObject : public script::ScriptObject {
public:
    StringsObject(std::function<QStringList()> get, std::function<void(const QStringList &)> set)
        : m_get(std::move(get)), m_set(std::move(set))
    {
    }
    QString scriptClassName() const override { return u"TStrings"_s; }

    bool getProperty(const QString &name, script::Variant &value) override
    {
        if (is(name, "Text"_L1))
            value = linesText(m_get());
        else if (is(name, "Count"_L1))
            value = int(m_get().size());
        else
            return false;
        return true;
    }
    bool setProperty(const QString &name, const script::Variant &value) override
    {
        if (!is(name, "Text"_L1)) return false;
        m_set(textLines(value.toString()));
        return true;
    }
    bool callMethod(const QString &name, script::VariantList &args, script::Variant &result) override
    {
        QStringList lines = m_get();
        if (is(name, "Add"_L1)) {
            expectArguments(name, args, 1);
            lines.append(args[0].toString());
            result = int(lines.size() - 1);
        } else if (is(name, "Clear"_L1)) {
            lines.clear();
        } else if (is(name, "Delete"_L1)) {
            expectArguments(name, args, 1);
            lines.removeAt(checkedIndex(lines, args[0]));
        } else if (is(name, "IndexOf"_L1)) {
            expectArguments(name, args, 1);
            result = int(lines.indexOf(args[0].toString()));
            return true;
        } else {
            return false;
        }
        m_set(lines);
        return true;
    }
    bool getIndexed(const QString &name, const script::VariantList &index, script::Variant &value) override
    {
        if (!name.isEmpty() && !is(name, "Strings"_L1)) return false;
        expectArguments(u"Strings"_s, index, 1);
        const QStringList lines = m_get();
        value = lines.at(checkedIndex(lines, index[0]));
        return true;
    }
    bool setIndexed(const QString &name, const script::VariantList &index,
                    const script::Variant &value) override
    {
        if (!name.isEmpty() && !is(name, "Strings"_L1)) return false;
        expectArguments(u"Strings"_s, index, 1);
        QStringList lines = m_get();
        lines[checkedIndex(lines, index[0])] = value.toString();
        m_set(lines);
        return true;
    }

private:
    static qsizetype checkedIndex(const QStringList &lines, const script::Variant &index)
    {
        const qint64 i = index.toInt64();
        if (i < 0 || i >= lines.size()) throw platform::Error(u"List index out of bounds (%1)"_s.arg(i));
        return qsizetype(i);
    }

    std::function<QStringList()> m_get;
    std::function<void(const QStringList &)> m_set;
};

// A variable collection indexed by name: Report.Variables, frxGlobalVariables.
class VariablesObject : public script::ScriptObject {
public:
    explicit VariablesObject(TfrxVariables *variables) : m_variables(variables) {}
    QString scriptClassName() const override { return u"TfrxVariables"_s; }
    bool getProperty(const QString &name, script::Variant &value) override
    {
        if (!is(name, "Count"_L1)) return false;
        value = m_variables->Count();
        return true;
    }
    bool getIndexed(const QString &name, const script::VariantList &index, script::Variant &value) override
    {
        if (!name.isEmpty() && !is(name, "Variables"_L1)) return false;
        expectArguments(u"Variables"_s, index, 1);
        value = m_variables->Value(index[0].toString());
        return true;
    }
    bool setIndexed(const QString &name, const script::VariantList &index,
                    const script::Variant &value) override
    {
        if (!name.isEmpty() && !is(name, "Variables"_L1)) return false;
        expectArguments(u"Variables"_s, index, 1);
        m_variables->SetValue(index[0].toString(), value);
        return true;
    }

private:
    TfrxVariables *m_variables;
};

// The engine: its published state and the operations scripts may call during a run.
class EngineObject : public script::ScriptObject {
public:
    explicit EngineObject(TfrxCustomEngine *engine) : m_engine(engine) {}
    QString scriptClassName() const override { return u"TfrxEngine"_s; }
    bool isA(const QString &className) const override
    {
        return is(className, "TfrxEngine"_L1) || is(className, "TfrxCustomEngine"_L1);
    }

    bool getProperty(const QString &name, script::Variant &value) override
    {
        TfrxCustomEngine &e = *m_engine;
        if (is(name, "CurY"_L1))
            value = double(e.CurY());
        else if (is(name, "CurX"_L1))
            value = double(e.CurX);
        else if (is(name, "CurColumn"_L1))
            value = e.CurColumn;
        else if (is(name, "CurVColumn"_L1))
            value = e.CurVColumn;
        else if (is(name, "PageHeight"_L1))
            value = double(e.PageHeight);
        else if (is(name, "PageWidth"_L1))
            value = double(e.PageWidth);
        else if (is(name, "FinalPass"_L1))
            value = e.FinalPass();
        else if (is(name, "DoublePass"_L1))
            value = e.DoublePass();
        else if (is(name, "TotalPages"_L1))
            value = e.TotalPages();
        else if (is(name, "SecondScriptCall"_L1))
            value = e.SecondScriptCall;
        else if (is(name, "StartDate"_L1))
            value = script::Variant::fromDateTime(QDate(1899, 12, 30).daysTo(e.StartDate));
        else if (is(name, "StartTime"_L1))
            value = script::Variant::fromDateTime(e.StartTime.msecsSinceStartOfDay() / 86400000.0);
        else
            return false;
        return true;
    }
    bool setProperty(const QString &name, const script::Variant &value) override
    {
        TfrxCustomEngine &e = *m_engine;
        if (is(name, "CurY"_L1))
            e.SetCurY(value.toFloat());
        else if (is(name, "CurX"_L1))
            e.CurX = value.toFloat();
        else if (is(name, "CurColumn"_L1))
            e.CurColumn = value.toInt();
        else if (is(name, "PageHeight"_L1))
            e.PageHeight = value.toFloat();
        else if (is(name, "PageWidth"_L1))
            e.PageWidth = value.toFloat();
        else
            return false;
        return true;
    }
    bool callMethod(const QString &name, script::VariantList &args, script::Variant &result) override
    {
        TfrxCustomEngine &e = *m_engine;
        if (is(name, "NewPage"_L1)) {
            requireRun(name);
            e.NewPage();
        } else if (is(name, "NewColumn"_L1)) {
            requireRun(name);
            e.NewColumn();
        } else if (is(name, "ShowBand"_L1)) {
            expectArguments(name, args, 1);
            requireRun(name);
            if (TfrxComponent *band = TfrxScriptObjects::componentOf(args[0])) {
                auto *b = dynamic_cast<TfrxBand *>(band);
                if (!b) throw platform::Error(u"%1 is not a band"_s.arg(band->Name()));
                e.ShowBand(b);
            } else {
                e.ShowBand(QStringView(args[0].toString()));
            }
        } else if (is(name, "StopReport"_L1)) {
            e.StopReport();
        } else if (is(name, "FreeSpace"_L1)) {
            requireRun(name);
            result = double(e.FreeSpace());
        } else if (is(name, "AddAnchor"_L1)) {
            expectArguments(name, args, 1);
            e.AddAnchor(args[0].toString());
        } else if (is(name, "GetAnchorPage"_L1)) {
            expectArguments(name, args, 1);
            result = e.GetAnchorPage(args[0].toString());
        } else {
            return false;
        }
        return true;
    }

private:
    // Page operations only make sense while pages are being produced.
    void requireRun(const QString &method) const
    {
        if (!m_engine->RunActive)
            throw platform::Error(u"Engine.%1 can only be called while the report runs"_s.arg(method));
    }

    TfrxCustomEngine *m_engine;
};

// The outline of the prepared pages.
class OutlineObject : public script::ScriptObject {
public:
    OutlineObject(TfrxPreviewPages *pages, TfrxCustomEngine *engine) : m_pages(pages), m_engine(engine) {}
    QString scriptClassName() const override { return u"TfrxOutline"_s; }
    bool getProperty(const QString &name, script::Variant &value) override
    {
        if (!is(name, "Count"_L1)) return false;
        value = m_pages->Outline().Count();
        return true;
    }
    bool callMethod(const QString &name, script::VariantList &args, script::Variant &) override
    {
        TfrxOutline &outline = m_pages->Outline();
        if (is(name, "LevelRoot"_L1)) {
            outline.LevelRoot();
        } else if (is(name, "LevelUp"_L1)) {
            outline.LevelUp();
        } else if (is(name, "LevelDown"_L1)) {
            expectArguments(name, args, 1);
            const int index = args[0].toInt();
            if (index < 0 || index >= outline.Count())
                throw platform::Error(u"List index out of bounds (%1)"_s.arg(index));
            outline.LevelDown(index);
        } else if (is(name, "AddItem"_L1)) {
            expectArguments(name, args, 1);
            if (m_pages->Count() == 0) throw platform::Error(u"The outline needs a prepared page"_s);
            outline.AddItem(args[0].toString(), int(std::nearbyint(m_engine->CurY())));
        } else {
            return false;
        }
        return true;
    }

private:
    TfrxPreviewPages *m_pages;
    TfrxCustomEngine *m_engine;
};

} // namespace

// A report object, or one of its value objects (Font, Frame, DisplayFormat) reached by a dotted path.
class TfrxScriptObjects::PropertyObject : public script::ScriptObject {
public:
    PropertyObject(TfrxScriptObjects &host, TfrxComponent *component, QString path, const ClassInfo *cls)
        : m_host(host), m_component(component), m_path(std::move(path)), m_class(cls)
    {
    }
    TfrxComponent *component() const { return m_path.isEmpty() ? m_component : nullptr; }

    QString scriptClassName() const override
    {
        return m_path.isEmpty() ? m_component->ClassName() : m_class->name;
    }
    bool isA(const QString &className) const override
    {
        return m_path.isEmpty() ? m_component->InheritsFrom(className) : m_class->inherits(className);
    }

    bool getProperty(const QString &name, script::Variant &value) override
    {
        if (m_path.isEmpty() && ownProperty(name, value)) return true;
        const QString path = m_path.isEmpty() ? name : m_path + u'.' + name;
        const std::optional<PropPath> resolved = resolveProperty(m_component, path);
        if (!resolved || !resolved->rest.isEmpty()) return false;
        const PropInfo &info = *resolved->info;
        switch (info.kind) {
        case PropKind::Object:
            value = m_host.valueObject(m_component, path, info.objectClass);
            return true;
        case PropKind::StringList:
        case PropKind::TextStore:
            value = m_host.stringsObject(m_component, path);
            return true;
        default:
            value = toVariant(info.value(resolved->target));
            return true;
        }
    }

    bool setProperty(const QString &name, const script::Variant &value) override
    {
        if (m_path.isEmpty() && setOwnProperty(name, value)) return true;
        const QString path = m_path.isEmpty() ? name : m_path + u'.' + name;
        const std::optional<PropPath> resolved = resolveProperty(m_component, path);
        if (!resolved || !resolved->rest.isEmpty() || resolved->info->kind == PropKind::Object) return false;
        if (resolved->info->isReadOnly()) throw platform::Error(u"Property %1 is read-only"_s.arg(name));
        writeProperty(*resolved, fromVariant(*resolved->info, value));
        return true;
    }

    bool callMethod(const QString &name, script::VariantList &args, script::Variant &result) override
    {
        if (!m_path.isEmpty()) return false;
        if (auto *memo = dynamic_cast<TfrxCustomMemoView *>(m_component)) {
            if (is(name, "CalcHeight"_L1)) return result = double(memo->CalcHeight()), true;
            if (is(name, "CalcWidth"_L1)) return result = double(memo->CalcWidth()), true;
        }
        if (auto *ds = dynamic_cast<TfrxDataSet *>(m_component)) {
            if (is(name, "First"_L1)) return ds->First(), true;
            if (is(name, "Next"_L1)) return ds->Next(), true;
            if (is(name, "Prior"_L1)) return ds->Prior(), true;
            if (is(name, "Open"_L1)) return ds->Open(), true;
            if (is(name, "Close"_L1)) return ds->Close(), true;
            if (is(name, "Eof"_L1)) return result = ds->Eof(), true;
        }
        if (auto *report = dynamic_cast<TfrxReport *>(m_component))
            return reportMethod(*report, name, args, result);
        return false;
    }

    bool getIndexed(const QString &name, const script::VariantList &index, script::Variant &value) override
    {
        if (!m_path.isEmpty()) return false;
        if (auto *ds = dynamic_cast<TfrxDataSet *>(m_component)) {
            if (is(name, "Value"_L1) || name.isEmpty()) {
                expectArguments(u"Value"_s, index, 1);
                value = ds->Value(index[0].toString());
                return true;
            }
            if (is(name, "DisplayText"_L1)) {
                expectArguments(name, index, 1);
                value = ds->DisplayText(index[0].toString());
                return true;
            }
        }
        if (auto *report = dynamic_cast<TfrxReport *>(m_component); report && is(name, "Variables"_L1)) {
            expectArguments(name, index, 1);
            value = report->Variables.Value(index[0].toString());
            return true;
        }
        return false;
    }

    bool setIndexed(const QString &name, const script::VariantList &index,
                    const script::Variant &value) override
    {
        if (!m_path.isEmpty()) return false;
        if (auto *report = dynamic_cast<TfrxReport *>(m_component); report && is(name, "Variables"_L1)) {
            expectArguments(name, index, 1);
            report->Variables.SetValue(index[0].toString(), value);
            return true;
        }
        return false;
    }

private:
    // Properties scripts know that the registry does not publish, or reads that should be direct.
    bool ownProperty(const QString &name, script::Variant &value)
    {
        if (auto *memo = dynamic_cast<TfrxCustomMemoView *>(m_component)) {
            if (is(name, "Value"_L1)) return value = memo->Value, true;
            if (is(name, "Text"_L1)) return value = memo->Text(), true;
            if (is(name, "AnsiText"_L1)) return value = memo->AnsiText(), true;
            if (is(name, "Lines"_L1)) return value = m_host.stringsObject(m_component, u"Memo"_s), true;
        }
        if (auto *ds = dynamic_cast<TfrxDataSet *>(m_component)) {
            if (is(name, "Eof"_L1)) return value = ds->Eof(), true;
            if (is(name, "RecNo"_L1)) return value = ds->RecNo, true;
            if (is(name, "RecordCount"_L1)) return value = ds->RecordCount(), true;
        }
        if (auto *band = dynamic_cast<TfrxBand *>(m_component)) {
            if (is(name, "Overflow"_L1)) return value = band->Overflow, true;
            if (is(name, "RowNo"_L1)) return value = band->RowNo, true;
            if (is(name, "RowNoThrough"_L1)) return value = band->RowNoThrough, true;
        }
        if (auto *report = dynamic_cast<TfrxReport *>(m_component)) {
            if (is(name, "Variables"_L1)) return value = m_host.variablesObject(&report->Variables), true;
            if (is(name, "Terminated"_L1)) return value = report->Terminated, true;
            if (is(name, "Engine"_L1)) return value = m_host.engineObject(), true;
        }
        return false;
    }

    bool setOwnProperty(const QString &name, const script::Variant &value)
    {
        if (auto *memo = dynamic_cast<TfrxCustomMemoView *>(m_component)) {
            if (is(name, "Value"_L1)) return memo->Value = value, true;
            if (is(name, "Text"_L1)) return memo->SetText(value.toString()), true;
            if (is(name, "AnsiText"_L1)) return memo->SetAnsiText(value.toString()), true;
        }
        if (auto *report = dynamic_cast<TfrxReport *>(m_component); report && is(name, "Terminated"_L1)) {
            report->Terminated = value.toBool();
            if (report->Terminated) m_host.requestStop();
            return true;
        }
        return false;
    }

    bool reportMethod(TfrxReport &report, const QString &name, script::VariantList &args,
                      script::Variant &result)
    {
        if (is(name, "Calc"_L1)) {
            expectArguments(name, args, 1);
            result = m_host.calcForScript(args[0].toString());
            return true;
        }
        const bool load = is(name, "LoadFromFile"_L1), save = is(name, "SaveToFile"_L1);
        const bool show = is(name, "ShowReport"_L1), prepare = is(name, "PrepareReport"_L1);
        if (!load && !save && !show && !prepare) return false;
        // Loading or preparing again would destroy the objects the running script works on.
        if ((load || show || prepare) && m_host.preparing())
            throw platform::Error(u"%1 cannot be called while the report is being prepared"_s.arg(name));
        if (load || save) expectArguments(name, args, 1);
        if (load)
            result = LoadFromFile(report, args[0].toString());
        else if (save)
            SaveToFile(report, args[0].toString());
        else if (show)
            report.ShowReport(args.empty() || args[0].toBool());
        else
            result = report.PrepareReport(args.empty() || args[0].toBool());
        return true;
    }

    script::Variant toVariant(const PropValue &value)
    {
        if (const auto *i = std::get_if<qint64>(&value)) return script::Variant(*i);
        if (const auto *f = std::get_if<Extended>(&value)) return script::Variant(double(*f));
        if (const auto *b = std::get_if<bool>(&value)) return script::Variant(*b);
        if (const auto *s = std::get_if<QString>(&value)) return script::Variant(*s);
        if (const auto *c = std::get_if<TfrxComponent *>(&value)) return m_host.objectFor(*c);
        return {};
    }

    PropValue fromVariant(const PropInfo &info, const script::Variant &value)
    {
        switch (info.kind) {
        case PropKind::Enum:
            if (value.isString()) return value.stringRef();
            return value.toInt64();
        case PropKind::Integer:
        case PropKind::Set:
            return value.toInt64();
        case PropKind::Float:
            return Extended(value.toFloat());
        case PropKind::Boolean:
            return value.toBool();
        case PropKind::String:
            return value.toString();
        case PropKind::Component:
            return TfrxScriptObjects::componentOf(value);
        case PropKind::StringList:
        case PropKind::TextStore:
            return textLines(value.toString());
        case PropKind::Object:
            break;
        }
        return {};
    }

    TfrxScriptObjects &m_host;
    TfrxComponent *m_component;
    QString m_path;
    const ClassInfo *m_class;
};

TfrxScriptObjects::TfrxScriptObjects(TfrxReportRun &run) : m_run(run) {}

TfrxScriptObjects::~TfrxScriptObjects() = default;

void TfrxScriptObjects::clear()
{
    m_objects.clear();
    m_others.clear();
    m_engine = m_outline = nullptr;
    m_arrays = 0;
}

script::Variant TfrxScriptObjects::objectFor(TfrxComponent *component)
{
    if (!component) return {};
    return valueObject(component, QString(), component->classInfo());
}

script::Variant TfrxScriptObjects::valueObject(TfrxComponent *component, const QString &path,
                                               const ClassInfo *cls)
{
    std::unique_ptr<script::ScriptObject> &slot = m_objects[{component, path.toLower()}];
    if (!slot) slot = std::make_unique<PropertyObject>(*this, component, path, cls);
    return slot.get();
}

script::Variant TfrxScriptObjects::stringsObject(TfrxComponent *component, const QString &path)
{
    std::unique_ptr<script::ScriptObject> &slot = m_objects[{component, u"#"_s + path.toLower()}];
    if (!slot) {
        if (auto *memo = dynamic_cast<TfrxCustomMemoView *>(component); memo && is(path, "Memo"_L1))
            slot = std::make_unique<StringsObject>([memo] { return memo->Memo().lines(); },
                                                   [memo](const QStringList &lines) {
                                                       memo->Lines().Clear();
                                                       for (const QString &line : lines)
                                                           memo->Lines().Add(line);
                                                   });
        else
            slot = std::make_unique<StringsObject>(
                [component, path] {
                    const PropValue v = readProperty(component, path);
                    const auto *lines = std::get_if<QStringList>(&v);
                    return lines ? *lines : QStringList();
                },
                [component, path](const QStringList &lines) { writeProperty(component, path, lines); });
    }
    return slot.get();
}

script::Variant TfrxScriptObjects::variablesObject(TfrxVariables *variables)
{
    std::unique_ptr<script::ScriptObject> &slot = m_objects[{variables, QString()}];
    if (!slot) slot = std::make_unique<VariablesObject>(variables);
    return slot.get();
}

script::Variant TfrxScriptObjects::engineObject()
{
    if (!m_engine) {
        m_others.push_back(std::make_unique<EngineObject>(&m_run.engine));
        m_engine = m_others.back().get();
    }
    return m_engine;
}

script::Variant TfrxScriptObjects::outlineObject()
{
    if (!m_outline) {
        m_others.push_back(std::make_unique<OutlineObject>(&m_run.pages, &m_run.engine));
        m_outline = m_others.back().get();
    }
    return m_outline;
}

TfrxComponent *TfrxScriptObjects::componentOf(const script::Variant &value)
{
    if (!value.isObject()) return nullptr;
    auto *object = dynamic_cast<PropertyObject *>(value.objectValue());
    return object ? object->component() : nullptr;
}

void TfrxScriptObjects::requestStop()
{
    m_run.script.requestStop();
    m_run.expressionScript.requestStop();
}

bool TfrxScriptObjects::preparing() const
{
    return m_run.preparing;
}

script::Variant TfrxScriptObjects::calcForScript(const QString &expression)
{
    try {
        m_run.calcForScript = true;
        return m_run.report->Calc(expression);
    } catch (const platform::Error &e) {
        m_run.calcForScript = false;
        throw script::ScriptError::runtime(u"Error in Calc expression: "_s + e.message());
    }
}

} // namespace frx
