#include "app/ui/tmp.h"

#include "app/model/chinesedate.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTimeEdit>

namespace {

QStringList months()
{
    return {QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三"),   QStringLiteral("四"),
            QStringLiteral("五"), QStringLiteral("六"), QStringLiteral("七"),   QStringLiteral("八"),
            QStringLiteral("九"), QStringLiteral("十"), QStringLiteral("十一"), QStringLiteral("十二")};
}

QStringList days()
{
    QStringList list = months();
    list << QStringLiteral("十三") << QStringLiteral("十四") << QStringLiteral("十五")
         << QStringLiteral("十六") << QStringLiteral("十七") << QStringLiteral("十八")
         << QStringLiteral("十九") << QStringLiteral("二十") << QStringLiteral("二一")
         << QStringLiteral("二二") << QStringLiteral("二三") << QStringLiteral("二四")
         << QStringLiteral("二五") << QStringLiteral("二六") << QStringLiteral("二七")
         << QStringLiteral("二八") << QStringLiteral("二九") << QStringLiteral("三十")
         << QStringLiteral("三一");
    return list;
}

// Two groups as they have always been stored: full-width digit zero first, then the ideograph
// zero (which has no entry for 2011), with one empty entry between them; the second group goes
// on to ten years past this one.
QStringList years()
{
    const QStringList stored = {
        QStringLiteral("二００九"), QStringLiteral("二０一０"), QStringLiteral("二０一一"),
        QStringLiteral("二０一二"), QStringLiteral("二０一三"), QStringLiteral("二０一四"),
        QStringLiteral("二０一五"), QStringLiteral("二０一六"), QStringLiteral("二０一七"),
        QStringLiteral("二０一八"), QStringLiteral("二０一九"), QString(),
        QStringLiteral("二零零九"), QStringLiteral("二零一零"), QStringLiteral("二零一二"),
        QStringLiteral("二零一三"), QStringLiteral("二零一四"), QStringLiteral("二零一五"),
        QStringLiteral("二零一六"), QStringLiteral("二零一七"), QStringLiteral("二零一八"),
        QStringLiteral("二零一九")};
    return stored + chinesedate::yearTexts(2020, QDate::currentDate().year() + 10);
}

} // namespace

