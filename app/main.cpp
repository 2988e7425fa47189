// The card program: the main window and the event details dialog, then the message loop until the
// main window closes.
#include "app/ui/main_unit.h"
#include "app/ui/tmp.h"

#include "platform/allocator.h"
#include "platform/appdir.h"
#include "report/ui/frxPasswordForm.h"
#include "report/ui/frxPreview.h"
#include "report/ui/frxPrintDialog.h"
#include "report/ui/frxProgress.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    platform::keepFreedMemory();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tovaro"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tovaro.Tovaro"));
    // The data files beside the program (a build or a copied folder) or installed; what the
    // program writes goes beside it only when that folder is its own and writable.
    const platform::AppFolders folders = platform::applicationFolders(
        QStringLiteral(TOVARO_RELATIVE_DATADIR), {QStringLiteral("temp.ini"), QStringLiteral("frx.fr3")});
    // The report engine asks the user through these windows: the preview, the print dialog, the
    // progress of printing and the password of a protected template.
    frx::frxInstallPreviewWindow();
    frx::TfrxPrintDialog::Install();
    frx::TfrxProgressDisplay::Install();
    frx::TfrxPasswordForm::Install();

    TMainForm MainForm(folders);
    Tfrm_tmp frm_tmp(&MainForm);
    MainForm.setDetailsDialog(&frm_tmp);
    MainForm.show();
    return app.exec();
}
