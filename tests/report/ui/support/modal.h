// Modal exec() blocks a headless test: these helpers act on the dialog once its loop runs.
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace testsupport {

// Runs action on the modal widget as soon as one is shown (polling the event loop). Gives up
// after about ten seconds, so that a dialog that never appears fails the test instead of hanging.
inline void whenModal(std::function<void(QWidget *)> action)
{
    auto *timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, action = std::move(action)] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            action(modal);
        } else if (++*tries > 1000) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(10);
}

} // namespace testsupport
