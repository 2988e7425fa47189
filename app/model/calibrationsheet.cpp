#include "app/model/calibrationsheet.h"

#include "platform/errors.h"
#include "report/engine/frxPreviewPages.h"
#include "report/base/frxUtils.h"

namespace calibration {

namespace {

double millimetres(const QString &text)
{
    const std::optional<frx::Extended> value = frx::textToFloat(text);
    if (!value)
        throw platform::ConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    return double(*value);
}

constexpr double unitsPerMm = double(CardReportPrinter::unitsPerMm);

// A black line from (x, y) of that length along x (horizontal) or y, in report units.
void addLine(frx::TfrxReportPage &page, double x, double y, double length, bool horizontal)
{
    auto *line = new frx::TfrxLineView(&page);
    line->SetBounds(x, y, horizontal ? length : 0, horizontal ? 0 : length);
    line->Frame().SetColor(frx::clBlack);
    line->Frame().SetWidth(1);
}

void addNumber(frx::TfrxReportPage &page, double x, double y, const QString &text, int points)
{
    auto *memo = new frx::TfrxMemoView(&page);
    memo->SetBounds(x, y, 40, points * 2);
    memo->WordWrap = false;
    memo->GapX = 0;
    memo->GapY = 0;
    platform::FontValue font = memo->Font();
    font.name = QStringLiteral("Arial");
    font.setSize(points);
    font.color = frx::clBlack;
    memo->SetFont(font);
    memo->SetText(text);
}

// Ticks every millimetre of the paper's true size along the top and left edges: 2 mm long, 3.5 at
// every fifth, 5 with the number at every tenth.
void addRulers(frx::TfrxReportPage &page)
{
    const double perMm = double(frx::fr01cm);
    const auto tick = [](int mm) { return mm % 10 == 0 ? 5.0 : mm % 5 == 0 ? 3.5 : 2.0; };
    for (int mm = 1; mm < int(page.PaperWidth()); ++mm) {
        addLine(page, mm * perMm, 0, tick(mm) * perMm, false);
        if (mm % 10 == 0) addNumber(page, mm * perMm + 2, 5 * perMm - 12, QString::number(mm), 6);
    }
    for (int mm = 1; mm < int(page.PaperHeight()); ++mm) {
        addLine(page, 0, mm * perMm, tick(mm) * perMm, true);
        if (mm % 10 == 0) addNumber(page, 5 * perMm - 14, mm * perMm + 2, QString::number(mm), 6);
    }
}

} // namespace

QPointF itemPlaceUnits(const CardState &state, int n)
{
    const para &p = state.layout.at(static_cast<size_t>(n));
    return {(millimetres(state.leftOffsetText) + p.Left) * unitsPerMm,
            (millimetres(state.topOffsetText) + p.Top) * unitsPerMm};
}

QImage faintPicture(const QImage &picture)
{
    QImage faint = picture.convertToFormat(QImage::Format_Grayscale8);
    for (int y = 0; y < faint.height(); ++y) {
        uchar *row = faint.scanLine(y);
        for (int x = 0; x < faint.width(); ++x)
            row[x] = uchar(255 - (255 - row[x]) * 3 / 10);
    }
    return faint;
}

void buildSheet(frx::TfrxReport &report, const CardState &state)
{
    report.Clear();
    report.PreviewPages()->Clear();
    auto *page = new frx::TfrxReportPage(&report);
    page->SetName(QStringLiteral("Calibration"));
    if (state.templatePosition == 0 || state.templatePosition == 1)
        page->SetOrientation(frx::poLandscape);
    page->SetPaperWidth(millimetres(state.cardWidthText));
    page->SetPaperHeight(millimetres(state.cardHeightText));
    page->LeftMargin = page->RightMargin = page->TopMargin = page->BottomMargin = 0;

    const double left = millimetres(state.leftOffsetText) * unitsPerMm;
    const double top = millimetres(state.topOffsetText) * unitsPerMm;
    if (!state.cardPicture.isNull()) {
        auto *picture = new frx::TfrxPictureView(page);
        picture->SetBounds(left, top, page->PaperWidth() * unitsPerMm, page->PaperHeight() * unitsPerMm);
        picture->Stretched = true;
        picture->KeepAspectRatio = false;
        picture->Picture = faintPicture(state.cardPicture);
    }
    addRulers(*page);
    const double arm = crossArmMm * unitsPerMm;
    for (int n = 0; n < cardItemCount; ++n) {
        const QPointF place = itemPlaceUnits(state, n);
        addLine(*page, place.x() - arm, place.y(), 2 * arm, true);
        addLine(*page, place.x(), place.y() - arm, 2 * arm, false);
        addNumber(*page, place.x() + 3, place.y() + 3, QString::number(n), 7);
    }
    report.PreviewPages()->AddFrom(&report);
}

} // namespace calibration
