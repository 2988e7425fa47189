// The one seam between the engine and the program it runs in: everything the engine asks of a user
// or of its surroundings (the preview window, progress, the print dialog, a password, error boxes,
// printer errors, loading an ancestor template) goes through the installed host. The default host
// is headless: no windows, errors to the standard error stream, printing without a dialog. The card
// program installs its widget host once at start (report/ui/frxWidgetHost.h); tests install fakes.
#pragma once

#include <QString>

#include <memory>
#include <optional>

namespace frx {

class TfrxReport;
class TfrxPreviewWindow;
class TfrxProgressWindow;

class TfrxHost {
public:
    virtual ~TfrxHost() = default;

    // The preview window ShowReport opens for report; none (the default) prepares without a window.
    virtual std::unique_ptr<TfrxPreviewWindow> CreatePreviewWindow(TfrxReport *report);
    // The progress window driven by report's progress events; none by default.
    virtual std::unique_ptr<TfrxProgressWindow> CreateProgressWindow(TfrxReport *report);
    // Asks how to print report (the print dialog may change the printer and the print options).
    // Returns the duplex mode chosen, 0 for the printer's own, or nothing when the user cancelled.
    // The default prints as the options stand, without asking.
    virtual std::optional<int> RunPrintDialog(TfrxReport &report, int currentPageNo);
    // Asks for the password of a protected template; nothing when the user gave none (the default).
    virtual std::optional<QString> AskPassword();
    // Shows an error of a report to the user, captioned `caption`.
    virtual void ShowError(const QString &caption, const QString &text);
    // Tells the user that the printer cannot be used.
    virtual void ShowPrinterError(const QString &caption, const QString &text);
    // Loads the template file into report (report inheritance loads ancestors through this).
    // Returns whether the file existed; loading errors go to report's error list.
    virtual bool LoadTemplate(TfrxReport *report, const QString &fileName);
};

// The installed host; the headless default when none is installed.
TfrxHost &frxHost();
// Installs host (not owned; it must outlive its installation); nullptr restores the default.
void frxSetHost(TfrxHost *host);

// Installs a host for the lifetime of this object and restores the previous one afterwards.
class TfrxScopedHost {
public:
    explicit TfrxScopedHost(TfrxHost &host);
    ~TfrxScopedHost();
    TfrxScopedHost(const TfrxScopedHost &) = delete;
    TfrxScopedHost &operator=(const TfrxScopedHost &) = delete;

private:
    TfrxHost *m_previous;
};

} // namespace frx
