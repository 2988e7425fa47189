#include "app/model/guestfile.h"

#include "app/model/spreadsheet.h"
#include "platform/errors.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

namespace guestfile {

namespace {

QString unreadable(const QString &path, const QString &reason)
{
    return QStringLiteral("无法读取名单文件“%1”：%2").arg(QDir::toNativeSeparators(path), reason);
}

bool isBlank(const QStringList &row)
{
    for (const QString &cell : row)
        if (!cell.trimmed().isEmpty()) return false;
    return true;
}

// Trims blanks including the ideographic space that Chinese text uses.
QString trimmedName(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && (text.at(begin).isSpace() || text.at(begin) == u'\u3000'))
        ++begin;
    while (end > begin && (text.at(end - 1).isSpace() || text.at(end - 1) == u'\u3000'))
        --end;
    return text.mid(begin, end - begin);
}

bool isNameHeading(const QString &cell)
{
    const QString heading = trimmedName(cell);
    return heading == u"姓名" || heading.compare(u"name", Qt::CaseInsensitive) == 0;
}

} // namespace

QString decodeText(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF")) return QString::fromUtf8(bytes.mid(3));
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(bytes.startsWith("\xFF\xFE") ? QStringConverter::Utf16LE
                                                          : QStringConverter::Utf16BE);
        return utf16(bytes.mid(2));
    }
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8(bytes);
    if (!utf8.hasError()) return text;
    // Not UTF-8: what Chinese Windows programs write (GBK, of which GB18030 is the superset).
    QStringDecoder gb18030("GB18030");
    if (!gb18030.isValid()) return text;
    return gb18030(bytes);
}

Rows parseDelimited(const QString &text)
{
    // Cells copied from a spreadsheet come separated by tabs; names never hold one.
    const QChar separator = text.contains(u'\t') ? QChar(u'\t') : QChar(u',');
    Rows rows;
    QStringList row;
    QString cell;
    bool quoted = false;
    bool cellStarted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c != u'"')
                cell += c;
            else if (i + 1 < text.size() && text.at(i + 1) == u'"')
                cell += text.at(++i);
            else
                quoted = false;
        } else if (c == u'"' && !cellStarted) {
            quoted = cellStarted = true;
        } else if (c == separator) {
            row << cell;
            cell.clear();
            cellStarted = false;
        } else if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') ++i;
            row << cell;
            rows << row;
            row.clear();
            cell.clear();
            cellStarted = false;
        } else {
            cell += c;
            cellStarted = true;
        }
    }
    if (cellStarted || !cell.isEmpty() || !row.isEmpty()) rows << (row << cell);
    return rows;
}

QStringList namesOfRows(const Rows &rows)
{
    qsizetype last = rows.size();
    while (last > 0 && isBlank(rows.at(last - 1)))
        --last;
    qsizetype first = 0;
    qsizetype column = 0;
    // The heading row is the first row with any text.
    qsizetype heading = 0;
    while (heading < last && isBlank(rows.at(heading)))
        ++heading;
    if (heading < last) {
        const QStringList &cells = rows.at(heading);
        for (qsizetype c = 0; c < cells.size(); ++c)
            if (isNameHeading(cells.at(c))) {
                column = c;
                first = heading + 1;
                break;
            }
    }
    QStringList names;
    for (qsizetype r = first; r < last; ++r) {
        const QStringList &cells = rows.at(r);
        names << (column < cells.size() ? trimmedName(cells.at(column)) : QString());
    }
    return names;
}

QStringList readNames(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) throw platform::FileError(unreadable(path, file.errorString()));
    const QByteArray head = file.peek(8);
    if (head.startsWith("PK\x03\x04")) return namesOfRows(spreadsheet::readXlsx(path));
    if (head.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")) return namesOfRows(spreadsheet::readXls(path));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) throw platform::FileError(unreadable(path, file.errorString()));
    if (bytes.contains('\0') && !bytes.startsWith("\xFF\xFE") && !bytes.startsWith("\xFE\xFF"))
        throw platform::FileError(unreadable(path, QStringLiteral("这不是文本文件，也不是 Excel 工作簿。")));
    return namesOfRows(parseDelimited(decodeText(bytes)));
}

QByteArray namesToCsv(const QStringList &names)
{
    const auto cell = [](const QString &text) {
        if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
            return text;
        return u'"' + QString(text).replace(u'"', QStringLiteral("\"\"")) + u'"';
    };
    QString csv = QStringLiteral("序号,姓名\r\n");
    for (qsizetype i = 0; i < names.size(); ++i)
        csv += QString::number(i + 1) + u',' + cell(names.at(i)) + QStringLiteral("\r\n");
    return "\xEF\xBB\xBF" + csv.toUtf8();
}

} // namespace guestfile
