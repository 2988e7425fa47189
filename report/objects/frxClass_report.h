// The report component: the root of a report definition with its options, data set list, variables,
// styles and error list. Included through frxClass.h.
#pragma once

#include "report/base/frxErrorList.h"
#include "report/objects/frxClass.h"
#include "report/base/frxVariables.h"
#include "script/variant.h"

#include <QPointF>

#include <functional>
#include <memory>

class QIODevice;
class QObject;

namespace frx {

enum TfrxPreviewButton : unsigned {
    pbPrint = 1,
    pbLoad = 2,
    pbSave = 4,
    pbExport = 8,
    pbZoom = 16,
    pbFind = 32,
    pbOutline = 64,
    pbPageSetup = 128,
    pbTools = 256,
    pbEdit = 512,
    pbNavigator = 1024,
    pbExportQuick = 2048,
    pbNoClose = 4096,
    pbNoFullScreen = 8192,
    pbNoEmail = 16384
};
using TfrxPreviewButtons = unsigned;
enum TfrxZoomMode { zmDefault, zmWholePage, zmPageWidth, zmManyPages };
enum TfrxPrintMode { pmDefault, pmSplit, pmJoin, pmScale };
enum TfrxPrintPages { ppAll, ppOdd, ppEven };
enum TfrxSilentMode { simMessageBoxes, simSilent, simReThrow };
enum TfrxProgressType { ptRunning, ptExporting, ptPrinting };

// A text list kept sorted (ignoring case) without duplicates.
class SortedStringList {
public:
    void Add(const QString &line);
    void Clear() { m_lines.clear(); }
    int Count() const { return int(m_lines.size()); }
    const QStringList &Lines() const { return m_lines; }
    // The lines each followed by CR LF.
    QString Text() const;

private:
    QStringList m_lines;
};

// Switches of preparation.
class TfrxEngineOptions {
public:
    static const ClassInfo &staticClassInfo();
    // Copies the published values only.
    void Assign(const TfrxEngineOptions &source);
    // ConvertNulls True, DoublePass False; the rest stays.
    void Clear();
    bool SilentMode() const { return NewSilentMode == simSilent; }
    void SetSilentMode(bool silent) { NewSilentMode = silent ? simSilent : simMessageBoxes; }

    bool ConvertNulls = true;
    bool DoublePass = false;
    int MaxMemSize = 10;
    bool PrintIfEmpty = true;
    TfrxSilentMode NewSilentMode = simMessageBoxes;
    QString TempDir;
    bool UseFileCache = false;
    bool ThreadSafe = false;
    bool UseGlobalDataSetList = true;
    bool DestroyForms = true;
};

// Settings of the preview window.
class TfrxPreviewOptions {
public:
    static const ClassInfo &staticClassInfo();
    void Assign(const TfrxPreviewOptions &source) { *this = source; }
    // Outline and cache settings back to their defaults.
    void Clear();

    bool AllowEdit = true;
    TfrxPreviewButtons Buttons = 4095;
    bool DoubleBuffered = true;
    bool Maximized = true;
    bool MDIChild = false;
    bool Modal = true;
    bool OutlineExpand = true;
    bool OutlineVisible = false;
    int OutlineWidth = 120;
    int PagesInCache = 50;
    bool ShowCaptions = false;
    bool ThumbnailVisible = false;
    Extended Zoom = 1;
    TfrxZoomMode ZoomMode = zmDefault;
    bool PictureCacheInFile = false;
    bool RightToLeftPreview = false;
};

// Settings of printing.
class TfrxPrintOptions {
public:
    TfrxPrintOptions();
    static const ClassInfo &staticClassInfo();
    void Assign(const TfrxPrintOptions &source);
    // Every setting back to its default.
    void Clear();

