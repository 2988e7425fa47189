#include "platform/recordingcanvas.h"

namespace platform {

RecordingCanvas::RecordingCanvas(int dpi) : Canvas(&picture, dpi, dpi) {}

void RecordingCanvas::textOut(int x, int y, QStringView text, const int *advances, unsigned options,
                              const QRect &clip)
{
    QRect bounds = textBounds(x, y, text, advances);
    if ((options & toClipped) != 0) bounds &= clip;
    m_records.push_back(TextRecord{text.toString(), QPoint(x, y), bounds, (options & toCodePageText) == 0});
    Canvas::textOut(x, y, text, advances, options, clip);
}

const QPicture &RecordingCanvas::finish()
{
    end();
    return picture;
}

} // namespace platform
