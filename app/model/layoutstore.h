// The layouts of the card templates: the shipped layout profile file and the user's own file of
// the same shape, whose sections are read instead of the shipped ones. "保存布局" writes the
// user's section of a template, "恢复默认" drops it.
#pragma once

#include "app/model/layoutprofile.h"

#include <QString>

// One template's layout as a profile section holds it.
struct TemplateLayout {
    layout::CardSizeMm cardSize;
    int leftOffsetMm = 0; // the whole-layout offsets; the shipped profile has none
    int topOffsetMm = 0;
    LayoutTable records;
};

class LayoutStore {
public:
    // shippedFile is the read-only temp.ini, userFile the user's profile (it need not exist).
    LayoutStore(const QString &shippedFile, const QString &userFile);

    // The layout of section: the user's when the user's file has that section, else the shipped.
    TemplateLayout read(const QString &section) const;
    bool hasUserLayout(const QString &section) const;

    // Writes layout as the user's section, replacing one of the same name. Throws
    // platform::FileError when the user's file cannot be written; the old file then stays.
    void save(const QString &section, const TemplateLayout &layout) const;
    // Drops the user's section, so that the shipped one counts again; nothing when there is none.
    void restoreDefault(const QString &section) const;

    const QString &userFile() const { return m_userFile; }

private:
    QString m_shippedFile;
    QString m_userFile;
};
