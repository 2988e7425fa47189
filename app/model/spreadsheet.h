// The cell texts of the first sheet of an Excel workbook: .xlsx (a zip archive of XML parts, read
// with QuaZip and QXmlStreamReader) and .xls (the older binary format, read with FreeXL).
#pragma once

#include "app/model/guestfile.h"

namespace spreadsheet {

// The first sheet's rows, from row 1 to the last row with a cell; rows and cells without a value
// are empty texts. Numbers are written as the sheet holds them (integers without a point).
// Throws platform::FileError with a Chinese message naming the file when it cannot be read.
guestfile::Rows readXlsx(const QString &path);
guestfile::Rows readXls(const QString &path);

} // namespace spreadsheet
