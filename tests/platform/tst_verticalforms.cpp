#include "platform/canvas.h"
#include "platform/verticalforms.h"
#include "tests/support/gui_environment.h"

#include <QFont>
#include <QImage>
#include <QRawFont>

#include <gtest/gtest.h>

using namespace platform;

namespace {

TEST(verticalforms, orientationsAndPresentationFormsComeFromUnicodeData)
{
    EXPECT_EQ(verticalOrientation(U'中'), VerticalOrientation::Upright);
    EXPECT_EQ(verticalOrientation(U'，'), VerticalOrientation::TransformedUpright);
    EXPECT_EQ(verticalOrientation(U'（'), VerticalOrientation::TransformedRotated);
    EXPECT_EQ(verticalOrientation(U'ー'), VerticalOrientation::TransformedRotated);
    EXPECT_EQ(verticalOrientation(U'A'), VerticalOrientation::Rotated);
    EXPECT_EQ(verticalOrientation(U'—'), VerticalOrientation::Rotated);

    const std::pair<char32_t, char32_t> forms[] = {
        {U'，', U'︐'}, {U'、', U'︑'}, {U'。', U'︒'}, {U'：', U'︓'}, {U'！', U'︕'}, {U'（', U'︵'},
        {U'）', U'︶'}, {U'《', U'︽'}, {U'」', U'﹂'}, {U'【', U'︻'}, {U'—', U'︱'}, {U'…', U'︙'}};
    for (const auto &[typed, form] : forms)
        EXPECT_EQ(verticalPresentationForm(typed), form) << QString::fromUcs4(&typed, 1).toStdString();
    // ASCII punctuation, ideographs and quotation marks have no vertical form.
    EXPECT_EQ(verticalPresentationForm(U'('), 0u);
    EXPECT_EQ(verticalPresentationForm(U','), 0u);
    EXPECT_EQ(verticalPresentationForm(U'中'), 0u);
    EXPECT_EQ(verticalPresentationForm(U'“'), 0u);
}

QRect inkBounds(const QImage &image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) bounds |= QRect(x, y, 1, 1);
    return bounds;
}

// Where the ink of a character lies in its place in the column.
enum class Place {
    UpperRight, // the pause marks of mainland designs
    Right,      // colon, semicolon and marks of mainland designs
    Centred,    // punctuation of Taiwanese designs
    Lower,      // opening brackets and quotes: in the lower half, next to the text they open
    Upper,      // closing ones: in the upper half, after the text they close
    Tall,       // dash and ellipsis: a stroke along the column
    Lying,      // Latin letters and digits: on their side
};

struct Row {
    char32_t character;
    Place hei; // Noto Sans CJK SC
    Place kai; // AR PL UKai
};

constexpr Row rows[] = {
    {U'，', Place::UpperRight, Place::Centred}, {U'。', Place::UpperRight, Place::Centred},
    {U'、', Place::UpperRight, Place::Centred}, {U'：', Place::Right, Place::Centred},
    {U'；', Place::Right, Place::Centred},      {U'！', Place::Right, Place::Centred},
    {U'？', Place::Right, Place::Centred},      {U'（', Place::Lower, Place::Lower},
    {U'）', Place::Upper, Place::Upper},        {U'《', Place::Lower, Place::Lower},
    {U'》', Place::Upper, Place::Upper},        {U'「', Place::Lower, Place::Lower},
    {U'」', Place::Upper, Place::Upper},        {U'“', Place::Lower, Place::Lower},
    {U'”', Place::Upper, Place::Upper},         {U'—', Place::Tall, Place::Tall},
    {U'…', Place::Tall, Place::Tall},           {U'A', Place::Lying, Place::Lying},
    {U'7', Place::Lying, Place::Lying},
};

