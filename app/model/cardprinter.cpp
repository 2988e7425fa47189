#include "app/model/cardprinter.h"

#include "app/model/cardcheck.h"
#include "app/model/carditem.h"
#include "app/model/gueststore.h"
#include "platform/errors.h"
#include "report/base/frxUtils.h"
#include "report/xml/frxXMLSerializer.h"

#include <QDir>

namespace {

enum class Layout { Vertical, Horizontal, Neither };

Layout layoutOf(int templatePosition)
{
    if (templatePosition == 0 || templatePosition == 1) return Layout::Vertical;
    if (templatePosition == 2 || templatePosition == 3) return Layout::Horizontal;
    return Layout::Neither;
}

// A spin edit's text as a number of millimetres.
frx::Extended millimetres(const QString &text)
{
    const std::optional<frx::Extended> value = frx::textToFloat(text);
    if (!value)
        throw platform::ConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    return *value;
}

unsigned styleBits(const QString &styleText)
{
    unsigned bits = 0;
    if (styleText.contains(QStringLiteral("fsBold"))) bits |= platform::fsBold;
    if (styleText.contains(QStringLiteral("fsItalic"))) bits |= platform::fsItalic;
    if (styleText.contains(QStringLiteral("fsUnderline"))) bits |= platform::fsUnderline;
    if (styleText.contains(QStringLiteral("fsStrikeOut"))) bits |= platform::fsStrikeOut;
    return bits;
}

// Closes the list and opens it again on every guest, sorted by ID.
void restoreFullList(GuestStore &guests)
{
    guests.close();
    guests.setQuery(GuestStore::sortedQuery());
    guests.open();
}

} // namespace

QPointF printerShiftMm(const CardState &state, const QString &printerName)
{
    if (!state.printerOffsets || printerName.compare(state.printerName, Qt::CaseInsensitive) == 0) return {};
    const std::optional<OffsetsMm> own = state.printerOffsets(printerName);
    if (!own) return {};
    return QPointF(own->left - double(millimetres(state.leftOffsetText)),
                   own->top - double(millimetres(state.topOffsetText)));
}

void setUpPrinter(frx::TfrxReport &report, const CardState &state)
{
    if (!state.printerName.isEmpty()) report.PrintOptions.Printer = state.printerName;
    report.OnPrinterShift = [state](const QString &printerName) { return printerShiftMm(state, printerName); };
}

CardReportPrinter::CardReportPrinter(const QString &dataDir) : m_dataDir(dataDir)
{
    frxdbdtst1.SetName(QStringLiteral("frxdbdtst1"));
    frxdbdtst1.SetUserName(QStringLiteral("frxdbdtst1"));
    frxdbdtst1.CloseDataSource = false;
    frxdbdtst1.BCDToCurrency = false;
    frxrprt1.SetName(QStringLiteral("frxrprt1"));
}

QString CardReportPrinter::templateFile() const
{
    return QDir(m_dataDir).filePath(QStringLiteral("frx.fr3"));
}

void CardReportPrinter::print(const CardState &state, GuestStore &guests, bool currentGuestOnly)
{
    if (!currentGuestOnly) {
        runAndRestore(state, guests, {});
        return;
    }
    runAndRestore(state, guests, [&guests](const QString &name) {
        guests.close();
        guests.selectName(name);
        guests.open();
    });
}

void CardReportPrinter::printGuests(const CardState &state, GuestStore &guests, const QList<qint64> &ids)
{
    runAndRestore(state, guests, [&guests, &ids](const QString &) {
        guests.close();
        guests.selectIds(ids);
        guests.open();
    });
}

void CardReportPrinter::runAndRestore(const CardState &state, GuestStore &guests,
                                      const std::function<void(const QString &)> &narrow)
{
    try {
        run(state, guests, narrow);
    } catch (...) {
        // The narrowing must not outlive a failed job; the job's own error is the one to show.
        try {
            restoreFullList(guests);
        } catch (const platform::Error &) {
        }
        throw;
    }
    restoreFullList(guests);
}

void CardReportPrinter::run(const CardState &state, GuestStore &guests,
                            const std::function<void(const QString &)> &narrow)
{
    const QString name = guests.currentName();
    if (narrow) narrow(name);
    frxdbdtst1.SetDataSet(&guests.cursor());

    loadAndFit(frxrprt1, state);
    frx::TfrxReportPage *page = cardPage(frxrprt1);
    if (state.wholeCards) {
        page->BackPicture = state.cardPicture;
        page->BackPicturePrintable = true;
    } else {
        // The cards are printed on bought pre-printed cards: the preview shows the card under the texts.
        page->PreviewBackground = state.cardPicture;
    }
    setUpPrinter(frxrprt1, state);
    const QStringList names = guests.names();
    frxrprt1.OnCheckJob = [this, state, names] {
        CardJobCheck check(*this, state, printerPrintableArea(state.printerName));
        std::function<QString(int)> title = state.itemTitle;
        if (!title) title = [](int item) { return QStringLiteral("m%1").arg(item); };
        return jobCheckSummary(check.checkAll(names), int(names.size()), title);
    };
    frxrprt1.ShowReport(true);
}

