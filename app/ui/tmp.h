// The event details dialog: date, weekday, time, kind of event, venue and names, entered once and
// shown on every card. It holds its values in its controls for the whole run; the main window
// reads them for the canvas and the print job reads them for the printed card.
#pragma once

#include "app/model/eventdetails.h"

#include <QDialog>
#include <QString>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

class Tfrm_tmp : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_tmp(QWidget *parent = nullptr);

    // The current values of the controls.
    EventDetails details() const;

    QGroupBox *grp3;
    QComboBox *cbb1;
    QComboBox *cbb2;
    QComboBox *cbb3;
    QComboBox *cbb4;
    QComboBox *cbb5;
    QComboBox *cbb6;
    QComboBox *cbb10;
    QLineEdit *edt1;
    QLineEdit *edt3;
    QLineEdit *edt5;
    QLineEdit *edt6;
    QLineEdit *edt7;
    QLineEdit *edt8;
    QCheckBox *chk1;
    QCheckBox *chk2;
    QPushButton *btn2;
    QPushButton *btn1;

private:
    QComboBox *addCombo(const char *name, const QString &caption, int left, int top, int width,
                        const QStringList &entries, const QString &initial);
    QLineEdit *addEdit(const char *name, const QString &caption, int left, int top, int width,
                       const QString &initial);
    void addCaption(const QString &caption, int controlLeft, int top);
};
