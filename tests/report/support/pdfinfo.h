// Reading PDF output back for tests, through poppler's pdfinfo.
#pragma once

#include <QList>
#include <QSizeF>
#include <QString>

namespace testing_support {

// The size of every page of a PDF file in points, in page order; empty when pdfinfo fails.
QList<QSizeF> pdfPageSizes(const QString &file);

// True when a and b differ by at most one point in each direction.
bool samePoints(const QSizeF &a, const QSizeF &b);

} // namespace testing_support
