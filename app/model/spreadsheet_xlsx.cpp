// .xlsx: the workbook names its sheets in xl/workbook.xml and finds their parts through
// xl/_rels/workbook.xml.rels; texts of cells of type "s" are indexes into xl/sharedStrings.xml.
#include "app/model/spreadsheet.h"

#include "platform/errors.h"

#include <QDir>
#include <QXmlStreamReader>

#include <quazip.h>
#include <quazipfile.h>

namespace spreadsheet {

namespace {

[[noreturn]] void damaged(const QString &path)
{
    throw platform::FileError(
        QStringLiteral("无法读取名单文件“%1”：文件已损坏，或不是 Excel 工作簿（.xlsx）。")
            .arg(QDir::toNativeSeparators(path)));
}

// The bytes of one part; empty when the archive has no such part. A part that cannot be
// unpacked is damage.
QByteArray part(QuaZip &zip, const QString &path, const QString &name)
{
    if (!zip.setCurrentFile(name, QuaZip::csInsensitive)) return {};
    QuaZipFile file(&zip);
    if (!file.open(QIODevice::ReadOnly)) damaged(path);
    const QByteArray bytes = file.readAll();
    file.close();
    if (file.getZipError() != UNZ_OK) damaged(path);
    return bytes;
}

// The texts of the shared strings, in order; the runs of a rich text joined, phonetic hints left
// out.
QStringList sharedStrings(const QByteArray &xml, const QString &path)
{
    QStringList strings;
    QXmlStreamReader reader(xml);
    int phonetic = 0;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            if (reader.name() == u"si")
                strings << QString();
            else if (reader.name() == u"rPh")
                ++phonetic;
            else if (reader.name() == u"t" && !phonetic && !strings.isEmpty())
                strings.last() += reader.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (reader.isEndElement() && reader.name() == u"rPh") {
            --phonetic;
        }
    }
    if (reader.hasError()) damaged(path);
    return strings;
}

// The part of the workbook's first sheet, by its relationship; the usual name when the workbook
// does not say.
QString firstSheetPart(QuaZip &zip, const QString &path)
{
    QString relationship;
    QXmlStreamReader workbook(part(zip, path, QStringLiteral("xl/workbook.xml")));
    while (!workbook.atEnd() && relationship.isEmpty())
        if (workbook.readNext() == QXmlStreamReader::StartElement && workbook.name() == u"sheet")
            for (const QXmlStreamAttribute &attribute : workbook.attributes())
                if (attribute.name() == u"id") relationship = attribute.value().toString();
    QXmlStreamReader relations(part(zip, path, QStringLiteral("xl/_rels/workbook.xml.rels")));
    while (!relationship.isEmpty() && !relations.atEnd())
        if (relations.readNext() == QXmlStreamReader::StartElement && relations.name() == u"Relationship" &&
            relations.attributes().value(QLatin1StringView("Id")) == relationship) {
            const QString target = relations.attributes().value(QLatin1StringView("Target")).toString();
            return target.startsWith(u'/') ? target.mid(1) : QStringLiteral("xl/") + target;
        }
    return QStringLiteral("xl/worksheets/sheet1.xml");
}

// The 0-based column of a cell reference such as "C7"; -1 without letters.
int columnOf(QStringView reference)
{
    int column = 0;
    qsizetype i = 0;
    for (; i < reference.size() && reference.at(i).isLetter(); ++i)
        column = column * 26 + (reference.at(i).toUpper().unicode() - u'A' + 1);
    return i == 0 ? -1 : column - 1;
}

} // namespace

guestfile::Rows readXlsx(const QString &path)
{
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdUnzip)) damaged(path);
    const QStringList strings = sharedStrings(part(zip, path, QStringLiteral("xl/sharedStrings.xml")), path);
    const QByteArray sheet = part(zip, path, firstSheetPart(zip, path));
    if (sheet.isEmpty()) damaged(path);

    guestfile::Rows rows;
    QXmlStreamReader reader(sheet);
    QString type;
    int column = -1;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement) continue;
        if (reader.name() == u"row") {
            bool numbered = false;
            const int number = reader.attributes().value(QLatin1StringView("r")).toInt(&numbered);
            // Rows without a cell are left out of the part: the numbers tell where they were.
            const qsizetype index = numbered && number > 0 ? number - 1 : rows.size();
            if (index > 1048575 || index < rows.size()) damaged(path);
            while (rows.size() <= index)
                rows << QStringList();
            column = -1;
        } else if (reader.name() == u"c" && !rows.isEmpty()) {
            type = reader.attributes().value(QLatin1StringView("t")).toString();
            const int referenced = columnOf(reader.attributes().value(QLatin1StringView("r")));
            column = referenced >= 0 ? referenced : column + 1;
            if (column > 16383) damaged(path);
        } else if ((reader.name() == u"v" || reader.name() == u"t") && column >= 0 && !rows.isEmpty()) {
            QString value = reader.readElementText(QXmlStreamReader::IncludeChildElements);
            if (type == u"s") {
                bool ok = false;
                const int index = value.toInt(&ok);
                if (!ok || index < 0 || index >= strings.size()) damaged(path);
                value = strings.at(index);
            }
            QStringList &cells = rows.last();
            while (cells.size() <= column)
                cells << QString();
            cells[column] += value;
        }
    }
    if (reader.hasError()) damaged(path);
    return rows;
}

} // namespace spreadsheet
