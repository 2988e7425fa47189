// Reading INI profile files the way the Windows private-profile-string service does: section and
// key names compare without case, blanks around names and values are dropped, values are cut at
// 2047 characters, a value quoted with a pair of ' or " loses the quotes. Lines starting with ";"
// are comments, lines without "=" are ignored, and of repeated sections or keys the first counts.
// The file may be UTF-8 (with or without BOM), UTF-16 with BOM, or CP936.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

namespace platform {

class ProfileFile {
public:
    // Reads the whole file at once. A missing or unreadable file behaves as an empty one.
    explicit ProfileFile(const QString &path);

    // Reads the profile from the bytes of a file's content; exists() is true.
    static ProfileFile fromData(const QByteArray &contents);

    bool exists() const { return m_exists; }

    // The value of key in section, or defaultValue when either is missing.
    QString readString(const QString &section, const QString &key, const QString &defaultValue = {}) const;

    // Decimal with optional sign, or "0x"/"0X" hexadecimal of at least three characters;
    // anything else (or a missing key) gives defaultValue.
    int readInteger(const QString &section, const QString &key, int defaultValue = 0) const;

    bool hasSection(const QString &section) const;

    // The profile-string integer rule on its own, for tests and callers holding text.
    static int parseInteger(const QString &text, int defaultValue);

private:
    ProfileFile() = default;
    void parse(const QByteArray &contents);

    bool m_exists = false;
    // lower-cased section -> lower-cased key -> value; the first occurrence of a key wins.
    QHash<QString, QHash<QString, QString>> m_sections;
};

} // namespace platform
