// Parses PascalScript into the tree of tree.h, resolving every name as it goes (names must be
// declared before use). Problems are collected as diagnostics; after each one the parser skips
// to the next statement or declaration and goes on, so one pass reports several.
#pragma once

#include "script/runtime.h"
#include "script/scanner.h"
#include "script/scripterror.h"
#include "script/tree.h"

#include <QHash>
#include <QList>

#include <memory>
#include <vector>

namespace script {

class TfsScript;

// Parses a routine declaration such as "function Copy(S: String; Index, Count: Integer): String"
// or "macrofunction IIF(Expr: Boolean; TrueValue, FalseValue: Variant): Variant". Defaults must be
// literals (numbers, strings, True, False, nil, Null). Raises ScriptError (Kind::Compile).
HostFunction parseDeclaration(const QString &declaration);

class Parser {
public:
    Parser(TfsScript &script, const QString &source);

    // A whole program; null when diagnostics() is not empty.
    std::shared_ptr<Program> parseProgram();
    // One expression filling the source; null on failure.
    ExprPtr parseStandaloneExpression();

    const QList<Diagnostic> &diagnostics() const { return m_diagnostics; }
    // Programs of this script and its parents whose storage the compiled code refers to.
    std::vector<std::shared_ptr<const Program>> takeReferencedPrograms() { return std::move(m_referenced); }

private:
    struct Failure {}; // unwinds to the next recovery point after a diagnostic
    struct Local {
        int slot;
        Hint hint;
        bool readOnly;
    };
    struct Scope {
        Routine *routine = nullptr;
        QHash<QString, Local> names;
    };
    struct WithEntry {
        int slot;
        Variant *global;
    };
    struct State {
        Scanner scanner;
        Token current, previous;
    };
    // What a name means outside any with statement.
    struct Meaning {
        enum Kind { None, Local, Global, Constant, Routine, Host, Cast, FunctionResult } kind = None;
        int slot = -1;
        Variant *global = nullptr;
        Hint hint = Hint::Null;
        bool readOnly = false;
        Variant value;
        const script::Routine *routine = nullptr;
        const HostFunction *function = nullptr;
    };

    // tokens
    void advance();
    bool check(Tok kind) const { return m_current.kind == kind; }
    bool match(Tok kind);
    void consume(Tok kind, const char *message);
    [[noreturn]] void errorAtCurrent(const QString &message);
    [[noreturn]] void errorAt(const Token &token, const QString &message);
    void report(const Token &token, const QString &message);
    QString identifier(const char *message); // consumes an identifier, returns its spelling
    State state() const { return {m_scanner, m_current, m_previous}; }
    void restore(const State &s);

    // declarations
    void parseDeclarations(bool inRoutine);
    void parseVarSection(bool inRoutine);
    void parseConstSection(bool inRoutine);
    void parseRoutine(bool isFunction);
    std::vector<Param> parseParams();
    Variant parseType(Hint &hint);
    Variant constantValue(const char *what);
    void declare(const Token &at, const QString &name);

    // statements
    std::vector<StmtPtr> parseStatementList(std::initializer_list<Tok> terminators);
    StmtPtr parseStatement();
    StmtPtr parseFor();
    StmtPtr parseCase();
    StmtPtr parseTry();
    StmtPtr parseWith();
    void synchronize(std::initializer_list<Tok> terminators);

    // expressions
    ExprPtr parseExpression();
    ExprPtr parseSimple();
    ExprPtr parseTerm();
    ExprPtr parseFactor();
    ExprPtr parseDesignator();
    ExprPtr parseName(const Token &name);
    ExprPtr staticName(const Token &name, const Meaning &m);
    Meaning resolve(const QString &key);
    ExprList parseArguments(const Token &at, const std::vector<Param> &params, const QString &callee);
    ExprList parseExpressionList(Tok close);
    QStringList parseMacroArguments(const Token &at, const HostFunction &f);
    std::unique_ptr<SetExpr> parseSet();
    ExprPtr checked(ExprPtr e, const Token &at);
    int newSlot(Hint hint, const Variant &initial);

    TfsScript &m_script;
    Scanner m_scanner;
    Token m_current, m_previous;
    QList<Diagnostic> m_diagnostics;
    bool m_panic = false;
    std::shared_ptr<Program> m_program; // being compiled, or the script's current one
    bool m_compilingProgram = false;
    Scope *m_scope = nullptr; // null in the main block and in expressions
    std::vector<WithEntry> m_with;
    int m_loops = 0;
    int m_depth = 0;
    int m_localUses = 0;
    int m_routineUses = 0; // script routines cannot run while their program is being compiled
    std::vector<std::shared_ptr<const Program>> m_referenced;
};

} // namespace script
