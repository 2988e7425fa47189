// The layouts of the card templates: the shipped layout profile file and the user's own file of
// the same shape, whose sections are read instead of the shipped ones. "保存布局" writes the
// user's section of a template, "恢复默认" drops it.
#pragma once

#include "app/model/layoutprofile.h"

#include <QList>
#include <QString>

#include <utility>

#include <optional>

// The whole-layout offsets, in mm (right, down).
struct OffsetsMm {
    int left = 0;
    int top = 0;
    bool operator==(const OffsetsMm &other) const = default;
};

// One template's layout as a profile section holds it.
struct TemplateLayout {
    layout::CardSizeMm cardSize;
    int leftOffsetMm = 0; // the whole-layout offsets; the shipped profile has none
    int topOffsetMm = 0;
    LayoutTable records;
};

namespace platform {
class ProfileFile;
}

namespace layout {

// The keys and values of a section that holds layout, offsets included.
QList<std::pair<QString, QString>> layoutEntries(const TemplateLayout &layout);
// The layout section of profile holds, its offsets (0 when missing) included.
TemplateLayout readLayout(const platform::ProfileFile &profile, const QString &section);

} // namespace layout

class LayoutStore {
public:
    // shippedFile is the read-only temp.ini, userFile the user's profile (it need not exist).
    LayoutStore(const QString &shippedFile, const QString &userFile);

    // The layout of section: the user's when the user's file has that section, else the shipped;
    // its offsets are printer's own when stored for it, else the user's section's.
    TemplateLayout read(const QString &section, const QString &printer = QString()) const;
    bool hasUserLayout(const QString &section) const;

    // Writes layout as the user's section, replacing one of the same name; its offsets go to
    // printer's own (to the section itself without a printer). Throws platform::FileError when the
    // user's file cannot be written; the old file then stays.
    void save(const QString &section, const TemplateLayout &layout, const QString &printer = QString()) const;

    // The offsets stored for section on printer, if any.
    std::optional<OffsetsMm> printerOffsets(const QString &section, const QString &printer) const;
    // Stores offsets for section on printer, leaving the rest of the file as it is.
    void savePrinterOffsets(const QString &section, const QString &printer, OffsetsMm offsets) const;
    // The user's section that keeps section's offsets on printer: "section@printer" (a "]" or line
    // break in the name, which a section name cannot hold, becomes "_").
    static QString printerSection(const QString &section, const QString &printer);
    // Drops the user's section, so that the shipped one counts again; nothing when there is none.
    void restoreDefault(const QString &section) const;

    const QString &userFile() const { return m_userFile; }

private:
    QString m_shippedFile;
    QString m_userFile;
};
