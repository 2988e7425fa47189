// A data folder for the card program's model tests: copies of the program's data files in a fresh
// temporary folder, without a window or a guest store.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace apptest {

// A fresh temporary folder holding copies of the program's data files (temp.ini and the card
// pictures qingjian1.jpg to qingjian4.jpg) and no guest store.
class DataDir {
public:
    DataDir();
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }
    // Replaces temp.ini by text (UTF-8).
    void writeProfile(const QString &text) const;
    void writeFile(const QString &name, const QByteArray &bytes) const;

private:
    QTemporaryDir m_dir;
};

} // namespace apptest
