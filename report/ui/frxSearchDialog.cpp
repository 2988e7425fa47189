#include "report/ui/frxSearchDialog.h"

#include "report/base/frxRes.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace frx {

namespace {

QString &lastConfirmedText()
{
    static QString text;
    return text;
}

} // namespace

TfrxSearchDialog::TfrxSearchDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrxSearchDialog"));
    setWindowTitle(frxGet(300));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    ReplacePanel = new QWidget(this);
    ReplaceL = new QLabel(frxGet(303), ReplacePanel);
    ReplaceE = new QLineEdit(ReplacePanel);
    auto *replaceLayout = new QVBoxLayout(ReplacePanel);
    replaceLayout->setContentsMargins(0, 0, 0, 0);
    replaceLayout->addWidget(ReplaceL);
    replaceLayout->addWidget(ReplaceE);
    ReplacePanel->hide();

    Panel2 = new QWidget(this);
    TextL = new QLabel(frxGet(301), Panel2);
    TextE = new QLineEdit(Panel2);
    TextL->setBuddy(TextE);
    auto *textLayout = new QVBoxLayout(Panel2);
    textLayout->setContentsMargins(0, 0, 0, 0);
    textLayout->addWidget(TextL);
    textLayout->addWidget(TextE);

    Panel3 = new QWidget(this);
    SearchL = new QGroupBox(frxGet(302), Panel3);
    CaseCB = new QCheckBox(frxGet(305), SearchL);
    TopCB = new QCheckBox(frxGet(304), SearchL);
    auto *optionsLayout = new QVBoxLayout(SearchL);
    optionsLayout->addWidget(CaseCB);
    optionsLayout->addWidget(TopCB);
    OkB = new QPushButton(frxGet(1), Panel3);
    CancelB = new QPushButton(frxGet(2), Panel3);
    OkB->setDefault(true);
    connect(OkB, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelB, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OkB);
    buttons->addWidget(CancelB);
    auto *panel3Layout = new QVBoxLayout(Panel3);
    panel3Layout->setContentsMargins(0, 0, 0, 0);
    panel3Layout->addWidget(SearchL);
    panel3Layout->addLayout(buttons);

    ReplacePanel->setObjectName(QStringLiteral("ReplacePanel"));
    ReplaceL->setObjectName(QStringLiteral("ReplaceL"));
    ReplaceE->setObjectName(QStringLiteral("ReplaceE"));
    Panel2->setObjectName(QStringLiteral("Panel2"));
    TextL->setObjectName(QStringLiteral("TextL"));
    TextE->setObjectName(QStringLiteral("TextE"));
    Panel3->setObjectName(QStringLiteral("Panel3"));
    SearchL->setObjectName(QStringLiteral("SearchL"));
    CaseCB->setObjectName(QStringLiteral("CaseCB"));
    TopCB->setObjectName(QStringLiteral("TopCB"));
    OkB->setObjectName(QStringLiteral("OkB"));
    CancelB->setObjectName(QStringLiteral("CancelB"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(ReplacePanel);
    layout->addWidget(Panel2);
    layout->addWidget(Panel3);
    layout->addStretch();
    // The form sizes itself to its content, starting from its designed width.
    resize(252, 206);
    setMinimumWidth(252);
}

QString TfrxSearchDialog::LastText()
{
    return lastConfirmedText();
}

void TfrxSearchDialog::showEvent(QShowEvent *event)
{
    FormShow();
    QDialog::showEvent(event);
    // A window manager may activate the dialog later or not at all (offscreen); focus it now too.
    FormActivate();
}

void TfrxSearchDialog::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

void TfrxSearchDialog::FormShow()
{
    TextE->setText(lastConfirmedText());
}

void TfrxSearchDialog::FormActivate()
{
    TextE->setFocus();
    TextE->selectAll();
}

void TfrxSearchDialog::done(int result)
{
    if (result == QDialog::Accepted) lastConfirmedText() = TextE->text();
    QDialog::done(result);
}

} // namespace frx
