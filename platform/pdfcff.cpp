#include "platform/pdfcff.h"

#include <optional>

namespace platform {

namespace {

class Reader {
public:
    explicit Reader(QByteArrayView data) : m_data(data) {}

    bool has(qsizetype at, qsizetype count) const { return at >= 0 && count >= 0 && at + count <= m_data.size(); }
    unsigned byte(qsizetype at) const { return has(at, 1) ? quint8(m_data[at]) : 0; }
    unsigned number(qsizetype at, int size) const
    {
        unsigned value = 0;
        for (int i = 0; i < size; ++i)
            value = value << 8 | byte(at + i);
        return value;
    }

    // Reads the INDEX at `at`, leaving `at` behind it; the first item's range when `first` is given.
    bool index(qsizetype &at, qsizetype *firstStart = nullptr, qsizetype *firstEnd = nullptr) const
    {
        if (!has(at, 2)) return false;
        const unsigned count = number(at, 2);
        at += 2;
        if (count == 0) return firstStart == nullptr;
        const int offSize = int(byte(at));
        if (offSize < 1 || offSize > 4 || !has(at + 1, qsizetype(count + 1) * offSize)) return false;
        const qsizetype offsets = at + 1;
        const qsizetype base = offsets + qsizetype(count + 1) * offSize - 1;
        if (firstStart) {
            *firstStart = base + number(offsets, offSize);
            *firstEnd = base + number(offsets + offSize, offSize);
        }
        at = base + number(offsets + qsizetype(count) * offSize, offSize);
        return has(0, at);
    }

private:
    QByteArrayView m_data;
};

struct TopDict {
    bool cidKeyed = false;
    qsizetype charset = 0;
};

// The entries of a top DICT that tell how glyphs are named; nothing when it does not read.
std::optional<TopDict> readTopDict(const Reader &in, qsizetype at, qsizetype end)
{
    TopDict dict;
    long long last = 0; // the operand before the operator
    while (at < end) {
        const unsigned b0 = in.byte(at);
        if (b0 <= 21) {
            const unsigned op = b0 == 12 ? 1200 + in.byte(at + 1) : b0;
            at += b0 == 12 ? 2 : 1;
            if (op == 1230) dict.cidKeyed = true;
            if (op == 15) dict.charset = qsizetype(last);
        } else if (b0 == 28) {
            last = qint16(in.number(at + 1, 2));
            at += 3;
        } else if (b0 == 29) {
            last = qint32(in.number(at + 1, 4));
            at += 5;
        } else if (b0 == 30) {
            // A real number: nibbles up to the one that ends it.
            for (++at; at < end && (in.byte(at) & 0x0F) != 0x0F && (in.byte(at) >> 4) != 0x0F; ++at) {}
            ++at;
        } else if (b0 >= 32 && b0 <= 246) {
            last = int(b0) - 139;
            ++at;
        } else if (b0 >= 247 && b0 <= 250) {
            last = (int(b0) - 247) * 256 + int(in.byte(at + 1)) + 108;
            at += 2;
        } else if (b0 >= 251 && b0 <= 254) {
            last = -(int(b0) - 251) * 256 - int(in.byte(at + 1)) - 108;
            at += 2;
        } else {
            return std::nullopt;
        }
    }
    return dict;
}

} // namespace

std::vector<quint16> pdfCffCids(QByteArrayView cff, unsigned glyphCount)
{
    const Reader in(cff);
    if (!in.has(0, 4) || glyphCount == 0) return {};
    qsizetype at = qsizetype(in.byte(2)); // past the header
    qsizetype dictStart = 0, dictEnd = 0;
    if (!in.index(at) || !in.index(at, &dictStart, &dictEnd) || !in.has(dictStart, dictEnd - dictStart)) return {};
    const std::optional<TopDict> dict = readTopDict(in, dictStart, dictEnd);
    if (!dict || !dict->cidKeyed || dict->charset <= 0 || !in.has(dict->charset, 1)) return {};

    std::vector<quint16> cids(1, 0); // glyph 0 is always character 0
    cids.reserve(glyphCount);
    const unsigned format = in.byte(dict->charset);
    qsizetype pos = dict->charset + 1;
    while (cids.size() < glyphCount) {
        if (format == 0) {
            if (!in.has(pos, 2)) return {};
            cids.push_back(quint16(in.number(pos, 2)));
            pos += 2;
            continue;
        }
        if (format != 1 && format != 2) return {};
        const int leftSize = format == 1 ? 1 : 2;
        if (!in.has(pos, 2 + leftSize)) return {};
        const unsigned first = in.number(pos, 2), left = in.number(pos + 2, leftSize);
        pos += 2 + leftSize;
        for (unsigned k = 0; k <= left && cids.size() < glyphCount; ++k)
            cids.push_back(quint16(first + k));
    }
    return cids;
}

} // namespace platform
