// What a report keeps for its runs: the engine, the prepared-pages store, the report script with its
// expression cache, the preparation timer and the preview window it opened.
#pragma once

#include "report/objects/frxClass.h"
#include "report/engine/frxEngine.h"
#include "report/engine/frxPreviewPages.h"
#include "script/fsScript.h"

#include <QHash>
#include <QTimer>

#include <map>
#include <memory>
#include <unordered_map>

namespace frx {

struct TfrxReportRun;

// The script objects standing for report objects, the engine, the outline and variable collections;
// created on first use, owned here, and dropped at each compilation of the report script.
class TfrxScriptObjects {
public:
    explicit TfrxScriptObjects(TfrxReportRun &run);
    ~TfrxScriptObjects();
    void clear();
    // The script value of a report object (Null for none).
    script::Variant objectFor(TfrxComponent *component);
    // A value object of a report object reached by a dotted property path ("Font", "Frame.TopLine").
    script::Variant valueObject(TfrxComponent *component, const QString &path, const ClassInfo *cls);
    // A string list or text property as a list object (Text, Count, Strings[i], Add, Clear, Delete).
    script::Variant stringsObject(TfrxComponent *component, const QString &path);
    script::Variant variablesObject(TfrxVariables *variables);
    // A new TfrxArray for a script's TfrxArray.Create, owned here; raises past a bound on their number.
    script::Variant newArray();
    script::Variant engineObject();
    script::Variant outlineObject();
    // The report object a script value stands for, or none.
    static TfrxComponent *componentOf(const script::Variant &value);
    // Asks the running report script and expressions to stop.
    void requestStop();
    bool preparing() const;
    // The script's Calc: the value of an expression; a failure raises "Error in Calc expression: "
    // and the message into the script, without touching the error list.
    script::Variant calcForScript(const QString &expression);

private:
    class PropertyObject;
    TfrxReportRun &m_run;
    std::map<std::pair<const void *, QString>, std::unique_ptr<script::ScriptObject>> m_objects;
    std::vector<std::unique_ptr<script::ScriptObject>> m_others;
    script::ScriptObject *m_engine = nullptr;
    script::ScriptObject *m_outline = nullptr;
    size_t m_arrays = 0; // created since the last clear
};

struct TfrxReportRun : public TfrxProgressListener {
    explicit TfrxReportRun(TfrxReport *report);
    ~TfrxReportRun() override;

    void ProgressStart(TfrxProgressType kind) override;
    void Progress(TfrxProgressType kind, int pageNo) override;
    void ProgressStop(TfrxProgressType kind) override;
    TfrxPreparationObserver *observer() const;

    TfrxReport *report;
    TfrxPreviewPages pages;
    TfrxEngine engine;
    script::TfsScript script;
    // Expressions compile in a script of their own whose names fall back to the report script's.
    script::TfsScript expressionScript;
    std::unordered_map<QString, std::unique_ptr<script::TfsExpression>> expressions; // by lower-case text
    script::Variant *valueVariable = nullptr;
    script::Variant *selfVariable = nullptr;
    TfrxScriptObjects objects{*this};
    // The language expressions compile in, taken at each compilation of the report script.
    QString language = QStringLiteral("PascalScript");
    bool preparing = false; // inside PrepareReport
    // Set by calcForScript for the one Calc it calls: that failure goes back to the script, which
    // may catch it, instead of into the error list.
    bool calcForScript = false;
    QStringList resolving;  // the variables being calculated, lower case, outermost first
    QTimer timer;
    std::unique_ptr<TfrxPreviewWindow> ownPreview;
    std::unique_ptr<TfrxProgressWindow> progressWindow; // made on the first progress event
};

} // namespace frx
