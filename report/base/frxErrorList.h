// The report's error list: every problem of loading and preparing a report, kept as a value with
// where it came from (the template, the script with its line, column and call chain, a data set,
// the engine, the printer) in the order it came. What the user is shown is rendered from it: the
// lines sorted without letter case, duplicates dropped.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace frx {

enum class TfrxErrorSource { Report, Template, Script, Data, Printing };

struct TfrxError {
    TfrxErrorSource source = TfrxErrorSource::Report;
    int line = 0;   // 1-based position in the script or template; 0 when unknown
    int column = 0;
    QString object; // the report object being worked on; empty when none
    QString message; // the error's line as shown to the user
    QStringList callChain; // script run-time errors: the callers, innermost first ("[line 5] in Foo")

    bool operator==(const TfrxError &other) const = default;
};

class TfrxErrorList {
public:
    // An error of the report with nothing more known than its text.
    void Add(const QString &line);
    void Add(TfrxError error);
    void Clear() { m_entries.clear(); }

    // Every error in the order it came, duplicates included.
    const QList<TfrxError> &Entries() const { return m_entries; }
    // The lines shown: sorted without letter case, duplicates (without letter case) dropped.
    QStringList Lines() const;
    // The number of lines shown.
    int Count() const { return int(Lines().size()); }
    // The lines shown, each followed by CR LF.
    QString Text() const;

private:
    QList<TfrxError> m_entries;
};

} // namespace frx
