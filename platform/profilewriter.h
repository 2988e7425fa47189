// Writing profile (INI) files that ProfileFile reads back unchanged: one section at a time is
// replaced or dropped in a file's text, and the file is written by a new file renamed over the old
// one, so that a crash leaves either the old file or the new one, never half of one.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

namespace platform {

// The keys and values of one section, in the order written.
using ProfileEntries = QList<std::pair<QString, QString>>;

// text with every section named section (compared as ProfileFile does: without case, blanks
// around the name dropped) removed and one section of entries appended at the end. A value that
// would lose blanks or quotes on reading is written in double quotes; line breaks become blanks.
QString replaceProfileSection(const QString &text, const QString &section, const ProfileEntries &entries);

// text without any section named section.
QString removeProfileSection(const QString &text, const QString &section);

// The text of the profile file at path as ProfileFile decodes it; empty for a missing file.
QString readProfileText(const QString &path);

// Writes text as UTF-8 to path through a new file renamed over the old one; the folder is created
// when missing. Throws FileError naming the file and the reason.
void writeProfileText(const QString &path, const QString &text);

} // namespace platform
