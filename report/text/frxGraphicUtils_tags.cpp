#include "report/text/frxGraphicUtils.h"

namespace frx {

namespace {

struct NamedColor {
    const char16_t *name;
    int color;
};

constexpr NamedColor namedColors[] = {
    {u"clBlack", 0x000000},  {u"clMaroon", 0x000080},  {u"clGreen", 0x008000},      {u"clOlive", 0x008080},
    {u"clNavy", 0x800000},   {u"clPurple", 0x800080},  {u"clTeal", 0x808000},       {u"clGray", 0x808080},
    {u"clSilver", 0xC0C0C0}, {u"clRed", 0x0000FF},     {u"clLime", 0x00FF00},       {u"clYellow", 0x00FFFF},
    {u"clBlue", 0xFF0000},   {u"clFuchsia", 0xFF00FF}, {u"clAqua", 0xFFFF00},       {u"clWhite", 0xFFFFFF},
    {u"clLtGray", 0xC0C0C0}, {u"clDkGray", 0x808080},  {u"clMoneyGreen", 0xC0DCC0}, {u"clSkyBlue", 0xF0CAA6},
    {u"clCream", 0xF0FBFF},  {u"clMedGray", 0xA4A0A0},
};

bool startsWithAt(const QString &line, int index, QStringView word)
{
    return QStringView(line).mid(index).startsWith(word, Qt::CaseInsensitive);
}

// Reads a font colour value: a quoted "#RRGGBB" or a colour name without its "cl" prefix.
bool parseColor(const QString &value, int &color)
{
    if (value.size() >= 4 && value.startsWith(QStringLiteral("\"#")) && value.endsWith(QLatin1Char('"'))) {
        bool ok = false;
        const uint rgb = QStringView(value).mid(2, value.size() - 3).toUInt(&ok, 16);
        if (!ok) return false;
        color = int(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
        return true;
    }
    return frxColorByName(QStringLiteral("cl") + value, color);
}

} // namespace

bool frxColorByName(const QString &name, int &color)
{
    for (const NamedColor &entry : namedColors) {
        if (name.compare(QStringView(entry.name), Qt::CaseInsensitive) == 0) {
            color = entry.color;
            return true;
        }
    }
    return false;
}

void TfrxHTMLTagsList::Init(int defaultColor, int defaultSize, unsigned defaultStyle, bool allowTags)
{
    m_lines.clear();
    m_defaultColor = defaultColor;
    m_defaultSize = defaultSize;
    m_defaultStyle = defaultStyle;
    m_allowTags = allowTags;
    m_current = TfrxHTMLTag{};
    m_current.FontSize = defaultSize;
    m_current.FontStyle = defaultStyle;
    m_current.FontColor = defaultColor;
    m_hasPrevious = false;
    m_position = 1;
}

void TfrxHTMLTagsList::addCharacter(TfrxHTMLTags &tags)
{
    TfrxHTMLTag tag = m_current;
    tag.CharPos = m_position;
    tag.Reduced = tag.FontSize != m_defaultSize;
    if (!m_allowTags) {
        tag.SameAsPrevious = true;
    } else if (m_hasPrevious) {
        tag.SameAsPrevious = tag.FontSize == m_previous.FontSize && tag.FontStyle == m_previous.FontStyle &&
                             tag.FontColor == m_previous.FontColor && tag.Lowered == m_previous.Lowered &&
                             tag.NoWrap == m_previous.NoWrap;
    } else {
        tag.SameAsPrevious = tag.FontStyle == m_defaultStyle && tag.FontColor == m_defaultColor &&
                             tag.FontSize == m_defaultSize;
    }
    m_previous = tag;
    m_hasPrevious = true;
    tags.push_back(tag);
}

// Applies the tag starting at line[index] ("<") and returns its length, or 0 when there is none.
int TfrxHTMLTagsList::tryTag(const QString &line, int index)
{
    static constexpr struct {
        const char16_t *text;
        unsigned style;
        bool set;
    } styleTags[] = {
        {u"<b>", platform::fsBold, true},      {u"</b>", platform::fsBold, false},
        {u"<i>", platform::fsItalic, true},    {u"</i>", platform::fsItalic, false},
        {u"<u>", platform::fsUnderline, true}, {u"</u>", platform::fsUnderline, false},
    };
    for (const auto &tag : styleTags) {
        const QStringView text(tag.text);
        if (startsWithAt(line, index, text)) {
            m_current.FontStyle =
                tag.set ? (m_current.FontStyle | tag.style) : (m_current.FontStyle & ~tag.style);
            return int(text.size());
        }
    }
    const int reduced = int(roundHalfEven(Extended(m_defaultSize) / 1.5L));
    if (startsWithAt(line, index, u"<sub>") || startsWithAt(line, index, u"<sup>")) {
        m_current.FontSize = reduced;
        m_current.Lowered = startsWithAt(line, index, u"<sub>") ? 1 : 0;
        return 5;
    }
    if (startsWithAt(line, index, u"</sub>") || startsWithAt(line, index, u"</sup>")) {
        m_current.FontSize = m_defaultSize;
        m_current.Lowered = 0;
        return 6;
    }
    if (startsWithAt(line, index, u"<nowrap>")) {
        m_current.NoWrap = true;
        return 8;
    }
    if (startsWithAt(line, index, u"</nowrap>")) {
        m_current.NoWrap = false;
        return 9;
    }
    if (startsWithAt(line, index, u"<strike>")) {
        m_current.FontStyle |= platform::fsStrikeOut;
        return 8;
    }
    if (startsWithAt(line, index, u"</strike>")) {
        m_current.FontStyle &= ~unsigned(platform::fsStrikeOut);
        return 9;
    }
    if (startsWithAt(line, index, u"<font color=")) {
        int start = index + 12;
        while (start < line.size() && line[start] == QLatin1Char(' '))
            ++start;
        const int close = int(line.indexOf(QLatin1Char('>'), start));
        if (close < 0) return 0;
        int color = 0;
        if (!parseColor(line.mid(start, close - start), color)) return 0;
        m_current.FontColor = color;
        return close - index + 1;
    }
    if (startsWithAt(line, index, u"</font>")) {
        m_current.FontColor = m_defaultColor;
        return 7;
    }
    return 0;
}

QString TfrxHTMLTagsList::ExpandHTMLTags(const QString &line, TfrxHTMLTags &tags)
{
    QString visible;
    visible.reserve(line.size());
    tags.clear();
    tags.reserve(size_t(line.size()));
    for (int i = 0; i < line.size();) {
        if (m_allowTags && line[i] == QLatin1Char('<')) {
            const int length = tryTag(line, i);
            if (length > 0) {
                m_position += length;
                i += length;
                continue;
            }
        }
        visible.append(line[i]);
        addCharacter(tags);
        ++m_position;
        ++i;
    }
    if (visible.isEmpty()) {
        visible = QStringLiteral(" ");
        addCharacter(tags);
    }
    m_position += 2;
    return visible;
}

} // namespace frx
