// The card templates the template list offers: the shipped ones, each a section of the shipped
// layout profile with a picture of our own drawing, and the user's own, each made from a picture of
// a card the user bought and kept in a folder of its own under the user's data folder (its picture,
// its first layout, the layout saved over it). A user's template travels as one zip file.
#pragma once

#include "app/model/layoutstore.h"

#include <QImage>
#include <QList>
#include <QString>

enum class TextDirection { Vertical, Horizontal };

struct CardTemplate {
    QString name; // the template list's text; a shipped template's layout section
    TextDirection direction = TextDirection::Vertical;
    // A shipped template's picture: a data file's name; a user's: the absolute path of its copy.
    QString pictureFile;
    // The folder of a user's template; empty for a shipped one.
    QString folder;

    bool isUserMade() const { return !folder.isEmpty(); }
};

// The shipped templates in the list's order: the wedding's (vertical A4 and A3, horizontal A4),
// then the farewell party's (horizontal, vertical), so that positions 0 and 1 stay vertical and
// 2 and 3 horizontal.
QList<CardTemplate> shippedTemplates();

namespace cardtemplates {

// The layout a new template of direction starts from: the shipped layout of its kind (section
// "A4竖排模板" or "A4横排模板" of shippedProfile) with positions scaled to cardSize and font sizes
// scaled with the card's smaller side ratio. Empty (all zeros but the size) when the section is
// missing.
TemplateLayout startingLayout(const QString &shippedProfile, TextDirection direction,
                              layout::CardSizeMm cardSize);

} // namespace cardtemplates

class UserTemplateStore {
public:
    // rootDir holds one folder per template; it is made when the first template is.
    explicit UserTemplateStore(const QString &rootDir);

    // The templates, sorted by name; folders that hold no readable template are passed over.
    QList<CardTemplate> templates() const;

    // Makes a template of picture (the card as it is to be shown, already straightened) with
    // layout as its first layout. The name is trimmed and must be new: not one of taken (the
    // shipped names) nor of this store's, compared without case. Throws platform::FileError when
    // the name is empty or taken or a file cannot be written; nothing stays behind then.
    CardTemplate create(const QString &name, TextDirection direction, const QImage &picture,
                        const TemplateLayout &layout, const QStringList &taken = {});
    // Gives templ a new name under the same rule.
    CardTemplate rename(const CardTemplate &templ, const QString &newName, const QStringList &taken = {});
    // Deletes templ with its folder.
    void remove(const CardTemplate &templ);

    // The layouts of templ: its first layout is the shipped one, what "保存布局" writes goes beside
    // it; both under layoutSection().
    static LayoutStore layouts(const CardTemplate &templ);
    static QString layoutSection() { return QStringLiteral("布局"); }

    // Writes templ as one zip file: its picture and its layout as it stands (saved over the first
    // one, without any printer's offsets). Throws platform::FileError.
    void exportTo(const CardTemplate &templ, const QString &zipFile) const;
    // Makes a template from a zip file that exportTo wrote. A name already in use gets a number
    // ("名字（2）"). Throws platform::FileError, in Chinese, for a file that is no such zip.
    CardTemplate importFrom(const QString &zipFile, const QStringList &taken = {});

private:
    QString uniqueName(const QString &name, const QStringList &taken) const;
    void checkName(const QString &name, const QStringList &taken, const QString &except = {}) const;

    QString m_rootDir;
};