    int Copies = 1;
    bool Collate = true;
    QString PageNumbers;
    QString Printer;
    TfrxPrintMode PrintMode = pmDefault;
    int PrintOnSheet = 0;
    TfrxPrintPages PrintPages = ppAll;
    bool Reverse = false;
    bool ShowDialog = true;
    int PagesOnSheet = 0;
};

// Information about the report; dates are day serials (days since 1899-12-30, fraction = time of day).
class TfrxReportOptions {
public:
    TfrxReportOptions();
    static const ClassInfo &staticClassInfo();
    void Assign(const TfrxReportOptions &source);
    // Clears the texts, the password and the accepted password; both dates become now.
    void Clear();
    // The current local time as a day serial.
    static Extended Now();

    QString Author;
    bool Compressed = false;
    QString ConnectionName;
    Extended CreateDate = 0;
    Extended LastChange = 0;
    QStringList Description;
    QString InitString;
    QString Name;
    QString Password;
    QString VersionBuild, VersionMajor, VersionMinor, VersionRelease;
    QString PrevPassword;   // the password accepted last
    QString HiddenPassword; // preset by the host before loading
};

// One entry of the report's data set list.
class TfrxDataSetItem {
public:
    explicit TfrxDataSetItem(TfrxReport *report) : m_report(report) {}
    static const ClassInfo &staticClassInfo();
    TfrxComponent *DataSet() const { return m_link.dataSet; }
    void SetDataSet(TfrxComponent *dataSet);
    QString DataSetName() const { return m_link.userName(); }
    // An empty name clears the reference; another resolves through the report's FindDataSet.
    void SetDataSetName(const QString &name);

private:
    TfrxReport *m_report;
    TfrxDataSetLink m_link;
};

// The data sets a report may use.
class TfrxReportDataSets {
public:
    explicit TfrxReportDataSets(TfrxReport *report) : m_report(report) {}
    TfrxDataSetItem *Add();
    void Clear() { m_items.clear(); }
    void Delete(int index);
    int Count() const { return int(m_items.size()); }
    TfrxDataSetItem *Items(int index) const { return m_items.at(index).get(); }
    // The item referring to that data set, or none.
    TfrxDataSetItem *Find(const TfrxComponent *dataSet) const;
    // The first item whose data set's UserName equals the name ignoring A-Z case, or none.
    TfrxDataSetItem *Find(const QString &userName) const;
    // Destroys the items referring to a data set being destroyed.
    void Removed(const TfrxComponent *dataSet);

private:
    TfrxReport *m_report;
    std::vector<std::unique_ptr<TfrxDataSetItem>> m_items;
};

class TfrxStyles;

// A named style: colour, font and frame applied to text objects.
class TfrxStyleItem {
public:
    explicit TfrxStyleItem(TfrxStyles *styles);
    static const ClassInfo &staticClassInfo();
    const QString &Name() const { return m_name; }
    // Fails with "Duplicate name" when another style of the collection has that name (case ignored).
    void SetName(const QString &name);

    int Color = clTransparent;
    FontValue Font;
    TfrxFrame Frame;

private:
    TfrxStyles *m_styles;
    QString m_name;
};

// The report's styles.
class TfrxStyles {
public:
    explicit TfrxStyles(TfrxReport *report) : m_report(report) {}
    TfrxStyleItem *Add();
    void Clear() { m_items.clear(); }
    int Count() const { return int(m_items.size()); }
    TfrxStyleItem *Items(int index) const { return m_items.at(index).get(); }
    // The style of that name ignoring case, or none.
    TfrxStyleItem *Find(const QString &name) const;
    // Applies every text object's style again; a text object naming no existing style gets Style empty.
    void Apply();
    // The style names in collection order.
    QStringList GetList() const;
    // Style sheets: an XML document with the root "style" (attribute Name) and one "item" element per
    // style carrying its properties as attributes. Loading replaces the styles, then applies them; a
    // bad attribute value becomes a line of the report's ErrorList. A malformed document or a stream
    // or file that cannot be read or written raises platform::Error (platform::FileError for files).
    void LoadFromStream(QIODevice &stream);
    void LoadFromFile(const QString &fileName);
    void SaveToStream(QIODevice &stream) const;
    void SaveToFile(const QString &fileName) const;
    TfrxReport *Report() const { return m_report; }

