// .xls: the binary workbook of older spreadsheet programs, read with FreeXL.
#include "app/model/spreadsheet.h"

#include "platform/errors.h"

#include <QDir>
#include <QFile>

#include <freexl.h>

namespace spreadsheet {

namespace {

[[noreturn]] void damaged(const QString &path)
{
    throw platform::FileError(
        QStringLiteral("无法读取名单文件“%1”：文件已损坏、已加密，或不是 Excel 工作簿（.xls）。")
            .arg(QDir::toNativeSeparators(path)));
}

struct Closer {
    void operator()(const void *handle) const { freexl_close(handle); }
};

QString cellText(const FreeXL_CellValue &cell)
{
    switch (cell.type) {
    case FREEXL_CELL_INT:
        return QString::number(cell.value.int_value);
    case FREEXL_CELL_DOUBLE:
        return QString::number(cell.value.double_value, 'g', 15);
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
        return QString::fromUtf8(cell.value.text_value);
    default:
        return {};
    }
}

} // namespace

guestfile::Rows readXls(const QString &path)
{
    const void *opened = nullptr;
    if (freexl_open(QFile::encodeName(path).constData(), &opened) != FREEXL_OK) {
        freexl_close(opened);
        damaged(path);
    }
    std::unique_ptr<const void, Closer> handle(opened);
    unsigned int rowCount = 0;
    unsigned short columnCount = 0;
    if (freexl_select_active_worksheet(handle.get(), 0) != FREEXL_OK ||
        freexl_worksheet_dimensions(handle.get(), &rowCount, &columnCount) != FREEXL_OK)
        damaged(path);

    guestfile::Rows rows;
    rows.reserve(rowCount);
    for (unsigned int r = 0; r < rowCount; ++r) {
        QStringList cells;
        for (unsigned short c = 0; c < columnCount; ++c) {
            FreeXL_CellValue cell;
            if (freexl_get_cell_value(handle.get(), r, c, &cell) != FREEXL_OK) damaged(path);
            cells << cellText(cell);
        }
        rows << cells;
    }
    return rows;
}

} // namespace spreadsheet
