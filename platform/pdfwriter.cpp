#include "platform/pdfwriter.h"

#include <zlib.h>

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

QByteArray pdfDeflate(const QByteArray &data)
{
    uLongf size = compressBound(uLong(data.size()));
    QByteArray packed(qsizetype(size), Qt::Uninitialized);
    compress2(reinterpret_cast<Bytef *>(packed.data()), &size, reinterpret_cast<const Bytef *>(data.constData()),
              uLong(data.size()), 6);
    packed.resize(qsizetype(size));
    return packed;
}

void pdfAppendNumber(QByteArray &out, double value, int decimals)
{
    const double scale = decimals == 2 ? 100.0 : std::pow(10.0, decimals);
    double rounded = std::round(value * scale) / scale;
    if (rounded == 0) rounded = 0; // no "-0"
    char buffer[32];
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
