#include "platform/pdffont.h"

#include "platform/pdfcff.h"
#include "platform/pdfwriter.h"

#include <hb-subset.h>
#include <hb-ot.h>
#include <hb.h>

#include <QCryptographicHash>

#include <algorithm>
#include <mutex>
#include <vector>

namespace platform {

namespace {

// The tables a PDF font program needs; layout tables stay behind (the pages place every glyph).
constexpr const char *kTables[] = {"head", "hhea", "hmtx", "maxp", "OS/2", "name", "post", "cmap",
                                   "glyf", "loca", "cvt ", "fpgm", "prep", "CFF "};

hb_tag_t tagOf(const char *name)
{
    return hb_tag_from_string(name, 4);
}

} // namespace

struct PdfFontFace {
    hb_face_t *face = nullptr;
    hb_font_t *font = nullptr;
    bool cff = false;
    bool outlines = false;
    bool bold = false, italic = false;
    // The character id of each glyph of a CID-keyed CFF font, by glyph id (empty: not CID-keyed).
    std::vector<quint16> cids;
    unsigned upem = 1000;
    ~PdfFontFace()
    {
        hb_font_destroy(font);
        hb_face_destroy(face);
    }
};

namespace {

// Whether a TrueType face draws any glyph: its glyph table has bytes for at least one of them.
bool hasGlyphOutlines(const QByteArray &loca, const QByteArray &head)
{
    if (loca.size() < 4 || head.size() < 54) return false;
    const bool longOffsets = quint8(head[51]) != 0;
    const qsizetype entry = longOffsets ? 4 : 2;
    const auto offset = [&](qsizetype i) {
        quint32 value = 0;
        for (qsizetype k = 0; k < entry; ++k)
            value = value << 8 | quint8(loca[i * entry + k]);
        return value;
    };
    const qsizetype count = loca.size() / entry;
    return count > 1 && offset(count - 1) > offset(0);
}

// The raw font gives the tables of its own face only; gathered into a font file of their own they
// are what the subsetter reads.
std::shared_ptr<const PdfFontFace> readFace(const QRawFont &raw)
{
    auto result = std::make_shared<PdfFontFace>();
    hb_face_t *builder = hb_face_builder_create();
    for (const char *name : kTables) {
        const QByteArray table = raw.fontTable(name);
        if (table.isEmpty()) continue;
        hb_blob_t *blob = hb_blob_create(table.constData(), unsigned(table.size()), HB_MEMORY_MODE_DUPLICATE,
                                         nullptr, nullptr);
        hb_face_builder_add_table(builder, tagOf(name), blob);
        hb_blob_destroy(blob);
        if (qstrcmp(name, "CFF ") == 0) result->cff = true;
    }
    hb_blob_t *file = hb_face_reference_blob(builder);
    hb_face_destroy(builder);
    result->face = hb_face_create(file, 0);
    hb_blob_destroy(file);
    hb_face_make_immutable(result->face);
    result->upem = hb_face_get_upem(result->face);
    result->font = hb_font_create(result->face);
    hb_font_set_scale(result->font, int(result->upem), int(result->upem));
    hb_font_make_immutable(result->font);
    // Type 1, bitmap and colour bitmap faces have no program a PDF font can carry.
    result->outlines = result->cff || hasGlyphOutlines(raw.fontTable("loca"), raw.fontTable("head"));
    if (result->cff) {
        result->cids = pdfCffCids(QByteArrayView(raw.fontTable("CFF ")), hb_face_get_glyph_count(result->face));
    }
    // What the face itself is, whatever was asked for: the pages synthesise what it lacks.
    if (raw.fontTable("OS/2").isEmpty() && raw.fontTable("head").isEmpty()) {
        const QString style = raw.styleName();
        result->bold = style.contains(u"Bold", Qt::CaseInsensitive) || style.contains(u"Black", Qt::CaseInsensitive);
        result->italic =
            style.contains(u"Italic", Qt::CaseInsensitive) || style.contains(u"Oblique", Qt::CaseInsensitive);
    } else {
        result->bold = hb_style_get_value(result->font, HB_STYLE_TAG_WEIGHT) >= 600;
        result->italic = hb_style_get_value(result->font, HB_STYLE_TAG_ITALIC) > 0;
    }
    return result;
}

// Reading a face copies its outlines (megabytes for a Chinese face); the faces of the last few
// files are kept for the next one, which most likely uses them again.
std::shared_ptr<const PdfFontFace> sharedFace(const QRawFont &raw)
{
    constexpr size_t kKept = 4;
    static std::mutex mutex;
    static std::vector<std::pair<QByteArray, std::shared_ptr<const PdfFontFace>>> kept; // newest last
    const QByteArray key = pdfFaceKey(raw);
    std::lock_guard lock(mutex);
    for (auto it = kept.begin(); it != kept.end(); ++it) {
        if (it->first != key) continue;
        std::rotate(it, it + 1, kept.end());
        return kept.back().second;
    }
    auto face = readFace(raw);
    if (kept.size() == kKept) kept.erase(kept.begin());
    kept.emplace_back(key, face);
    return face;
}

} // namespace

QByteArray pdfFaceKey(const QRawFont &raw)
{
    // One face of one file, however it was asked for: the names and the header (revision, dates)
    // tell faces apart, also those of one collection. A face without tables has its names only.
    const QByteArray head = raw.fontTable("head");
    if (head.isEmpty())
        return raw.familyName().toUtf8() + '\0' + raw.styleName().toUtf8() + '\0' +
               QByteArray::number(raw.weight()) + '\0' + QByteArray::number(int(raw.style()));
    return head + QCryptographicHash::hash(raw.fontTable("name"), QCryptographicHash::Md5);
}

PdfFont::PdfFont(const QRawFont &raw) : m_face(sharedFace(raw)) {}

PdfFont::~PdfFont() = default;

double PdfFont::width(quint32 glyph) const
{
    return hb_font_get_glyph_h_advance(m_face->font, glyph) * 1000.0 / m_face->upem;
}

bool PdfFont::hasOutlines() const
{
    return m_face->outlines;
}

bool PdfFont::isBold() const
{
    return m_face->bold;
}

bool PdfFont::isItalic() const
{
    return m_face->italic;
}

quint32 PdfFont::code(quint32 glyph) const
{
    return glyph < m_face->cids.size() ? m_face->cids[glyph] : glyph;
}

std::vector<std::pair<quint32, quint32>> PdfFont::codesInOrder() const
{
    std::vector<std::pair<quint32, quint32>> codes;
    codes.reserve(m_text.size());
    for (const auto &[glyph, text] : m_text)
        codes.emplace_back(code(glyph), glyph);
    std::sort(codes.begin(), codes.end());
    return codes;
}

void PdfFont::use(quint32 glyph, QStringView text)
{
    if (m_text.find(glyph) == m_text.end()) m_text.emplace(glyph, text.toString());
}

QByteArray PdfFont::postScriptName() const
{
    char name[128];
    unsigned size = sizeof name;
    hb_ot_name_get_utf8(m_face->face, HB_OT_NAME_ID_POSTSCRIPT_NAME, HB_LANGUAGE_INVALID, &size, name);
    QByteArray result;
    for (unsigned i = 0; i < size; ++i) {
        const char c = name[i];
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-') result += c;
    }
    return result.isEmpty() ? QByteArrayLiteral("Font") : result;
}

QByteArray PdfFont::subsetTag() const
{
    // Six capitals from a digest of the font's name and its glyphs: the same subset, the same tag.
    QCryptographicHash digest(QCryptographicHash::Md5);
    digest.addData(postScriptName());
    for (const auto &[glyph, text] : m_text)
        digest.addData(QByteArrayView(reinterpret_cast<const char *>(&glyph), sizeof glyph));
    const QByteArray hash = digest.result();
    QByteArray tag;
    for (int i = 0; i < 6; ++i)
        tag += char('A' + static_cast<unsigned char>(hash[i]) % 26);
    return tag;
}

QByteArray PdfFont::widthArray() const
{
    // Runs of consecutive codes share one array: "first [w w w]".
    QByteArray out("[");
    quint32 next = 0;
    bool open = false;
    for (const auto &[code, glyph] : codesInOrder()) {
        if (!open || code != next) {
            if (open) out += ']';
            out += QByteArray::number(code);
            out += '[';
            open = true;
        } else {
            out += ' ';
        }
        pdfAppendNumber(out, width(glyph), 1);
        next = code + 1;
    }
    if (open) out += ']';
    out += ']';
    return out;
}

QByteArray PdfFont::toUnicodeCMap() const
{
    QByteArray out = "/CIDInit/ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                     "/CIDSystemInfo<</Registry(Adobe)/Ordering(UCS)/Supplement 0>>def\n"
                     "/CMapName/Adobe-Identity-UCS def\n/CMapType 2 def\n"
                     "1 begincodespacerange\n<0000><FFFF>\nendcodespacerange\n";
    const auto codes = codesInOrder();
    auto it = codes.begin();
    while (it != codes.end()) {
        QByteArray block;
        int count = 0;
        for (; it != codes.end() && count < 100; ++it) {
            const QString &text = m_text.at(it->second);
            if (text.isEmpty()) continue;
            char code[8];
            std::snprintf(code, sizeof code, "<%04X>", it->first);
            block += code;
            block += '<';
            for (QChar unit : text) {
                std::snprintf(code, sizeof code, "%04X", unit.unicode());
                block += code;
            }
            block += ">\n";
            ++count;
        }
        if (count == 0) continue;
        out += QByteArray::number(count) + " beginbfchar\n" + block + "endbfchar\n";
    }
    out += "endcmap\nCMapName currentdict/CMap defineresource pop\nend\nend\n";
    return out;
}

namespace {

QByteArray tableOf(hb_face_t *face, const char *name)
{
    hb_blob_t *blob = hb_face_reference_table(face, tagOf(name));
    unsigned length = 0;
    const char *data = hb_blob_get_data(blob, &length);
    QByteArray table(data, qsizetype(length));
    hb_blob_destroy(blob);
    return table;
}

QByteArray blobOf(hb_face_t *face)
{
    hb_blob_t *blob = hb_face_reference_blob(face);
    unsigned length = 0;
    const char *data = hb_blob_get_data(blob, &length);
    QByteArray bytes(data, qsizetype(length));
    hb_blob_destroy(blob);
    return bytes;
}

} // namespace

PdfFont::Program PdfFont::subset(bool keepGlyphIds) const
{
    Program program;
    hb_subset_input_t *input = hb_subset_input_create_or_fail();
    if (!input) return program;
    hb_set_t *glyphs = hb_subset_input_glyph_set(input);
    hb_set_add(glyphs, 0);
    for (const auto &[glyph, text] : m_text)
        hb_set_add(glyphs, glyph);
    hb_subset_input_set_flags(input, HB_SUBSET_FLAGS_NO_HINTING | HB_SUBSET_FLAGS_DESUBROUTINIZE |
                                         (keepGlyphIds ? HB_SUBSET_FLAGS_RETAIN_GIDS : 0));
    hb_subset_plan_t *plan = hb_subset_plan_create_or_fail(m_face->face, input);
    hb_subset_input_destroy(input);
    if (!plan) return program;
    hb_face_t *face = hb_subset_plan_execute_or_fail(plan);
    if (face) {
        const hb_map_t *map = hb_subset_plan_old_to_new_glyph_mapping(plan);
        for (const auto &[glyph, text] : m_text)
            program.newGlyph.emplace(glyph, hb_map_get(map, glyph));
        program.cidKeyedCff = !m_face->cids.empty();
        program.bytes = program.cidKeyedCff ? tableOf(face, "CFF ") : blobOf(face);
        hb_face_destroy(face);
    }
    hb_subset_plan_destroy(plan);
    return program;
}

QByteArray PdfFont::cidToGidMap(const Program &program) const
{
    // Two bytes per code up to the highest: the glyph of the subset that code names.
    const quint32 last = m_text.empty() ? 0 : codesInOrder().back().first;
    QByteArray map(qsizetype(last + 1) * 2, '\0');
    for (const auto &[glyph, subsetGlyph] : program.newGlyph) {
        const quint32 at = code(glyph) * 2;
        map[at] = char(subsetGlyph >> 8);
        map[at + 1] = char(subsetGlyph & 0xFF);
    }
    return map;
}

bool PdfFont::write(PdfWriter &writer, int type0, QString *error) const
{
    if (!m_face->outlines) {
        if (error) *error = QStringLiteral("the font %1 has no outlines").arg(QString::fromLatin1(postScriptName()));
        return false;
    }
    // The subset numbers its glyphs anew: TrueType glyphs are found through a map from the codes of
    // the pages, the glyphs of a CID-keyed CFF font by the character ids they keep. Any other CFF
    // font is named by glyph ids, which the subset must then keep.
    Program program = subset(m_face->cff && m_face->cids.empty());
    if (program.cidKeyedCff) {
        // The character ids must have come through the subset, or the pages would name other glyphs.
        unsigned count = 1;
        for (const auto &[glyph, subsetGlyph] : program.newGlyph)
            count = std::max(count, subsetGlyph + 1);
        const std::vector<quint16> cids = pdfCffCids(QByteArrayView(program.bytes), count);
        bool kept = cids.size() == count;
        for (const auto &[glyph, subsetGlyph] : program.newGlyph)
            kept = kept && subsetGlyph < cids.size() && cids[subsetGlyph] == code(glyph);
        if (!kept) program.bytes.clear();
    }
    if (program.bytes.isEmpty()) {
        if (error) *error = QStringLiteral("cannot subset the font %1").arg(QString::fromLatin1(postScriptName()));
        return false;
    }

    const QByteArray name = subsetTag() + '+' + postScriptName();
    const int cidFont = writer.reserve(), descriptor = writer.reserve(), file = writer.reserve(),
              toUnicode = writer.reserve();
    const auto ref = [](int id) { return QByteArray::number(id) + " 0 R"; };

    writer.stream(file,
                  program.cidKeyedCff ? QByteArrayLiteral("/Subtype/CIDFontType0C")
                  : m_face->cff       ? QByteArrayLiteral("/Subtype/OpenType")
                                      : QByteArray(),
                  program.bytes);
    int gidMap = 0;
    if (!m_face->cff) {
        gidMap = writer.reserve();
        writer.stream(gidMap, QByteArray(), cidToGidMap(program));
    }

    hb_font_extents_t extents{};
    hb_font_get_h_extents(m_face->font, &extents);
    const double scale = 1000.0 / m_face->upem;
    QByteArray body = "<</Type/FontDescriptor/FontName" + pdfName(name) + "/Flags 4/FontBBox[0 ";
    pdfAppendNumber(body, extents.descender * scale, 0);
    body += " 1000 ";
    pdfAppendNumber(body, extents.ascender * scale, 0);
    body += "]/ItalicAngle 0/Ascent ";
    pdfAppendNumber(body, extents.ascender * scale, 0);
    body += "/Descent ";
    pdfAppendNumber(body, extents.descender * scale, 0);
    body += "/CapHeight ";
    pdfAppendNumber(body, extents.ascender * scale, 0);
    body += "/StemV 80" + QByteArray(m_face->cff ? "/FontFile3 " : "/FontFile2 ") + ref(file) + ">>";
    writer.object(descriptor, body);

    body = "<</Type/Font/Subtype" + QByteArray(m_face->cff ? "/CIDFontType0" : "/CIDFontType2") + "/BaseFont" +
           pdfName(name) + "/CIDSystemInfo<</Registry(Adobe)/Ordering(Identity)/Supplement 0>>/FontDescriptor " +
           ref(descriptor) + "/DW 1000/W" + widthArray() + (m_face->cff ? QByteArray() : "/CIDToGIDMap " + ref(gidMap)) + ">>";
    writer.object(cidFont, body);

    writer.stream(toUnicode, QByteArray(), toUnicodeCMap());
    writer.object(type0, "<</Type/Font/Subtype/Type0/BaseFont" + pdfName(name) +
                             "/Encoding/Identity-H/DescendantFonts[" + ref(cidFont) + "]/ToUnicode " +
                             ref(toUnicode) + ">>");
    return !writer.failed();
}

} // namespace platform