    QString Name;

private:
    TfrxReport *m_report;
    std::vector<std::unique_ptr<TfrxStyleItem>> m_items;
};

class TfrxCustomEngine;
class TfrxPreviewPages;
struct TfrxReportRun;

// What a preview shows of a preparation in progress; the preview control implements it. Not owned.
class TfrxPreparationObserver {
public:
    virtual ~TfrxPreparationObserver() = default;
    virtual void PreparationStarted() = 0;
    // A page was produced; its index counts from 0.
    virtual void PageProduced(int pageIndex) = 0;
    virtual void PreparationFinished() = 0;
};

// The preview window ShowReport opens; the host supplies it (frxHost.h).
class TfrxPreviewWindow {
public:
    virtual ~TfrxPreviewWindow() = default;
    // The window's preview control, told about the run.
    virtual TfrxPreparationObserver *observer() = 0;
    // Shows the window modally; returns when the user has closed it.
    virtual void showModal() = 0;
    // Shows the window and returns at once; the window then lives until it is closed.
    virtual void showNonModal() = 0;
    // Closes the window (a failed run).
    virtual void close() = 0;
    // A progress text of the run for the window's status bar.
    virtual void ShowMessage(const QString &text) = 0;
};

// The next delimited expression of `text` at or after `start` (0-based): its text, with `start` moved
// to the opening delimiter and `end` to the last character of the closing one (end == start: none).
// Delimiters inside quoted strings do not count, and nested pairs stay inside the expression; an
// expression that is never closed runs to the text's last character, which is dropped.
QString FindDelimited(const QString &text, const QString &open, const QString &close, qsizetype &start,
                      qsizetype &end);

// The text of a value under a display format; a value the format cannot take gives its plain text.
// A plain text goes through `ansiCodePage` unless that is 0 (see TfrxCustomMemoView::AnsiCodePage).
QString FormatValue(const script::Variant &value, const TfrxFormat &format, int ansiCodePage = 0);

// The progress window of the window layer as one report's progress events drive it. It may set the
// report's Terminated when the user cancels.
class TfrxProgressWindow {
public:
    virtual ~TfrxProgressWindow() = default;
    virtual void Start(TfrxProgressType kind) = 0;
    // Page n (from 1) of the run; firstPass in the first of two preparing passes.
    virtual void Progress(TfrxProgressType kind, int n, bool firstPass) = 0;
    virtual void Stop(TfrxProgressType kind) = 0;
};

// The root of a report definition. Its children are its pages.
class TfrxReport : public TfrxComponent {
    FRX_CLASS(TfrxReport)
public:
    explicit TfrxReport(TfrxComponent *owner = nullptr);
    ~TfrxReport() override;
    void Notification(TfrxComponent *removed) override;

    // Empties the report: pages and objects (except from an ancestor), collections, options, script.
    void Clear() override;

    // The i-th entry of Objects as a page (none when it is not a page); an index outside the list
    // fails with platform::Error "List index out of bounds (i)".
    TfrxPage *Pages(int index) const;
    int PagesCount() const { return int(Objects().size()); }
    // The data set of Datasets with that UserName, or none.
    TfrxComponent *GetDataset(const QString &alias) const;
    // Shows, ignores or raises (platform::Error) the text by EngineOptions.NewSilentMode.
    void ReportError(const QString &text);
    // The executable's folder with a trailing separator; the current directory while designing.
    QString ApplicationFolder() const;

