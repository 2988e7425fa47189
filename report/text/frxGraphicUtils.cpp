#include "report/text/frxGraphicUtils.h"

#include <algorithm>
#include <cmath>

namespace frx {

namespace {

constexpr int widthTableSize = 32768;
constexpr Extended layoutPerScreen =
    Extended(TfrxDrawText::LayoutResolution) / TfrxDrawText::ScreenResolution;

int roundInt(Extended value)
{
    return int(roundHalfEven(value));
}

// Letter classes of the syllable rule, on upper-case letters.
bool isVowel(QChar c)
{
    return QStringView(u"АЕЁИОУЫЭЮЯ").contains(c);
}

bool isConsonant(QChar c)
{
    return QStringView(u"БВГДЖЗЙКЛМНПРСТФХЦЧШЩЬ").contains(c);
}

bool isSign(QChar c)
{
    return c == QChar(u'Ь') || c == QChar(u'Ъ');
}

bool hasVowel(QStringView letters)
{
    return std::any_of(letters.begin(), letters.end(), isVowel);
}

// The number of letters of the word starting at `start` that go before the hyphen: the largest
// syllable break below `fit` letters, or 0 when the word cannot be split there.
int hyphenate(const QString &line, int start, int fit)
{
    int end = start;
    while (end < line.size() && !QStringView(u" .,-;").contains(line[end]))
        ++end;
    const QString word = line.mid(start, end - start).toUpper();
    const int length = int(word.size());
    if (length <= 3) return 0;
    int chosen = 0;
    for (int k = 1; k < length && k < fit; ++k) {
        // Break after letter k (1-based): between word[k - 1] and word[k].
        const QChar letter = word[k - 1];
        const QChar next = word[k];
        bool allowed = false;
        if (isConsonant(letter)) {
            allowed = !isVowel(next) && !isSign(next);
        } else if (isVowel(letter)) {
            const bool doubledBeforeVowel = isConsonant(next) && k + 1 < length && word[k + 1] == next &&
                                            k + 2 < length && isVowel(word[k + 2]);
            allowed = !doubledBeforeVowel;
        }
        if (!allowed || k < 2 || length - k < 2) continue;
        if (hasVowel(QStringView(word).left(k)) && hasVowel(QStringView(word).mid(k))) chosen = k;
    }
    return chosen;
}

} // namespace

std::recursive_mutex &TfrxDrawText::Lock()
{
    static std::recursive_mutex mutex;
    return mutex;
}

TfrxDrawText &frxDrawText()
{
    static TfrxDrawText shared;
    return shared;
}

TfrxDrawText::TfrxDrawText()
    : m_lock(Lock()), m_measuringCanvas(LayoutResolution, LayoutResolution), m_widths(widthTableSize),
      m_advances(widthTableSize)
{
}

void TfrxDrawText::ApplyFont(const platform::FontValue &font)
{
    std::lock_guard guard(m_lock);
    m_fontSize = font.size();
    m_font = font;
    m_font.pixelsPerInch = LayoutResolution;
    m_font.height = -roundInt(Extended(m_fontSize) * LayoutResolution / 72);
    m_measuringCanvas.setFont(m_font);
}

void TfrxDrawText::ApplyOptions(bool WordWrap, bool AllowHTMLTags, int Rotation, bool Wysiwyg, bool Clipped,
                                bool WordBreak, bool RTLReading)
{
    m_wordWrap = WordWrap;
    m_allowTags = AllowHTMLTags;
    m_rotation = ((Rotation % 360) + 360) % 360;
    m_wysiwyg = Wysiwyg;
    m_clipped = Clipped;
    m_wordBreak = WordBreak;
    m_rtlReading = RTLReading;
    m_outputOptions = (RTLReading ? platform::toRtlReading : 0u) | (Clipped ? platform::toClipped : 0u);
}

void TfrxDrawText::ApplySpacing(Extended LineSpacing, Extended CharSpacing, Extended ParagraphGap)
{
    m_lineSpacing = LineSpacing;
    m_charSpacing = CharSpacing;
    m_paragraphGap = ParagraphGap;
}

void TfrxDrawText::ApplyBounds(const TfrxRect &textRect)
{
    ApplyBounds(textRect, TfrxDeviceRect{textRect.Left, textRect.Top, textRect.Right, textRect.Bottom}, 1, 1,
                1);
}

void TfrxDrawText::ApplyBounds(const TfrxRect &textRect, const TfrxDeviceRect &outputRect,
                               Extended PrintScale, Extended ScaleX, Extended ScaleY)
{
    m_textRect = textRect;
    m_outputRect = outputRect;
    m_printScale = PrintScale;
    m_scaleX = ScaleX;
    m_scaleY = ScaleY;
}

int *TfrxDrawText::widthTable(qsizetype count)
{
    // The table is allocated once; only a line longer than it makes it grow.
    if (qsizetype(m_widths.size()) < count) m_widths.resize(size_t(count));
    return m_widths.data();
}

int TfrxDrawText::measure(platform::Canvas &canvas, QStringView text, const TfrxHTMLTag *tags, int spacing,
                          bool cumulative)
{
    std::lock_guard guard(m_lock);
    const qsizetype count = text.size();
    int *widths = widthTable(count);
    int sum = 0;
    for (qsizetype start = 0; start < count;) {
        qsizetype end = start + 1;
        while (end < count && tags[end].SameAsPrevious)
            ++end;
        canvas.setFontStyle(tags[start].FontStyle);
        canvas.textExtents(text.mid(start, end - start), widths + start);
        for (qsizetype i = end - 1; i > start; --i)
            widths[i] -= widths[i - 1];
        for (qsizetype i = start; i < end; ++i) {
            int width = widths[i] + spacing;
            if (tags[i].Reduced) width = roundInt(Extended(width) / 1.5L);
            sum += width;
            widths[i] = cumulative ? sum : width;
        }
        start = end;
    }
    return sum;
}

int TfrxDrawText::measuringHeight() const
{
    return -m_font.height;
}

void TfrxDrawText::LoadText(const TfrxWideStrings &lines)
{
    LoadText(lines.lines());
}

void TfrxDrawText::LoadText(const QStringList &lines)
{
    std::lock_guard guard(m_lock);
    m_lines.clear();
    m_marks.clear();
    m_sourceText.clear();
    m_tags.Init(m_font.color, m_fontSize, m_font.style, m_allowTags);
    m_measuringCanvas.setFont(m_font);
    for (const QString &line : lines) {
        m_sourceText += line;
        m_sourceText += QStringLiteral("\r\n");
        TfrxHTMLTags tags;
        const QString visible = m_tags.ExpandHTMLTags(line, tags);
        wrapLine(visible, std::move(tags));
    }
}

void TfrxDrawText::addLine(const QString &text, TfrxHTMLTags tags, int mark)
{
    m_lines.append(text);
    m_marks.push_back(mark);
    m_tags.Add(std::move(tags));
}

void TfrxDrawText::wrapLine(const QString &line, TfrxHTMLTags &&tags)
{
    const bool acrossIsHeight =
        (m_rotation >= 90 && m_rotation <= 179) || (m_rotation >= 270 && m_rotation <= 359);
    const Extended available = acrossIsHeight ? m_textRect.Height() : m_textRect.Width();
    const int firstLimit = roundInt((available - m_paragraphGap) * layoutPerScreen);
    const int limit = roundInt(available * layoutPerScreen);
    const int spacing = roundInt(m_charSpacing * layoutPerScreen);
    const int n = int(line.size());
    const qsizetype firstLine = m_lines.size();

    const int width = measure(m_measuringCanvas, line, tags.data(), spacing, true);
    if (!m_wordWrap || n <= 1 || width < firstLimit) {
        addLine(line, std::move(tags), 3);
        return;
    }
    // The cumulative widths stay in the table for the walk; hyphenation does not measure.
    const int *c = m_widths.data();
    auto addPart = [&](int from, int last, bool hyphen) {
        QString text = line.mid(from, last - from + 1);
        TfrxHTMLTags lineTags(tags.begin() + from, tags.begin() + last + 1);
        if (hyphen) {
            text += QLatin1Char('-');
            lineTags.push_back(tags[size_t(last)]);
        }
        addLine(text, std::move(lineTags), 0);
    };
    int start = 0;
    int candidate = 0;
    int consumed = 0;
    int currentLimit = firstLimit;
    for (int i = 0; i < n; ++i) {
        if (line[i] == QLatin1Char(' ') && !(m_allowTags && tags[size_t(i)].NoWrap)) candidate = i;
        if (c[i] - consumed <= currentLimit) continue;
        if (candidate == start) {
            const int part = (i > start && m_wordBreak) ? hyphenate(line, start, i - start) : 0;
            if (i == start) {
                addPart(start, i, false);
                candidate = i;
            } else if (part > 0) {
                candidate = start + part - 1;
                addPart(start, candidate, true);
            } else {
                addPart(start, i - 1, false);
                candidate = i - 1;
            }
        } else {
            const int part = m_wordBreak ? hyphenate(line, candidate + 1, i - candidate - 1) : 0;
            if (part > 0) {
                candidate += part;
                addPart(start, candidate, true);
            } else {
                addPart(start, candidate - 1, false); // the space is dropped
            }
        }
        consumed = c[candidate];
        start = candidate + 1;
        i = candidate;
        candidate = start;
        currentLimit = limit;
    }
    if (start < n) addPart(start, n - 1, false);

    const qsizetype produced = m_lines.size() - firstLine;
    if (produced == 1) {
        m_marks.back() = 3;
    } else if (produced > 1) {
        m_marks[size_t(firstLine)] = 1;
        m_marks.back() = 2;
    }
}

void TfrxDrawText::MarkParagraphEdges(bool FirstParaBreak, bool LastParaBreak)
{
    if (m_marks.empty()) return;
    if (FirstParaBreak) m_marks.front() &= ~1;
    if (LastParaBreak) m_marks.back() &= ~2;
}

Extended TfrxDrawText::RowHeight() const
{
    return measuringHeight() / layoutPerScreen + m_lineSpacing;
}

Extended TfrxDrawText::BlockHeight() const
{
    if (m_lines.isEmpty()) return 0;
    const Extended leading = m_measuringCanvas.textMetrics().internalLeading;
    return m_lines.size() * (measuringHeight() / layoutPerScreen + m_lineSpacing) +
           leading / layoutPerScreen - m_lineSpacing;
}

Extended TfrxDrawText::BlockWidth()
{
    std::lock_guard guard(m_lock);
    const int spacing = roundInt(m_charSpacing * layoutPerScreen);
    const int gap = roundInt(m_paragraphGap * layoutPerScreen);
    Extended widest = 0;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const QString &line = m_lines[i];
        const int extent = measure(m_measuringCanvas, line, m_tags.Items(int(i)).data(), 0, false);
        const int width = extent + int(line.size()) * spacing + ((m_marks[size_t(i)] & 1) != 0 ? gap : 0);
        widest = std::max(widest, width / layoutPerScreen);
    }
    m_measuringCanvas.setFontStyle(m_font.style);
    return widest;
}

