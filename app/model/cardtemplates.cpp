#include "app/model/cardtemplates.h"

#include "platform/errors.h"
#include "platform/jpeg.h"
#include "platform/profile.h"
#include "platform/profilewriter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QSaveFile>

#include <quazip.h>
#include <quazipfile.h>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

const QString metaSection = QStringLiteral("模板");
const QString templateFileName = QStringLiteral("template.ini");
const QString savedFileName = QStringLiteral("saved.ini");
const QString pictureFileName = QStringLiteral("picture.jpg");
// What an imported file may unpack to at most: a card photographed at a phone's full size is far
// below, a crafted archive is not unpacked into memory without end.
constexpr qint64 maxPictureBytes = 64 * 1024 * 1024;
constexpr qint64 maxProfileBytes = 1024 * 1024;

QString directionText(TextDirection direction)
{
    return direction == TextDirection::Vertical ? QStringLiteral("竖排") : QStringLiteral("横排");
}

std::optional<TextDirection> directionFromText(const QString &text)
{
    if (text == QStringLiteral("竖排")) return TextDirection::Vertical;
    if (text == QStringLiteral("横排")) return TextDirection::Horizontal;
    return std::nullopt;
}

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// The text of a template's profile: its name and direction, and layout as its first layout.
QString profileText(const QString &name, TextDirection direction, const TemplateLayout &layout)
{
    QString text = platform::replaceProfileSection(
        QString(), metaSection,
        {{QStringLiteral("Name"), name}, {QStringLiteral("Direction"), directionText(direction)}});
    return platform::replaceProfileSection(text, UserTemplateStore::layoutSection(),
                                           layout::layoutEntries(layout));
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw platform::FileError(
            QStringLiteral("无法写入文件“%1”：%2。").arg(native(path), file.errorString()));
}

QByteArray jpegBytes(const QImage &picture)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(92);
    if (!writer.write(picture))
        throw platform::FileError(QStringLiteral("无法保存模板图片：%1。").arg(writer.errorString()));
    return bytes;
}

// The template in folder, if it holds one that can be shown.
std::optional<CardTemplate> readTemplate(const QString &folder)
{
    const platform::ProfileFile profile(QDir(folder).filePath(templateFileName));
    const QString name = profile.readString(metaSection, QStringLiteral("Name")).trimmed();
    const auto direction = directionFromText(profile.readString(metaSection, QStringLiteral("Direction")));
    const QString picture = QDir(folder).filePath(pictureFileName);
    if (name.isEmpty() || !direction || !QFile::exists(picture)) return std::nullopt;
    return CardTemplate{name, *direction, picture, folder};
}

// The entry named name of zip, at most maxBytes long.
QByteArray zipEntry(QuaZip &zip, const QString &name, qint64 maxBytes, const QString &zipFile)
{
    const auto damaged = [&] {
        return platform::FileError(
            QStringLiteral("“%1”不是本程序导出的模板文件（缺少或损坏了 %2）。").arg(native(zipFile), name));
    };
    if (!zip.setCurrentFile(name)) throw damaged();
    QuaZipFile entry(&zip);
    QuaZipFileInfo64 info;
    if (!zip.getCurrentFileInfo(&info) || static_cast<qint64>(info.uncompressedSize) > maxBytes)
        throw damaged();
    if (!entry.open(QIODevice::ReadOnly)) throw damaged();
    // The size in the directory may lie; the reading stops at the limit all the same.
    const QByteArray bytes = entry.read(maxBytes + 1);
    entry.close();
    if (bytes.size() > maxBytes || entry.getZipError() != UNZ_OK) throw damaged();
    return bytes;
}

} // namespace

QList<CardTemplate> shippedTemplates()
{
    const auto shipped = [](const char *name, TextDirection direction, const char *picture) {
        return CardTemplate{QString::fromUtf8(name), direction, QString::fromLatin1(picture), QString()};
    };
    return {shipped("A4竖排模板", TextDirection::Vertical, "qingjian1.jpg"),
            shipped("A3竖排模板", TextDirection::Vertical, "qingjian1.jpg"),
            shipped("A4横排模板", TextDirection::Horizontal, "qingjian2.jpg"),
            shipped("送行横排模板", TextDirection::Horizontal, "qingjian4.jpg"),
            shipped("送行竖排模板", TextDirection::Vertical, "qingjian3.jpg")};
}

