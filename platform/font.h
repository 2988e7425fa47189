// The report's font value: what a report object stores, independent of any device.
#pragma once

#include <QString>

namespace platform {

enum FontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

struct FontValue {
    QString name = QStringLiteral("Arial");
    // Height in pixels at pixelsPerInch; negative values are character heights (the Windows rule);
    // size in points is -height * 72 / pixelsPerInch, rounded (Arial 10 at 96 per inch: height -13).
    int height = -13;
    int pixelsPerInch = 96;
    int color = 0;          // 0x00BBGGRR
    unsigned style = 0;     // FontStyle bits
    int charset = 1;        // DEFAULT_CHARSET

    int size() const;                 // points
    void setSize(int points);         // sets height = -MulDiv(points, pixelsPerInch, 72)
    bool operator==(const FontValue &other) const = default;
};

} // namespace platform
