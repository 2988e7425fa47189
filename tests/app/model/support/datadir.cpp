#include "datadir.h"

#include <QDir>
#include <QFile>

namespace apptest {

DataDir::DataDir()
{
    const QDir source(QStringLiteral(TOVARO_SOURCE_DIR "/data"));
    for (const QString &name :
         {QStringLiteral("temp.ini"), QStringLiteral("qingjian1.jpg"), QStringLiteral("qingjian2.jpg"),
          QStringLiteral("qingjian3.jpg"), QStringLiteral("qingjian4.jpg")})
        QFile::copy(source.filePath(name), m_dir.filePath(name));
}

void DataDir::writeProfile(const QString &text) const
{
    writeFile(QStringLiteral("temp.ini"), text.toUtf8());
}

void DataDir::writeFile(const QString &name, const QByteArray &bytes) const
{
    QFile file(m_dir.filePath(name));
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(bytes);
}

} // namespace apptest
