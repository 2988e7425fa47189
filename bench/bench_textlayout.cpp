// Lays out and draws the seventeen text items of an invitation card on 1,000 pages at 96 per inch,
// with and without PNG encoding and with the lines sent through the GB2312 code page, and measures
// the block heights the engine asks for.
#include "report/text/frxGraphicUtils.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>

#include <chrono>
#include <cstdio>

using namespace frx;

namespace {

struct Item {
    QString text;
    TfrxRect rect; // report units
    int rotation;
    int points;
};

std::vector<Item> cardItems(int guest)
{
    const QString vertical = QStringLiteral("@楷体");
    std::vector<Item> items;
    items.push_back({QStringLiteral("王小明%1").arg(guest), {620, 40, 660, 380}, 270, 22});
    const QStringList parts = {
        QStringLiteral("二〇二四"), QStringLiteral("十"),     QStringLiteral("一"),
        QStringLiteral("九"),       QStringLiteral("初九"),   QStringLiteral("星期二"),
        QStringLiteral("十二"),     QStringLiteral("婚礼"),   QStringLiteral("幸福大酒店三楼宴会厅"),
        QStringLiteral("王大山"),   QStringLiteral("李秀英"), QStringLiteral("王小明"),
        QStringLiteral("张小红")};
    int left = 560;
    for (const QString &part : parts) {
        items.push_back({part, {left, 60, left + 36, 400}, 270, 16});
        left -= 38;
    }
    items.push_back({QStringLiteral("敬请光临"), {40, 350, 300, 380}, 0, 14});
    items.push_back({QStringLiteral("恭候光临 Welcome"), {40, 320, 300, 345}, 0, 12});
    items.push_back({QStringLiteral("谨订于公历"), {40, 290, 300, 315}, 0, 12});
    return items;
}

// `charset` 134 (GB2312) sends every line through its code page before drawing.
void drawCard(TfrxDrawText &drawText, platform::Canvas &canvas, int guest, int charset = 1)
{
    for (const Item &item : cardItems(guest)) {
        std::lock_guard guard(TfrxDrawText::Lock());
        platform::FontValue font;
        font.name = item.rotation == 270 ? QStringLiteral("@楷体") : QStringLiteral("宋体");
        font.setSize(item.points);
        font.charset = charset;
        drawText.ApplyFont(font);
        drawText.ApplyOptions(true, false, item.rotation, true, true, false, false);
        drawText.ApplySpacing(0, 0, 0);
        drawText.ApplyBounds(item.rect);
        drawText.LoadText(QStringList{item.text});
        drawText.Render(canvas, haLeft, item.rotation == 270 ? vaCenter : vaTop);
    }
}

double seconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    TfrxDrawText drawText;
    constexpr int pages = 1000;
    QImage image(718, 416, QImage::Format_RGB32); // a 190 x 110 mm card at 96 per inch

    // Untimed: the first pages fill the font and glyph caches.
    for (int page = 0; page < 100; ++page) {
        platform::Canvas canvas(&image);
        drawCard(drawText, canvas, page);
    }
    auto start = std::chrono::steady_clock::now();
    for (int page = 0; page < pages; ++page) {
        image.fill(Qt::white);
        platform::Canvas canvas(&image);
        drawCard(drawText, canvas, page);
    }
    std::printf("RESULT textlayout_card_pages_96dpi %.0f pages/s\n", pages / seconds(start));

    start = std::chrono::steady_clock::now();
    for (int page = 0; page < pages; ++page) {
        image.fill(Qt::white);
        platform::Canvas canvas(&image);
        drawCard(drawText, canvas, page, 134);
    }
    std::printf("RESULT textlayout_card_pages_gb2312_96dpi %.0f pages/s\n", pages / seconds(start));

    start = std::chrono::steady_clock::now();
    qint64 bytes = 0;
    for (int page = 0; page < pages; ++page) {
        image.fill(Qt::white);
        {
            platform::Canvas canvas(&image);
            drawCard(drawText, canvas, page);
        }
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        // Light compression (zlib level 1); the encoder, not the drawing, sets the pace here.
        image.save(&buffer, "PNG", 80);
        bytes += buffer.size();
    }
    std::printf("RESULT textlayout_card_png_pages_96dpi %.0f pages/s\n", pages / seconds(start));
    std::printf("RESULT textlayout_card_png_bytes %.0f bytes/page\n", double(bytes) / pages);

    start = std::chrono::steady_clock::now();
    Extended total = 0;
    int measured = 0;
    for (int page = 0; page < pages; ++page) {
        for (const Item &item : cardItems(page)) {
            std::lock_guard guard(TfrxDrawText::Lock());
            platform::FontValue font;
            font.name = QStringLiteral("@楷体");
            font.setSize(item.points);
            drawText.ApplyFont(font);
            drawText.ApplyOptions(true, false, item.rotation, true, true, false, false);
            drawText.ApplySpacing(0, 0, 0);
            drawText.ApplyBounds(item.rect);
            drawText.LoadText(QStringList{item.text});
            total += drawText.BlockHeight();
            ++measured;
        }
    }
    std::printf("RESULT textlayout_block_heights %.0f items/s\n", measured / seconds(start));
    return total > 0 ? 0 : 1;
}