Tfrm_tmp::Tfrm_tmp(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frm_tmp"));
    setWindowTitle(QStringLiteral("设置内容"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    // Taller than the fields need by the check line under them.
    setFixedSize(317, 367);
    QFont windowFont(QStringLiteral("Tahoma"));
    windowFont.setPixelSize(11);
    setFont(windowFont);

    grp3 = new QGroupBox(QStringLiteral("设置内容"), this);
    grp3->setObjectName(QStringLiteral("grp3"));
    grp3->setGeometry(8, 8, 297, 353);

    cbb1 = addCombo("cbb1", QStringLiteral("年："), 49, 20, 73, years(), QStringLiteral("二零零九"));
    cbb2 = addCombo("cbb2", QStringLiteral("公历月："), 49, 45, 73, months(), QStringLiteral("一"));
    cbb3 = addCombo("cbb3", QStringLiteral("公历日："), 197, 45, 78, days(), QStringLiteral("一"));
    cbb4 = addCombo("cbb4", QStringLiteral("农历月："), 49, 70, 73, months(), QStringLiteral("一"));
    cbb5 =
        addCombo("cbb5", QStringLiteral("农历日："), 197, 72, 77, days() << QString(), QStringLiteral("一"));
    const QStringList weekdays = {QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三"),
                                  QStringLiteral("四"), QStringLiteral("五"), QStringLiteral("六"),
                                  QStringLiteral("日")};
    cbb6 = addCombo("cbb6", QStringLiteral("星期："), 49, 95, 49, weekdays, QStringLiteral("一"));
    edt1 = addEdit("edt1", QStringLiteral("时间："), 49, 121, 225, QStringLiteral("中午十一点五十八分"));
    cbb10 = addCombo("cbb10", QStringLiteral("举行："), 49, 145, 225,
                     {QStringLiteral("婚礼"), QStringLiteral("考学送行")}, QStringLiteral("婚礼"));
    edt3 = addEdit("edt3", QStringLiteral("席设："), 49, 170, 225, QString());
    edt5 = addEdit("edt5", QStringLiteral("父亲："), 49, 193, 89, QString());
    edt7 = addEdit("edt7", QStringLiteral("母亲："), 185, 193, 89, QString());
    edt6 = addEdit("edt6", QStringLiteral("新郎："), 49, 216, 89, QString());
    edt8 = addEdit("edt8", QStringLiteral("新娘："), 185, 218, 89, QString());

    chk1 = new QCheckBox(QStringLiteral("打印\u3000\u3000[举行]"), grp3);
    chk1->setObjectName(QStringLiteral("chk1"));
    chk1->setGeometry(15, 250, 97, 17);
    chk2 = new QCheckBox(QStringLiteral("打印\u3000\u3000[父母携]"), grp3);
    chk2->setObjectName(QStringLiteral("chk2"));
    chk2->setGeometry(143, 250, 163, 17);

    addCaption(QStringLiteral("日期："), 168, 23);
    dtpDate = new QDateEdit(QDate::currentDate(), grp3);
    dtpDate->setObjectName(QStringLiteral("dtpDate"));
    dtpDate->setLocale(QLocale(QLocale::Chinese, QLocale::China));
    dtpDate->setCalendarPopup(true);
    dtpDate->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    dtpDate->calendarWidget()->setFirstDayOfWeek(Qt::Monday);
    dtpDate->setGeometry(168, 20, 107, 21);
    addCaption(QStringLiteral("时刻："), 197, 98);
    dtpTime = new QTimeEdit(QTime(11, 58), grp3);
    dtpTime->setObjectName(QStringLiteral("dtpTime"));
    dtpTime->setDisplayFormat(QStringLiteral("HH:mm"));
    dtpTime->setGeometry(197, 95, 78, 21);

    lblCheck = new QLabel(grp3);
    lblCheck->setObjectName(QStringLiteral("lblCheck"));
    lblCheck->setWordWrap(true);
    lblCheck->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette warning = lblCheck->palette();
    warning.setColor(QPalette::WindowText, QColor(0xC0, 0x00, 0x00));
    lblCheck->setPalette(warning);
    lblCheck->setGeometry(12, 270, 279, 30);

    btn2 = new QPushButton(QStringLiteral("确定"), grp3);
    btn2->setObjectName(QStringLiteral("btn2"));
    btn2->setGeometry(49, 312, 75, 25);
    btn2->setDefault(true);
    connect(btn2, &QPushButton::clicked, this, &QDialog::accept);
    btn1 = new QPushButton(QStringLiteral("取消"), grp3);
    btn1->setObjectName(QStringLiteral("btn1"));
    btn1->setGeometry(185, 312, 75, 25);
    connect(btn1, &QPushButton::clicked, this, &QDialog::reject);

    // The time edit comes last in the tab order, after the buttons.
    const QList<QWidget *> order = {cbb1, cbb2, cbb3, cbb4, cbb5, cbb6, cbb10, edt3,    edt5,   edt7,
                                    edt6, edt8, chk1, chk2, btn1, btn2, edt1,  dtpDate, dtpTime};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));

    connect(dtpDate, &QDateEdit::dateChanged, this, [this](const QDate &date) {
        if (!m_showingTypedDate) fillDate(date);
    });
    connect(dtpTime, &QTimeEdit::timeChanged, this, &Tfrm_tmp::fillTime);
    for (QComboBox *combo : {cbb1, cbb2, cbb3, cbb4, cbb5, cbb6})
        connect(combo, &QComboBox::editTextChanged, this, &Tfrm_tmp::checkDate);
    checkDate();
}

void Tfrm_tmp::fillDate(const QDate &date)
{
    const chinesedate::CardDate texts = chinesedate::cardDate(date);
    if (texts.year.isEmpty()) return;
    m_filling = true;
    cbb1->setEditText(texts.year);
    cbb2->setEditText(texts.solarMonth);
    cbb3->setEditText(texts.solarDay);
    cbb4->setEditText(texts.lunarMonth);
    cbb5->setEditText(texts.lunarDay);
    cbb6->setEditText(texts.weekday);
    m_filling = false;
    checkDate();
}