// Each character drawn alone into a column of "@" faces lands as its vertical glyph puts it: the
// font's vertical alternate or the presentation form stands for the punctuation, upright, with
// the ink where the vertical design has it; Latin letters and digits lie on their side.
TEST(verticalforms, punctuationOfVerticalFacesTakesItsVerticalGlyphs)
{
    const int em = 200;
    for (const QString &face : {QStringLiteral("@楷体"), QStringLiteral("@黑体")}) {
        FontValue value;
        value.name = face;
        value.height = -em;
        QImage probe(1, 1, QImage::Format_RGB32);
        Canvas measuring(&probe);
        measuring.setFont(value, 2700);
        const int cell = measuring.textMetrics().height;
        QFont qfont(face.mid(1));
        qfont.setPixelSize(em);
        const QRawFont raw = QRawFont::fromFont(qfont);
        ASSERT_TRUE(raw.isValid());

        for (const Row &row : rows) {
            const QString text = QString::fromUcs4(&row.character, 1);
            SCOPED_TRACE((face + QLatin1Char(' ') + text).toStdString());
            const std::vector<PlacedGlyph> glyphs = measuring.glyphs(text);
            ASSERT_EQ(glyphs.size(), 1u);
            const PlacedGlyph &glyph = glyphs.front();
            EXPECT_EQ(glyph.typedStart, 0);
            EXPECT_EQ(glyph.typedLength, 1);
            const quint32 own = raw.glyphIndexesForString(text).value(0);
            // The Kai face has no vertical design for quotation marks: they turn with the line.
            const bool rotatedQuote = face == QStringLiteral("@楷体") && (row.character == U'“' || row.character == U'”');
            const Place place = face == QStringLiteral("@黑体") ? row.hei : row.kai;
            if (place == Place::Lying || rotatedQuote) {
                EXPECT_FALSE(glyph.upright);
                EXPECT_EQ(glyph.glyph, own);
            } else {
                EXPECT_TRUE(glyph.upright);
                EXPECT_TRUE(glyph.substituted);
                EXPECT_NE(glyph.glyph, own);
            }
            EXPECT_EQ(measuring.textWidth(text), glyph.advance);

            // Drawn into a column whose baseline runs down from (400, 100): the place of the
            // character is the em square centred across the cell, from 100 down by its advance.
            QImage image(600, 500, QImage::Format_RGB32);
            image.fill(Qt::white);
            {
                Canvas canvas(&image);
                canvas.setFont(value, 2700);
                canvas.textOut(400, 100, text);
            }
            const QRect ink = inkBounds(image);
            ASSERT_FALSE(ink.isEmpty());
            const double left = 400 - cell / 2.0 - em / 2.0;
            const double x = (ink.left() + ink.right() + 1) / 2.0 - left;
            const double y = (ink.top() + ink.bottom() + 1) / 2.0 - 100;
            EXPECT_GE(ink.top(), 100 - em / 20);
            EXPECT_LE(ink.bottom(), 100 + glyph.advance + em / 20);
            switch (place) {
            case Place::UpperRight:
                EXPECT_GT(x, em * 0.6);
                EXPECT_LT(y, em * 0.4);
                break;
            case Place::Right:
                EXPECT_GT(x, em * 0.6);
                EXPECT_NEAR(y, em / 2.0, em * 0.2);
                break;
            case Place::Centred:
                EXPECT_NEAR(x, em / 2.0, em * 0.1);
                EXPECT_NEAR(y, em / 2.0, em * 0.2);
                break;
            case Place::Lower:
                EXPECT_GT(y, em * 0.55);
                break;
            case Place::Upper:
                EXPECT_LT(y, em * 0.45);
                break;
            case Place::Tall:
                EXPECT_NEAR(x, em / 2.0, em * 0.1);
                EXPECT_GT(ink.height(), 3 * ink.width());
                break;
            case Place::Lying:
                // Upright, a digit or capital is taller than wide; on its side the other way round.
                EXPECT_GT(ink.width(), ink.height());
                break;
            }
            // Brackets stand as arcs across the column, not along it.
            if (row.character == U'（' || row.character == U'《') {
                EXPECT_GT(ink.width(), 2 * ink.height());
            }
        }
    }
}

} // namespace
