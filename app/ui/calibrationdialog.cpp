#include "app/ui/calibrationdialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QSpinBox *millimetreBox(const char *name, QWidget *parent)
{
    auto *box = new QSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(-100, 100);
    box->setSuffix(QStringLiteral(" 毫米"));
    return box;
}

} // namespace

CalibrationDialog::CalibrationDialog(const QString &printerName, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("CalibrationDialog"));
    setWindowTitle(QStringLiteral("校准打印位置"));
    auto *layout = new QVBoxLayout(this);
    auto *question = new QLabel(
        QStringLiteral("校准页是用打印机“%1”印的。把它和请柬对照（或直接印在空白请柬上）：\n"
                       "灰色底图还要向右、向下移动几毫米才和请柬上的图案重合？向左、向上填负数。\n"
                       "填的数会加到这台打印机的整体位置偏移上。")
            .arg(printerName),
        this);
    question->setObjectName(QStringLiteral("question"));
    layout->addWidget(question);
    auto *form = new QFormLayout;
    edtRight = millimetreBox("edtRight", this);
    edtDown = millimetreBox("edtDown", this);
    form->addRow(QStringLiteral("向右移动："), edtRight);
    form->addRow(QStringLiteral("向下移动："), edtDown);
    layout->addLayout(form);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

OffsetsMm CalibrationDialog::move() const
{
    return {edtRight->value(), edtDown->value()};
}

void CalibrationDialog::setMove(OffsetsMm move)
{
    edtRight->setValue(move.left);
    edtDown->setValue(move.top);
}
