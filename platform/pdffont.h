// One font of a PDF file: the glyphs the pages use, with the characters each stands for, and at the
// end of the file the font program cut down to those glyphs (HarfBuzz's subsetter), embedded as a
// CID-keyed font whose character ids are the font's own glyph ids.
#pragma once

#include <QByteArray>
#include <QRawFont>
#include <QString>

#include <map>
#include <memory>

namespace platform {

class PdfWriter;
struct PdfFontFace;

// What tells one face from another: its names, style and header table (revision and dates).
QByteArray pdfFaceKey(const QRawFont &raw);

class PdfFont {
public:
    // Reads the font's tables through `raw` (a face of a TrueType collection reads as that face);
    // the faces of recent files are shared, read-only, across files and threads.
    explicit PdfFont(const QRawFont &raw);
    ~PdfFont();
    PdfFont(const PdfFont &) = delete;
    PdfFont &operator=(const PdfFont &) = delete;

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
    QByteArray postScriptName() const;
    QByteArray subsetTag() const;
    QByteArray widthArray() const;
    QByteArray toUnicodeCMap() const;

    std::shared_ptr<const PdfFontFace> m_face;
    std::map<quint32, QString> m_text; // glyph → characters, in glyph order
};

} // namespace platform
