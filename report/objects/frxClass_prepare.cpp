#include "report/objects/frxClass_prepare_p.h"

#include "report/objects/frxDBSet.h"
#include "report/base/frxHost.h"
#include "report/base/frxMessages.h"
#include "report/base/frxRes.h"
#include "report/xml/frxXMLSerializer.h"

#include <QBuffer>
#include <QSet>

namespace frx {

// ---- progress ----

void TfrxReportRun::ProgressStart(TfrxProgressType kind)
{
    if (report->EngineOptions.ThreadSafe) return;
    if (report->OnProgressStart) report->OnProgressStart(kind);
    if (!progressWindow) progressWindow = frxHost().CreateProgressWindow(report);
    if (progressWindow) progressWindow->Start(kind);
    if (kind == ptRunning)
        if (TfrxPreparationObserver *o = observer()) o->PreparationStarted();
    frxProcessMessages(true);
}

void TfrxReportRun::Progress(TfrxProgressType kind, int pageNo)
{
    if (report->EngineOptions.ThreadSafe) return;
    if (report->OnProgress) report->OnProgress(kind, pageNo);
    if (progressWindow) {
        const bool firstPass = kind == ptRunning && report->EngineOptions.DoublePass && !engine.FinalPass();
        progressWindow->Progress(kind, pageNo, firstPass);
    }
    if (kind == ptRunning) {
        if (ownPreview) {
            const bool firstPass = report->EngineOptions.DoublePass && !engine.FinalPass();
            ownPreview->ShowMessage(
                frxGet(firstPass ? QStringLiteral("prRunningFirst") : QStringLiteral("prRunning"))
                    .replace(QStringLiteral("%d"), QString::number(pageNo)));
        }
        if (TfrxPreparationObserver *o = observer()) o->PageProduced(pageNo - 1);
    }
    // The first pages are shown at once; after them, a message pass per page would cost more than
    // the page (each repaints whatever changed).
    frxProcessMessages(pageNo <= 2);
}

void TfrxReportRun::ProgressStop(TfrxProgressType kind)
{
    if (report->EngineOptions.ThreadSafe) return;
    if (report->OnProgressStop) report->OnProgressStop(kind);
    if (progressWindow) progressWindow->Stop(kind);
    if (kind == ptRunning) {
        if (ownPreview) ownPreview->ShowMessage({});
        if (TfrxPreparationObserver *o = observer()) o->PreparationFinished();
    }
    frxProcessMessages(true);
}

TfrxPreparationObserver *TfrxReportRun::observer() const
{
    if (report->PreviewControl) return report->PreviewControl;
    return ownPreview ? ownPreview->observer() : nullptr;
}

TfrxReportRun::TfrxReportRun(TfrxReport *r) : report(r), pages(r), engine(r, &pages)
{
    pages.SetProgressListener(this);
    timer.setSingleShot(true);
    timer.setInterval(50);
    QObject::connect(&timer, &QTimer::timeout, [this] {
        timer.stop();
        report->PrepareReport(false);
    });
    expressionScript.setParent(&script);
}

TfrxReportRun::~TfrxReportRun() = default;

void TfrxReport::RunDeleter::operator()(TfrxReportRun *run) const
{
    delete run;
}

TfrxReportRun &TfrxReport::run()
{
    if (!m_run) m_run.reset(new TfrxReportRun(this));
    return *m_run;
}

TfrxCustomEngine *TfrxReport::Engine()
{
    return &run().engine;
}

TfrxPreviewPages *TfrxReport::PreviewPages()
{
    return &run().pages;
}

bool TfrxReport::PreparationTimerActive() const
{
    return m_run && m_run->timer.isActive();
}

void TfrxReport::InternalOnProgressStart(TfrxProgressType kind)
{
    run().ProgressStart(kind);
}

void TfrxReport::InternalOnProgress(TfrxProgressType kind, int pageNo)
{
    run().Progress(kind, pageNo);
}

void TfrxReport::InternalOnProgressStop(TfrxProgressType kind)
{
    run().ProgressStop(kind);
}

// ---- preparing ----

namespace {

// The definition saved before a run with the password left out.
void saveDefinition(TfrxReport &report, QBuffer &definition)
{
    const QString password = report.ReportOptions.Password;
    report.ReportOptions.Password.clear();
    definition.open(QIODevice::ReadWrite);
    try {
        SaveToStream(report, definition);
    } catch (...) {
        report.ReportOptions.Password = password;
        throw;
    }
    report.ReportOptions.Password = password;
}

// The definition read back after a run, so that what the run's scripts changed does not stay; the
// run's errors and the password survive the reading, and a reading that fails adds its own.
void reloadDefinition(TfrxReport &report, QBuffer &definition, const QString &password)
{
    // Loading empties the error list; what the run logged is what the caller is shown.
    const TfrxErrorList errors = report.ErrorList;
    const TfrxSilentMode mode = report.EngineOptions.NewSilentMode;
    report.Reloading = true;
    // The copy was written by this report a moment ago: no box for what its reading might find.
    report.EngineOptions.NewSilentMode = simSilent;
    QString failure;
    definition.seek(0);
    try {
        LoadFromStream(report, definition);
    } catch (const platform::Error &e) {
        failure = e.message();
    } catch (const std::exception &e) {
        failure = QString::fromLocal8Bit(e.what());
    }
    report.Reloading = false;
    report.EngineOptions.NewSilentMode = mode;
    report.ReportOptions.Password = password;
    report.ErrorList = errors;
    if (!failure.isEmpty()) report.ErrorList.Add(failure);
}

} // namespace

bool TfrxReport::CheckDataSets()
{
    bool ok = true;
    for (int i = 0; i < Datasets.Count(); ++i) {
        TfrxDataSetItem *item = Datasets.Items(i);
        if (item->DataSet()) continue;
        ErrorList.Add(TfrxError{
            .source = TfrxErrorSource::Data,
            .message =
                frxGet(QStringLiteral("clDSNotExist")).replace(QStringLiteral("%s"), item->DataSetName())});
        ok = false;
    }
    return ok;
}

bool TfrxReport::PrepareReport(bool ClearLastReport)
{
    TfrxReportRun &r = run();
    if (r.engine.RunActive || r.preparing) return false;
    r.preparing = true;
    struct Preparing {
        bool &flag;
        ~Preparing() { flag = false; }
    } preparing{r.preparing};
    if (ClearLastReport) r.pages.Clear();
    ErrorList.Clear();
    Terminated = false;
    bool result = false;
    if (CheckDataSets()) {
        const QString password = ReportOptions.Password;
        QBuffer definition;
        if (EngineOptions.DestroyForms) saveDefinition(*this, definition);
        try {
            if (OnBeginDoc) OnBeginDoc();
            if (CompileReportScript()) {
                if (OnAfterScriptCompile) OnAfterScriptCompile();
                if (r.script.mainStatementCount() > 0) r.script.runMain();
                if (r.engine.BuildPages()) {
                    if (OnEndDoc) OnEndDoc();
                    result = true;
                } else if (r.ownPreview) {
                    r.ownPreview->close();
                }
            }
        } catch (const script::ScriptError &e) {
            ErrorList.Add(TfrxError{.source = TfrxErrorSource::Script,
                                    .line = e.line(),
                                    .column = e.column(),
                                    .object = CurObject,
                                    .message = e.message(),
                                    .callChain = e.callChain()});
        } catch (const platform::Error &e) {
            ErrorList.Add(TfrxError{.object = CurObject, .message = e.message()});
        } catch (const std::exception &e) {
            ErrorList.Add(QString::fromLocal8Bit(e.what()));
        }
        // The run's script may have switched the option off: then what it changed is meant to stay.
        if (definition.isOpen() && EngineOptions.DestroyForms) reloadDefinition(*this, definition, password);
    }
    if (ErrorList.Count() > 0) {
        result = false;
        ReportError(frxGet(QStringLiteral("clErrors")) + QStringLiteral("\r\n") + ErrorList.Text());
    }
    return result;
}

namespace {

bool isPascalScript(const QString &language)
{
    return language.compare(QLatin1String("PascalScript"), Qt::CaseInsensitive) == 0;
}

} // namespace

void TfrxReport::registerScriptFunctions()
{
    TfrxReportRun &r = run();
    r.script.addFunction(QStringLiteral("function Get(Name: String): Variant"), [this](
                                                                                    script::HostCall &call) {
        script::Variant value;
        const QString name = call.args.at(0).toString();
        if (ResolveName(name, value)) return value;
        const qsizetype paren = name.indexOf(QLatin1Char('('));
        TfrxAggregateFunction function;
        if (paren > 0 && TfrxAggregateList::functionOf(name.left(paren).trimmed(), function))
            return Calc(name);
        ErrorList.Add(TfrxError{.source = TfrxErrorSource::Script,
                                .object = CurObject,
                                .message = frxGet(QStringLiteral("clUnknownVar")) + QLatin1Char(' ') + name});
        return script::Variant();
    });
    r.script.addFunction(QStringLiteral("procedure Set(Name: String; Value: Variant)"),
                         [this](script::HostCall &call) {
                             Variables.SetValue(call.args.at(0).toString(), call.args.at(1));
                             return script::Variant();
                         });
    r.script.addFunction(
        QStringLiteral("macrofunction IIF(Expr: Boolean; TrueValue, FalseValue: Variant): Variant"),
        [this](script::HostCall &call) {
            const bool condition = script::Variant::equals(Calc(call.texts.at(0)), true);
            return Calc(call.texts.at(condition ? 1 : 2));
        });
    for (const char *name : {"SUM", "AVG", "MIN", "MAX"})
        r.script.addFunction(
            QStringLiteral("macrofunction %1(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant")
                .arg(QLatin1String(name)),
            [this, name](script::HostCall &call) {
                return aggregateValue(QLatin1String(name), call.texts.at(0), call.texts.at(1),
                                      call.texts.at(2));
            });
    r.script.addFunction(
        QStringLiteral("macrofunction COUNT(Band: Variant = 0; Flags: Integer = 0): Variant"),
        [this](script::HostCall &call) {
            return aggregateValue(QStringLiteral("COUNT"), QString(), call.texts.at(0), call.texts.at(1));
        });
    r.script.addFunction(
        QStringLiteral("function Calc(const Expr: String): Variant"),
        [this](script::HostCall &call) { return run().objects.calcForScript(call.args.at(0).toString()); });
}

namespace {

// MIN or MAX whose second argument is a value, not a band: the smaller or larger of the two;
// any other aggregate so called raises.
script::Variant notAnAggregate(TfrxReport &report, const QString &function, const QString &expression,
                               const script::Variant &second, const QString &flagsText)
{
    // Max(3, 7) is the larger of two values, as the same name is elsewhere in the language.
    const bool min = function == QLatin1String("MIN"), max = function == QLatin1String("MAX");
    const QString flags = flagsText.trimmed();
    if ((min || max) && (flags.isEmpty() || flags == QLatin1String("0"))) {
        const script::Variant first = report.Calc(expression);
        if (first.isNull()) return second;
        const int order = script::Variant::compare(first, second);
        return (max ? order >= 0 : order <= 0) ? first : second;
    }
    throw script::ScriptError::runtime(
        QStringLiteral("%1 的第二个参数不是带区：%2").arg(function, second.toString()));
}

} // namespace

script::Variant TfrxReport::aggregateValue(const QString &function, const QString &expression,
                                           const QString &bandText, const QString &flagsText)
{
    TfrxBand *band = nullptr;
    const QString bandName = bandText.trimmed();
    if (!bandName.isEmpty() && bandName != QLatin1String("0")) {
        // A band named directly needs no compiled expression.
        band = dynamic_cast<TfrxBand *>(FindObject(bandName));
        if (!band) {
            const script::Variant second = Calc(bandName);
            band = dynamic_cast<TfrxBand *>(TfrxScriptObjects::componentOf(second));
            const bool zero = (second.isNumeric() && second.toFloat() == 0) || second.isNull();
            if (!band && !zero) return notAnAggregate(*this, function, expression, second, flagsText);
        }
    }
    const QString flagsSource = flagsText.trimmed();
    bool literal = false;
    int flags = flagsSource.toInt(&literal);
    if (!literal && !flagsSource.isEmpty()) flags = Calc(flagsSource).toInt();
    return run().engine.AggregateValue(function, expression, band, flags);
}

bool TfrxReport::CompileReportScript()
{
    TfrxReportRun &r = run();
    r.expressions.clear();
    r.language = ScriptLanguage;
    r.script.clearRegistrations();
    r.objects.clear();
    // Class names serve "is" tests and casts such as TfrxMemoView(Sender); the value names of the
    // published enumerations and sets are constants (haCenter, ftLeft + ftTop).
    QSet<const EnumInfo *> enumerations;
    for (const ClassInfo *cls : registeredClasses()) {
        r.script.addClass(cls->name);
        for (const PropInfo *info : cls->all)
            if (info->enumInfo && !enumerations.contains(info->enumInfo)) {
                enumerations.insert(info->enumInfo);
                const bool set = info->kind == PropKind::Set;
                for (int i = 0; i < info->enumInfo->names.size(); ++i)
                    r.script.addConstant(info->enumInfo->names.at(i), set ? (1 << i) : i);
            }
    }
    for (const char *name : {"TfrxEngine", "TfrxCustomEngine", "TfrxOutline", "TStrings", "TfrxVariables"})
        r.script.addClass(QLatin1String(name));
    r.script.addClass(QStringLiteral("TfrxArray"), [&r] { return r.objects.newArray(); });
    for (TfrxComponent *object : AllObjects())
        if (!object->Name().isEmpty())
            r.script.addObject(object->Name(), r.objects.objectFor(object).objectValue());
    // Data sets of the global list are not report objects, but scripts move through them by name.
    for (int i = 0; i < Datasets.Count(); ++i)
        if (TfrxComponent *ds = Datasets.Items(i)->DataSet();
            ds && !ds->Name().isEmpty() && !FindObject(ds->Name()))
            r.script.addObject(ds->Name(), r.objects.objectFor(ds).objectValue());
    r.script.addObject(QStringLiteral("Report"), r.objects.objectFor(this).objectValue());
    r.script.addObject(QStringLiteral("Engine"), r.objects.engineObject().objectValue());
    r.script.addObject(QStringLiteral("Outline"), r.objects.outlineObject().objectValue());
    r.script.addObject(QStringLiteral("frxGlobalVariables"),
                       r.objects.variablesObject(&frxGlobalVariables()).objectValue());
    r.valueVariable = r.script.addVariable(QStringLiteral("Value"));
    r.selfVariable = r.script.addVariable(QStringLiteral("Self"));
    registerScriptFunctions();
    // A script that never ends still sees the cancel button and StopReport.
    r.script.setPollHandler([this] {
        if (!EngineOptions.ThreadSafe) frxProcessMessages(false);
        if (Terminated) run().objects.requestStop();
    });
    if (!isPascalScript(ScriptLanguage)) {
        ErrorList.Add(QStringLiteral("script language %1 is not supported").arg(ScriptLanguage));
        return false;
    }
    if (r.script.compile(ScriptText.join(QStringLiteral("\r\n")))) return true;
    QList<script::Diagnostic> diagnostics = r.script.diagnostics();
    if (diagnostics.isEmpty()) diagnostics.append(script::Diagnostic{});
    for (const script::Diagnostic &d : diagnostics) {
        QString text = frxGet(QStringLiteral("clScrError"));
        const QString position = QStringLiteral("%1:%2").arg(d.line).arg(d.column);
        const qsizetype first = text.indexOf(QStringLiteral("%s"));
        if (first >= 0) text.replace(first, 2, position);
        const qsizetype second = text.indexOf(QStringLiteral("%s"), first < 0 ? 0 : first + position.size());
        if (second >= 0) text.replace(second, 2, d.message);
        ErrorList.Add(TfrxError{
            .source = TfrxErrorSource::Script, .line = d.line, .column = d.column, .message = text});
    }
    return false;
}

void TfrxReport::RunScriptEvent(TfrxComponent *sender, const QString &procName, bool force)
{
    if (procName.isEmpty() || !(force || run().engine.RunActive)) return;
    script::VariantList params{run().objects.objectFor(sender)};
    callScript(procName, params);
}

script::Variant TfrxReport::CallScriptFunction(const QString &procName, script::VariantList &params,
                                               bool force)
{
    if (procName.isEmpty() || !(force || run().engine.RunActive)) return {};
    return callScript(procName, params);
}

script::Variant TfrxReport::callScript(const QString &procName, script::VariantList &params)
{
    try {
        return run().script.call(procName, params);
    } catch (const script::ScriptError &e) {
        // StopReport ends the script quietly; the run finishes its page and keeps what it made.
        if (e.kind() == script::ScriptError::Kind::Stopped && Terminated) return {};
        throw;
    }
}

void TfrxReport::StopScript()
{
    if (m_run) m_run->objects.requestStop();
}

void TfrxReport::SetScriptSelf(TfrxComponent *object)
{
    if (m_run && m_run->selfVariable) *m_run->selfVariable = m_run->objects.objectFor(object);
}

void TfrxReport::SetScriptValue(const script::Variant &value)
{
    if (m_run && m_run->valueVariable) *m_run->valueVariable = value;
}

int TfrxReport::CachedExpressionCount() const
{
    return m_run ? int(m_run->expressions.size()) : 0;
}

void TfrxReport::NotifyBeforePrint(TfrxReportComponent *object)
{
    if (OnBeforePrint) OnBeforePrint(object);
    if (!object->OnBeforePrint.isEmpty()) RunScriptEvent(object, object->OnBeforePrint);
}

void TfrxReport::NotifyAfterPrint(TfrxReportComponent *object)
{
    if (OnAfterPrint) OnAfterPrint(object);
    if (!object->OnAfterPrint.isEmpty()) RunScriptEvent(object, object->OnAfterPrint);
}

// ---- showing ----

void TfrxReport::ShowReport(bool ClearLastReport)
{
    TfrxReportRun &r = run();
    if (ClearLastReport) r.pages.Clear();
    if (!OldStyleProgress) {
        // The preview opens first; the timer's tick then prepares inside its message loop.
        r.timer.start();
        OpenPreview();
        return;
    }
    if (PrepareReport(false)) OpenPreview();
}

void TfrxReport::OpenPreview()
{
    TfrxReportRun &r = run();
    if (PreviewControl) return;
    r.ownPreview = frxHost().CreatePreviewWindow(this);
    if (!r.ownPreview) return;
    if (OnPreview) OnPreview();
    if (PreviewOptions.Modal) {
        r.ownPreview->showModal();
        r.ownPreview.reset();
    } else {
        r.ownPreview->showNonModal();
    }
}

} // namespace frx
