// Internals shared by the files of the printer unit.
#pragma once

#include <QString>

namespace frx {

// The message for a printer that cannot be used: the engine's fixed text "Printer selected is not
// valid" with the printer's name and what the user can do about it.
QString invalidPrinterText(const QString &printerName);

// Reports invalidPrinterText through the installed printer error handler.
void reportInvalidPrinter(const QString &printerName);

} // namespace frx
