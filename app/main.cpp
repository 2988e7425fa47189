// The card program: the main window and the event details dialog, then the message loop until the
// main window closes.
#include "app/ui/main_unit.h"
#include "app/ui/tmp.h"

#include "platform/allocator.h"
#include "platform/appdir.h"
#include "report/ui/frxWidgetHost.h"

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
    // The report engine asks the user through the windows: preview, print dialog, progress,
    // password and error boxes.
    frx::frxInstallWidgetHost();

    TMainForm MainForm(folders);
    Tfrm_tmp frm_tmp(&MainForm);
    MainForm.setDetailsDialog(&frm_tmp);
    MainForm.show();
    return app.exec();
}
