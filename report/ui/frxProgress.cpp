#include "report/ui/frxProgress.h"

#include "report/base/frxMessages.h"
#include "report/base/frxRes.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

namespace frx {

namespace {

constexpr int kWidth = 271;
constexpr int kHeight = 101;
constexpr int kMessageTopWithBar = 15;
constexpr int kMessageTopWithoutBar = 35;

} // namespace

TfrxProgress::TfrxProgress(QWidget *parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("TfrxProgress"));
    setFixedSize(kWidth, kHeight);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(2);
    Panel1->setGeometry(0, 0, kWidth, kHeight);

    const QFont tahoma(QStringLiteral("Tahoma"), 8);
    LMessage = new QLabel(Panel1);
    LMessage->setObjectName(QStringLiteral("LMessage"));
    LMessage->setFont(tahoma);
    LMessage->setAlignment(Qt::AlignCenter);
    LMessage->setGeometry(8, kMessageTopWithBar, kWidth - 16, 18);

    Bar = new QProgressBar(Panel1);
    Bar->setObjectName(QStringLiteral("Bar"));
    Bar->setTextVisible(false);
    Bar->setGeometry(12, 38, kWidth - 24, 16);
    Bar->setRange(0, 100);
    Bar->setValue(0);

    CancelB = new QPushButton(frxGet(2), Panel1);
    CancelB->setObjectName(QStringLiteral("CancelB"));
    CancelB->setFont(tahoma);
    CancelB->setGeometry((kWidth - 75) / 2, 64, 75, 25);
    connect(CancelB, &QPushButton::clicked, this, &TfrxProgress::CancelBClick);

    // The window that started the work must not take input while the work runs. The progress
    // window is not its child, so disabling it leaves this window usable.
    m_activeForm = QApplication::activeWindow();
    if (m_activeForm == this) m_activeForm = nullptr;
    if (m_activeForm) m_activeForm->setEnabled(false);
}

TfrxProgress::~TfrxProgress()
{
    EnableActiveForm();
}

void TfrxProgress::StartProgress(int maximum, const QString &text, bool showBar, bool showCancel)
{
    m_terminated = false;
    CancelB->setVisible(showCancel);
    ShowBar(showBar);
    Bar->setMinimum(0);
    Bar->setValue(0);
    Bar->setMaximum(maximum);
    LMessage->setText(text);
    KeepOnMonitor();
    show();
    QCoreApplication::processEvents();
}

void TfrxProgress::SetProgressText(const QString &text)
{
    LMessage->setText(text);
    LMessage->repaint();
}

void TfrxProgress::SetProgressPosition(int n)
{
    Bar->setValue(n);
    raise();
    QCoreApplication::processEvents();
}

void TfrxProgress::ShowBar(bool show)
{
    Bar->setVisible(show);
    LMessage->move(LMessage->x(), show ? kMessageTopWithBar : kMessageTopWithoutBar);
}

void TfrxProgress::CancelBClick()
{
    m_terminated = true;
    close();
}

void TfrxProgress::hideEvent(QHideEvent *event)
{
    EnableActiveForm();
    QWidget::hideEvent(event);
}

// The window has no caption, so any point of it drags it.
void TfrxProgress::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) m_dragOffset = event->globalPosition().toPoint() - pos();
    QWidget::mousePressEvent(event);
}

void TfrxProgress::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton) move(event->globalPosition().toPoint() - m_dragOffset);
    QWidget::mouseMoveEvent(event);
}

void TfrxProgress::EnableActiveForm()
{
    if (m_activeForm) m_activeForm->setEnabled(true);
}

// Centres the window over the remembered window (the screen when none) and keeps it wholly on
// that window's monitor.
void TfrxProgress::KeepOnMonitor()
{
    QScreen *screen = m_activeForm ? m_activeForm->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QRect around = m_activeForm ? m_activeForm->frameGeometry() : area;
    QRect frame(QPoint(0, 0), size());
    frame.moveCenter(around.center());
    frame.moveLeft(qBound(area.left(), frame.left(), qMax(area.left(), area.right() - frame.width() + 1)));
    frame.moveTop(qBound(area.top(), frame.top(), qMax(area.top(), area.bottom() - frame.height() + 1)));
    move(frame.topLeft());
}

TfrxProgressDisplay::~TfrxProgressDisplay() = default;

bool TfrxProgressDisplay::Shows(TfrxProgressType kind) const
{
    return m_report->ShowProgress && (m_report->OldStyleProgress || kind != ptRunning);
}

void TfrxProgressDisplay::Start(TfrxProgressType kind)
{
    if (!Shows(kind)) return;
    m_window.reset();
    m_window = std::make_unique<TfrxProgress>();
    m_window->StartProgress(0, QString(), false, true);
}

void TfrxProgressDisplay::Progress(TfrxProgressType kind, int n, bool firstPass)
{
    if (Shows(kind) && m_window) {
        QString format;
        switch (kind) {
        case ptRunning:
            format = frxGet(firstPass ? QStringLiteral("prRunningFirst") : QStringLiteral("prRunning"));
            break;
        case ptExporting:
            format = frxGet(QStringLiteral("prExporting"));
            break;
        case ptPrinting:
            format = frxGet(QStringLiteral("prPrinting"));
            break;
        }
        m_window->SetProgressText(format.replace(QStringLiteral("%d"), QString::number(n)));
        if (m_window->CancelRequested()) m_report->Terminated = true;
    }
    frxProcessMessages(false);
}

void TfrxProgressDisplay::Stop(TfrxProgressType kind)
{
    if (Shows(kind)) m_window.reset();
}

} // namespace frx