    QString Version() const { return m_version; }
    // Ignores the argument: the version stays "4.7.61".
    void SetVersion(const QString &) { m_version = QStringLiteral("4.7.61"); }
    const QString &ParentReport() const { return m_parentReport; }
    // Report inheritance: loads the ancestor file and marks every object as coming from it; empty
    // clears the ancestor marks.
    void SetParentReport(const QString &fileName);
    // The copy of the ancestor report, or none.
    TfrxReport *ParentReportObject() const { return m_parentReportObject.get(); }
    TfrxComponent *DataSet() const { return m_dataSet.dataSet; }
    void SetDataSet(TfrxComponent *dataSet) { m_dataSet.set(this, dataSet); }
    QString DataSetName() const { return m_dataSet.userName(); }
    void SetDataSetName(const QString &name) { m_dataSet.setName(this, name); }

    // ---- preparation (frxClass_prepare.cpp)
    // The engine and the prepared-pages store, created on first use and owned by the report.
    TfrxCustomEngine *Engine();
    TfrxPreviewPages *PreviewPages();
    // Runs the engine once, replacing (ClearLastReport) or appending to the prepared pages; true when
    // pages were produced without errors. The collected errors are shown through ReportError.
    bool PrepareReport(bool ClearLastReport = true);
    // Opens the preview and prepares from a 50 ms one-shot timer (or, with OldStyleProgress, prepares
    // first and opens the preview only on success).
    void ShowReport(bool ClearLastReport = true);
    // Shows the prepared pages in the attached preview or a new preview window.
    void OpenPreview();
    // Registers the report's names with the report script and compiles it; false on errors (logged).
    bool CompileReportScript();
    // Logs every entry of Datasets without a data set; false when there was one.
    bool CheckDataSets();
    // Calls the script procedure an event property names, passing the sender; nothing for an empty
    // name or unless the engine runs or `force` is set. Script failures raise.
    void RunScriptEvent(TfrxComponent *sender, const QString &procName, bool force = false);
    // Calls a script function with parameters passed by reference (changed in place); Null when
    // nothing was called.
    script::Variant CallScriptFunction(const QString &procName, script::VariantList &params,
                                       bool force = false);
    // The OnBeforePrint / OnAfterPrint event for the object, then its own script event of that name.
    void NotifyBeforePrint(TfrxReportComponent *object);
    void NotifyAfterPrint(TfrxReportComponent *object);
    // The value of an expression: names the report knows, else the compiled script expression
    // (cached). Failures are logged with the current object's name and raise platform::Error.
    script::Variant Calc(const QString &expression);
    // The formatted value of one delimited expression of a text object (an optional " #" format
    // suffix); sets the object's Value.
    QString EvaluateAndFormat(TfrxCustomMemoView *memo, QString expression);
    // The value of a name known without the script (field reference, system name, variable).
    bool ResolveName(const QString &name, script::Variant &value);
    // The preparation timer's state, for the window layer and tests.
    bool PreparationTimerActive() const;
    // Fast assignment of the report script's variables Self (a view being printed) and Value (the
    // value a text object just took); nothing before the script was compiled.
    void SetScriptSelf(TfrxComponent *object);
    void SetScriptValue(const script::Variant &value);
    // Asks the report script and the expressions running now to stop; they end quietly at their next
    // step when Terminated is set. Nothing when none runs.
    void StopScript();
    // Number of distinct expression texts compiled since the report script was last compiled.
    int CachedExpressionCount() const;
    // The progress events of a run of kind (pageNo from 1): OnProgressStart / OnProgress /
    // OnProgressStop, the attached preview's notifications while preparing, the progress window.
    // Pending window messages are processed after each, so a cancel can reach Terminated.
    void InternalOnProgressStart(TfrxProgressType kind);
    void InternalOnProgress(TfrxProgressType kind, int pageNo);
    void InternalOnProgressStop(TfrxProgressType kind);

    // ---- printing (frxClass_print.cpp)
    // Prints the prepared pages on the current printer as PrintOptions say (PrintPrepared);
    // currentPageNo (from 1) is the page the preview shows, for the dialog's "current page". The
    // preview freezes itself around the call. True when printing ran to the end.
    bool Print(int currentPageNo = 1);

