// The preview window as the report opens it: a TfrxPreviewForm made per showing.
#include "report/ui/frxPreview.h"

#include <QApplication>
#include <QPointer>

namespace frx {

namespace {

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
