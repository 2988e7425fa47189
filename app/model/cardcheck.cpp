#include "app/model/cardcheck.h"

#include "app/model/carditem.h"
#include "report/output/frxPrintableArea.h"

#include <QHash>

#include <algorithm>

namespace {

// Less than this much overlap (mm) is the glyphs' own leading, not one text over another.
constexpr double overlapSlackMm = 0.2;
// A text touching the printable area's edge within this (mm) is inside it.
constexpr double edgeSlackMm = 0.05;

QRectF unitsToMm(const QRectF &units)
{
    const double perMm = double(CardReportPrinter::unitsPerMm);
    return QRectF(units.x() / perMm, units.y() / perMm, units.width() / perMm, units.height() / perMm);
}

QString describe(const ItemFault &fault, const std::function<QString(int)> &itemTitle)
{
    switch (fault.fault) {
    case CardFault::Overflows:
        return QStringLiteral("“%1”超出文本框，印不全").arg(itemTitle(fault.item));
    case CardFault::RunsInto:
        return QStringLiteral("“%1”压到“%2”").arg(itemTitle(fault.item), itemTitle(fault.otherItem));
    case CardFault::LeavesPrintableArea:
        return QStringLiteral("“%1”超出打印机能印的范围").arg(itemTitle(fault.item));
    }
    return {};
}

QString describeAll(const QList<ItemFault> &faults, const std::function<QString(int)> &itemTitle)
{
    QStringList texts;
    for (const ItemFault &fault : faults)
        texts << describe(fault, itemTitle);
    return texts.join(QStringLiteral("；"));
}

} // namespace

PrintableArea printerPrintableArea(const QString &printerName)
{
    return [printerName](const QSizeF &paperMm) -> std::optional<QRectF> {
        // Without a printer there is no paper to fall off: the stand-in's margins are not a printer's.
        if (!frx::frxPrinters()->HasRealPrinters()) return std::nullopt;
        return frx::frxPrintableAreaMm(printerName, paperMm.width(), paperMm.height(), frx::poPortrait);
    };
}

CardJobCheck::CardJobCheck(CardReportPrinter &printer, const CardState &state, PrintableArea area)
    : m_report(printer.measuredReport(state)), m_printer(printer)
{
    const frx::TfrxReportPage *page = printer.cardPage(m_report);
    if (area) m_printableMm = area(QSizeF(double(page->PaperWidth()), double(page->PaperHeight())));
    // Only the guest's name differs from card to card.
    for (int n = 1; n < cardItemCount; ++n)
        measure(n);
}

void CardJobCheck::measure(int n)
{
    frx::TfrxCustomMemoView *memo = m_printer.textObject(m_report, n);
    const size_t i = size_t(n);
    m_overflows[i] = false;
    m_textMm[i] = QRectF();
    if (!memo->Visible() || memo->Text().trimmed().isEmpty()) return;
    m_overflows[i] = memo->TextOverflows();
    const QRectF object(double(memo->Left()), double(memo->Top()), double(memo->Width()), double(memo->Height()));
    // What the object cuts off does not print: only the part inside it can run into anything.
    const QRectF block = carditem::textBlockUnits(*memo).translated(object.topLeft()) & object;
    m_textMm[i] = unitsToMm(block);
}

void CardJobCheck::addFaults(int n, QList<ItemFault> &faults) const
{
    const QRectF text = m_textMm.at(size_t(n));
    if (m_overflows.at(size_t(n))) faults.append({n, CardFault::Overflows});
    if (text.isEmpty()) return;
    for (int other = n + 1; other < cardItemCount; ++other) {
        const QRectF overlap = text & m_textMm.at(size_t(other));
        if (overlap.width() > overlapSlackMm && overlap.height() > overlapSlackMm)
            faults.append({n, CardFault::RunsInto, other});
    }
    if (m_printableMm &&
        !m_printableMm->adjusted(-edgeSlackMm, -edgeSlackMm, edgeSlackMm, edgeSlackMm).contains(text))
        faults.append({n, CardFault::LeavesPrintableArea});
}

CardFindings CardJobCheck::check(const QString &guestName)
{
    // The name comes from the guest list when printing; here it is put in directly.
    m_printer.textObject(m_report, 0)->SetText(guestName);
    measure(0);
    CardFindings findings{guestName, {}};
    for (int n = 0; n < cardItemCount; ++n)
        addFaults(n, findings.faults);
    return findings;
}

QList<CardFindings> CardJobCheck::checkAll(const QStringList &guestNames)
{
    QList<CardFindings> cards;
    QHash<QString, qsizetype> seen; // name -> its entry in cards, -1 for a good card
    for (const QString &name : guestNames) {
        if (const auto at = seen.constFind(name); at != seen.cend()) {
            if (*at >= 0) ++cards[*at].cards;
            continue;
        }
        CardFindings findings = check(name);
        seen.insert(name, findings.faults.isEmpty() ? -1 : cards.size());
        if (!findings.faults.isEmpty()) cards.append(std::move(findings));
    }
    return cards;
}

QString jobCheckSummary(const QList<CardFindings> &findings, int cardCount,
                        const std::function<QString(int item)> &itemTitle)
{
    if (findings.isEmpty()) return {};
    int badCards = 0;
    for (const CardFindings &card : findings)
        badCards += card.cards;
    // The faults on every card are said once; a card then names only its own.
    QList<ItemFault> shared;
    if (badCards >= cardCount)
        for (const ItemFault &fault : findings.first().faults)
            if (std::all_of(findings.cbegin(), findings.cend(),
                            [&](const CardFindings &card) { return card.faults.contains(fault); }))
                shared.append(fault);
    QStringList lines;
    lines << QStringLiteral("印前检查：%1 张请柬中 %2 张有文字印不好。").arg(cardCount).arg(badCards);
    if (!shared.isEmpty()) lines << QStringLiteral("每张：") + describeAll(shared, itemTitle) + u'。';
    for (const CardFindings &card : findings) {
        QList<ItemFault> own;
        for (const ItemFault &fault : card.faults)
            if (!shared.contains(fault)) own.append(fault);
        if (own.isEmpty()) continue;
        QString name = card.guestName.isEmpty() ? QStringLiteral("（无名）") : card.guestName;
        if (card.cards > 1) name += QStringLiteral("（%1 张）").arg(card.cards);
        lines << name + QStringLiteral("：") + describeAll(own, itemTitle) + u'。';
    }
    return lines.join(u'\n');
}
