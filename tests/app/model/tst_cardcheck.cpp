// The whole job's check without widgets: the program's own card template and layouts, names of
// every length, and printable areas of the printer's kind.
#include "tests/support/gui_environment.h"

#include "app/model/cardcheck.h"
#include "app/model/carditem.h"
#include "platform/profile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString title(int item)
{
    return QStringLiteral("项%1").arg(item);
}

class CardCheckTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFile::copy(QStringLiteral(TOVARO_SOURCE_DIR "/data/frx.fr3"),
                                dir.filePath(QStringLiteral("frx.fr3"))));
        useShippedLayout(QStringLiteral("A4竖排模板"), 0);
    }

    // The shipped layout of section, with the event details dialog's first values.
    void useShippedLayout(const QString &section, int position)
    {
        const platform::ProfileFile profile(QStringLiteral(TOVARO_SOURCE_DIR "/data/temp.ini"));
        const layout::CardSizeMm size = layout::readCardSize(profile, section);
        state.templatePosition = position;
        state.cardWidthText = QString::number(size.width);
        state.cardHeightText = QString::number(size.height);
        state.leftOffsetText = state.topOffsetText = QStringLiteral("0");
        for (int n = 0; n < cardItemCount; ++n)
            state.layout[size_t(n)] = layout::readRecord(profile, section, n);
        state.details.year = QStringLiteral("二零零九");
        state.details.solarMonth = state.details.solarDay = QStringLiteral("一");
        state.details.lunarMonth = state.details.lunarDay = state.details.weekday = QStringLiteral("一");
        state.details.time = QStringLiteral("中午十一点五十八分");
        state.details.eventKind = QStringLiteral("婚礼");
    }

    QTemporaryDir dir;
    CardReportPrinter printer{dir.path()};
    CardState state;
};

} // namespace

// The shipped cards with ordinary details and names say nothing: no false alarm stands before
// every print.
TEST_F(CardCheckTest, theShippedCardsWithOrdinaryDetailsHaveNoFaults)
{
    state.details.venue = QStringLiteral("和平饭店");
    state.details.groom = QStringLiteral("李大同");
    state.details.bride = QStringLiteral("王小红");
    state.details.father = QStringLiteral("李父");
    state.details.mother = QStringLiteral("李母");
    state.details.printParents = true;
    state.details.printEventKind = true;
    const QStringList names{QStringLiteral("张三"), QStringLiteral("欧阳小明"), QStringLiteral("O'Brien")};
    for (int position : {0, 2}) {
        SCOPED_TRACE(position);
        useShippedLayout(position == 0 ? QStringLiteral("A4竖排模板") : QStringLiteral("A4横排模板"), position);
        CardJobCheck check(printer, state, {});
        const QList<CardFindings> findings = check.checkAll(names);
        for (const CardFindings &card : findings)
            ADD_FAILURE() << card.guestName.toStdString() << ": "
                          << jobCheckSummary({card}, 1, title).toStdString();
    }
}

// A name that runs into the item below it is named, though it stays on the card; one that runs
// off the card's bottom is cut off and named as such.
TEST_F(CardCheckTest, aLongNameRunningIntoAnItemOrOffTheCardIsNamed)
{
    para &year = state.layout[1];
    year.Left = state.layout[0].Left;
    year.Top = state.layout[0].Top + 50;
    CardJobCheck check(printer, state, {});
    EXPECT_TRUE(check.check(QStringLiteral("张三")).faults.isEmpty());

    const CardFindings eleven = check.check(QStringLiteral("诸葛孔明欧阳修司马相如"));
    ASSERT_EQ(eleven.faults.size(), 1);
    EXPECT_EQ(eleven.faults[0], (ItemFault{0, CardFault::RunsInto, 1}));
    // Eleven characters of 16 points: eleven ems down from the name's place.
    EXPECT_NEAR(check.textMm(0).height(), 11 * 16 * 25.4 / 72, 1.0);
    EXPECT_NEAR(check.textMm(0).left(), state.layout[0].Left + 2 / 3.78, 0.1);

    const QString thirty = QString(30, QChar(0x738B)); // 王 × 30: past the card's bottom edge
    const CardFindings cut = check.check(thirty);
    EXPECT_TRUE(cut.faults.contains(ItemFault{0, CardFault::Overflows}));
    // What is cut off does not print, so cannot run into anything below the card.
    EXPECT_LE(check.textMm(0).bottom(), state.cardHeightText.toDouble());
}

