#include "platform/pdfwriter.h"

#include <libdeflate.h>

#include <charconv>
#include <cmath>

namespace platform {

PdfWriter::PdfWriter() : m_digest(QCryptographicHash::Md5), m_offsets(1, 0) {}

bool PdfWriter::open(const QString &fileName)
{
    m_file.setFileName(fileName);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    // The second line's high bytes tell transfer programs that the file is binary.
    write(QByteArrayLiteral("%PDF-1.6\n%\xE2\xE3\xCF\xD3\n"));
    return !m_failed;
}

int PdfWriter::reserve()
{
    m_offsets.push_back(0);
    return int(m_offsets.size()) - 1;
}

void PdfWriter::write(const QByteArray &bytes)
{
    if (m_failed) return;
    if (m_file.write(bytes) != bytes.size()) {
        m_failed = true;
        return;
    }
    m_digest.addData(bytes);
    m_position += bytes.size();
}

void PdfWriter::object(int id, const QByteArray &body)
{
    m_offsets[size_t(id)] = m_position;
    QByteArray text = QByteArray::number(id);
    text += " 0 obj\n";
    text += body;
    text += "\nendobj\n";
    write(text);
}

void PdfWriter::stream(int id, const QByteArray &dictionary, const QByteArray &data, bool compress)
{
    const QByteArray packed = compress ? pdfDeflate(data) : QByteArray();
    const QByteArray &bytes = compress ? packed : data;
    m_offsets[size_t(id)] = m_position;
    QByteArray text = QByteArray::number(id);
    text += " 0 obj\n<<";
    text += dictionary;
    if (compress) text += "/Filter/FlateDecode";
    text += "/Length ";
    text += QByteArray::number(bytes.size());
    text += ">>\nstream\n";
    write(text);
    write(bytes);
    write(QByteArrayLiteral("\nendstream\nendobj\n"));
}

bool PdfWriter::finish(int catalog, int info)
{
    // A number reserved for something that was not written after all (a page announced but not
    // made, a font that drew nothing) still needs an object for the table to point to.
    for (size_t id = 1; id < m_offsets.size(); ++id)
        if (m_offsets[id] == 0) object(int(id), QByteArrayLiteral("null"));
    const qint64 xref = m_position;
    QByteArray table = "xref\n0 " + QByteArray::number(qsizetype(m_offsets.size())) + "\n0000000000 65535 f \n";
    char entry[21];
    for (size_t id = 1; id < m_offsets.size(); ++id) {
        std::snprintf(entry, sizeof entry, "%010lld 00000 n \n", static_cast<long long>(m_offsets[id]));
        table.append(entry, 20);
    }
    const QByteArray fileId = m_digest.result().toHex();
    table += "trailer\n<</Size " + QByteArray::number(qsizetype(m_offsets.size())) + "/Root " +
             QByteArray::number(catalog) + " 0 R/Info " + QByteArray::number(info) + " 0 R/ID[<" + fileId + "><" +
             fileId + ">]>>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    write(table);
    m_file.close();
    return !m_failed && m_file.error() == QFileDevice::NoError;
}

namespace {

// One compressor per thread: libdeflate at its fastest level packs a page's content in a fraction
// of zlib's time for a few per cent more bytes.
class Deflater {
public:
    Deflater() : m_compressor(libdeflate_alloc_compressor(1)) {}
    ~Deflater() { libdeflate_free_compressor(m_compressor); }
    Deflater(const Deflater &) = delete;
    Deflater &operator=(const Deflater &) = delete;

    QByteArray pack(const QByteArray &data)
    {
        if (!m_compressor) return {};
        QByteArray packed(qsizetype(libdeflate_zlib_compress_bound(m_compressor, size_t(data.size()))),
                          Qt::Uninitialized);
        const size_t size = libdeflate_zlib_compress(m_compressor, data.constData(), size_t(data.size()),
                                                     packed.data(), size_t(packed.size()));
        packed.resize(qsizetype(size));
        return packed;
    }

private:
    libdeflate_compressor *m_compressor;
};

} // namespace

QByteArray pdfDeflate(const QByteArray &data)
{
    thread_local Deflater deflater;
    return deflater.pack(data);
}

void pdfAppendNumber(QByteArray &out, double value, int decimals)
{
    static constexpr long long powers[] = {1, 10, 100, 1000, 10000, 100000, 1000000};
    // Most numbers of a page are a whole count of the last place below a trillion: written digit by
    // digit, with the rounding (half away from zero) and the text of the general path below.
    if (decimals >= 0 && decimals <= 6 && std::abs(value) < 1e12) {
        const long long scale = powers[decimals];
        long long units = std::llround(value * double(scale));
        const bool negative = units < 0;
        if (negative) units = -units;
        long long whole = units / scale;
        long long fraction = units % scale;
        int places = decimals;
        while (places > 0 && fraction % 10 == 0) {
            fraction /= 10;
            --places;
        }
        char buffer[32];
        char *const end = buffer + sizeof buffer;
        char *at = end;
        for (int i = 0; i < places; ++i) {
            *--at = char('0' + fraction % 10);
            fraction /= 10;
        }
        if (places > 0) *--at = '.';
        do {
            *--at = char('0' + whole % 10);
            whole /= 10;
        } while (whole > 0);
        if (negative && units != 0) *--at = '-';
        out.append(at, end - at);
        return;
    }
    const double scale = std::pow(10.0, decimals);
    double rounded = std::round(value * scale) / scale;
    if (rounded == 0) rounded = 0; // no "-0"
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, rounded, std::chars_format::fixed, decimals);
    char *end = result.ptr;
    if (decimals > 0) {
        while (end[-1] == '0')
            --end;
        if (end[-1] == '.') --end;
    }
    out.append(buffer, end - buffer);
}

QByteArray pdfTextString(const QString &text)
{
    QByteArray bytes("\xFE\xFF", 2);
    for (QChar unit : text) {
        bytes += char(unit.unicode() >> 8);
        bytes += char(unit.unicode() & 0xFF);
    }
    return '<' + bytes.toHex() + '>';
}

QByteArray pdfName(const QByteArray &name)
{
    QByteArray out("/");
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x21 || byte > 0x7E || QByteArrayView("#()<>[]{}/%").contains(c)) {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "#%02X", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace platform
