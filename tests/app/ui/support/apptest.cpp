#include "apptest.h"

#include "platform/ui/errorguard.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <memory>

namespace apptest {

void ensureApplication()
{
    if (QApplication::instance()) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "tst_app";
    static char *argv[] = {name, nullptr};
    // Never destroyed: a static application would outlive Qt's own globals at exit.
    new QApplication(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tovaro"));
}

void onNextModal(std::function<void(QWidget *modal)> action, const char *className)
{
    auto *timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, tries, action, className] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && (!className || modal->inherits(className))) {
            timer->stop();
            timer->deleteLater();
            action(modal);
        } else if (++*tries > 500) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(10);
}

ErrorRecorder::ErrorRecorder()
{
    platform::setErrorPresenter([this](QWidget *, const QString &text) { messages << text; });
}

ErrorRecorder::~ErrorRecorder()
{
    platform::setErrorPresenter({});
}

} // namespace apptest

#include <QMouseEvent>

namespace apptest {

void sendMouse(QWidget *widget, int type, Qt::MouseButton button, Qt::MouseButtons buttons, QPoint pos)
{
    QMouseEvent event(static_cast<QEvent::Type>(type), QPointF(pos), QPointF(widget->mapToGlobal(pos)),
                      button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

} // namespace apptest
