// Where a printer can print a page: the printable area of the paper the page lands on, so that a
// text that would fall outside it can be named before printing instead of being cut.
#pragma once

#include "report/output/frxPrinter.h"

#include <QRectF>
#include <QString>

#include <optional>

namespace frx {

// The printable area, in millimetres from the paper's corner, of the printer named printerName
// (letter case ignored; empty: the current printer) for a page of paperWidth x paperHeight mm in
// orientation, laid as the print run lays it: from the paper's corner, on the paper the printer
// takes for it (a printer without that size takes a larger one, its default first, so the area may
// reach past the page). What lies outside the area does not print. Nothing when there is no such
// printer or it cannot be used; its problem has then been reported as preparing it reports one.
std::optional<QRectF> frxPrintableAreaMm(const QString &printerName, Extended paperWidth, Extended paperHeight,
                                         TPrinterOrientation orientation);

} // namespace frx
