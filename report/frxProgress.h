// The small progress window of printing (and of preparing and exporting in the old progress
// style): a message, an optional bar and a cancel button. While it exists the window that was
// active when it was made is disabled; cancelling sets a flag that the running job polls at its
// next page.
#pragma once

#include <QPointer>
#include <QWidget>

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

} // namespace frx
