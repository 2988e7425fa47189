#include "platform/ui/errorguard.h"

#include "platform/errors.h"

#include <QMessageBox>

#include <exception>
#include <new>

namespace platform {

namespace {

ErrorPresenter &presenter()
{
    static ErrorPresenter instance;
    return instance;
}

void present(QWidget *parent, const QString &message) noexcept
{
    // The guard is the last line before Qt's event loop: nothing may escape it, not even a
    // failure to show the box.
    try {
        showErrorBox(parent, message);
    } catch (...) {
    }
}

} // namespace

QString errorBoxText(const QString &message)
{
    if (message.isEmpty() || message.endsWith(u'.') || message.endsWith(u'。')) return message;
    return message + u'.';
}

void showErrorBox(QWidget *parent, const QString &message)
{
    showCaptionedErrorBox(parent, QStringLiteral("Tovaro"), errorBoxText(message));
}

void showCaptionedErrorBox(QWidget *parent, const QString &caption, const QString &text)
{
    if (presenter()) {
        presenter()(parent, text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

void setErrorPresenter(ErrorPresenter replacement)
{
    presenter() = std::move(replacement);
}

bool guard(QWidget *parent, const std::function<void()> &handler)
{
    try {
        handler();
        return true;
    } catch (const Error &error) {
        present(parent, error.message());
    } catch (const std::bad_alloc &) {
        present(parent, QStringLiteral("内存不足"));
    } catch (const std::exception &error) {
        present(parent, QString::fromUtf8(error.what()));
    } catch (...) {
        present(parent, QStringLiteral("发生未知错误"));
    }
    return false;
}

} // namespace platform
