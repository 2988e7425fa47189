#include "platform/profilewriter.h"

#include "platform/codepage.h"
#include "platform/errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <optional>

namespace platform {

namespace {

QString sectionKey(QStringView name)
{
    return name.trimmed().toString().toLower();
}

// The name of the section a line opens, or an empty optional for any other line.
std::optional<QString> sectionOf(QStringView line)
{
    const QStringView trimmed = line.trimmed();
    if (!trimmed.startsWith(u'[')) return std::nullopt;
    const qsizetype close = trimmed.lastIndexOf(u']');
    if (close <= 0) return std::nullopt;
    return sectionKey(trimmed.sliced(1, close - 1));
}

QString storedValue(QString value)
{
    value.replace(u'\r', u' ').replace(u'\n', u' ');
    const bool loosesBlanks = !value.isEmpty() && (value.front().isSpace() || value.back().isSpace());
    const bool looksQuoted = value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
                             value.back() == value.front();
    return loosesBlanks || looksQuoted ? u'"' + value + u'"' : value;
}

} // namespace

QString removeProfileSection(const QString &text, const QString &section)
{
    const QString wanted = sectionKey(section);
    QStringList kept;
    bool skipping = false;
    for (const QString &line : text.split(u'\n')) {
        if (const auto name = sectionOf(line)) skipping = *name == wanted;
        if (!skipping) kept << line;
    }
    while (!kept.isEmpty() && kept.back().trimmed().isEmpty())
        kept.removeLast();
    return kept.isEmpty() ? QString() : kept.join(u'\n') + u'\n';
}

QString replaceProfileSection(const QString &text, const QString &section, const ProfileEntries &entries)
{
    QString result = removeProfileSection(text, section);
    if (!result.isEmpty()) result += u'\n';
    result += u'[' + section.trimmed() + QStringLiteral("]\n");
    for (const auto &[key, value] : entries)
        result += key + u'=' + storedValue(value) + u'\n';
    return result;
}

QString readProfileText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    return utf8.hasError() ? fromSystemCodePage(bytes) : text;
}

void writeProfileText(const QString &path, const QString &text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    const QByteArray bytes = text.toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw FileError(QStringLiteral("无法保存文件“%1”：%2").arg(QDir::toNativeSeparators(path), file.errorString()));
}

} // namespace platform
