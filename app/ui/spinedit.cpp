#include "app/ui/spinedit.h"

#include <QLineEdit>

#include <algorithm>

SpinEdit::SpinEdit(int minValue, int maxValue, int initial, QWidget *parent)
    : QAbstractSpinBox(parent), m_min(minValue), m_max(maxValue)
{
    lineEdit()->setReadOnly(true);
    lineEdit()->setText(QString::number(initial));
    setAccelerated(false);
    connect(lineEdit(), &QLineEdit::textChanged, this, &SpinEdit::textChanged);
}

QString SpinEdit::text() const
{
    return lineEdit()->text();
}

void SpinEdit::setText(const QString &text)
{
    if (text != lineEdit()->text()) lineEdit()->setText(text);
}

int SpinEdit::value() const
{
    bool ok = false;
    const int number = lineEdit()->text().trimmed().toInt(&ok);
    return ok ? number : m_min;
}

void SpinEdit::stepBy(int steps)
{
    const long long stepped = static_cast<long long>(value()) + steps;
    setText(QString::number(std::clamp<long long>(stepped, m_min, m_max)));
}

QAbstractSpinBox::StepEnabled SpinEdit::stepEnabled() const
{
    return StepUpEnabled | StepDownEnabled;
}

QValidator::State SpinEdit::validate(QString &, int &) const
{
    return QValidator::Acceptable;
}
