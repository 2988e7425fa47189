// One font of a PDF file: the glyphs the pages use, with the characters each stands for, and at the
// end of the file the font program cut down to those glyphs (HarfBuzz's subsetter), embedded as a
// CID-keyed font. The pages name a glyph by its code: the character id of a CID-keyed CFF font,
// otherwise the glyph id in the whole font.
#pragma once

#include <QByteArray>
#include <QRawFont>
#include <QString>

#include <map>
#include <memory>
#include <vector>

namespace platform {

class PdfWriter;
struct PdfFontFace;

// What tells one face of one file from another, however it was asked for.
QByteArray pdfFaceKey(const QRawFont &raw);

class PdfFont {
public:
    // Reads the font's tables through `raw` (a face of a TrueType collection reads as that face);
    // the faces of recent files are shared, read-only, across files and threads.
    explicit PdfFont(const QRawFont &raw);
    ~PdfFont();
    PdfFont(const PdfFont &) = delete;
    PdfFont &operator=(const PdfFont &) = delete;

    // Whether the face has outlines a PDF font can carry (Type 1, bitmap and colour bitmap faces
    // have none: their glyphs must be drawn otherwise).
    bool hasOutlines() const;
    // Whether the face itself is bold or italic, as its tables say.
    bool isBold() const;
    bool isItalic() const;
    // Whether a glyph was noted: a font that draws none is left out of the file.
    bool used() const { return !m_text.empty(); }
    // The code that names `glyph` in the pages' text.
    quint32 code(quint32 glyph) const;
    // The advance of a glyph in thousandths of the em, as the embedded font states it.
    double width(quint32 glyph) const;
    // Notes that the pages draw `glyph` for the typed characters `text`; the first text noted for a
    // glyph is what text extraction gives back for it (a vertical alternate: the character typed).
    void use(quint32 glyph, QStringView text);

    // Writes the font as object `type0` (reserved earlier) and the objects it needs: the subset
    // tagged "ABCDEF+Name" by its glyphs, its widths and the map back to the characters. False
    // with the reason when HarfBuzz cannot subset it.
    bool write(PdfWriter &writer, int type0, QString *error) const;

private:
    struct Program {
        QByteArray bytes; // empty: cannot subset
        bool cidKeyedCff = false; // the bare CFF table of a CID-keyed font
        std::map<quint32, quint32> newGlyph; // glyph id in the whole font → in the subset
    };
    Program subset(bool keepGlyphIds) const;
    QByteArray cidToGidMap(const Program &program) const;
    // (code, glyph) of every glyph used, by code.
    std::vector<std::pair<quint32, quint32>> codesInOrder() const;
    QByteArray postScriptName() const;
    QByteArray subsetTag() const;
    QByteArray widthArray() const;
    QByteArray toUnicodeCMap() const;

    std::shared_ptr<const PdfFontFace> m_face;
    std::map<quint32, QString> m_text; // glyph → characters, in glyph order
};

} // namespace platform
