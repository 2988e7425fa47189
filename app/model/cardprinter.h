// What the main window hands to the print job: the card state as it stands when a print button is
// pressed, and the guest list the cards are made for. CardReportPrinter is the job itself.
#pragma once

#include "app/model/layoutprofile.h"
#include "app/model/layoutstore.h"
#include "app/model/eventdetails.h"
#include "report/objects/frxClass.h"
#include "report/objects/frxDBSet.h"

#include <QImage>
#include <QPointF>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

class GuestStore;

struct CardState {
    int templatePosition = -1; // 0, 1 vertical layout; 2, 3 horizontal; anything else neither
    QString cardWidthText;     // the card-size and offset spin edits' texts, in mm
    QString cardHeightText;
    QString leftOffsetText;
    QString topOffsetText;
    LayoutTable layout;
    EventDetails details;
    // The blank card's picture, shown behind the cards in the preview only; null for none.
    QImage cardPicture;
    // Whole cards on blank card stock: the picture is printed under the texts, at its own
    // resolution, instead of shown in the preview only.
    bool wholeCards = false;
    // The printer whose offsets the offset texts hold (the print dialog starts on it); empty for
    // the system's default.
    QString printerName;
    // The offsets stored for another printer, if any: a print run on that printer moves the cards
    // by the difference to the offsets above.
    std::function<std::optional<OffsetsMm>(const QString &printerName)> printerOffsets;
    // The name the user knows item n by ("地点"), for the job check's findings; none: "m" + n.
    std::function<QString(int item)> itemTitle;
};

// The move (mm, right and down) a print run on printerName makes to the cards fitted with state's
// offsets: that printer's own offsets less those, or none when it has none or is state's printer.
QPointF printerShiftMm(const CardState &state, const QString &printerName);
// Makes report print on state's printer first and move its pages on any other by printerShiftMm.
void setUpPrinter(frx::TfrxReport &report, const CardState &state);

class CardPrinter {
public:
    virtual ~CardPrinter() = default;
    // Prints cards from state: for the current guest of guests only, or for every guest. Throws
    // platform::Error on failure; the caller's guard shows it.
    virtual void print(const CardState &state, GuestStore &guests, bool currentGuestOnly) = 0;
    // Prints cards from state for the guests of these IDs, in the list's order, the same way.
    virtual void printGuests(const CardState &state, GuestStore &guests, const QList<qint64> &ids) = 0;
};

// The print job over the card report: loads frx.fr3 from the data folder into the report, fits its
// card page and its seventeen text objects to the card state, and shows the report, which prepares
// one card per guest of the list while its preview is open. The report and its data set live as
// long as the job object.
class CardReportPrinter : public CardPrinter {
public:
    // Report units per card millimetre, as the job converts them.
    static constexpr frx::Extended unitsPerMm = 3.78L;
    // What each text object stops short of the card's right (and, vertically, bottom) edge, in mm.
    static constexpr float edgeMarginMm = 0.5f;

    // dataDir is the folder that holds frx.fr3.
    explicit CardReportPrinter(const QString &dataDir);

    // Narrows the list to the current guest's name (currentGuestOnly), loads and fits the report,
    // shows it and returns when its preview has closed. The preview checks the whole job (every
    // card's texts against their objects, each other and the printer's printable area) and asks
    // before printing cards that would print badly. The list runs on the sorted full query
    // afterwards, also when the job fails: a missing template file, card page or text object, or a
    // card size or offset that is not a number, raise platform::Error with a message naming it.
    void print(const CardState &state, GuestStore &guests, bool currentGuestOnly) override;
    // The same job with the list narrowed to the guests of these IDs, bound as one parameter.
    void printGuests(const CardState &state, GuestStore &guests, const QList<qint64> &ids) override;

    // The items (0..16) whose text, at their font and in their place, overflows the text object it
    // is printed in (clipped on paper), with guestName as the name on item 0; hidden items count
    // not. The template is loaded and fitted as a job does, into a report of its own; a broken
    // template raises as a job does.
    QList<int> overflowingItems(const CardState &state, const QString &guestName);

    // The card report loaded and fitted to state for measuring, never shown (the overflow check and
    // the job check measure it); the name on item 0 is the caller's. Raises as a job does.
    frx::TfrxReport &measuredReport(const CardState &state);
    // The card page of report; raises when the template lacks it.
    frx::TfrxReportPage *cardPage(frx::TfrxReport &report) const;
    // The text object "M" + n, found anew in the report; raises when the template lacks it.
    frx::TfrxCustomMemoView *textObject(frx::TfrxReport &report, int n) const;

    // The template file the job loads.
    QString templateFile() const;
    frx::TfrxReport &report() { return frxrprt1; }
    frx::TfrxDBDataset &dataSet() { return frxdbdtst1; }

private:
    // Runs the job; narrow, when given, narrows the list after the current name is read.
    void run(const CardState &state, GuestStore &guests, const std::function<void(const QString &)> &narrow);
    void runAndRestore(const CardState &state, GuestStore &guests,
                       const std::function<void(const QString &)> &narrow);
    // Reads the card template into report; raises with a Chinese message when it is missing or
    // damaged.
    void loadTemplate(frx::TfrxReport &report) const;
    // Loads the template into report and fits its card page and text objects to state.
    void loadAndFit(frx::TfrxReport &report, const CardState &state);
    void fitCardPage(frx::TfrxReport &report, const CardState &state) const;
    void fitTextObject(frx::TfrxReport &report, int n, const CardState &state) const;
    void putTexts(frx::TfrxReport &report, const EventDetails &details) const;

    QString m_dataDir;
    // Declared first so that it outlives the report, which refers to it.
    frx::TfrxDBDataset frxdbdtst1;
    frx::TfrxReport frxrprt1;
    // The card report as fitted for measuring, never shown.
    frx::TfrxReport m_measured;
};
