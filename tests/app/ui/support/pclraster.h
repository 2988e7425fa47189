// Reads back what an inkjet driver sends its printer: PCL raster graphics, page by page, as the
// printer would put the dots on the paper.
#pragma once

#include "printserver.h"

#include <QByteArray>
#include <QList>

namespace apptest {

// The pages of a PCL job in grey (white paper, a dot in any ink black), each as large as the paper
// named by the job's page size command, at the job's raster resolution. The printer counts its
// positions across from the left edge of its printable area, printableLeftMm from the paper's, and
// down from the paper's top. Empty when the bytes are not a PCL raster job this reader knows.
QList<PrintedPage> readPclRaster(const QByteArray &job, double printableLeftMm);

} // namespace apptest
