// A canvas that records what is painted on it (our metafile): a replayable picture and, in order,
// every text output with its position and bounding rectangle, for the preview's text search.
#pragma once

#include "platform/canvas.h"

#include <QPicture>
#include <QString>

#include <vector>

namespace platform {

struct TextRecord {
    QString text;
    QPoint position;  // the reference point passed to textOut, device pixels
    QRect bounds;     // the device rectangle the output covers
    bool wide = true; // drawn as wide characters (false: converted to a code page first)
};

namespace detail {
struct PictureHolder {
    QPicture picture;
};
} // namespace detail

class RecordingCanvas : private detail::PictureHolder, public Canvas {
public:
    // Records at the given resolution in dots per inch (the scale the page is painted at).
    explicit RecordingCanvas(int dpi = 96);

    void textOut(int x, int y, QStringView text, const int *advances = nullptr, unsigned options = 0,
                 const QRect &clip = QRect()) override;

    // Every text output so far, in the order of drawing.
    const std::vector<TextRecord> &textRecords() const { return m_records; }
    // Ends recording and returns the picture; nothing can be painted afterwards.
    const QPicture &finish();

private:
    std::vector<TextRecord> m_records;
};

} // namespace platform
