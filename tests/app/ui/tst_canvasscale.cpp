// The card canvas to scale: every text item stands on the card picture where it prints and as long
// as it prints. The ink of each item is measured in card millimetres twice: on the canvas (the
// label as drawn, placed on the picture) and on the card exported to PDF and rendered by poppler.
#include "support/mainwindow.h"
#include "support/printserver.h"

#include "app/model/cardgeometry.h"
#include "app/ui/cardlabel.h"
#include "app/ui/spinedit.h"
#include "report/engine/frxEngine.h"
#include "report/engine/frxPreviewPages.h"
#include "report/output/frxPageExport.h"
#include "report/ui/frxPreview.h"
#include "report/ui/frxWidgetHost.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

struct Measured {
    int item;
    bool column;
    QRectF canvasMm;
    QRectF paperMm;
};

// The smallest rectangle of pixels at least a quarter covered by ink: a canvas at under three
// pixels per millimetre draws a stroke's edge as a pale pixel, paper at 300 per inch does not.
QRect inkBounds(const QImage &image, const QRect &region)
{
    QRect bounds;
    const QRect area = region & image.rect();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 192) bounds |= QRect(x, y, 1, 1);
    return bounds;
}

class CanvasScale : public ::testing::Test, public apptest::MainWindowFixture {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
            GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
        frx::frxInstallWidgetHost();
        QFile::copy(QStringLiteral(TOVARO_SOURCE_DIR "/data/frx.fr3"), dir.file(QStringLiteral("frx.fr3")));
        start();
    }

    // Only these items carry text, so that each one's ink stands alone on the printed card.
    void fillCard(const QString &guest)
    {
        form->edtMyName->setText(guest);
        form->btnMyAdd->click();
        EventDetails details;
        details.year = QStringLiteral("二零二六");
        details.solarMonth = details.solarDay = details.lunarMonth = details.lunarDay = details.weekday =
            QString();
        details.time = QStringLiteral("中午十一点五十八分");
        details.venue = QStringLiteral("和平饭店");
        details.groom = QStringLiteral("李大同");
        details.eventKind = QStringLiteral("婚礼");
        apptest::onNextModal([this, details](QWidget *) {
            dialog->setDetails(details);
            dialog->btn2->click();
        });
        form->btn1Click();
    }

    // The ink of item n on the canvas, in card millimetres from the picture's corner.
    QRectF canvasInkMm(int n)
    {
        CardLabel *label = form->item(n);
        QImage image(label->size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        label->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        const QRect ink = inkBounds(image, image.rect());
        if (ink.isEmpty()) return {};
        const double acrossPx = *cardgeometry::pixelsPerMm(form->img1->width(), form->edtPWidth->value());
        const double downPx = *cardgeometry::pixelsPerMm(form->img1->height(), form->edtPHeight->value());
        const QPointF corner = QPointF(label->pos() - form->img1->pos());
        return QRectF((corner.x() + ink.left()) / acrossPx, (corner.y() + ink.top()) / downPx,
                      (ink.width()) / acrossPx, ink.height() / downPx);
    }

    // Prints the current guest's card into a PDF file through the preview's pages.
    QString exportCard()
    {
        const QString file = dir.file(QStringLiteral("card.pdf"));
        frx::TfrxReport &report = form->cardReportPrinter().report();
        apptest::onNextModal([&](QWidget *modal) {
            (void)QTest::qWaitFor(
                [&] { return !report.PreparationTimerActive() && !report.Engine()->RunActive; }, 20000);
            QString error;
            EXPECT_TRUE(frx::frxExportPdf(*report.PreviewPages(), {0}, file, &error)) << error.toStdString();
            modal->close();
        });
        form->btnPrintPreviewBtn->click();
        return file;
    }

    // The ink on the printed card in the band of the page where the canvas has item n, widened by
    // the given millimetres on every side.
    static QRectF paperInkMm(const QImage &page, int dpi, const QRectF &nearMm, double widenMm)
    {
        const double perMm = dpi / 25.4;
        const QRectF band = nearMm.adjusted(-widenMm, -widenMm, widenMm, widenMm);
        const QRect region(QPoint(int(band.left() * perMm), int(band.top() * perMm)),
                           QPoint(int(band.right() * perMm), int(band.bottom() * perMm)));
        const QRect ink = inkBounds(page, region);
        if (ink.isEmpty()) return {};
        return QRectF(ink.left() / perMm, ink.top() / perMm, ink.width() / perMm, ink.height() / perMm);
    }

    // For the eye: the card on the canvas beside the printed page scaled to the same card width.
    void saveSideBySide(const QImage &page, const QString &name)
    {
        const QByteArray shots = qgetenv("TOVARO_SCREENSHOT_DIR");
        if (shots.isEmpty()) return;
        // The picture and the items over it, as the scroll box would show them with room enough.
        QImage canvas = form->img1->grab().toImage().convertToFormat(QImage::Format_RGB32);
        {
            QPainter items(&canvas);
            for (CardLabel *label : form->qj)
                if (label->isVisible())
                    label->render(&items, label->pos() - form->img1->pos(), QRegion(), QWidget::DrawChildren);
        }
        const QImage paper = page.convertToFormat(QImage::Format_RGB32)
                                 .scaledToWidth(canvas.width(), Qt::SmoothTransformation);
        QImage both(canvas.width() * 2 + 12, std::max(canvas.height(), paper.height()), QImage::Format_RGB32);
        both.fill(QColor(0x80, 0x80, 0x80));
        QPainter painter(&both);
        painter.drawImage(0, 0, canvas);
        painter.drawImage(canvas.width() + 12, 0, paper);
        painter.end();
        both.save(QString::fromLocal8Bit(shots) + u'/' + name + QStringLiteral(".png"));
    }

    // Measures the given items on the canvas and on paper.
    QList<Measured> measure(const QList<int> &items, double widenMm, const QString &shotName)
    {
        QList<Measured> result;
        for (int n : items)
            result.append({n, form->item(n)->isColumn(), canvasInkMm(n), {}});
        const QString pdf = exportCard();
        const int dpi = 300;
        const QImage page = apptest::renderPdfPage(pdf, 1, dpi);
        EXPECT_FALSE(page.isNull()) << pdf.toStdString();
        if (page.isNull()) return {};
        saveSideBySide(page, shotName);
        for (Measured &m : result)
            m.paperMm = paperInkMm(page, dpi, m.canvasMm, widenMm);
        return result;
    }

    // The text's length within 3 %; its start within three canvas pixels (a millimetre): the item
    // stands at whole pixels truncated from its millimetres, and its glyphs are rasterised at 12 to
    // 16 pixels, where their side bearings round to whole pixels; across its lines, where a few
    // millimetres are a dozen canvas pixels, within a pixel and a half.
    void expectAgree(const QList<Measured> &measured) const
    {
        ASSERT_FALSE(measured.isEmpty());
        const double pixelMm = double(form->edtPWidth->value()) / form->img1->width();
        for (const Measured &m : measured) {
            SCOPED_TRACE(testing::Message() << "item " << m.item << " canvas " << m.canvasMm.x() << ", "
                                            << m.canvasMm.y() << " " << m.canvasMm.width() << " x "
                                            << m.canvasMm.height() << " paper " << m.paperMm.x() << ", "
                                            << m.paperMm.y() << " " << m.paperMm.width() << " x "
                                            << m.paperMm.height());
            ASSERT_FALSE(m.canvasMm.isEmpty());
            ASSERT_FALSE(m.paperMm.isEmpty());
            EXPECT_NEAR(m.canvasMm.left(), m.paperMm.left(), 3 * pixelMm);
            EXPECT_NEAR(m.canvasMm.top(), m.paperMm.top(), 3 * pixelMm);
            const double along = m.column ? m.canvasMm.height() / m.paperMm.height()
                                          : m.canvasMm.width() / m.paperMm.width();
            EXPECT_NEAR(along, 1.0, 0.03);
            const double across = m.column ? m.canvasMm.width() - m.paperMm.width()
                                           : m.canvasMm.height() - m.paperMm.height();
            EXPECT_NEAR(across, 0.0, 1.5 * pixelMm);
        }
    }
};

} // namespace

