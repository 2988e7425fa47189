// The application's error handler: every event handler of the windows runs inside guard(), so
// that no exception ever crosses Qt's event loop. An error shows a message box (error icon, OK
// button, caption "Tovaro", the text with a full stop appended when it does not end in one) and the
// rest of the handler is skipped; the program goes on.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace platform {

// The text the error box shows for message: a full stop is appended unless it ends in one
// ("." or the Chinese "。"); an empty message stays empty.
QString errorBoxText(const QString &message);

// Shows the error box for message, parented to parent (may be null).
void showErrorBox(QWidget *parent, const QString &message);
// Shows an error box captioned caption with text as it stands (the report engine's own errors).
void showCaptionedErrorBox(QWidget *parent, const QString &caption, const QString &text);

// Tests replace the box by a recorder; pass an empty function to restore the box.
using ErrorPresenter = std::function<void(QWidget *parent, const QString &text)>;
void setErrorPresenter(ErrorPresenter presenter);

// Runs handler; any exception it throws is shown as above. Returns false when it threw.
bool guard(QWidget *parent, const std::function<void()> &handler);

} // namespace platform
