// What a report keeps for its runs: the engine, the prepared-pages store, the report script with its
// expression cache, the preparation timer and the preview window it opened.
#pragma once

#include "report/frxClass.h"
#include "report/frxEngine.h"
#include "report/frxPreviewPages.h"
#include "script/fsScript.h"

#include <QHash>
#include <QTimer>

#include <memory>
#include <unordered_map>

namespace frx {

struct TfrxReportRun : public TfrxProgressListener {
    explicit TfrxReportRun(TfrxReport *report);
    ~TfrxReportRun() override;

    void ProgressStart(TfrxProgressType kind) override;
    void Progress(TfrxProgressType kind, int pageNo) override;
    void ProgressStop(TfrxProgressType kind) override;
    TfrxPreparationObserver *observer() const;
    static void processMessages();

    TfrxReport *report;
    TfrxPreviewPages pages;
    TfrxEngine engine;
    script::TfsScript script;
    // Expressions compile in a script of their own whose names fall back to the report script's.
    script::TfsScript expressionScript;
    std::unordered_map<QString, std::unique_ptr<script::TfsExpression>> expressions; // by lower-case text
    script::Variant *valueVariable = nullptr;
    script::Variant *selfVariable = nullptr;
    QTimer timer;
    std::unique_ptr<TfrxPreviewWindow> ownPreview;
};

} // namespace frx
