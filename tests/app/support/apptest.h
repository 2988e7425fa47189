// Shared helpers of the card program's widget tests: the application object, a data folder with
// the program's data files, and closing modal windows that a test opens.
#pragma once

#include <QPoint>
#include <QString>
#include <QTemporaryDir>
#include <Qt>

#include <functional>

class QWidget;

namespace apptest {

// Creates the QApplication on first use (offscreen platform, as CTest sets it).
void ensureApplication();

// A fresh temporary folder holding copies of the program's data files (temp.ini, qingjian1.jpg,
// qingjian2.jpg) and no guest store.
class DataDir {
public:
    DataDir();
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }
    // Replaces temp.ini by text (UTF-8).
    void writeProfile(const QString &text) const;
    void writeFile(const QString &name, const QByteArray &bytes) const;

private:
    QTemporaryDir m_dir;
};

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
