// The template and the printer chosen last, kept across starts in a profile file of the user's.
#pragma once

#include <QString>

struct LastChoice {
    QString templateName;    // the template list's text; empty for none
    QString printerName;     // empty for none
    bool wholeCards = false; // cards printed with their picture, on blank card stock
};

// The choice kept in path; empty names for a missing file or key.
LastChoice loadLastChoice(const QString &path);
// Keeps choice in path, replacing what was kept. Throws platform::FileError when it cannot be
// written.
void saveLastChoice(const QString &path, const LastChoice &choice);
