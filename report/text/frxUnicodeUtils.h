// The text store of the text objects: a list of wide strings, each with an attached object
// reference that the list does not own.
#pragma once

#include "platform/errors.h"

#include <QList>
#include <QString>
#include <QStringList>

class QIODevice;

namespace frx {

// Raised for an index outside the list on Insert, Strings assignment and Delete.
class EWideStringsError : public platform::Error {
public:
    using platform::Error::Error;
};

class TfrxWideStrings {
public:
    // Number of lines.
    int Count() const { return int(m_lines.size()); }

    // Appends a line without object; returns its index.
    int Add(const QString &s);
    // Appends a line with an attached object (not owned); returns its index.
    int AddObject(const QString &s, void *object);
    // Removes all lines and their objects.
    void Clear();
    // Removes the line at index; an index outside the list raises EWideStringsError.
    void Delete(int index);
    // Index of the first line equal to s (exact, case-sensitive), or -1.
    int IndexOf(const QString &s) const;
    // Below Count replaces the line at index (its object stays); at Count appends; any other
    // index raises EWideStringsError "Wide String Out of Bounds" and changes nothing.
    void Insert(int index, const QString &s);

    // The line at index, or an empty string outside the list.
    QString Strings(int index) const;
    // Same as Insert(index, s).
    void setStrings(int index, const QString &s) { Insert(index, s); }
    // The object attached to the line at index, or none (also outside the list).
    void *Objects(int index) const;
    // Attaches an object to the line at index; outside the list nothing happens.
    void setObjects(int index, void *object);

    // All lines, each followed by CR LF.
    QString Text() const;
    // Replaces the lines by those of value: split at CR, LF or U+2028 (CR LF, CR LF U+2028 and
    // LF U+2028 count as one break) up to the first NUL; a trailing break adds no empty line.
    void setText(const QString &value);

    // The lines themselves, for readers that walk them.
    const QStringList &lines() const { return m_lines; }

    // Replaces the content from the rest of the stream: UTF-16LE when it starts with FF FE (and
    // holds more than those two bytes), CP936 otherwise. Raises platform::FileError when the
    // stream cannot be read.
    void LoadFromStream(QIODevice &stream);
    // Same from a file; a missing or unreadable file raises platform::FileError naming it.
    void LoadFromFile(const QString &fileName);
    // Writes Text() as UTF-16LE without byte-order mark at the stream's position. Raises
    // platform::FileError when the stream refuses the bytes.
    void SaveToStream(QIODevice &stream) const;
    // Creates or replaces the file with the bytes of SaveToStream; the old file stays intact when
    // writing fails, which raises platform::FileError naming it.
    void SaveToFile(const QString &fileName) const;

    bool operator==(const TfrxWideStrings &other) const;

private:
    QStringList m_lines;
    // Empty while no line has an object; otherwise exactly as long as m_lines.
    QList<void *> m_objects;
};

} // namespace frx
