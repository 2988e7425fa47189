// Guest lists in files, as people keep them: a phone note or a text file with one name per line,
// a CSV file, an Excel workbook (.xlsx or the older .xls); and the list written back as CSV.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace guestfile {

// The rows of a table, each a list of cell texts.
using Rows = QList<QStringList>;

// The names of a guest list file, in file order; empty names stay in (the preview counts them),
// empty lines at the end do not. The kind of file is told by its content: a zip archive is read as
// .xlsx, a compound document as .xls, anything else as text. Throws platform::FileError with a
// Chinese message naming the file when it cannot be read or is damaged.
QStringList readNames(const QString &path);

// Text of a file's bytes: UTF-8 (with or without byte order mark), UTF-16 with its byte order
// mark, else GB18030 when the bytes are not valid UTF-8.
QString decodeText(const QByteArray &bytes);

// The rows of CSV or plain text: lines split at commas (or at tabs when the text holds one), with
// double-quoted cells that may hold separators, quotes ("") and line breaks.
Rows parseDelimited(const QString &text);

// The names of a table: the column headed "姓名" or "name" (in any case) below its heading row,
// else the first column of every row. Names are trimmed, also of ideographic spaces; empty rows at
// the end are dropped.
QStringList namesOfRows(const Rows &rows);

// The guest list as CSV for spreadsheet programs: UTF-8 with byte order mark, a heading
// "序号,姓名", then one line per guest with its number from 1; CRLF line ends.
QByteArray namesToCsv(const QStringList &names);

} // namespace guestfile
