// The user's own templates: a photo of a card straightened into its picture, the store of
// templates in the user's folder, and the zip file that carries one to another computer.
#include "app/model/cardphoto.h"
#include "app/model/cardtemplates.h"
#include "app/model/eventdetails.h"

#include "support/datadir.h"

#include "platform/errors.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Runs ImageMagick's convert with arguments; false (and the reason in failure) when it is missing
// or fails.
bool convert(const QStringList &arguments, QString &failure)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("convert"));
    if (program.isEmpty()) {
        failure = QStringLiteral("ImageMagick's convert is not installed");
        return false;
    }
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        failure = QString::fromLocal8Bit(process.readAllStandardError());
        return false;
    }
    return true;
}

// The mean difference of grey levels between a and b (of one size) with b moved by (dx, dy),
// over the inner part of the picture.
double meanDifference(const QImage &a, const QImage &b, int dx, int dy)
{
    double sum = 0;
    int count = 0;
    for (int y = 12; y < a.height() - 12; y += 2)
        for (int x = 12; x < a.width() - 12; x += 2) {
            sum += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x + dx, y + dy)));
            ++count;
        }
    return sum / count;
}

class CardTemplatesTest : public ::testing::Test {
protected:
    apptest::DataDir dir;
    QTemporaryDir user;
    UserTemplateStore store{user.filePath(QStringLiteral("templates"))};
    const QStringList shippedNames = [] {
        QStringList names;
        for (const CardTemplate &templ : shippedTemplates())
            names << templ.name;
        return names;
    }();

    TemplateLayout startingVertical(layout::CardSizeMm size = {176, 240}) const
    {
        return cardtemplates::startingLayout(dir.file(QStringLiteral("temp.ini")), TextDirection::Vertical,
                                             size);
    }
    QImage card() const { return QImage(dir.file(QStringLiteral("qingjian1.jpg"))); }
};

} // namespace

