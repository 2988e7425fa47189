// The user's saved layouts: offsets kept per printer beside the template's section.
#include "app/model/layoutstore.h"

#include "support/datadir.h"

#include "platform/profilewriter.h"

#include <gtest/gtest.h>

namespace {

const QString vertical = QStringLiteral("A4竖排模板");

class LayoutStoreTest : public ::testing::Test {
protected:
    apptest::DataDir dir;
    LayoutStore store{dir.file(QStringLiteral("temp.ini")), dir.file(QStringLiteral("userlayout.ini"))};
};

} // namespace

TEST_F(LayoutStoreTest, offsetsAreKeptPerPrinterAndFallBackToTheLayoutsOwn)
{
    TemplateLayout layout = store.read(vertical);
    const para shipped = layout.records[5];
    layout.records[5].Left += 7;
    layout.leftOffsetMm = 3;
    layout.topOffsetMm = -2;
    store.save(vertical, layout, QStringLiteral("HP LaserJet"));
    layout.leftOffsetMm = 5;
    layout.topOffsetMm = 1;
    store.save(vertical, layout, QStringLiteral("Epson [2]"));

    EXPECT_EQ(store.read(vertical, QStringLiteral("hp laserjet")).leftOffsetMm, 3);
    EXPECT_EQ(store.read(vertical, QStringLiteral("HP LaserJet")).topOffsetMm, -2);
    EXPECT_EQ(store.read(vertical, QStringLiteral("Epson [2]")).leftOffsetMm, 5);
    EXPECT_EQ(store.printerOffsets(vertical, QStringLiteral("Epson [2]")), (OffsetsMm{5, 1}));
    EXPECT_EQ(store.read(vertical, QStringLiteral("HP LaserJet")).records[5].Left, shipped.Left + 7);
    // A printer without offsets of its own gets the layout's (none were saved without a printer).
    EXPECT_FALSE(store.printerOffsets(vertical, QStringLiteral("Canon")));
    EXPECT_EQ(store.read(vertical, QStringLiteral("Canon")).leftOffsetMm, 0);
    // Nor do they reach another template.
    EXPECT_FALSE(store.printerOffsets(QStringLiteral("A3竖排模板"), QStringLiteral("HP LaserJet")));

    // Calibration writes a printer's offsets alone; the layout stays the user's.
    store.savePrinterOffsets(vertical, QStringLiteral("Canon"), {-4, 6});
    EXPECT_EQ(store.read(vertical, QStringLiteral("Canon")).topOffsetMm, 6);
    EXPECT_EQ(store.read(vertical, QStringLiteral("Canon")).records[5].Left, shipped.Left + 7);

    // The default layout comes back; the printers' offsets, measured on the printers, stay.
    store.restoreDefault(vertical);
    EXPECT_EQ(store.read(vertical, QStringLiteral("HP LaserJet")).records[5].Left, shipped.Left);
    EXPECT_EQ(store.read(vertical, QStringLiteral("HP LaserJet")).leftOffsetMm, 3);
}

TEST_F(LayoutStoreTest, withoutAPrinterTheOffsetsBelongToTheLayout)
{
    TemplateLayout layout = store.read(vertical);
    layout.leftOffsetMm = 9;
    store.save(vertical, layout);
    EXPECT_EQ(store.read(vertical).leftOffsetMm, 9);
    EXPECT_EQ(store.read(vertical, QStringLiteral("HP")).leftOffsetMm, 9);
    EXPECT_EQ(LayoutStore::printerSection(vertical, QStringLiteral("a]b")), QStringLiteral("A4竖排模板@a_b"));
}
