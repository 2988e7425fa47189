// The file layer of a PDF: numbered objects and compressed streams written one after another to the
// file as they are made, the cross-reference table and trailer at the end. The bytes depend on what
// is written only (the file id is a digest of them), so the same pages give the same file.
#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>
#include <QString>

#include <vector>

namespace platform {

class PdfWriter {
public:
    PdfWriter();
    // Creates the file and writes the header; false when it cannot be created.
    bool open(const QString &fileName);
    // A new object number, for an object written later (or now).
    int reserve();
    // Writes object `id` with `body` (a dictionary, array, string …).
    void object(int id, const QByteArray &body);
    // Writes object `id` as a stream: `dictionary` holds the entries besides /Length and /Filter
    // (without "<<" and ">>"); with `compress` the data is deflated with zlib.
    void stream(int id, const QByteArray &dictionary, const QByteArray &data, bool compress = true);
    // Writes the cross-reference table and trailer for the catalog and the info dictionary and
    // closes the file; false (also earlier) when a write failed.
    bool finish(int catalog, int info);
    bool failed() const { return m_failed; }

private:
    void write(const QByteArray &bytes);

    QFile m_file;
    QCryptographicHash m_digest;
    std::vector<qint64> m_offsets; // by object number; 0: not written
    qint64 m_position = 0;
    bool m_failed = false;
};

// Deflates `data` into a zlib stream (libdeflate); empty when it cannot.
QByteArray pdfDeflate(const QByteArray &data);
// A number as PDF writes it: at most `decimals` places, no trailing zeros, no exponent.
void pdfAppendNumber(QByteArray &out, double value, int decimals = 2);
// A text string in UTF-16BE with its byte order mark, as a hexadecimal string.
QByteArray pdfTextString(const QString &text);
// A name object ("/Name") with the characters PDF reserves escaped.
QByteArray pdfName(const QByteArray &name);

} // namespace platform
