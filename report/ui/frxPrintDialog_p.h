// Pictures of the print dialog, drawn at run time.
#pragma once

#include <QPixmap>

namespace frx::printdialog {

// The printer icon of the printer list, 16 x 16.
QPixmap printerIcon();
// The copies panel: three numbered sheets in two stacks, 1-2-3 twice (collated) or 1-1, 2-2, 3-3.
QPixmap collateImage(bool collated);
// The four print modes, 64 x 32 each: as laid out, split a large page over two sheets, join two
// small pages on a sheet, scale a small page to the sheet.
QPixmap printModeImage(int mode);

} // namespace frx::printdialog
