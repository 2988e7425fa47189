#include "report/output/frxPrintableArea.h"

#include <memory>

namespace frx {

std::optional<QRectF> frxPrintableAreaMm(const QString &printerName, Extended paperWidth, Extended paperHeight,
                                         TPrinterOrientation orientation)
{
    TfrxPrinters *printers = frxPrinters();
    TfrxCustomPrinter *printer =
        printerName.isEmpty() ? printers->Current() : printers->PrinterAt(printers->FindByName(printerName));
    if (!printer) return std::nullopt;
    printer->Prepare();
    if (!printer->Initialized()) return std::nullopt;
    auto *real = dynamic_cast<TfrxPrinter *>(printer);
    if (!real) {
        // The virtual printer's margins are the same on every paper.
        return QRectF(QPointF(double(printer->LeftMargin()), double(printer->TopMargin())),
                      QPointF(double(paperWidth - printer->RightMargin()), double(paperHeight - printer->BottomMargin())));
    }
    // Measured on a device of its own, so that the printer's paper in force stays as it is.
    const std::unique_ptr<platform::PrintDevice> device = platform::printSystem().open(real->Name());
    if (!device) return std::nullopt;
    platform::DeviceMode mode = real->Mode();
    mode.paperCode = DMPAPER_USER;
    mode.landscape = orientation == poLandscape;
    // The device mode holds the paper in portrait terms, in tenths of a millimetre.
    const int width = int(roundHalfEven(paperWidth * 10)), height = int(roundHalfEven(paperHeight * 10));
    mode.paperWidthTenthsMm = mode.landscape ? height : width;
    mode.paperLengthTenthsMm = mode.landscape ? width : height;
    const std::optional<platform::DeviceMetrics> metrics = device->measure(mode);
    if (!metrics || metrics->dpiX <= 0 || metrics->dpiY <= 0) return std::nullopt;
    // The print run lays the page from the paper's corner: paper and page millimetres are the same.
    const double mmX = 25.4 / metrics->dpiX, mmY = 25.4 / metrics->dpiY;
    return QRectF(metrics->offsetX * mmX, metrics->offsetY * mmY, metrics->printableWidth * mmX,
                  metrics->printableHeight * mmY);
}

} // namespace frx