void CardReportPrinter::loadTemplate(frx::TfrxReport &report) const
{
    // The engine would show its own box in English for a damaged file and go on with what it read;
    // the user gets one box in Chinese that names the file and the place instead.
    const frx::TfrxSilentMode mode = report.EngineOptions.NewSilentMode;
    report.EngineOptions.NewSilentMode = frx::simSilent;
    bool found = false;
    try {
        found = frx::LoadFromFile(report, templateFile(), false);
    } catch (...) {
        report.EngineOptions.NewSilentMode = mode;
        throw;
    }
    report.EngineOptions.NewSilentMode = mode;
    const QString file = QDir::toNativeSeparators(templateFile());
    if (!found) throw platform::FileError(QStringLiteral("找不到请柬报表模板文件“%1”。").arg(file));
    const QList<frx::TfrxError> &errors = report.ErrorList.Entries();
    if (errors.isEmpty()) return;
    const frx::TfrxError &first = errors.first();
    const QString where = first.line > 0 ? QStringLiteral("第 %1 行第 %2 列：").arg(first.line).arg(first.column)
                                         : QString();
    throw platform::FileError(
        QStringLiteral("请柬报表模板文件“%1”已损坏（%2%3）。").arg(file, where, first.message));
}

void CardReportPrinter::loadAndFit(frx::TfrxReport &report, const CardState &state)
{
    loadTemplate(report);
    fitCardPage(report, state);
    for (int n = 0; n < cardItemCount; ++n)
        fitTextObject(report, n, state);
    putTexts(report, state.details);
    if (state.details.printParents)
        for (int n : {13, 11, 12})
            textObject(report, n)->SetVisible(true);
    if (state.details.printEventKind) textObject(report, 16)->SetVisible(true);
    // The farewell party has no bride: her items go unless a name is given for them.
    for (int n : {8, 15})
        if (!state.details.showsItem(n)) textObject(report, n)->SetVisible(false);
}

frx::TfrxReport &CardReportPrinter::measuredReport(const CardState &state)
{
    loadAndFit(m_measured, state);
    return m_measured;
}

QList<int> CardReportPrinter::overflowingItems(const CardState &state, const QString &guestName)
{
    loadAndFit(m_measured, state);
    // The name comes from the guest list when printing; here it is put in directly.
    textObject(m_measured, 0)->SetText(guestName);
    QList<int> items;
    for (int n = 0; n < cardItemCount; ++n) {
        frx::TfrxCustomMemoView *memo = textObject(m_measured, n);
        if (memo->Visible() && memo->TextOverflows()) items.append(n);
    }
    return items;
}

frx::TfrxReportPage *CardReportPrinter::cardPage(frx::TfrxReport &report) const
{
    frx::TfrxReportPage *page =
        report.PagesCount() > 1 ? dynamic_cast<frx::TfrxReportPage *>(report.Pages(1)) : nullptr;
    if (!page)
        throw platform::FileError(QStringLiteral("请柬报表模板文件“%1”中没有请柬页（第 2 页）。")
                                      .arg(QDir::toNativeSeparators(templateFile())));
    return page;
}

frx::TfrxCustomMemoView *CardReportPrinter::textObject(frx::TfrxReport &report, int n) const
{
    const QString objectName = QStringLiteral("M") + QString::number(n);
    auto *memo = dynamic_cast<frx::TfrxCustomMemoView *>(report.FindObject(objectName));
    if (!memo)
        throw platform::FileError(QStringLiteral("请柬报表模板文件“%1”中没有文本对象“m%2”。")
                                      .arg(QDir::toNativeSeparators(templateFile()))
                                      .arg(n));
    return memo;
}

void CardReportPrinter::fitCardPage(frx::TfrxReport &report, const CardState &state) const
{
    frx::TfrxReportPage *page = cardPage(report);
    switch (layoutOf(state.templatePosition)) {
    case Layout::Vertical:
        page->SetOrientation(frx::poLandscape);
        break;
    case Layout::Horizontal:
        page->SetOrientation(frx::poPortrait);
        break;
    case Layout::Neither:
        break;
    }
    page->SetPaperWidth(millimetres(state.cardWidthText));
    page->SetPaperHeight(millimetres(state.cardHeightText));
}

void CardReportPrinter::fitTextObject(frx::TfrxReport &report, int n, const CardState &state) const
{
    const para &p = state.layout.at(static_cast<size_t>(n));
    const Layout layout = layoutOf(state.templatePosition);
    frx::TfrxCustomMemoView *memo = textObject(report, n);
    if (layout != Layout::Neither) {
        const frx::Extended cardWidth = millimetres(state.cardWidthText);
        double t = static_cast<double>(millimetres(state.leftOffsetText) + p.Left);
        memo->SetLeft(t * unitsPerMm);
        memo->SetWidth((cardWidth - t - edgeMarginMm) * unitsPerMm);
        t = static_cast<double>(millimetres(state.topOffsetText) + p.Top);
        memo->SetTop(t * unitsPerMm);
        if (layout == Layout::Vertical) {
            const frx::Extended cardHeight = millimetres(state.cardHeightText);
            memo->SetHeight((cardHeight - t - edgeMarginMm) * unitsPerMm);
            carditem::applySetting(*memo, carditem::Setting::Column);
        } else {
            carditem::applySetting(*memo, carditem::Setting::Line);
        }
    }

    platform::FontValue font = memo->Font();
    if (layout == Layout::Vertical)
        font.name = carditem::printedFace(p.Fontname, carditem::Setting::Column);
    else if (layout == Layout::Horizontal && !p.Fontname.isEmpty())
        font.name = p.Fontname;
    font.setSize(p.Fontsize);
    font.style |= styleBits(p.Fontstyle);
    memo->SetFont(font);
}

void CardReportPrinter::putTexts(frx::TfrxReport &report, const EventDetails &details) const
{
    for (int n : {1, 2, 3, 4, 5, 6, 10, 16, 7, 14, 8, 15, 9, 11, 12})
        textObject(report, n)->SetText(details.printedText(n));
}
