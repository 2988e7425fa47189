// What a PDF reader needs to know of a CFF font program that the subsetter keeps: whether its glyphs
// are named by character ids (a CID-keyed font) and which id each glyph has.
#pragma once

#include <QByteArrayView>

#include <vector>

namespace platform {

// The character id of each of the first `glyphCount` glyphs of the CID-keyed CFF table `cff`, by
// glyph id; empty when the font is not CID-keyed or its tables cannot be read.
std::vector<quint16> pdfCffCids(QByteArrayView cff, unsigned glyphCount);

} // namespace platform
