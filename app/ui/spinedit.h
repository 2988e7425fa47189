// A spin edit holding whole numbers as text: the user steps it (buttons, arrow keys and wheel by
// 1, page keys by 10) within its limits but cannot type into it; the program may put any text
// into it, which is not held against the limits.
#pragma once

#include <QAbstractSpinBox>

class SpinEdit : public QAbstractSpinBox {
    Q_OBJECT
public:
    SpinEdit(int minValue, int maxValue, int initial, QWidget *parent = nullptr);

    QString text() const;
    // Puts text into the edit; textChanged() follows only when it differs from the current one.
    void setText(const QString &text);
    // The text as an integer, or the lower limit when it is not one.
    int value() const;
    int minValue() const { return m_min; }
    int maxValue() const { return m_max; }

    void stepBy(int steps) override;

signals:
    void textChanged();

protected:
    StepEnabled stepEnabled() const override;
    QValidator::State validate(QString &input, int &pos) const override;

private:
    int m_min;
    int m_max;
};
