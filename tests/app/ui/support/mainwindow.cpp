#include "mainwindow.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QScrollBar>

#include "app/ui/scrollbox.h"
#include <QTest>

namespace apptest {

MainWindowFixture::MainWindowFixture()
{
    ensureApplication();
    form = std::make_unique<TMainForm>(platform::AppFolders::inOneFolder(dir.path()));
    dialog = std::make_unique<Tfrm_tmp>(form.get());
    form->setDetailsDialog(dialog.get());
}

void MainWindowFixture::restart()
{
    dialog.reset();
    form.reset();
    QCoreApplication::processEvents();
    form = std::make_unique<TMainForm>(platform::AppFolders::inOneFolder(dir.path()));
    dialog = std::make_unique<Tfrm_tmp>(form.get());
    form->setDetailsDialog(dialog.get());
    start();
}

MainWindowFixture::~MainWindowFixture()
{
    dialog.reset();
    form.reset();
    QCoreApplication::processEvents();
}

void MainWindowFixture::start()
{
    form->show();
    (void)QTest::qWaitFor([this] { return form->cbb1->currentIndex() == 0 || !errors.messages.isEmpty(); },
                          5000);
    QCoreApplication::processEvents();
}

void MainWindowFixture::pictureToCanvasLeft()
{
    form->scrlbx1->horizontalScrollBar()->setValue(0);
    form->img1->move(0, form->img1->y());
}

void MainWindowFixture::drag(QWidget *label, QPoint by, Qt::MouseButton button)
{
    const QPoint grab(3, 4);
    const QPoint before = label->pos();
    sendMouse(label, QEvent::MouseButtonPress, button, button, grab);
    sendMouse(label, QEvent::MouseMove, Qt::NoButton, button, grab + by);
    // The release is where the mouse now is, inside the label that has moved.
    sendMouse(label, QEvent::MouseButtonRelease, button, Qt::NoButton, grab + by - (label->pos() - before));
}

void MainWindowFixture::doubleClick(QWidget *label, QPoint at)
{
    sendMouse(label, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, at);
    sendMouse(label, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, at);
    sendMouse(label, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, at);
    sendMouse(label, QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton, at);
    sendMouse(label, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, at);
}

void MainWindowFixture::chooseTemplate(int n)
{
    form->cbb1->setCurrentIndex(n);
    emit form->cbb1->textActivated(form->cbb1->currentText());
}

} // namespace apptest
