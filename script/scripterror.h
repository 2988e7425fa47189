// Errors of the script engine: compilation diagnostics with their position, and the exception a
// running program raises (a run-time error, a stop on request, or an exhausted step budget).
#pragma once

#include "platform/errors.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace script {

// One compilation problem: 1-based line and column of the offending token, the token's text
// (empty at the end of the source) and the message.
struct Diagnostic {
    int line = 0;
    int column = 0;
    QString token;
    bool atEnd = false;
    QString message;

    // "[line 3:7] Error at 'foo': Unknown identifier 'foo'" or "... Error at end: ...".
    QString text() const;
};

class ScriptError : public platform::Error {
public:
    enum class Kind {
        Compile, // the source does not compile; diagnostics() lists every problem found
        Runtime, // raised while running; script try/except blocks catch only this kind
        Stopped, // the host asked the running program to stop
        Limit    // the step budget or the call depth was exhausted
    };

    ScriptError(Kind kind, const QString &message) : platform::Error(message), m_kind(kind) {}
    static ScriptError runtime(const QString &message) { return ScriptError(Kind::Runtime, message); }

    Kind kind() const noexcept { return m_kind; }
    bool isCatchable() const noexcept { return m_kind == Kind::Runtime; }

    // Position of the statement that failed (0 when unknown) and the chain of callers,
    // innermost first, as "[line 5] in Foo".
    int line() const noexcept { return m_line; }
    int column() const noexcept { return m_column; }
    bool hasPosition() const noexcept { return m_line > 0; }
    void setPosition(int line, int column)
    {
        m_line = line;
        m_column = column;
    }
    const QStringList &callChain() const noexcept { return m_chain; }
    void addCaller(const QString &entry) { m_chain.append(entry); }

    const QList<Diagnostic> &diagnostics() const noexcept { return m_diagnostics; }
    void setDiagnostics(const QList<Diagnostic> &diagnostics) { m_diagnostics = diagnostics; }


private:
    Kind m_kind;
    int m_line = 0;
    int m_column = 0;
    QStringList m_chain;
    QList<Diagnostic> m_diagnostics;
};

} // namespace script