// The printable area is the printer's: an item outside its margins is named, one inside is not.
TEST_F(CardCheckTest, textsOutsideThePrintableAreaAreNamed)
{
    state.layout[9].Left = 2; // the venue, 2 mm from the card's left edge
    state.details.venue = QStringLiteral("和平饭店");
    QSizeF askedFor;
    const PrintableArea margins = [&askedFor](const QSizeF &paper) -> std::optional<QRectF> {
        askedFor = paper;
        return QRectF(4.2, 4.2, paper.width() - 8.4, paper.height() - 8.4);
    };
    CardJobCheck check(printer, state, margins);
    EXPECT_EQ(askedFor, QSizeF(176, 240));
    const CardFindings card = check.check(QStringLiteral("张三"));
    EXPECT_EQ(card.faults, (QList<ItemFault>{{9, CardFault::LeavesPrintableArea}}));

    // A printer that does not tell its area checks nothing of it.
    CardJobCheck unknown(printer, state, [](const QSizeF &) { return std::nullopt; });
    EXPECT_TRUE(unknown.check(QStringLiteral("张三")).faults.isEmpty());
}

// A job of 120 cards in one look: the faults every card shares once, then only the cards with
// faults of their own, by name.
TEST_F(CardCheckTest, aWholeJobIsSummedUpInOneText)
{
    QStringList names;
    for (int i = 0; i < 120; ++i)
        names << QStringLiteral("客人%1").arg(i);
    names[7] = names[125 - 120] = QStringLiteral("诸葛孔明欧阳修司马相如王"); // twice: one entry
    names[119] = QString(30, QChar(0x738B));
    state.layout[1].Left = state.layout[0].Left;
    state.layout[1].Top = state.layout[0].Top + 50;
    state.details.time = QString(60, QChar(0x4E00)); // the time runs off every card

    CardJobCheck check(printer, state, {});
    const QList<CardFindings> findings = check.checkAll(names);
    ASSERT_EQ(findings.size(), 119); // every distinct name: the time is cut off on each card
    EXPECT_EQ(findings[5].cards, 2);
    const QString summary = jobCheckSummary(findings, int(names.size()), title);
    const QStringList lines = summary.split(u'\n');
    ASSERT_EQ(lines.size(), 4) << summary.toStdString();
    EXPECT_TRUE(lines[0].contains(QStringLiteral("120 张请柬中 120 张")));
    EXPECT_EQ(lines[1], QStringLiteral("每张：“项10”超出文本框，印不全。"));
    EXPECT_EQ(lines[2], QStringLiteral("诸葛孔明欧阳修司马相如王（2 张）：“项0”压到“项1”。"));
    EXPECT_TRUE(lines[3].startsWith(QString(30, QChar(0x738B)) + QStringLiteral("：“项0”超出文本框")));

    EXPECT_TRUE(jobCheckSummary({}, 120, title).isEmpty());
}

// The canvas draws an item as the job checks it: a column advances one em per character.
TEST(CardItemView, aColumnAdvancesOneEmPerCharacterAtTheCanvasScale)
{
    CardItemView view;
    view.setSetting(carditem::Setting::Column);
    platform::FontValue font;
    font.name = QStringLiteral("楷体");
    font.setSize(16);
    view.setFont(font);
    view.setText(QStringLiteral("欧阳小明"));
    const double perMm = 992.0 / 350;
    view.setScale(perMm, perMm);
    const double em = 16 * 25.4 / 72 * perMm;
    const QSize size = view.sizePx();
    EXPECT_NEAR(size.height(), 4 * em + 2 * perMm / 3.78, 3);
    EXPECT_LT(size.width(), 2 * em);
    view.setSetting(carditem::Setting::Line);
    EXPECT_NEAR(view.sizePx().width(), 4 * em + 4 * perMm / 3.78, 3);
}
