#include "platform/verticalforms.h"

#include <hb.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <unordered_map>

namespace platform {

namespace {

// Each presentation form that Unicode declares a <vertical> form of one character, keyed by that
// character; taken from ICU's character data so that the table follows the Unicode version.
QHash<char32_t, char32_t> makePresentationForms()
{
    QHash<char32_t, char32_t> forms;
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2 *nfkd = icu::Normalizer2::getNFKDInstance(status);
    if (U_FAILURE(status)) return forms;
    auto add = [&](UChar32 first, UChar32 last) {
        for (UChar32 form = first; form <= last; ++form) {
            if (u_getIntPropertyValue(form, UCHAR_DECOMPOSITION_TYPE) != U_DT_VERTICAL) continue;
            icu::UnicodeString decomposition;
            if (!nfkd->getRawDecomposition(form, decomposition) || decomposition.countChar32() != 1) continue;
            forms.insert(static_cast<char32_t>(decomposition.char32At(0)), static_cast<char32_t>(form));
        }
    };
    add(0xFE10, 0xFE19);
    add(0xFE30, 0xFE4F);
    return forms;
}

hb_blob_t *referenceTable(hb_face_t *, hb_tag_t tag, void *userData)
{
    const auto *raw = static_cast<const QRawFont *>(userData);
    const char name[5] = {char(tag >> 24), char(tag >> 16), char(tag >> 8), char(tag), 0};
    auto *data = new QByteArray(raw->fontTable(name));
    if (data->isEmpty()) {
        delete data;
        return nullptr;
    }
    return hb_blob_create(data->constData(), static_cast<unsigned>(data->size()), HB_MEMORY_MODE_READONLY,
                          data, [](void *table) { delete static_cast<QByteArray *>(table); });
}

} // namespace

VerticalOrientation verticalOrientation(char32_t character)
{
    switch (u_getIntPropertyValue(static_cast<UChar32>(character), UCHAR_VERTICAL_ORIENTATION)) {
    case U_VO_UPRIGHT: return VerticalOrientation::Upright;
    case U_VO_TRANSFORMED_UPRIGHT: return VerticalOrientation::TransformedUpright;
    case U_VO_TRANSFORMED_ROTATED: return VerticalOrientation::TransformedRotated;
    default: return VerticalOrientation::Rotated;
    }
}

char32_t verticalPresentationForm(char32_t character)
{
    static const QHash<char32_t, char32_t> forms = makePresentationForms();
    if (character < 0x80) return 0;
    char32_t base = character;
    // A full-width form stands for its ASCII character, whose vertical form it takes.
    if (u_getIntPropertyValue(static_cast<UChar32>(character), UCHAR_DECOMPOSITION_TYPE) == U_DT_WIDE) {
        UErrorCode status = U_ZERO_ERROR;
        const icu::Normalizer2 *nfkd = icu::Normalizer2::getNFKDInstance(status);
        icu::UnicodeString decomposition;
        if (U_SUCCESS(status) && nfkd->getRawDecomposition(static_cast<UChar32>(character), decomposition) &&
            decomposition.countChar32() == 1)
            base = static_cast<char32_t>(decomposition.char32At(0));
    }
    return forms.value(base, 0);
}

struct VerticalFace::Fonts {
    hb_face_t *face = nullptr;
    hb_font_t *font = nullptr;
    hb_buffer_t *buffer = nullptr;
};

VerticalFace::VerticalFace(const QRawFont *raw) : m_fonts(std::make_unique<Fonts>())
{
    m_fonts->face = hb_face_create_for_tables(referenceTable, const_cast<QRawFont *>(raw), nullptr);
    m_fonts->font = hb_font_create(m_fonts->face);
    m_fonts->buffer = hb_buffer_create();
}

VerticalFace::~VerticalFace()
{
    hb_buffer_destroy(m_fonts->buffer);
    hb_font_destroy(m_fonts->font);
    hb_face_destroy(m_fonts->face);
}

int VerticalFace::unitsPerEm() const
{
    return static_cast<int>(hb_face_get_upem(m_fonts->face));
}

const VerticalChoice &VerticalFace::choice(char32_t character)
{
    auto found = m_choices.constFind(character);
    if (found != m_choices.constEnd()) return *found;

    hb_font_t *font = m_fonts->font;
    // The glyph of the character in a horizontal line and in a vertical line with the font's
    // vertical features: a difference is the font's own vertical alternate (features such as
    // local forms act on both). The horizontal line is the reference because a vertical line
    // without the features would take the presentation forms on its own.
    auto shaped = [&](bool vertical) -> hb_codepoint_t {
        hb_buffer_t *buffer = m_fonts->buffer;
        hb_buffer_clear_contents(buffer);
        const uint32_t text[1] = {character};
        hb_buffer_add_utf32(buffer, text, 1, 0, 1);
        hb_buffer_set_direction(buffer, vertical ? HB_DIRECTION_TTB : HB_DIRECTION_LTR);
        hb_buffer_set_script(buffer, HB_SCRIPT_HAN);
        hb_feature_t features[2];
        hb_feature_from_string("vert", -1, &features[0]);
        hb_feature_from_string("vrt2", -1, &features[1]);
        hb_shape(font, buffer, features, vertical ? 2 : 0);
        unsigned count = 0;
        const hb_glyph_info_t *infos = hb_buffer_get_glyph_infos(buffer, &count);
        return count == 1 ? infos[0].codepoint : 0;
    };

    VerticalChoice choice;
    hb_codepoint_t nominal = 0;
    hb_font_get_nominal_glyph(font, character, &nominal);
    choice.glyph = nominal;
    if (nominal != 0) {
        const hb_codepoint_t plain = shaped(false);
        const hb_codepoint_t alternate = shaped(true);
        if (alternate != 0 && alternate != plain) {
            choice.glyph = alternate;
            choice.substituted = true;
        }
    }
    if (!choice.substituted) {
        hb_codepoint_t form = 0;
        if (const char32_t formCharacter = verticalPresentationForm(character);
            formCharacter != 0 && hb_font_get_nominal_glyph(font, formCharacter, &form) && form != 0) {
            choice.glyph = form;
            choice.substituted = true;
        }
    }
    const VerticalOrientation orientation = verticalOrientation(character);
    choice.upright = choice.substituted || orientation == VerticalOrientation::Upright ||
                     orientation == VerticalOrientation::TransformedUpright;
    if (choice.upright && choice.glyph != 0) {
        hb_position_t x = 0;
        hb_position_t y = 0;
        hb_font_get_glyph_v_origin(font, choice.glyph, &x, &y);
        choice.originX = x;
        // Some fonts draw a vertical form outside its own advance (AR PL UKai's vertical colon,
        // semicolon and marks are half an em wide with the ink beyond): such a glyph is centred
        // across the column by its ink, or it would stand in the next column.
        hb_glyph_extents_t ink{};
        const hb_position_t advance = hb_font_get_glyph_h_advance(font, choice.glyph);
        if (hb_font_get_glyph_extents(font, choice.glyph, &ink) && ink.width > 0 &&
            (ink.x_bearing < 0 || ink.x_bearing + ink.width > advance))
            choice.originX = ink.x_bearing + ink.width / 2.0;
        choice.originY = y;
        choice.verticalAdvance = -hb_font_get_glyph_v_advance(font, choice.glyph);
    }
    return *m_choices.insert(character, choice);
}

VerticalFace &verticalFace(const QRawFont &raw)
{
    static std::unordered_map<std::u16string, std::unique_ptr<VerticalFace>> faces;
    const QString key = raw.familyName() + QChar(u'\n') + raw.styleName();
    std::u16string name(reinterpret_cast<const char16_t *>(key.utf16()), key.size());
    auto found = faces.find(name);
    if (found != faces.end()) return *found->second;
    return *faces.emplace(std::move(name), std::make_unique<VerticalFace>(&raw)).first->second;
}

} // namespace platform
