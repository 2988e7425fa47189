// The script engine's public face: a TfsScript holds one PascalScript program, the names a host
// registered for it (objects, variables, constants, functions, macro functions, class names) and
// a parent scope; it compiles source, runs the main block, calls routines by name and compiles
// expressions that are evaluated many times.
//
// Names resolve, without regard to letter case, in this order: locals of the routine, the
// program's globals, the host's registrations, the parent scope (and its parents), the built-in
// library. A script must outlive the expressions compiled in it and in scripts whose parent it is.
#pragma once

#include "script/runtime.h"
#include "script/scripterror.h"
#include "script/scriptobject.h"
#include "script/variant.h"

#include <QHash>
#include <QList>
#include <QString>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>

namespace script {

struct Expr;
class Parser;

// A compiled expression; evaluate() may be called any number of times and sees the current values
// of the variables it names.
class TfsExpression {
public:
    ~TfsExpression();
    // The value of the expression; raises ScriptError (Runtime, Stopped or Limit).
    Variant evaluate();
    const QString &text() const { return m_text; }

private:
    friend class TfsScript;
    TfsExpression() = default;
    TfsScript *m_script = nullptr;
    QString m_text;
    std::unique_ptr<Expr> m_expr;
    std::vector<std::shared_ptr<const Program>> m_keepAlive;
};

class TfsScript {
public:
    TfsScript();
    ~TfsScript();
    TfsScript(const TfsScript &) = delete;
    TfsScript &operator=(const TfsScript &) = delete;

    // ---- program
    // Compiles Source, replacing the previous program. On failure returns false and diagnostics()
    // lists every problem found (the parser recovers at statement and declaration boundaries).
    bool compile(const QString &source);
    const QList<Diagnostic> &diagnostics() const { return m_diagnostics; }
    // The first diagnostic as text, empty after a successful compilation.
    QString errorText() const;
    // Number of statements in the main block of the compiled program.
    int mainStatementCount() const;
    // Runs the main block; raises ScriptError.
    void runMain();
    // Whether the program declares a procedure or function of that name.
    bool hasRoutine(const QString &name) const;
    // Calls a routine of the program; Args holds one value per parameter (missing trailing ones
    // take their defaults) and receives the values of "var" parameters afterwards. Returns the
    // function's result (Null for procedures); raises ScriptError, also for an unknown name.
    Variant call(const QString &name, VariantList &args);
    // The value of a global variable of the program; false when there is none.
    bool globalValue(const QString &name, Variant &value) const;

    // ---- expressions
    // Compiles one expression in this script's scope; raises ScriptError (Kind::Compile) whose
    // message is the first diagnostic's text.
    std::unique_ptr<TfsExpression> compileExpression(const QString &text);

    // ---- host registrations (they outlive recompilation)
    // A variable; the returned slot stays valid for the script's life, so the host may assign it
    // directly and cheaply (*slot = value).
    Variant *addVariable(const QString &name, const Variant &initial = {});
    // An object under a name (not owned); scripts read it but cannot assign the name.
    void addObject(const QString &name, ScriptObject *object);
    void addConstant(const QString &name, const Variant &value);
    // A function from its declaration, e.g. "function Get(Name: String): Variant",
    // "procedure Set(Name: String; Value: Variant)", "macrofunction IIF(Expr: Boolean;
    // TrueValue, FalseValue: Variant): Variant". A macro function receives its arguments as
    // source text (defaults as their text). Raises ScriptError for a malformed declaration.
    void addFunction(const QString &declaration, HostImpl impl);
    // A class name usable in "is" and in casts such as TfrxMemoView(Sender).
    void addClass(const QString &name);
    // A class whose objects scripts create with Name.Create (no arguments): the constructor returns
    // the new object, which the host owns and keeps valid for as long as scripts may hold it.
    void addClass(const QString &name, std::function<Variant()> constructor);
    // Forgets a registered name, or all of them; compiled code that used them keeps working.
    void removeName(const QString &name);
    void clearRegistrations();

    // ---- scope and control
    // Names this script does not know are looked up in Parent (not owned; may be null).
    void setParent(TfsScript *parent);
    TfsScript *parent() const { return m_parent; }
    // Asks the running program to stop: it raises ScriptError (Kind::Stopped) at its next loop
    // iteration or call. Safe to call from another thread. A request only affects the run in
    // progress: the flag is cleared when the outermost run ends and when the next one starts.
    void requestStop() { m_stop.store(true, std::memory_order_relaxed); }
    bool isRunning() const { return m_running > 0; }
    // Loop iterations and calls allowed per run (0: unlimited); beyond it ScriptError (Kind::Limit).
    void setStepLimit(qint64 steps) { m_stepLimit = steps; }
    // Called every Interval steps of a run, e.g. to process pending window messages.
    void setPollHandler(std::function<void()> handler, qint64 interval = 4096);
    // ShowMessage's output; without a handler here or in a parent the text goes to qInfo().
    void setMessageHandler(std::function<void(const QString &)> handler)
    {
        m_messageHandler = std::move(handler);
    }
    void showMessage(const QString &text) const;

    // The message of the exception an except block handles (ExceptionMessage in scripts).
    const QString &exceptionMessage() const { return m_exceptionMessage; }
    void setExceptionMessage(const QString &message) { m_exceptionMessage = message; }

private:
    friend class Parser;
    friend struct Exec;
    friend class TfsExpression;

    struct Registered {
        enum Kind { Variable, Object, Constant, Function, Class } kind;
        Variant *slot = nullptr;
        const HostFunction *function = nullptr;
    };
    class RunGuard;

    void beginExec(Exec &x);
    Variant runEntry(const std::function<Variant(Exec &)> &body, const QString &where);

    std::shared_ptr<Program> m_program;
    QList<Diagnostic> m_diagnostics;
    std::deque<Variant> m_hostSlots;
    std::deque<HostFunction> m_hostFunctions;
    QHash<QString, Registered> m_registered; // by lower-case name
    TfsScript *m_parent = nullptr;
    std::atomic<bool> m_stop{false};
    int m_running = 0;
    qint64 m_stepLimit = 0;
    std::function<void()> m_poll;
    qint64 m_pollInterval = 4096;
    std::function<void(const QString &)> m_messageHandler;
    QString m_exceptionMessage;
};

} // namespace script
