// The event details dialog: date, weekday, time, kind of event, venue and names, entered once and
// shown on every card. It holds its values in its controls for the whole run; the main window
// reads them for the canvas and the print job reads them for the printed card. A calendar and a
// clock fill the date and time texts; a line under the fields tells when the typed date texts no
// longer describe one day.
#pragma once

#include "app/model/eventdetails.h"

#include <QDate>
#include <QDialog>
#include <QTime>

#include <optional>
#include <QString>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimeEdit;

class Tfrm_tmp : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_tmp(QWidget *parent = nullptr);

    // The current values of the controls.
    EventDetails details() const;
    // Puts details into the controls (texts as they are, also ones no list holds).
    void setDetails(const EventDetails &details);

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
    QDateEdit *dtpDate; // fills year, solar and lunar month and day, and weekday
    QTimeEdit *dtpTime; // fills the time text
    QLabel *lblCheck;   // what the typed date texts disagree on; empty when they agree

    // Fills the date texts from a calendar date.
    void fillDate(const QDate &date);
    // Fills the time text from a time of day.
    void fillTime(const QTime &time);

    // Cancel (the button, Escape, closing the window) puts back what the dialog showed when it
    // opened: the event stays as it was.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Rewrites the check line and, when the solar texts name a day, shows it in the calendar.
    void checkDate();

    // What the dialog showed when it opened (once it has).
    std::optional<EventDetails> m_opened;
    QDate m_openedDate;
    QTime m_openedTime;
    bool m_filling = false;          // fillDate() is writing the texts
    bool m_showingTypedDate = false; // checkDate() is moving the calendar
    QComboBox *addCombo(const char *name, const QString &caption, int left, int top, int width,
                        const QStringList &entries, const QString &initial);
    QLineEdit *addEdit(const char *name, const QString &caption, int left, int top, int width,
                       const QString &initial);
    void addCaption(const QString &caption, int controlLeft, int top);
};
