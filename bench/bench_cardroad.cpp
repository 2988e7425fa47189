// The card program's own road: N guests in the store, "打印全部" pressed, until the preview holds
// every card. Drives the real main window offscreen with the widget host the program installs.
// Prints RESULT cardroad_<N>_guests_s (press to all pages in the preview) and
// cardroad_<N>_first_page_s (press to the first painting of the preview's pages with a card laid out
// among them) for 1,000 and 10,000 guests.
#include "app/ui/main_unit.h"
#include "app/ui/tmp.h"
#include "platform/appdir.h"
#include "report/ui/frxPreview.h"
#include "report/ui/frxWidgetHost.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <cstdio>

namespace {

struct Figures {
    double firstPage = -1;
    double allPages = -1;
};

// Notes the time of the first painting of the pages' view with a card laid out in it.
class FirstCardWatch : public QObject {
public:
    FirstCardWatch(const QElapsedTimer &clock, Figures &figures) : m_clock(clock), m_figures(figures) {}
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint || m_figures.firstPage >= 0) return false;
        auto *window = qobject_cast<frx::TfrxPreviewForm *>(QApplication::activeModalWidget());
        if (window && watched == window->Preview->Workspace->viewport() &&
            window->Preview->Workspace->PageList.Count() > 0)
            m_figures.firstPage = m_clock.nsecsElapsed() / 1e9;
        return false;
    }

private:
    const QElapsedTimer &m_clock;
    Figures &m_figures;
};

Figures runOnce(int guestCount)
{
    QTemporaryDir dir;
    for (const char *name : {"temp.ini", "frx.fr3", "qingjian1.jpg", "qingjian2.jpg"})
        QFile::copy(QStringLiteral(TOVARO_SOURCE_DIR "/data/") + QString::fromLatin1(name),
                    dir.filePath(QString::fromLatin1(name)));
    platform::AppFolders folders;
    folders.dataDirs = {dir.path()};
    folders.userDir = dir.path();
    folders.portable = true;
    TMainForm form(folders);
    Tfrm_tmp details(&form);
    form.setDetailsDialog(&details);
    form.show();
    QApplication::processEvents();
    QStringList names;
    for (int i = 0; i < guestCount; ++i)
        names << QStringLiteral("来宾%1").arg(i + 1);
    form.guests().addGuests(names);
    QApplication::processEvents();

    Figures figures;
    QElapsedTimer clock;
    FirstCardWatch firstCard(clock, figures);
    qApp->installEventFilter(&firstCard);
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto *window = qobject_cast<frx::TfrxPreviewForm *>(QApplication::activeModalWidget());
        if (!window) return;
        frx::TfrxPreview &preview = *window->Preview;
        if (!preview.Working() && preview.PageCount() >= guestCount) {
            figures.allPages = clock.nsecsElapsed() / 1e9;
            watch.stop();
            window->close();
        }
    });
    watch.start(1);
    clock.start();
    form.btnPrintBtn->click();
    return figures;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    frx::frxInstallWidgetHost();
    for (int count : {1000, 10000}) {
        const Figures figures = runOnce(count);
        std::printf("RESULT cardroad_%d_first_page_s %.3f s\n", count, figures.firstPage);
        std::printf("RESULT cardroad_%d_guests_s %.3f s\n", count, figures.allPages);
        std::fflush(stdout);
    }
    return 0;
}