namespace {

// The number of whole rows that fit into the text rectangle; none when the gaps and frame leave it
// turned inside out.
int rowsThatFit(const TfrxRect &rect, Extended rowHeight)
{
    if (rowHeight <= 0 || rect.Height() + 1 <= 0) return 0;
    return int(std::trunc((rect.Height() + 1) / rowHeight));
}

QString colorTag(int color)
{
    const int rgb = ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
    return QStringLiteral("<font color=\"#%1\">")
        .arg(QString::number(rgb, 16).rightJustified(6, QLatin1Char('0')).toUpper());
}

} // namespace

QString TfrxDrawText::SplitAtBottom()
{
    const int rows = rowsThatFit(m_textRect, RowHeight());
    const int kept = std::min<int>(rows, int(m_lines.size()));
    m_lastParaBreak = kept > 0 && (m_marks[size_t(kept - 1)] & 2) == 0;
    if (kept == int(m_lines.size())) {
        m_fittedText = m_sourceText;
        return QString();
    }
    const TfrxHTMLTag &first = m_tags.Items(kept).front();
    QString remaining = m_sourceText.mid(first.CharPos - 1);
    if (m_lastParaBreak && remaining.startsWith(QLatin1Char(' '))) remaining.remove(0, 1);
    m_fittedText = m_sourceText.left(first.CharPos - 1);
    if (m_wordBreak && kept > 0 && m_lines[kept - 1].endsWith(QLatin1Char('-')))
        m_fittedText += QLatin1Char('-');
    if (m_allowTags) {
        QString prefix;
        if ((first.FontStyle & platform::fsBold) != 0) prefix += QStringLiteral("<b>");
        if ((first.FontStyle & platform::fsItalic) != 0) prefix += QStringLiteral("<i>");
        if ((first.FontStyle & platform::fsUnderline) != 0) prefix += QStringLiteral("<u>");
        remaining = prefix + colorTag(first.FontColor) + remaining;
    }
    return remaining;
}

Extended TfrxDrawText::SpareHeight() const
{
    const Extended rowHeight = RowHeight();
    const int rows = rowsThatFit(m_textRect, rowHeight);
    if (rows == 0) return 0;
    const Extended spare = (m_textRect.Height() + 1) - rows * rowHeight;
    return spare == 0 ? Extended(0.0001L) : spare;
}

} // namespace frx
