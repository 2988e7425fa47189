// The report engine's resource table: every caption, hint, list entry and message of the engine,
// looked up by name (a number such as 101 or a word such as clPageOf). One table per process,
// built on first use from the resource document stored in the program.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

class QIODevice;

namespace frx {

class TfrxResources {
public:
    // The text of name; a name the table does not hold yields the name itself, and a leading "!"
    // of a text is dropped.
    QString Get(const QString &name) const;
    // Sets the text of name, replacing an earlier one.
    void Set(const QString &name, const QString &text);
    // Adds the entries of a resource document (root "Resources", one "StrRes" element with
    // "Name" and "Text" per entry); an entry replaces an earlier one of the same name, also those
    // already in the table. A malformed document raises platform::FileError and adds nothing.
    void LoadFromStream(QIODevice &stream);
    // Adds entries given as "name=text" lines; a line without "=" is skipped.
    void AddStrings(const QStringList &entries);
    // Number of names held.
    int Count() const { return int(m_texts.size()); }

private:
    QHash<QString, QString> m_texts;
};

// The process-wide table, filled from the built-in document on first use.
TfrxResources &frxResources();

// Shorthands for frxResources().Get().
QString frxGet(int id);
QString frxGet(const QString &name);

} // namespace frx