// The vertical card: columns of the guest's name, the year, the groom, the venue and the time.
TEST_F(CanvasScale, columnsStandAndRunOnTheCanvasAsTheyPrint)
{
    fillCard(QStringLiteral("欧阳小明"));
    ASSERT_TRUE(form->item(0)->isColumn());
    const QList<Measured> measured = measure({0, 1, 7, 9, 10}, 2, QStringLiteral("canvas_beside_print_vertical"));
    expectAgree(measured);
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join(QLatin1Char('\n')).toStdString();
}

// The horizontal card: lines of the guest's name, the year and the venue.
TEST_F(CanvasScale, linesStandAndRunOnTheCanvasAsTheyPrint)
{
    chooseTemplate(2);
    fillCard(QStringLiteral("欧阳小明"));
    ASSERT_FALSE(form->item(0)->isColumn());
    expectAgree(measure({0, 1, 9}, 1, QStringLiteral("canvas_beside_print_horizontal")));
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join(QLatin1Char('\n')).toStdString();
}

// The font size stored for an item stays what it was: the canvas draws the points at its own
// scale instead of changing them.
TEST_F(CanvasScale, storedFontSizesStay)
{
    const int stored = form->layoutTable()[0].Fontsize;
    fillCard(QStringLiteral("欧阳小明"));
    EXPECT_EQ(form->layoutTable()[0].Fontsize, stored);
    EXPECT_EQ(form->item(0)->font().pointSize(), stored);
}
