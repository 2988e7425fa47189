// Shared helpers of the card program's widget tests: the application object, the data folder of
// the model tests, and closing modal windows that a test opens.
#pragma once

#include "tests/app/model/support/datadir.h"

#include <QPoint>
#include <QString>
#include <Qt>

#include <functional>

class QWidget;

namespace apptest {

// Creates the QApplication on first use (offscreen platform, as CTest sets it).
void ensureApplication();

// Runs action on the next modal window that opens (polling from a timer), so that a test can call
// something that runs exec(). Without a modal window within a few seconds nothing is done, and
// CTest's time-out ends a test left waiting. With className, only a modal window of that class
// (or one derived from it) counts, so that a window still closing is not taken for the next one.
void onNextModal(std::function<void(QWidget *modal)> action, const char *className = nullptr);

// Records what the error guard would show instead of showing a box.
class ErrorRecorder {
public:
    ErrorRecorder();
    ~ErrorRecorder();
    QStringList messages;
};

} // namespace apptest

class QMouseEvent;

namespace apptest {

// Sends a mouse event to widget at pos (its own coordinates) with button pressed or released;
// buttons is the button state after the event.
void sendMouse(QWidget *widget, int type, Qt::MouseButton button, Qt::MouseButtons buttons, QPoint pos);

} // namespace apptest
