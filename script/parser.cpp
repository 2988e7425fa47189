// Programs, declarations and statements.
#include "script/parser.h"

#include "script/fsScript.h"

#include <limits>

using namespace Qt::StringLiterals;

namespace script {

namespace {

constexpr int MaxDiagnostics = 50;
constexpr int MaxNesting = 200;
constexpr qint64 MaxArrayElements = 1 << 20;

bool oneOf(Tok kind, std::initializer_list<Tok> set)
{
    for (Tok t : set)
        if (t == kind) return true;
    return false;
}

} // namespace

QString Diagnostic::text() const
{
    QString where = atEnd ? u"end"_s : u"'"_s + token + u"'"_s;
    return u"[line %1:%2] Error at %3: %4"_s.arg(line).arg(column).arg(where, message);
}

Parser::Parser(TfsScript &script, const QString &source) : m_script(script), m_scanner(source) {}

void Parser::advance()
{
    m_previous = m_current;
    for (;;) {
        m_current = m_scanner.next();
        if (m_current.kind != Tok::Error) return;
        report(m_current, m_current.text);
    }
}

bool Parser::match(Tok kind)
{
    if (!check(kind)) return false;
    advance();
    return true;
}

void Parser::consume(Tok kind, const char *message)
{
    if (!match(kind)) errorAtCurrent(QString::fromUtf8(message));
}

void Parser::report(const Token &token, const QString &message)
{
    if (m_panic || m_diagnostics.size() >= MaxDiagnostics) return;
    Diagnostic d;
    d.line = token.line;
    d.column = token.column;
    d.atEnd = token.kind == Tok::End;
    d.token = m_scanner.source().mid(token.start, std::min<qsizetype>(token.length, 40));
    d.message = message;
    m_diagnostics.append(d);
}

void Parser::errorAt(const Token &token, const QString &message)
{
    report(token, message);
    m_panic = true;
    throw Failure{};
}

void Parser::errorAtCurrent(const QString &message)
{
    errorAt(m_current, message);
}

QString Parser::identifier(const char *message)
{
    if (!check(Tok::Identifier)) errorAtCurrent(QString::fromUtf8(message));
    advance();
    return m_previous.text;
}

void Parser::restore(const State &s)
{
    m_scanner = s.scanner;
    m_current = s.current;
    m_previous = s.previous;
}

void Parser::synchronize(std::initializer_list<Tok> terminators)
{
    m_panic = false;
    while (!check(Tok::End)) {
        if (check(Tok::Semicolon) || oneOf(m_current.kind, terminators)) return;
        switch (m_current.kind) {
        case Tok::Begin:
        case Tok::If:
        case Tok::While:
        case Tok::For:
        case Tok::Repeat:
        case Tok::Case:
        case Tok::Try:
        case Tok::With:
        case Tok::EndKw:
        case Tok::Until:
        case Tok::Except:
        case Tok::Finally:
        case Tok::Var:
        case Tok::Const:
        case Tok::Procedure:
        case Tok::Function:
            return;
        default:
            advance();
        }
    }
}

int Parser::newSlot(Hint hint, const Variant &initial)
{
    Routine &r = *m_scope->routine;
    r.slotHints.push_back(hint);
    r.slotInitial.push_back(initial);
    return int(r.slotHints.size()) - 1;
}

void Parser::declare(const Token &at, const QString &name)
{
    if (m_program->symbols.contains(name.toLower())) errorAt(at, u"Identifier redeclared: '%1'"_s.arg(name));
}

// ---- programs and declarations

std::shared_ptr<Program> Parser::parseProgram()
{
    m_program = std::make_shared<Program>();
    m_compilingProgram = true;
    advance();
    try {
        if (match(Tok::Program)) {
            identifier("Expected a program name");
            consume(Tok::Semicolon, "Expected ';' after the program name");
        }
        if (match(Tok::Uses)) {
            do
                identifier("Expected a unit name");
            while (match(Tok::Comma));
            consume(Tok::Semicolon, "Expected ';' after the uses clause");
        }
    } catch (Failure &) {
        synchronize({});
        match(Tok::Semicolon);
    }
    parseDeclarations(false);
    try {
        if (match(Tok::Begin)) {
            auto list = parseStatementList({Tok::EndKw});
            consume(Tok::EndKw, "Expected 'end' after the main block");
            consume(Tok::Dot, "Expected '.' after the main block");
            m_program->mainStatements = int(list.size());
            auto block = std::make_unique<BlockStmt>();
            block->body = std::move(list);
            m_program->main = std::move(block);
        } else if (!check(Tok::End)) {
            errorAtCurrent(u"Expected 'begin'"_s);
        }
    } catch (Failure &) {
    }
    if (!m_diagnostics.isEmpty()) return nullptr;
    return m_program;
}

void Parser::parseDeclarations(bool inRoutine)
{
    for (;;) {
        try {
            if (match(Tok::Var)) {
                parseVarSection(inRoutine);
            } else if (match(Tok::Const)) {
                parseConstSection(inRoutine);
            } else if (check(Tok::Procedure) || check(Tok::Function)) {
                if (inRoutine) errorAtCurrent(u"Nested routines are not supported"_s);
                bool isFunction = check(Tok::Function);
                advance();
                parseRoutine(isFunction);
            } else {
                return;
            }
        } catch (Failure &) {
            m_scope = nullptr;
            m_panic = false;
            while (!check(Tok::End) &&
                   !oneOf(m_current.kind, {Tok::Var, Tok::Const, Tok::Procedure, Tok::Function, Tok::Begin}))
                advance();
            if (inRoutine || check(Tok::End)) return;
        }
    }
}

void Parser::parseVarSection(bool inRoutine)
{
    while (check(Tok::Identifier)) {
        std::vector<Token> names;
        do {
            names.push_back(m_current);
            identifier("Expected a variable name");
        } while (match(Tok::Comma));
        Hint hint = Hint::Null;
        Variant initial;
        if (match(Tok::Colon)) initial = parseType(hint);
        if (check(Tok::Equal)) {
            if (names.size() > 1) errorAtCurrent(u"Only one variable can be initialised"_s);
            advance();
            Variant v = constantValue("an initial value");
            initial = hint == Hint::Null ? v : v.convertedTo(hint);
        }
        for (const Token &name : names) {
            QString key = name.text.toLower();
            if (inRoutine) {
                if (m_scope->names.contains(key))
                    errorAt(name, u"Identifier redeclared: '%1'"_s.arg(name.text));
                m_scope->names.insert(key, {newSlot(hint, initial), hint, false});
            } else {
                declare(name, name.text);
                Variant &slot = m_program->globals.emplace_back(initial);
                Program::Symbol s;
                s.kind = Program::Symbol::Variable;
                s.slot = &slot;
                s.hint = hint;
                m_program->symbols.insert(key, s);
            }
        }
        // Declared even when the semicolon is missing, so later uses do not cascade into errors.
        consume(Tok::Semicolon, "Expected ';' after the variable declaration");
    }
}

void Parser::parseConstSection(bool inRoutine)
{
    while (check(Tok::Identifier)) {
        Token name = m_current;
        advance();
        Hint hint = Hint::Null;
        if (match(Tok::Colon)) parseType(hint);
        consume(Tok::Equal, "Expected '=' in the constant declaration");
        Variant value = constantValue("a constant value");
        if (hint != Hint::Null) value = value.convertedTo(hint);
        consume(Tok::Semicolon, "Expected ';' after the constant declaration");
        QString key = name.text.toLower();
        if (inRoutine) {
            if (m_scope->names.contains(key)) errorAt(name, u"Identifier redeclared: '%1'"_s.arg(name.text));
            m_scope->names.insert(key, {newSlot(hint, value), hint, true});
        } else {
            declare(name, name.text);
            Program::Symbol s;
            s.kind = Program::Symbol::Constant;
            s.value = value;
            m_program->symbols.insert(key, s);
        }
    }
}

Variant Parser::parseType(Hint &hint)
{
    hint = Hint::Null;
    if (match(Tok::Array)) {
        std::vector<std::pair<qint64, qint64>> dims;
        if (match(Tok::LeftBracket)) {
            do {
                Token at = m_current;
                qint64 low = constantValue("an array bound").toInt64();
                consume(Tok::DotDot, "Expected '..' in the array bounds");
                qint64 high = constantValue("an array bound").toInt64();
                if (high < low || high - low >= MaxArrayElements) errorAt(at, u"Invalid array bounds"_s);
                dims.push_back({low, high});
            } while (match(Tok::Comma));
            consume(Tok::RightBracket, "Expected ']' after the array bounds");
        }
        consume(Tok::Of, "Expected 'of' in the array type");
        Hint element;
        Variant initial;
        if (match(Tok::Const))
            initial = Variant();
        else
            initial = parseType(element);
        if (dims.empty()) return Variant::array(0, 0);
        qint64 total = 1;
        for (auto [low, high] : dims) {
            total *= high - low + 1;
            if (total > MaxArrayElements) errorAtCurrent(u"Array too large"_s);
        }
        for (auto it = dims.rbegin(); it != dims.rend(); ++it) {
            Variant level = Variant::array(it->first, it->second - it->first + 1);
            for (qint64 i = it->first; i <= it->second; ++i)
                level.elementRef(i) = initial;
            initial = level;
        }
        return initial;
    }
    QString name = identifier("Expected a type name");
    hint = hintForTypeName(name);
    return initialValue(hint);
}

Variant Parser::constantValue(const char *what)
{
    Token at = m_current;
    int uses = m_localUses, routineUses = m_routineUses;
    ExprPtr e = parseExpression();
    if (m_localUses != uses || m_routineUses != routineUses)
        errorAt(at, u"Constant expression expected for %1"_s.arg(QString::fromUtf8(what)));
    Variant v;
    if (e->constant(v)) return v;
    Exec x;
    x.script = &m_script;
    x.nextCheck = std::numeric_limits<qint64>::max();
    try {
        return e->eval(x);
    } catch (const platform::Error &error) {
        errorAt(at, u"Invalid constant expression: %1"_s.arg(error.message()));
    }
}

std::vector<Param> Parser::parseParams()
{
    std::vector<Param> params;
    consume(Tok::LeftParen, "Expected '('");
    if (match(Tok::RightParen)) return params;
    do {
        bool byRef = false;
        if (match(Tok::Var)) {
            byRef = true;
        } else if (!match(Tok::Const) && check(Tok::Identifier) && m_current.text.toLower() == u"out"_s) {
            State s = state();
            advance();
            if (check(Tok::Identifier))
                byRef = true;
            else
                restore(s);
        }
        std::vector<QString> names;
        do
            names.push_back(identifier("Expected a parameter name"));
        while (match(Tok::Comma));
        Hint hint = Hint::Null;
        if (match(Tok::Colon)) parseType(hint);
        Param p;
        p.byRef = byRef;
        p.hint = hint;
        if (match(Tok::Equal)) {
            p.hasDefault = true;
            p.defaultValue = constantValue("a default value");
            if (hint != Hint::Null) p.defaultValue = p.defaultValue.convertedTo(hint);
        }
        for (const QString &n : names) {
            p.name = n;
            params.push_back(p);
        }
    } while (match(Tok::Semicolon));
    consume(Tok::RightParen, "Expected ')' after the parameters");
    return params;
}

void Parser::parseRoutine(bool isFunction)
{
    Token nameToken = m_current;
    QString name = identifier(isFunction ? "Expected a function name" : "Expected a procedure name");
    declare(nameToken, name);
    Routine &r = m_program->routines.emplace_back();
    r.name = name;
    r.isFunction = isFunction;
    r.line = nameToken.line;
    Scope scope;
    scope.routine = &r;
    m_scope = &scope;
    try {
        if (check(Tok::LeftParen)) r.params = parseParams();
        for (const Param &p : r.params) {
            QString key = p.name.toLower();
            if (scope.names.contains(key)) errorAt(m_previous, u"Identifier redeclared: '%1'"_s.arg(p.name));
            scope.names.insert(key, {newSlot(p.hint, Variant()), p.hint, false});
        }
        if (isFunction) {
            Hint hint = Hint::Null;
            consume(Tok::Colon, "Expected ':' and the result type");
            Variant initial = parseType(hint);
            r.resultSlot = newSlot(hint, hint == Hint::Null ? Variant() : initial);
            scope.names.insert(u"result"_s, {r.resultSlot, hint, false});
        }
        consume(Tok::Semicolon, "Expected ';' after the routine heading");
    } catch (Failure &) {
        synchronize({});
        match(Tok::Semicolon);
    }
    Program::Symbol s;
    s.kind = Program::Symbol::Function;
    s.routine = &r;
    m_program->symbols.insert(name.toLower(), s);
    parseDeclarations(true);
    m_scope = &scope;
    consume(Tok::Begin, "Expected 'begin'");
    auto list = parseStatementList({Tok::EndKw});
    consume(Tok::EndKw, "Expected 'end' after the routine body");
    consume(Tok::Semicolon, "Expected ';' after the routine");
    auto block = std::make_unique<BlockStmt>();
    block->body = std::move(list);
    r.body = std::move(block);
    m_scope = nullptr;
}

// ---- statements

std::vector<StmtPtr> Parser::parseStatementList(std::initializer_list<Tok> terminators)
{
    std::vector<StmtPtr> list;
    for (;;) {
        if (oneOf(m_current.kind, terminators) || check(Tok::End)) return list;
        qsizetype before = m_current.start;
        try {
            if (StmtPtr s = parseStatement()) list.push_back(std::move(s));
            if (match(Tok::Semicolon)) continue;
            if (oneOf(m_current.kind, terminators) || check(Tok::End)) return list;
            errorAtCurrent(u"Expected ';' between statements"_s);
        } catch (Failure &) {
            synchronize(terminators);
            match(Tok::Semicolon);
            if (m_current.start == before && !check(Tok::End) && !oneOf(m_current.kind, terminators))
                advance();
        }
    }
}

StmtPtr Parser::parseStatement()
{
    if (m_depth >= MaxNesting) errorAtCurrent(u"Statements nested too deeply"_s);
    struct Depth {
        int &d;
        explicit Depth(int &depth) : d(depth) { ++d; }
        ~Depth() { --d; }
    } depth(m_depth);

    Token start = m_current;
    auto place = [&](Stmt &s) {
        s.line = start.line;
        s.column = start.column;
    };
    switch (m_current.kind) {
    case Tok::Semicolon:
    case Tok::EndKw:
    case Tok::Until:
    case Tok::Except:
    case Tok::Finally:
    case Tok::Else:
    case Tok::End:
        return nullptr;
    case Tok::Begin: {
        advance();
        auto s = std::make_unique<BlockStmt>();
        place(*s);
        s->body = parseStatementList({Tok::EndKw});
        consume(Tok::EndKw, "Expected 'end'");
        return s;
    }
    case Tok::If: {
        advance();
        auto s = std::make_unique<IfStmt>();
        place(*s);
        s->condition = parseExpression();
        consume(Tok::Then, "Expected 'then'");
        s->then = parseStatement();
        if (match(Tok::Else)) s->otherwise = parseStatement();
        return s;
    }
    case Tok::While: {
        advance();
        auto s = std::make_unique<WhileStmt>();
        place(*s);
        s->condition = parseExpression();
        consume(Tok::Do, "Expected 'do'");
        ++m_loops;
        try {
            s->body = parseStatement();
        } catch (Failure &) {
            --m_loops;
            throw;
        }
        --m_loops;
        return s;
    }
    case Tok::Repeat: {
        advance();
        auto s = std::make_unique<RepeatStmt>();
        place(*s);
        ++m_loops;
        s->body = parseStatementList({Tok::Until});
        --m_loops;
        consume(Tok::Until, "Expected 'until'");
        s->condition = parseExpression();
        return s;
    }
    case Tok::For:
        return parseFor();
    case Tok::Case:
        return parseCase();
    case Tok::Try:
        return parseTry();
    case Tok::With:
        return parseWith();
    case Tok::Exit: {
        advance();
        auto s = std::make_unique<JumpStmt>(Flow::Exit);
        place(*s);
        if (match(Tok::LeftParen)) {
            s->result = parseExpression();
            consume(Tok::RightParen, "Expected ')'");
            if (m_scope && m_scope->routine->isFunction) s->resultSlot = m_scope->routine->resultSlot;
        }
        return s;
    }
    case Tok::Break:
    case Tok::Continue: {
        if (m_loops == 0) errorAtCurrent(u"'%1' outside a loop"_s.arg(m_current.text));
        auto s = std::make_unique<JumpStmt>(check(Tok::Break) ? Flow::Break : Flow::Continue);
        place(*s);
        advance();
        return s;
    }
    case Tok::Identifier: {
        ExprPtr target = parseDesignator();
        if (match(Tok::Assign)) {
            if (!target->assignable()) errorAt(start, u"Cannot assign to '%1'"_s.arg(start.text));
            auto s = std::make_unique<AssignStmt>();
            place(*s);
            s->target = std::move(target);
            s->value = parseExpression();
            return s;
        }
        auto s = std::make_unique<ExprStmt>();
        place(*s);
        s->expr = std::move(target);
        return s;
    }
    default:
        errorAtCurrent(u"Expected a statement"_s);
    }
}

StmtPtr Parser::parseFor()
{
    Token start = m_current;
    advance();
    auto s = std::make_unique<ForStmt>();
    s->line = start.line;
    s->column = start.column;
    Token var = m_current;
    if (!check(Tok::Identifier)) errorAtCurrent(u"Expected the loop variable"_s);
    s->variable = parseDesignator();
    if (!dynamic_cast<LocalExpr *>(s->variable.get()) && !dynamic_cast<GlobalExpr *>(s->variable.get()) &&
        !dynamic_cast<WithNameExpr *>(s->variable.get()))
        errorAt(var, u"The loop variable must be a simple variable"_s);
    if (!s->variable->assignable()) errorAt(var, u"Cannot assign to '%1'"_s.arg(var.text));
    consume(Tok::Assign, "Expected ':='");
    s->from = parseExpression();
    if (match(Tok::Downto))
        s->down = true;
    else
        consume(Tok::To, "Expected 'to' or 'downto'");
    s->to = parseExpression();
    consume(Tok::Do, "Expected 'do'");
    ++m_loops;
    try {
        s->body = parseStatement();
    } catch (Failure &) {
        --m_loops;
        throw;
    }
    --m_loops;
    return s;
}

StmtPtr Parser::parseCase()
{
    Token start = m_current;
    advance();
    auto s = std::make_unique<CaseStmt>();
    s->line = start.line;
    s->column = start.column;
    s->selector = parseExpression();
    consume(Tok::Of, "Expected 'of'");
    while (!check(Tok::EndKw) && !check(Tok::Else) && !check(Tok::End)) {
        CaseStmt::Branch b;
        do {
            SetExpr::Element e;
            e.low = parseExpression();
            if (match(Tok::DotDot)) e.high = parseExpression();
            b.labels.elements.push_back(std::move(e));
        } while (match(Tok::Comma));
        consume(Tok::Colon, "Expected ':' after the case label");
        b.body = parseStatement();
        s->branches.push_back(std::move(b));
        if (!match(Tok::Semicolon)) break;
    }
    if (match(Tok::Else)) {
        auto block = std::make_unique<BlockStmt>();
        block->body = parseStatementList({Tok::EndKw});
        s->otherwise = std::move(block);
    }
    consume(Tok::EndKw, "Expected 'end' after the case statement");
    return s;
}

StmtPtr Parser::parseTry()
{
    Token start = m_current;
    advance();
    auto body = parseStatementList({Tok::Except, Tok::Finally});
    if (match(Tok::Except)) {
        auto s = std::make_unique<TryExceptStmt>();
        s->line = start.line;
        s->column = start.column;
        s->body = std::move(body);
        s->handler = parseStatementList({Tok::EndKw});
        consume(Tok::EndKw, "Expected 'end' after the except block");
        return s;
    }
    if (match(Tok::Finally)) {
        auto s = std::make_unique<TryFinallyStmt>();
        s->line = start.line;
        s->column = start.column;
        s->body = std::move(body);
        s->cleanup = parseStatementList({Tok::EndKw});
        consume(Tok::EndKw, "Expected 'end' after the finally block");
        return s;
    }
    errorAtCurrent(u"Expected 'except' or 'finally'"_s);
}

StmtPtr Parser::parseWith()
{
    Token start = m_current;
    advance();
    std::vector<std::unique_ptr<WithStmt>> levels;
    size_t pushed = 0;
    try {
        do {
            auto w = std::make_unique<WithStmt>();
            w->line = start.line;
            w->column = start.column;
            w->object = parseExpression();
            if (m_scope)
                w->slot = newSlot(Hint::Null, Variant());
            else
                w->global = &m_program->globals.emplace_back();
            m_with.push_back({w->slot, w->global});
            ++pushed;
            levels.push_back(std::move(w));
        } while (match(Tok::Comma));
        consume(Tok::Do, "Expected 'do'");
        StmtPtr body = parseStatement();
        for (auto it = levels.rbegin(); it != levels.rend(); ++it) {
            (*it)->body = std::move(body);
            body = std::move(*it);
        }
        m_with.resize(m_with.size() - pushed);
        return body;
    } catch (Failure &) {
        m_with.resize(m_with.size() - pushed);
        throw;
    }
}

} // namespace script
