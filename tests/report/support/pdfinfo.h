// Reading PDF output back for tests, through poppler's pdfinfo.
#pragma once

#include <QImage>
#include <QList>
#include <QSizeF>
#include <QString>

namespace testing_support {

// The size of every page of a PDF file in points, in page order; empty when pdfinfo fails.
QList<QSizeF> pdfPageSizes(const QString &file);

// Page `page` (from 1) of a PDF file rendered in grey at dpi through poppler's pdftoppm; null on failure.
QImage pdfPageImage(const QString &file, int page, int dpi);

// The box of the dark pixels of a grey image; empty when there are none.
QRect darkBounds(const QImage &grey);

// True when a and b differ by at most one point in each direction.
bool samePoints(const QSizeF &a, const QSizeF &b);

} // namespace testing_support
