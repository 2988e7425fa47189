#include "report/ui/frxPasswordForm.h"

#include "report/base/frxPasswordCheck.h"
#include "report/base/frxRes.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>

namespace frx {

namespace {

// A key, the picture beside the password field.
QPixmap keyPicture()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor gold(0xd4, 0xa0, 0x17);
    const QColor edge(0x7a, 0x5a, 0x08);
    p.setPen(QPen(edge, 1.2));
    p.setBrush(gold);
    QPainterPath key;
    key.addEllipse(QRectF(3, 3, 14, 14));
    key.addRect(QRectF(14, 8.5, 15, 4));
    key.addRect(QRectF(23, 12, 3, 5));
    key.addRect(QRectF(18, 12, 3, 4));
    p.drawPath(key.simplified());
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(7, 7, 5, 5));
    return pixmap;
}

} // namespace

TfrxPasswordForm::TfrxPasswordForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrxPasswordForm"));
    setWindowTitle(frxGet(5000));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    Image = new QLabel(this);
    Image->setObjectName(QStringLiteral("Image"));
    Image->setPixmap(keyPicture());
    Image->setAlignment(Qt::AlignTop);
    PasswordL = new QLabel(frxGet(5001), this);
    PasswordL->setObjectName(QStringLiteral("PasswordL"));
    PasswordE = new QLineEdit(this);
    PasswordE->setObjectName(QStringLiteral("PasswordE"));
    PasswordE->setEchoMode(QLineEdit::Password);
    PasswordE->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    PasswordL->setBuddy(PasswordE);
    OkB = new QPushButton(frxGet(1), this);
    OkB->setObjectName(QStringLiteral("OkB"));
    OkB->setDefault(true);
    CancelB = new QPushButton(frxGet(2), this);
    CancelB->setObjectName(QStringLiteral("CancelB"));
    connect(OkB, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelB, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OkB);
    buttons->addWidget(CancelB);
    auto *layout = new QGridLayout(this);
    layout->addWidget(Image, 0, 0, 2, 1);
    layout->addWidget(PasswordL, 0, 1);
    layout->addWidget(PasswordE, 1, 1);
    layout->addLayout(buttons, 2, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    resize(252, 92);
}

std::optional<QString> TfrxPasswordForm::Ask()
{
    TfrxPasswordForm form(QApplication::activeWindow());
    // Centred on the screen, not on the window that happens to be active.
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), form.size());
        frame.moveCenter(screen->availableGeometry().center());
        form.move(frame.topLeft());
    }
    if (form.exec() != QDialog::Accepted) return std::nullopt;
    return form.PasswordE->text();
}

} // namespace frx
