#include "report/ui/frxWidgetHost.h"

#include "platform/ui/errorguard.h"
#include "report/ui/frxPasswordForm.h"
#include "report/ui/frxPreview.h"
#include "report/ui/frxPrintDialog.h"
#include "report/ui/frxProgress.h"

#include <QApplication>

namespace frx {

std::unique_ptr<TfrxPreviewWindow> TfrxWidgetHost::CreatePreviewWindow(TfrxReport *report)
{
    return frxCreatePreviewWindow(report);
}

std::unique_ptr<TfrxProgressWindow> TfrxWidgetHost::CreateProgressWindow(TfrxReport *report)
{
    return std::make_unique<TfrxProgressDisplay>(report);
}

std::optional<int> TfrxWidgetHost::RunPrintDialog(TfrxReport &report, int currentPageNo)
{
    return TfrxPrintDialog::Run(report, currentPageNo);
}

std::optional<QString> TfrxWidgetHost::AskPassword()
{
    return TfrxPasswordForm::Ask();
}

void TfrxWidgetHost::ShowError(const QString &caption, const QString &text)
{
    platform::showCaptionedErrorBox(QApplication::activeWindow(), caption, text);
}

void TfrxWidgetHost::ShowPrinterError(const QString &caption, const QString &text)
{
    platform::showCaptionedErrorBox(QApplication::activeWindow(), caption, text);
}

void frxInstallWidgetHost()
{
    static TfrxWidgetHost host;
    frxSetHost(&host);
}

} // namespace frx
