// What the main window hands to the print job: the card state as it stands when a print button is
// pressed, and the guest list the cards are made for. CardReportPrinter is the job itself.
#pragma once

#include "app/model/layoutprofile.h"
#include "app/model/eventdetails.h"
#include "report/frxClass.h"
#include "report/frxDBSet.h"

#include <QList>
#include <QString>

#include <functional>

class GuestStore;

struct CardState {
    int templatePosition = -1; // 0, 1 vertical layout; 2, 3 horizontal; anything else neither
    QString cardWidthText;     // the card-size and offset spin edits' texts, in mm
    QString cardHeightText;
    QString leftOffsetText;
    QString topOffsetText;
    LayoutTable layout;
    EventDetails details;
};

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
    // shows it and returns when its preview has closed. The list runs on the sorted full query
    // afterwards, also when the job fails: a missing template file, card page or text object, or a
    // card size or offset that is not a number, raise platform::Error with a message naming it.
    void print(const CardState &state, GuestStore &guests, bool currentGuestOnly) override;
    // The same job with the list narrowed to the guests of these IDs, bound as one parameter.
    void printGuests(const CardState &state, GuestStore &guests, const QList<qint64> &ids) override;

    // The template file the job loads.
    QString templateFile() const;
    frx::TfrxReport &report() { return frxrprt1; }
    frx::TfrxDBDataset &dataSet() { return frxdbdtst1; }

private:
    // Runs the job; narrow, when given, narrows the list after the current name is read.
    void run(const CardState &state, GuestStore &guests, const std::function<void(const QString &)> &narrow);
    void runAndRestore(const CardState &state, GuestStore &guests,
                       const std::function<void(const QString &)> &narrow);
    // Reads the card template; raises with a Chinese message when it is missing or damaged.
    void loadTemplate();
    frx::TfrxReportPage *cardPage() const;
    // The text object "M" + n, found anew in the report; raises when the template lacks it.
    frx::TfrxCustomMemoView *textObject(int n);
    void fitCardPage(const CardState &state);
    void fitTextObject(int n, const CardState &state);
    void putTexts(const EventDetails &details);

    QString m_dataDir;
    // Declared first so that it outlives the report, which refers to it.
    frx::TfrxDBDataset frxdbdtst1;
    frx::TfrxReport frxrprt1;
};
