// Start-up of the canvas: the activation handler, the template switch and the picture sizing.
#include "app/ui/main_unit.h"

#include "app/model/cardgeometry.h"
#include "app/ui/cardlabel.h"
#include "app/ui/scrollbox.h"
#include "app/ui/spinedit.h"
#include "app/ui/tmp.h"

#include "platform/jpeg.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace {

// A window after which the main window's activation does not count: one that blocked the main
// window while it was shown (modal dialogs, message boxes) or a pop-up that never took activation.
bool blocksMainWindow(const QWindow *window)
{
    return window->modality() != Qt::NonModal || window->type() == Qt::Popup || window->type() == Qt::ToolTip;
}

} // namespace

void TMainForm::watchActivation()
{
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &TMainForm::onFocusWindowChanged);
}

void TMainForm::onFocusWindowChanged(QWindow *window)
{
    const QPointer<QWindow> previous = m_focusWindow;
    const bool previousBlocking = m_focusWindowBlocking;
    m_focusWindow = window;
    m_focusWindowBlocking = window && blocksMainWindow(window);
    if (!window || window != windowHandle()) return;
    if (!m_activatedOnce || (previous && previous != window && !previousBlocking)) FormActivate();
}

void TMainForm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_centred) {
        m_centred = true;
        if (const QScreen *screen = this->screen()) {
            const QRect area = screen->availableGeometry();
            move(area.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
        }
    }
    // A window manager that hands out no focus still makes the first display an activation.
    if (!m_activatedOnce)
        QTimer::singleShot(0, this, [this] {
            if (!m_activatedOnce) FormActivate();
        });
}

void TMainForm::FormActivate()
{
    m_activatedOnce = true;
    handle([this] {
        if (!commitGuestEdit()) return;
        m_guests.open();
        m_templateTyped = false;
        cbb1->setCurrentIndex(0);
        // A run starts on the template and printer chosen last; later activations start over.
        if (!m_choiceRestored) restoreLastChoice();
        textinit();
    });
}

void TMainForm::cbb1Change()
{
    handle([this] {
        if (!commitGuestEdit()) return;
        textinit();
        if (!m_templateTyped) rememberChoice();
    });
}

void TMainForm::textinit()
{
    if (const auto templ = currentTemplate())
        img1->setPixmap(QPixmap::fromImage(platform::decodeJpegFile(dataOrUserFile(*templ))));

    readtext();

    const QString section = currentSection();
    const TemplateLayout layout = currentLayouts().read(section, currentPrinter());
    const layout::CardSizeMm size = layout.cardSize;
    if (size.width > 0 && size.height > 0) {
        rzstspn2->clear();
        edtPHeight->setText(QString::number(size.height));
        edtPWidth->setText(QString::number(size.width));
    } else {
        // Placement divides by the card size: keep the one in force.
        rzstspn2->setText(QStringLiteral("“%1”没有请柬尺寸，沿用原尺寸").arg(cbb1->currentText()));
    }

    edtPLeft->setText(QStringLiteral("0"));
    edtPTop->setText(QStringLiteral("0"));

    for (int n = 0; n < cardItemCount; ++n) {
        m_para[static_cast<size_t>(n)] = layout.records[static_cast<size_t>(n)];
        placeItem(n, m_para[static_cast<size_t>(n)]);
    }
    // A layout the user saved brings its offsets, which move the placed items as the controls do.
    edtPLeft->setText(QString::number(layout.leftOffsetMm));
    edtPTop->setText(QString::number(layout.topOffsetMm));
    scheduleOverflowCheck();
}

void TMainForm::btnSaveLayoutClick()
{
    handle([this] {
        const QString section = currentSection();
        TemplateLayout layout;
        layout.cardSize = {edtPWidth->value(), edtPHeight->value()};
        layout.leftOffsetMm = edtPLeft->value();
        layout.topOffsetMm = edtPTop->value();
        layout.records = m_para;
        currentLayouts().save(section, layout, currentPrinter());
        rzstspn2->setText(QStringLiteral("已保存“%1”的布局").arg(cbb1->currentText()));
        if (!currentPrinter().isEmpty())
            rzstspn3->setText(QStringLiteral("整体位置偏移存为打印机“%1”的").arg(currentPrinter()));
    });
}

void TMainForm::btnRestoreLayoutClick()
{
    handle([this] {
        const QString section = currentSection();
        const LayoutStore layouts = currentLayouts();
        if (layouts.hasUserLayout(section)) {
            const auto answer = QMessageBox::question(
                this, QStringLiteral("Tovaro"),
                QStringLiteral("恢复“%1”的默认布局吗？保存过的布局将被删除。").arg(cbb1->currentText()),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
            if (answer != QMessageBox::Yes) return;
            layouts.restoreDefault(section);
        }
        if (commitGuestEdit()) textinit();
    });
}

void TMainForm::placeItem(int n, const para &record)
{
    CardLabel *label = item(n);
    const auto x = cardgeometry::pixelFromMm(record.Left, edtPWidth->value(), img1->width(), img1->x());
    const auto y = cardgeometry::pixelFromMm(record.Top, edtPHeight->value(), img1->height(), img1->y());
    if (x && y) label->move(*x, *y);
    QFont font = label->font();
    if (!record.Fontname.isEmpty()) font.setFamily(record.Fontname);
    font.setPointSize(record.Fontsize > 0 ? record.Fontsize : QApplication::font().pointSize());
    layout::applyStyleText(font, record.Fontstyle);
    label->setFont(font);
}

void TMainForm::readtext()
{
    const EventDetails details = frm_tmp ? frm_tmp->details() : EventDetails{};
    const bool vertical = isVerticalLayout();
    if (vertical || isHorizontalLayout()) {
        for (int n = 1; n < cardItemCount; ++n) {
            if (n == 13) continue;
            const QString text = details.canvasText(n);
            item(n)->setCaption(vertical ? stackText(text) : text);
        }
        const QString name = m_guests.currentName();
        item(0)->setCaption(vertical ? stackText(name) : name);
    }
    for (int n : {16, 11, 12, 13, 8, 15})
        item(n)->setVisible(details.showsItem(n));
}

void TMainForm::ImagesizeChange()
{
    img1->setScaledContents(false);
    img1->resize(cardgeometry::pictureWidthPx(edtPWidth->value()), img1->height());
    img1->resize(img1->width(), cardgeometry::pictureHeightPx(edtPHeight->value()));
    img1->setScaledContents(true);
    scrlbx1->updateRange();
}

void TMainForm::edtPWidthChange()
{
    handle([this] {
        ImagesizeChange();
        scheduleOverflowCheck();
    });
}

void TMainForm::edtPHeightChange()
{
    handle([this] {
        ImagesizeChange();
        scheduleOverflowCheck();
    });
}
