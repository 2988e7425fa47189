// The whole job's check before the cards go to the printer: for every card, the items whose text
// is cut off by its text object, runs into another item's text, or leaves the printer's printable
// area, so that a job of a hundred cards is checked in one look instead of page by page.
#pragma once

#include "app/model/cardprinter.h"

#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>

enum class CardFault {
    Overflows,          // the text needs more room than its text object: it is cut off on paper
    RunsInto,           // the text stands over another item's text
    LeavesPrintableArea // the text reaches past what the printer can print on the card's paper
};

struct ItemFault {
    int item = 0;
    CardFault fault = CardFault::Overflows;
    int otherItem = -1; // the item run into (RunsInto only)
    bool operator==(const ItemFault &other) const = default;
};

// The faults of a card: the guest's name it carries, what is wrong on it, and how many cards of
// the job carry that name.
struct CardFindings {
    QString guestName;
    QList<ItemFault> faults;
    int cards = 1;
};

// The printable area of a page of paperMm (the card page as printed, as oriented) on the printer,
// in mm from the paper's top left corner; none when the printer does not tell.
using PrintableArea = std::function<std::optional<QRectF>(const QSizeF &paperMm)>;

// The printable area as the printer layer measures it for printerName (empty: the current
// printer), on a paper of the card's size laid as the print run lays it.
PrintableArea printerPrintableArea(const QString &printerName);

// Checks the cards of a job. The card template is loaded and fitted to the state once; each card
// then differs only by its guest's name.
class CardJobCheck {
public:
    // Raises as a print job does when the template is missing or damaged.
    CardJobCheck(CardReportPrinter &printer, const CardState &state, PrintableArea area);

    // What is wrong on the card of guestName (faults in item order, then by kind).
    CardFindings check(const QString &guestName);
    // The cards of these names that have faults, in the order given; one entry per distinct name,
    // counting the cards of that name.
    QList<CardFindings> checkAll(const QStringList &guestNames);

    // Where item n's text stands on the card, in mm, as printed (cut at its text object); empty for
    // an item that prints nothing. For the card last checked.
    QRectF textMm(int n) const { return m_textMm.at(size_t(n)); }

private:
    void measure(int n);
    void addFaults(int n, QList<ItemFault> &faults) const;

    frx::TfrxReport &m_report;
    CardReportPrinter &m_printer;
    std::optional<QRectF> m_printableMm;
    std::array<QRectF, cardItemCount> m_textMm{};
    std::array<bool, cardItemCount> m_overflows{};
};

// The check's findings as one text for the user: the faults every card shares once, then each card
// with faults of its own by the guest's name; empty when there are none. itemTitle names an item.
QString jobCheckSummary(const QList<CardFindings> &findings, int cardCount,
                        const std::function<QString(int item)> &itemTitle);