namespace cardtemplates {

TemplateLayout startingLayout(const QString &shippedProfile, TextDirection direction,
                              layout::CardSizeMm cardSize)
{
    const QString section =
        direction == TextDirection::Vertical ? QStringLiteral("A4竖排模板") : QStringLiteral("A4横排模板");
    TemplateLayout from = layout::readLayout(platform::ProfileFile(shippedProfile), section);
    TemplateLayout result = from;
    result.cardSize = cardSize;
    result.leftOffsetMm = 0;
    result.topOffsetMm = 0;
    if (from.cardSize.width <= 0 || from.cardSize.height <= 0) return result;
    const double sx = double(cardSize.width) / from.cardSize.width;
    const double sy = double(cardSize.height) / from.cardSize.height;
    for (para &record : result.records) {
        record.Left = static_cast<int>(std::lround(record.Left * sx));
        record.Top = static_cast<int>(std::lround(record.Top * sy));
        if (record.Fontsize > 0)
            record.Fontsize = std::max(5, static_cast<int>(std::lround(record.Fontsize * std::min(sx, sy))));
    }
    return result;
}

} // namespace cardtemplates

UserTemplateStore::UserTemplateStore(const QString &rootDir) : m_rootDir(rootDir) {}

QList<CardTemplate> UserTemplateStore::templates() const
{
    QList<CardTemplate> result;
    const QDir root(m_rootDir);
    for (const QString &entry : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (const auto templ = readTemplate(root.filePath(entry))) result.append(*templ);
    std::sort(result.begin(), result.end(), [](const CardTemplate &a, const CardTemplate &b) {
        return a.name.localeAwareCompare(b.name) < 0;
    });
    return result;
}

void UserTemplateStore::checkName(const QString &name, const QStringList &taken, const QString &except) const
{
    if (name.isEmpty()) throw platform::FileError(QStringLiteral("模板名称不能为空。"));
    bool used = taken.contains(name, Qt::CaseInsensitive);
    for (const CardTemplate &templ : templates())
        if (templ.folder != except && templ.name.compare(name, Qt::CaseInsensitive) == 0) used = true;
    if (used) throw platform::FileError(QStringLiteral("已经有名为“%1”的模板。").arg(name));
}

QString UserTemplateStore::uniqueName(const QString &name, const QStringList &taken) const
{
    QStringList names = taken;
    for (const CardTemplate &templ : templates())
        names.append(templ.name);
    QString candidate = name;
    for (int n = 2; names.contains(candidate, Qt::CaseInsensitive); ++n)
        candidate = QStringLiteral("%1（%2）").arg(name).arg(n);
    return candidate;
}

CardTemplate UserTemplateStore::create(const QString &name, TextDirection direction, const QImage &picture,
                                       const TemplateLayout &layout, const QStringList &taken)
{
    const QString trimmed = name.trimmed();
    checkName(trimmed, taken);
    const QByteArray pictureBytes = jpegBytes(picture);
    QDir root(m_rootDir);
    if (!root.mkpath(QStringLiteral(".")))
        throw platform::FileError(QStringLiteral("无法建立模板文件夹“%1”。").arg(native(m_rootDir)));
    // Folders are numbered: a name the user gives may hold anything, a folder name may not.
    int number = 1;
    while (root.exists(QStringLiteral("t%1").arg(number)))
        ++number;
    const QString folder = root.filePath(QStringLiteral("t%1").arg(number));
    if (!root.mkdir(QStringLiteral("t%1").arg(number)))
        throw platform::FileError(QStringLiteral("无法建立模板文件夹“%1”。").arg(native(folder)));
    try {
        writeFile(QDir(folder).filePath(pictureFileName), pictureBytes);
        // The profile last: a folder without one is no template.
        platform::writeProfileText(QDir(folder).filePath(templateFileName),
                                   profileText(trimmed, direction, layout));
    } catch (...) {
        QDir(folder).removeRecursively();
        throw;
    }
    return CardTemplate{trimmed, direction, QDir(folder).filePath(pictureFileName), folder};
}

CardTemplate UserTemplateStore::rename(const CardTemplate &templ, const QString &newName,
                                       const QStringList &taken)
{
    const QString trimmed = newName.trimmed();
    checkName(trimmed, taken, templ.folder);
    const QString path = QDir(templ.folder).filePath(templateFileName);
    platform::writeProfileText(path, platform::replaceProfileSection(
                                         platform::readProfileText(path), metaSection,
                                         {{QStringLiteral("Name"), trimmed},
                                          {QStringLiteral("Direction"), directionText(templ.direction)}}));
    CardTemplate renamed = templ;
    renamed.name = trimmed;
    return renamed;
}

void UserTemplateStore::remove(const CardTemplate &templ)
{
    if (!templ.isUserMade()) return;
    if (!QDir(templ.folder).removeRecursively())
        throw platform::FileError(QStringLiteral("无法删除模板文件夹“%1”。").arg(native(templ.folder)));
}

LayoutStore UserTemplateStore::layouts(const CardTemplate &templ)
{
    return LayoutStore(QDir(templ.folder).filePath(templateFileName),
                       QDir(templ.folder).filePath(savedFileName));
}

void UserTemplateStore::exportTo(const CardTemplate &templ, const QString &zipFile) const
{
    QFile pictureFile(templ.pictureFile);
    if (!pictureFile.open(QIODevice::ReadOnly))
        throw platform::FileError(QStringLiteral("无法读取模板图片“%1”：%2。")
                                      .arg(native(templ.pictureFile), pictureFile.errorString()));
    const QByteArray picture = pictureFile.readAll();
    const QByteArray profile =
        profileText(templ.name, templ.direction, layouts(templ).read(layoutSection())).toUtf8();

    // Written beside the target and renamed over it: a failed export leaves an older file whole.
    const QString partFile = zipFile + QStringLiteral(".part");
    QFile::remove(partFile);
    QuaZip zip(partFile);
    const auto failed = [&] {
        QFile::remove(partFile);
        return platform::FileError(QStringLiteral("无法写入模板文件“%1”。").arg(native(zipFile)));
    };
    if (!zip.open(QuaZip::mdCreate)) throw failed();
    for (const auto &[name, bytes] :
         {std::pair{templateFileName, profile}, std::pair{pictureFileName, picture}}) {
        QuaZipFile entry(&zip);
        if (!entry.open(QIODevice::WriteOnly, QuaZipNewInfo(name)) || entry.write(bytes) != bytes.size()) {
            zip.close();
            throw failed();
        }
        entry.close();
        if (entry.getZipError() != ZIP_OK) {
            zip.close();
            throw failed();
        }
    }
    zip.close();
    if (zip.getZipError() != ZIP_OK) throw failed();
    QFile::remove(zipFile);
    if (!QFile::rename(partFile, zipFile)) throw failed();
}

CardTemplate UserTemplateStore::importFrom(const QString &zipFile, const QStringList &taken)
{
    QuaZip zip(zipFile);
    if (!zip.open(QuaZip::mdUnzip))
        throw platform::FileError(
            QStringLiteral("无法打开模板文件“%1”：不是 zip 文件或无法读取。").arg(native(zipFile)));
    const QByteArray profileBytes = zipEntry(zip, templateFileName, maxProfileBytes, zipFile);
    const QByteArray pictureBytes = zipEntry(zip, pictureFileName, maxPictureBytes, zipFile);
    zip.close();

    const platform::ProfileFile profile = platform::ProfileFile::fromData(profileBytes);
    const QString name = profile.readString(metaSection, QStringLiteral("Name")).trimmed();
    const auto direction = directionFromText(profile.readString(metaSection, QStringLiteral("Direction")));
    const TemplateLayout layout = layout::readLayout(profile, layoutSection());
    if (name.isEmpty() || !direction || layout.cardSize.width <= 0 || layout.cardSize.height <= 0)
        throw platform::FileError(
            QStringLiteral("“%1”不是本程序导出的模板文件（模板说明不全）。").arg(native(zipFile)));
    // Decoding checks the picture before it is kept; its bytes are kept as they came.
    const QImage picture = platform::decodeJpeg(pictureBytes, zipFile + u'/' + pictureFileName);

    const QString unique = uniqueName(name, taken);
    CardTemplate made = create(unique, *direction, picture, layout, taken);
    try {
        writeFile(made.pictureFile, pictureBytes);
    } catch (...) {
        remove(made);
        throw;
    }
    return made;
}