    std::function<void(TfrxReportComponent *object)> OnBeforePrint, OnAfterPrint;
    std::function<void()> OnBeginDoc, OnEndDoc, OnAfterScriptCompile, OnPreview;
    // The preview window the report opened has closed (modal or not).
    std::function<void()> OnClosePreview;
    std::function<void(TfrxProgressType kind)> OnProgressStart, OnProgressStop;
    std::function<void(TfrxProgressType kind, int pageNo)> OnProgress;
    std::function<void(const QString &name, script::Variant &value)> OnGetValue;
    std::function<void(TfrxReportPage *page)> OnManualBuild;
    // Printing: before the first page, before each page (with its copy number from 1), and at the
    // end of every print run, also a failed one.
    std::function<void()> OnPrintReport, OnAfterPrintReport;
    std::function<void(TfrxReportPage *page, int copyNo)> OnPrintPage;
    // Millimetres (right, down) by which a print run on the printer of that name moves everything
    // it prints, asked once per run after the printer is chosen: the paper's own feed error on that
    // printer. None: no move. Printing to a file moves nothing.
    std::function<QPointF(const QString &printerName)> OnPrinterShift;
    // The whole job's check before it is printed: what would print badly, as one text for the user,
    // empty when nothing would. The preview shows it for all pages at once when they are ready and
    // asks before printing while it is not empty.
    std::function<QString()> OnCheckJob;
    // The preview control attached to the report, told about runs; not owned.
    TfrxPreparationObserver *PreviewControl = nullptr;
    // Expanded or collapsed group keys (group header Name + "." + row).
    QStringList DrillState;

    TfrxEngineOptions EngineOptions;
    TfrxPreviewOptions PreviewOptions;
    TfrxPrintOptions PrintOptions;
    TfrxReportOptions ReportOptions;
    bool DotMatrixReport = false;
    QString IniFile = QStringLiteral("\\Software\\Tovaro\\Reports");
    bool OldStyleProgress = false;
    QObject *Preview = nullptr; // an embedded preview control, not owned
    QString ScriptLanguage = QStringLiteral("PascalScript");
    QStringList ScriptText;
    bool ShowProgress = true;
    bool StoreInDFM = true;
    QString OnRunDialogs, OnStartReport, OnStopReport, OnReportPrint;
    // Host callback: loads an ancestor report by name instead of the file lookup.
    std::function<void(TfrxReport *report, const QString &fileName)> OnLoadTemplate;

    TfrxReportDataSets Datasets;
    TfrxReportDataSets EnabledDataSets; // used when the global data set list is switched off
    TfrxVariables Variables;
    TfrxStyles Styles;
    QStringList SystemVariables;
    TfrxErrorList ErrorList;
    QString TemplateFileName;
    bool Terminated = false;
    bool Reloading = false;
    QString CurObject; // name of the object being worked on, for error lines

private:
    struct RunDeleter {
        void operator()(TfrxReportRun *run) const;
    };
    TfrxReportRun &run();
    void showErrors();
    // Get, Set, IIF, the aggregates and Calc for the report script.
    void registerScriptFunctions();
    // An aggregate macro call: Band and Flags arrive as source text.
    script::Variant aggregateValue(const QString &function, const QString &expression,
                                   const QString &bandText, const QString &flagsText);
    // Calls a routine of the report script; a stop asked for by StopReport ends it quietly.
    script::Variant callScript(const QString &procName, script::VariantList &params);
    std::unique_ptr<TfrxReportRun, RunDeleter> m_run;
    QString m_version = QStringLiteral("4.7.61");
    QString m_parentReport;
    std::unique_ptr<TfrxReport> m_parentReportObject;
    TfrxDataSetLink m_dataSet;
};

} // namespace frx
