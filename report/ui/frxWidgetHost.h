// The engine's host in a program with windows: the preview window, the progress window, the print
// dialog, the password dialog and error boxes of the window layer.
#pragma once

#include "report/base/frxHost.h"

namespace frx {

class TfrxWidgetHost : public TfrxHost {
public:
    std::unique_ptr<TfrxPreviewWindow> CreatePreviewWindow(TfrxReport *report) override;
    std::unique_ptr<TfrxProgressWindow> CreateProgressWindow(TfrxReport *report) override;
    std::optional<int> RunPrintDialog(TfrxReport &report, int currentPageNo) override;
    std::optional<QString> AskPassword() override;
    void ShowError(const QString &caption, const QString &text) override;
    void ShowPrinterError(const QString &caption, const QString &text) override;
};

// Makes the engine ask the user through the windows above for the rest of the run (one process-wide
// host; call once at start, after the QApplication exists).
void frxInstallWidgetHost();

} // namespace frx
