// Canvas editing: dragging the text items, choosing their fonts, the whole-layout offsets.
#include "app/ui/main_unit.h"

#include "app/model/cardgeometry.h"
#include "app/ui/cardlabel.h"
#include "app/ui/spinedit.h"

#include "platform/errors.h"

#include <QFontDialog>
#include <QLabel>
#include <QEvent>
#include <QTimer>

namespace {

// Runs a handler after every resize of the widget it watches.
class ResizeWatcher : public QObject {
public:
    ResizeWatcher(QWidget *watched, std::function<void()> resized)
        : QObject(watched), m_resized(std::move(resized))
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize) m_resized();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_resized;
};

} // namespace

void TMainForm::watchCardScale()
{
    new ResizeWatcher(img1, [this] { updateCardScale(); });
    updateCardScale();
}

void TMainForm::updateCardScale()
{
    const auto across = cardgeometry::pixelsPerMm(img1->width(), edtPWidth->value());
    const auto down = cardgeometry::pixelsPerMm(img1->height(), edtPHeight->value());
    if (!across || !down) return;
    for (CardLabel *label : qj)
        label->setCardScale(*across, *down);
}

void TMainForm::scheduleOverflowCheck()
{
    if (m_overflowCheckPending) return;
    m_overflowCheckPending = true;
    QTimer::singleShot(0, this, [this] { handle([this] { checkOverflow(); }); });
}

void TMainForm::checkOverflow()
{
    m_overflowCheckPending = false;
    // A card size that left the picture's size as it was changes the scale all the same.
    updateCardScale();
    QList<int> overflowing;
    if (isVerticalLayout() || isHorizontalLayout()) {
        try {
            overflowing = m_cardReport->overflowingItems(cardState(), m_guests.currentName());
        } catch (const platform::Error &error) {
            rzstspn3->setText(QStringLiteral("无法检查文字是否放得下：") + error.message());
            return;
        }
    }
    QStringList titles;
    for (int n = 0; n < cardItemCount; ++n) {
        item(n)->setOverflowing(overflowing.contains(n));
        if (overflowing.contains(n)) titles << itemTitle(n);
    }
    rzstspn3->setText(titles.isEmpty() ? QString()
                                       : QStringLiteral("红框文字超出请柬，印不全：") +
                                             titles.join(QStringLiteral("、")));
}

int TMainForm::itemNumber(const CardLabel *label) const
{
    return label->objectName().mid(2).toInt();
}

std::optional<QPoint> TMainForm::canvasMm(const CardLabel *label) const
{
    const auto x = cardgeometry::mmFromPixel(label->x(), edtPWidth->value(), img1->width(), img1->x());
    const auto y = cardgeometry::mmFromPixel(label->y(), edtPHeight->value(), img1->height(), img1->y());
    if (!x || !y) return std::nullopt;
    return QPoint(*x, *y);
}

void TMainForm::qj0MouseDown(CardLabel *Sender, Qt::MouseButton, bool DoubleClick, int X, int Y)
{
    handle([&] {
        if (!DoubleClick) {
            Sender->setTag(cardgeometry::dragTag(X, Y, true));
            return;
        }
        dlgFontDiag1->setCurrentFont(m_dialogFont);
        if (dlgFontDiag1->exec() == QDialog::Accepted) {
            const QFont chosen = dlgFontDiag1->selectedFont();
            m_dialogFont = chosen;
            Sender->setFont(chosen);
            const int n = itemNumber(Sender);
            if (n >= 0 && n < cardItemCount) {
                para &record = m_para[static_cast<size_t>(n)];
                record.Fontname = chosen.family();
                record.Fontsize = layout::fontPointSize(chosen);
                record.Fontstyle = layout::styleTextFromFont(chosen);
            }
            scheduleOverflowCheck();
        }
        Sender->setTag(cardgeometry::dragTag(X, Y, false));
    });
}

void TMainForm::qj0MouseMove(CardLabel *Sender, int X, int Y)
{
    handle([&] {
        const std::int32_t tag = Sender->tag();
        if (!cardgeometry::tagDragging(tag)) return;
        Sender->move(Sender->x() + X - cardgeometry::tagGrabX(tag),
                     Sender->y() + Y - cardgeometry::tagGrabY(tag));
        if (Sender->x() < 0) Sender->move(0, Sender->y());
        if (Sender->y() < 0) Sender->move(Sender->x(), 0);
        if (const auto mm = canvasMm(Sender))
            rzstspn2->setText(QStringLiteral("左：%1mm   上：%2mm").arg(mm->x()).arg(mm->y()));
    });
}

void TMainForm::qj0MouseUp(CardLabel *Sender, int X, int Y)
{
    handle([&] {
        Sender->setTag(cardgeometry::dragTag(X, Y, false));
        const int n = itemNumber(Sender);
        const auto mm = canvasMm(Sender);
        if (mm && n >= 0 && n < cardItemCount) {
            m_para[static_cast<size_t>(n)].Left = mm->x();
            m_para[static_cast<size_t>(n)].Top = mm->y();
        }
        scheduleOverflowCheck();
    });
}

void TMainForm::edtPLeftChange()
{
    handle([this] {
        const int offset = edtPLeft->value();
        for (int i = 0; i < cardItemCount; ++i) {
            auto *label = findChild<CardLabel *>(QStringLiteral("qj%1").arg(i));
            const int mm =
                static_cast<int>(static_cast<long long>(offset) + m_para[static_cast<size_t>(i)].Left);
            if (const auto x = cardgeometry::pixelFromMm(mm, edtPWidth->value(), img1->width(), img1->x()))
                label->move(*x, label->y());
        }
        scheduleOverflowCheck();
    });
}

void TMainForm::edtPTopChange()
{
    handle([this] {
        const int offset = edtPTop->value();
        for (int i = 0; i < cardItemCount; ++i) {
            auto *label = findChild<CardLabel *>(QStringLiteral("qj%1").arg(i));
            const int mm =
                static_cast<int>(static_cast<long long>(offset) + m_para[static_cast<size_t>(i)].Top);
            if (const auto y = cardgeometry::pixelFromMm(mm, edtPHeight->value(), img1->height(), img1->y()))
                label->move(label->x(), *y);
        }
        scheduleOverflowCheck();
    });
}
