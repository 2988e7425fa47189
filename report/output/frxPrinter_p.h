// Internals shared by the files of the printer unit.
#pragma once

namespace frx {

// Reports "Printer selected is not valid" through the installed printer error handler.
void reportInvalidPrinter();

} // namespace frx
