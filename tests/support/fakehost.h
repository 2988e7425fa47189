// A host for tests: each question the engine asks goes to the function set for it, or to the
// headless default when none is set. Installed while the object lives.
#pragma once

#include "report/objects/frxClass.h"
#include "report/base/frxHost.h"

#include <functional>

class FakeHost : public frx::TfrxHost {
public:
    FakeHost() : m_installation(*this) {}

    std::function<std::unique_ptr<frx::TfrxPreviewWindow>(frx::TfrxReport *)> previewWindow;
    std::function<std::unique_ptr<frx::TfrxProgressWindow>(frx::TfrxReport *)> progressWindow;
    std::function<std::optional<int>(frx::TfrxReport &, int)> printDialog;
    std::function<std::optional<QString>()> password;
    std::function<void(const QString &caption, const QString &text)> errorBox;
    std::function<void(const QString &caption, const QString &text)> printerError;

    std::unique_ptr<frx::TfrxPreviewWindow> CreatePreviewWindow(frx::TfrxReport *report) override
    {
        return previewWindow ? previewWindow(report) : TfrxHost::CreatePreviewWindow(report);
    }
    std::unique_ptr<frx::TfrxProgressWindow> CreateProgressWindow(frx::TfrxReport *report) override
    {
        return progressWindow ? progressWindow(report) : TfrxHost::CreateProgressWindow(report);
    }
    std::optional<int> RunPrintDialog(frx::TfrxReport &report, int currentPageNo) override
    {
        return printDialog ? printDialog(report, currentPageNo) : TfrxHost::RunPrintDialog(report, currentPageNo);
    }
    std::optional<QString> AskPassword() override { return password ? password() : TfrxHost::AskPassword(); }
    void ShowError(const QString &caption, const QString &text) override
    {
        errorBox ? errorBox(caption, text) : TfrxHost::ShowError(caption, text);
    }
    void ShowPrinterError(const QString &caption, const QString &text) override
    {
        printerError ? printerError(caption, text) : TfrxHost::ShowPrinterError(caption, text);
    }

private:
    frx::TfrxScopedHost m_installation;
};