void Tfrm_tmp::fillTime(const QTime &time)
{
    if (time.isValid()) edt1->setText(chinesedate::timeText(time));
}

void Tfrm_tmp::checkDate()
{
    if (m_filling) return;
    const EventDetails d = details();
    const chinesedate::CardDate typed{d.year, d.solarMonth, d.solarDay, d.lunarMonth, d.lunarDay, d.weekday};
    lblCheck->setText(chinesedate::disagreements(typed).join(u'\n'));
    // The calendar opens on the day the texts name, without filling anything back.
    if (const std::optional<QDate> date = chinesedate::solarDate(d.year, d.solarMonth, d.solarDay);
        date && *date != dtpDate->date()) {
        m_showingTypedDate = true;
        dtpDate->setDate(*date);
        m_showingTypedDate = false;
    }
}

void Tfrm_tmp::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    m_opened = details();
    m_openedDate = dtpDate->date();
    m_openedTime = dtpTime->time();
}

void Tfrm_tmp::reject()
{
    if (!m_opened) {
        QDialog::reject();
        return;
    }
    // The calendar and the clock go back first: each fills its texts when it moves.
    {
        const QSignalBlocker date(dtpDate);
        const QSignalBlocker time(dtpTime);
        dtpDate->setDate(m_openedDate);
        dtpTime->setTime(m_openedTime);
    }
    setDetails(*m_opened);
    QDialog::reject();
}

EventDetails Tfrm_tmp::details() const
{
    EventDetails d;
    d.year = cbb1->currentText();
    d.solarMonth = cbb2->currentText();
    d.solarDay = cbb3->currentText();
    d.lunarMonth = cbb4->currentText();
    d.lunarDay = cbb5->currentText();
    d.weekday = cbb6->currentText();
    d.time = edt1->text();
    d.eventKind = cbb10->currentText();
    d.venue = edt3->text();
    d.father = edt5->text();
    d.mother = edt7->text();
    d.groom = edt6->text();
    d.bride = edt8->text();
    d.printEventKind = chk1->isChecked();
    d.printParents = chk2->isChecked();
    return d;
}

void Tfrm_tmp::setDetails(const EventDetails &d)
{
    cbb1->setEditText(d.year);
    cbb2->setEditText(d.solarMonth);
    cbb3->setEditText(d.solarDay);
    cbb4->setEditText(d.lunarMonth);
    cbb5->setEditText(d.lunarDay);
    cbb6->setEditText(d.weekday);
    edt1->setText(d.time);
    cbb10->setEditText(d.eventKind);
    edt3->setText(d.venue);
    edt5->setText(d.father);
    edt7->setText(d.mother);
    edt6->setText(d.groom);
    edt8->setText(d.bride);
    chk1->setChecked(d.printEventKind);
    chk2->setChecked(d.printParents);
}

QComboBox *Tfrm_tmp::addCombo(const char *name, const QString &caption, int left, int top, int width,
                              const QStringList &entries, const QString &initial)
{
    addCaption(caption, left, top + 3);
    auto *combo = new QComboBox(grp3);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    combo->addItems(entries);
    combo->setMaxVisibleItems(12);
    combo->setEditText(initial);
    combo->setGeometry(left, top, width, 21);
    return combo;
}

QLineEdit *Tfrm_tmp::addEdit(const char *name, const QString &caption, int left, int top, int width,
                             const QString &initial)
{
    addCaption(caption, left, top + 3);
    auto *edit = new QLineEdit(initial, grp3);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(left, top, width, 21);
    return edit;
}

void Tfrm_tmp::addCaption(const QString &caption, int controlLeft, int top)
{
    auto *label = new QLabel(caption, grp3);
    QFont labelFont(QStringLiteral("Tahoma"));
    labelFont.setPixelSize(12);
    label->setFont(labelFont);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    label->adjustSize();
    label->move(controlLeft - label->width() - 2, top);
}
