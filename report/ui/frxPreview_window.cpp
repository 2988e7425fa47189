// The preview window as the report opens it: a TfrxPreviewForm made per showing.
#include "report/ui/frxPreview.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>

#include <utility>

namespace frx {

namespace {

// A modal preview stands for the whole program: minimising it minimises the program's windows
// instead, and the program coming back (one of them restored, or the program activated) brings
// them all back with the preview in front.
class ModalMinimizer : public QObject {
public:
    // Watches the whole program (for its activation and its windows' states) while the form lives.
    explicit ModalMinimizer(QWidget *form) : QObject(form), m_form(form) { qApp->installEventFilter(this); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::ApplicationStateChange) {
            if (qApp->applicationState() == Qt::ApplicationActive && m_form->isMinimized()) restore();
        } else if (event->type() == QEvent::WindowStateChange && !m_busy) {
            auto *window = qobject_cast<QWidget *>(watched);
            if (window == m_form && m_form->isMinimized())
                minimizeProgram();
            else if (window && window != m_form && m_minimized.contains(window) && !window->isMinimized())
                restore();
        }
        return false;
    }

private:
    void minimizeProgram()
    {
        m_busy = true;
        for (QWidget *window : QApplication::topLevelWidgets())
            if (window != m_form && window->isVisible() && !window->isMinimized()) {
                m_minimized.append(window);
                window->showMinimized();
            }
        m_busy = false;
    }

    void restore()
    {
        m_busy = true;
        for (const QPointer<QWidget> &window : std::exchange(m_minimized, {}))
            if (window) window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        m_form->setWindowState(m_form->windowState() & ~Qt::WindowMinimized);
        m_form->show();
        m_form->raise();
        m_form->activateWindow();
        m_busy = false;
    }

    QWidget *m_form;
    QList<QPointer<QWidget>> m_minimized;
    bool m_busy = false;
};

class PreviewWindow : public TfrxPreviewWindow {
public:
    explicit PreviewWindow(TfrxReport *report) : m_form(new TfrxPreviewForm(QApplication::activeWindow()))
    {
        m_form->ConfigureFromOptions(report);
        // Closing by any road (the close box, Escape, the close button) ends the dialog.
        QObject::connect(m_form.data(), &QDialog::finished, m_form.data(), [report] {
            if (report->OnClosePreview) report->OnClosePreview();
        });
    }
    ~PreviewWindow() override
    {
        // A modeless window frees itself when closed; a modal one goes with its showing.
        if (m_owned) delete m_form.data();
    }
    TfrxPreparationObserver *observer() override { return m_form ? m_form->Preview : nullptr; }
    void showModal() override
    {
        if (!m_form) return;
        m_form->setWindowModality(Qt::ApplicationModal);
        new ModalMinimizer(m_form);
        m_form->exec();
    }
    void showNonModal() override
    {
        if (!m_form) return;
        m_owned = false;
        m_form->setAttribute(Qt::WA_DeleteOnClose);
        m_form->show();
    }
    void close() override
    {
        if (m_form) m_form->close();
    }
    void ShowMessage(const QString &text) override
    {
        if (m_form) m_form->ShowMessage(text);
    }

private:
    QPointer<TfrxPreviewForm> m_form;
    bool m_owned = true;
};

} // namespace

std::unique_ptr<TfrxPreviewWindow> frxCreatePreviewWindow(TfrxReport *report)
{
    return std::make_unique<PreviewWindow>(report);
}

} // namespace frx
