// The dialog that asks for the password of a protected report template.
#pragma once

#include <QDialog>

#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace frx {

class TfrxPasswordForm : public QDialog {
    Q_OBJECT
public:
    // Builds the dialog with its texts from the resource table.
    explicit TfrxPasswordForm(QWidget *parent = nullptr);

    // Shows the dialog modally over the active window; the entry, or nothing when cancelled.
    static std::optional<QString> Ask();

    QLabel *Image;
    QLabel *PasswordL;
    QLineEdit *PasswordE;
    QPushButton *OkB;
    QPushButton *CancelB;
};

} // namespace frx