TEST_F(CardTemplatesTest, aPhotoTakenAtAnAngleIsStraightenedBackToTheCard)
{
    // The card on a grey table, photographed from the side: its corners land on a skewed quad.
    const QString photo = user.filePath(QStringLiteral("photo.png"));
    const QString corners =
        QStringLiteral("150,150 210,185  745,150 690,120  745,957 765,985  150,957 128,905");
    QString failure;
    if (!convert({dir.file(QStringLiteral("qingjian1.jpg")), QStringLiteral("-bordercolor"),
                  QStringLiteral("gray50"), QStringLiteral("-border"), QStringLiteral("150"),
                  QStringLiteral("-background"), QStringLiteral("gray50"), QStringLiteral("-virtual-pixel"),
                  QStringLiteral("background"), QStringLiteral("-distort"), QStringLiteral("Perspective"),
                  corners, photo},
                 failure))
        GTEST_SKIP() << failure.toStdString();

    const QImage read = cardphoto::readPhoto(photo);
    ASSERT_EQ(read.size(), QSize(895, 1107));
    const QImage straight = cardphoto::straighten(
        read, {QPointF(210, 185), QPointF(690, 120), QPointF(765, 985), QPointF(128, 905)}, {176, 240});
    ASSERT_FALSE(straight.isNull());
    // As wide as the card's longer edge in the photo, as tall as the card's proportions make it.
    const double bottom = std::hypot(765 - 128, 985 - 905);
    EXPECT_EQ(straight.width(), std::lround(bottom));
    EXPECT_EQ(straight.height(), std::lround(bottom * 240 / 176));

    const QImage original = card().scaled(straight.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    double best = 1e9;
    QPoint bestShift;
    for (int dy = -6; dy <= 6; ++dy)
        for (int dx = -6; dx <= 6; ++dx)
            if (const double d = meanDifference(straight, original, dx, dy); d < best) {
                best = d;
                bestShift = QPoint(dx, dy);
            }
    EXPECT_LE(std::abs(bestShift.x()), 2);
    EXPECT_LE(std::abs(bestShift.y()), 2);
    EXPECT_LT(best, 12.0);
    // The same picture unstraightened is far off: the measure tells.
    EXPECT_GT(meanDifference(read.copy(128, 120, straight.width(), straight.height()), original, 0, 0),
              2 * best);
}

TEST_F(CardTemplatesTest, aPhoneShotIsReadUprightAndAScanGivesItsSize)
{
    const QString turned = user.filePath(QStringLiteral("turned.jpg"));
    const QString scan = user.filePath(QStringLiteral("scan.png"));
    QString failure;
    // The pixels as the sensor saw them, the turn in EXIF only.
    if (!convert({dir.file(QStringLiteral("qingjian2.jpg")), QStringLiteral("-rotate"), QStringLiteral("-90"), turned},
                 failure) ||
        !convert({dir.file(QStringLiteral("qingjian1.jpg")), QStringLiteral("-units"),
                  QStringLiteral("PixelsPerInch"), QStringLiteral("-density"), QStringLiteral("100"), scan},
                 failure))
        GTEST_SKIP() << failure.toStdString();
    {
        // ImageMagick writes no EXIF block of its own: the phone's one, orientation 6 (turn right),
        // goes in after the start of the image.
        QFile file(turned);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QByteArray bytes = file.readAll();
        file.close();
        static const char exif[] = "\xFF\xE1\x00\x22"
                                   "Exif\0\0MM\x00\x2A\x00\x00\x00\x08\x00\x01"
                                   "\x01\x12\x00\x03\x00\x00\x00\x01\x00\x06\x00\x00\x00\x00\x00\x00";
        bytes.insert(2, QByteArray(exif, sizeof exif - 1));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    ASSERT_EQ(QImage(turned).size(), QSize(595, 807));
    EXPECT_EQ(cardphoto::readPhoto(turned).size(), QSize(807, 595));

    const QImage scanned = cardphoto::readPhoto(scan);
    const auto size = cardphoto::sizeFromResolution(
        scanned, {QPointF(0, 0), QPointF(595, 0), QPointF(595, 807), QPointF(0, 807)});
    ASSERT_TRUE(size);
    EXPECT_EQ(size->width, 151); // 595 pixels at 100 per inch
    EXPECT_EQ(size->height, 205);

    dir.writeFile(QStringLiteral("note.png"), "not a picture");
    EXPECT_THROW(cardphoto::readPhoto(dir.file(QStringLiteral("note.png"))), platform::FileError);
    EXPECT_TRUE(cardphoto::straighten(scanned, {QPointF(1, 1), QPointF(2, 2), QPointF(3, 3), QPointF(4, 4)},
                                      {176, 240})
                    .isNull());
}

TEST_F(CardTemplatesTest, aNewTemplateStartsFromTheShippedLayoutScaledToItsSize)
{
    const TemplateLayout full = startingVertical();
    const TemplateLayout half = startingVertical({88, 120});
    EXPECT_EQ(half.cardSize.width, 88);
    EXPECT_EQ(half.records[0].Left, std::lround(full.records[0].Left / 2.0));
    EXPECT_EQ(half.records[9].Top, std::lround(full.records[9].Top / 2.0));
    EXPECT_EQ(half.records[7].Fontsize, std::lround(full.records[7].Fontsize / 2.0));
    EXPECT_EQ(half.records[7].Fontstyle, full.records[7].Fontstyle);
    const TemplateLayout wide = cardtemplates::startingLayout(dir.file(QStringLiteral("temp.ini")),
                                                              TextDirection::Horizontal, {285, 210});
    EXPECT_EQ(wide.records[0].Left, std::lround(304 * 285 / 807.0));
}

TEST_F(CardTemplatesTest, templatesAreKeptRenamedAndDeletedInTheUsersFolderOnly)
{
    const CardTemplate made = store.create(QStringLiteral(" 王家喜帖 "), TextDirection::Vertical, card(),
                                           startingVertical(), shippedNames);
    EXPECT_EQ(made.name, QStringLiteral("王家喜帖"));
    EXPECT_TRUE(made.folder.startsWith(user.path()));
    store.create(QStringLiteral("李家"), TextDirection::Horizontal, card(), startingVertical(), shippedNames);
    ASSERT_EQ(store.templates().size(), 2);
    EXPECT_EQ(store.templates().at(1).name, QStringLiteral("王家喜帖")); // 李 sorts before 王 in pinyin
    EXPECT_EQ(store.templates().at(0).direction, TextDirection::Horizontal);

    // Names are one's own: not a shipped one's, not another's, not empty.
    EXPECT_THROW(store.create(QStringLiteral("a4竖排模板"), TextDirection::Vertical, card(),
                              startingVertical(), shippedNames),
                 platform::FileError);
    EXPECT_THROW(store.create(QStringLiteral("李家"), TextDirection::Vertical, card(), startingVertical()),
                 platform::FileError);
    EXPECT_THROW(store.create(QStringLiteral("  "), TextDirection::Vertical, card(), startingVertical()),
                 platform::FileError);
    EXPECT_EQ(
        QDir(user.filePath(QStringLiteral("templates"))).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(),
        2);

    // What "保存布局" writes goes beside the template's first layout, which "恢复默认" brings back.
    LayoutStore layouts = UserTemplateStore::layouts(made);
    TemplateLayout arranged = layouts.read(UserTemplateStore::layoutSection());
    EXPECT_EQ(arranged.records[3].Left, startingVertical().records[3].Left);
    arranged.records[3].Left += 9;
    layouts.save(UserTemplateStore::layoutSection(), arranged);
    EXPECT_EQ(layouts.read(UserTemplateStore::layoutSection()).records[3].Left, arranged.records[3].Left);

    const CardTemplate renamed = store.rename(made, QStringLiteral("王家婚礼"), shippedNames);
    EXPECT_EQ(store.templates().at(1).name, QStringLiteral("王家婚礼"));
    EXPECT_EQ(UserTemplateStore::layouts(renamed).read(UserTemplateStore::layoutSection()).records[3].Left,
              arranged.records[3].Left);
    EXPECT_THROW(store.rename(renamed, QStringLiteral("李家")), platform::FileError);
    EXPECT_NO_THROW(store.rename(renamed, QStringLiteral("王家婚礼")));

    store.remove(renamed);
    ASSERT_EQ(store.templates().size(), 1);
    EXPECT_FALSE(QDir(made.folder).exists());
}

TEST_F(CardTemplatesTest, aTemplateTravelsAsOneZipAndComesBackAsItWasArranged)
{
    const CardTemplate made = store.create(QStringLiteral("王家喜帖"), TextDirection::Horizontal, card(),
                                           startingVertical({200, 150}), shippedNames);
    TemplateLayout arranged = UserTemplateStore::layouts(made).read(UserTemplateStore::layoutSection());
    arranged.records[9].Top = 77;
    arranged.records[0].Fontname = QStringLiteral("文泉驿正黑");
    arranged.leftOffsetMm = -3;
    UserTemplateStore::layouts(made).save(UserTemplateStore::layoutSection(), arranged);
    // A printer's offsets are this computer's: they stay behind.
    UserTemplateStore::layouts(made).savePrinterOffsets(UserTemplateStore::layoutSection(),
                                                        QStringLiteral("HP"), {5, 5});

    const QString zip = user.filePath(QStringLiteral("王家喜帖.zip"));
    store.exportTo(made, zip);
    ASSERT_TRUE(QFile::exists(zip));
    EXPECT_FALSE(QFile::exists(zip + QStringLiteral(".part")));

    QTemporaryDir family;
    UserTemplateStore theirs(family.filePath(QStringLiteral("templates")));
    const CardTemplate arrived = theirs.importFrom(zip, shippedNames);
    EXPECT_EQ(arrived.name, QStringLiteral("王家喜帖"));
    EXPECT_EQ(arrived.direction, TextDirection::Horizontal);
    const TemplateLayout read = UserTemplateStore::layouts(arrived).read(UserTemplateStore::layoutSection());
    EXPECT_EQ(read.cardSize.width, 200);
    EXPECT_EQ(read.cardSize.height, 150);
    EXPECT_EQ(read.records[9].Top, 77);
    EXPECT_EQ(read.records[0].Fontname, QStringLiteral("文泉驿正黑"));
    EXPECT_EQ(read.leftOffsetMm, -3);
    EXPECT_FALSE(UserTemplateStore::layouts(arrived).printerOffsets(UserTemplateStore::layoutSection(),
                                                                    QStringLiteral("HP")));
    QFile sent(made.pictureFile);
    QFile got(arrived.pictureFile);
    ASSERT_TRUE(sent.open(QIODevice::ReadOnly) && got.open(QIODevice::ReadOnly));
    EXPECT_EQ(sent.readAll(), got.readAll());

    // Imported twice, it gets a number rather than overwrite the first.
    EXPECT_EQ(theirs.importFrom(zip).name, QStringLiteral("王家喜帖（2）"));
}

TEST_F(CardTemplatesTest, aFileThatIsNoTemplateIsRefusedAndLeavesNothing)
{
    dir.writeFile(QStringLiteral("notes.zip"), "PK but not really");
    EXPECT_THROW(store.importFrom(dir.file(QStringLiteral("notes.zip"))), platform::FileError);

    // A real zip with something else in it: the guest list's spreadsheet, say.
    const CardTemplate made =
        store.create(QStringLiteral("甲"), TextDirection::Vertical, card(), startingVertical(), shippedNames);
    const QString zip = user.filePath(QStringLiteral("甲.zip"));
    store.exportTo(made, zip);
    store.remove(made);
    QByteArray bytes;
    {
        QFile file(zip);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        bytes = file.readAll();
    }
    // The picture's name made unreadable: the zip lacks the picture.
    bytes.replace("picture.jpg", "picture.txt");
    dir.writeFile(QStringLiteral("broken.zip"), bytes);
    try {
        store.importFrom(dir.file(QStringLiteral("broken.zip")));
        FAIL() << "a zip without the picture was imported";
    } catch (const platform::FileError &error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("picture.jpg"))) << error.message().toStdString();
    }
    EXPECT_TRUE(store.templates().isEmpty());
    EXPECT_TRUE(QDir(user.filePath(QStringLiteral("templates")))
                    .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
                    .isEmpty());
}

TEST(EventDetailsItems, theFarewellPartyShowsNoBrideUnlessOneIsNamed)
{
    EventDetails wedding;
    wedding.eventKind = QStringLiteral("婚礼");
    EXPECT_TRUE(wedding.showsItem(8));
    EXPECT_TRUE(wedding.showsItem(15));
    EXPECT_FALSE(wedding.showsItem(16));
    EXPECT_FALSE(wedding.showsItem(13));

    EventDetails farewell = wedding;
    farewell.eventKind = QStringLiteral("考学送行");
    farewell.printEventKind = true;
    farewell.groom = QStringLiteral("李明");
    EXPECT_FALSE(farewell.showsItem(8));
    EXPECT_FALSE(farewell.showsItem(15));
    EXPECT_TRUE(farewell.showsItem(7));
    EXPECT_TRUE(farewell.showsItem(14));
    EXPECT_TRUE(farewell.showsItem(16));
    farewell.bride = QStringLiteral("王芳");
    EXPECT_TRUE(farewell.showsItem(8));
}
