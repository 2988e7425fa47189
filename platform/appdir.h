// The folder every data file of the program is found in: the executable's own.
#pragma once

#include <QString>

namespace platform {

// Absolute path of the executable's folder, ending without a separator. Before a
// QCoreApplication exists it is the folder of /proc/self/exe.
QString applicationDir();

// applicationDir() joined with a file name.
QString applicationFile(const QString &fileName);

} // namespace platform
