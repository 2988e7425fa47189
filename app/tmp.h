// The event details dialog: date, weekday, time, kind of event, venue and names, entered once and
// shown on every card. It holds its values in its controls for the whole run; the main window
// reads them for the canvas and the print job reads them for the printed card.
#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

// A snapshot of the dialog's fields, in the terms of the card.
struct EventDetails {
    QString year;                // cbb1
    QString solarMonth;          // cbb2
    QString solarDay;            // cbb3
    QString lunarMonth;          // cbb4
    QString lunarDay;            // cbb5
    QString weekday;             // cbb6
    QString time;                // edt1
    QString eventKind;           // cbb10, printed as item 16
    QString venue;               // edt3
    QString father;              // edt5
    QString mother;              // edt7
    QString groom;               // edt6
    QString bride;               // edt8
    bool printEventKind = false; // chk1: item 16
    bool printParents = false;   // chk2: items 11, 12 and 13

    // The canvas text of item n (1..12, 14..16) before stacking; item 16 is always "举行".
    // Items 0 and 13 have no dialog field: an empty text.
    QString canvasText(int item) const;
    // The printed text of item n (1..12, 14..16); item 16 is the kind of event.
    QString printedText(int item) const;
};

// Stacks text for the vertical layout: every character followed by a carriage return and a line
// feed. A surrogate pair stays together as one character.
QString stackText(const QString &text);

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
