// The small progress window of printing (and of preparing and exporting in the old progress
// style): a message, an optional bar and a cancel button. While it exists the window that was
// active when it was made is disabled; cancelling sets a flag that the running job polls at its
// next page.
#pragma once

#include "report/objects/frxClass.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;

namespace frx {

class TfrxProgress : public QWidget {
    Q_OBJECT
public:
    // Makes the window (hidden), remembers the active window and disables it (FormCreate).
    explicit TfrxProgress(QWidget *parent = nullptr);
    // Enables the remembered window again (FormDestroy).
    ~TfrxProgress() override;

    // Clears the terminated flag, sets up the bar (0 to maximum, position 0), the message and the
    // cancel button, and shows the window over the remembered window's monitor.
    void StartProgress(int maximum, const QString &text, bool showBar, bool showCancel);
    // Shows text at once.
    void SetProgressText(const QString &text);
    // Moves the bar to n and brings the window to the front.
    void SetProgressPosition(int n);
    // Shows or hides the bar; the message moves to make room for it.
    void ShowBar(bool show);
    // True once the user pressed cancel (the terminated flag).
    bool CancelRequested() const { return m_terminated; }
    // The window disabled while this one exists (null when none was active).
    QWidget *ActiveForm() const { return m_activeForm; }

    QFrame *Panel1;
    QLabel *LMessage;
    QProgressBar *Bar;
    QPushButton *CancelB;

protected:
    void hideEvent(QHideEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void CancelBClick();
    void EnableActiveForm();
    void KeepOnMonitor();

    QPointer<QWidget> m_activeForm;
    QPoint m_dragOffset;
    bool m_terminated = false;
};

// The progress window as a report's progress events drive it: shown for printing and exporting,
// and for preparing too in the old progress style, when the report shows progress at all. The
// user's cancel reaches the report (Terminated) at the next progress event.
class TfrxProgressDisplay : public TfrxProgressWindow {
public:
    // Serves report (not owned).
    explicit TfrxProgressDisplay(TfrxReport *report) : m_report(report) {}
    ~TfrxProgressDisplay() override;

    // A run of kind starts: a new window replaces any earlier one.
    void Start(TfrxProgressType kind) override;
    // Page n of the run: the window's message names it ("prRunningFirst" in the first of two
    // preparing passes); a cancel asks the report to terminate.
    void Progress(TfrxProgressType kind, int n, bool firstPass = false) override;
    // The run ends: the window goes.
    void Stop(TfrxProgressType kind) override;
    // The window of the running run, or null.
    TfrxProgress *Window() const { return m_window.get(); }

private:
    bool Shows(TfrxProgressType kind) const;

    TfrxReport *m_report;
    std::unique_ptr<TfrxProgress> m_window;
};

} // namespace frx
