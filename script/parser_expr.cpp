// Expressions, designators and name resolution.
#include "script/parser.h"

#include "script/fsScript.h"
#include "script/library.h"

using namespace Qt::StringLiterals;

namespace script {

namespace {

constexpr int MaxNesting = 200;
constexpr int MaxHeight = 1000;

// Whether a "<" after a token of this kind starts the <text> shorthand rather than a comparison.
bool factorPosition(Tok previous)
{
    switch (previous) {
    case Tok::Identifier:
    case Tok::Integer:
    case Tok::Float:
    case Tok::String:
    case Tok::RightParen:
    case Tok::RightBracket:
    case Tok::True:
    case Tok::False:
    case Tok::Nil:
        return false;
    default:
        return true;
    }
}

int maxHeight(const ExprList &list)
{
    int h = 0;
    for (const ExprPtr &e : list)
        h = std::max(h, e->height);
    return h;
}

} // namespace

ExprPtr Parser::checked(ExprPtr e, const Token &at)
{
    if (e->height > MaxHeight) errorAt(at, u"Expression too complex"_s);
    if (e->line == 0) {
        e->line = at.line;
        e->column = at.column;
    }
    return e;
}

ExprPtr Parser::parseStandaloneExpression()
{
    m_program = m_script.m_program;
    if (m_program) m_referenced.push_back(m_program);
    advance();
    try {
        ExprPtr e = parseExpression();
        if (!check(Tok::End)) errorAtCurrent(u"Unexpected text after the expression"_s);
        if (m_diagnostics.isEmpty()) return e;
    } catch (Failure &) {
    }
    return nullptr;
}

ExprPtr Parser::parseExpression()
{
    if (m_depth >= MaxNesting) errorAtCurrent(u"Expression nested too deeply"_s);
    struct Depth {
        int &d;
        explicit Depth(int &depth) : d(depth) { ++d; }
        ~Depth() { --d; }
    } depth(m_depth);

    ExprPtr left = parseSimple();
    for (;;) {
        Token op = m_current;
        BinOp bin;
        switch (op.kind) {
        case Tok::Equal:
            bin = BinOp::Eq;
            break;
        case Tok::NotEqual:
            bin = BinOp::Ne;
            break;
        case Tok::Less:
            bin = BinOp::Lt;
            break;
        case Tok::Greater:
            bin = BinOp::Gt;
            break;
        case Tok::LessEqual:
            bin = BinOp::Le;
            break;
        case Tok::GreaterEqual:
            bin = BinOp::Ge;
            break;
        case Tok::In: {
            advance();
            auto in = std::make_unique<InExpr>();
            in->value = std::move(left);
            in->set = parseSimple();
            in->literal = dynamic_cast<const SetExpr *>(in->set.get());
            in->height = 1 + std::max(in->value->height, in->set->height);
            left = checked(std::move(in), op);
            continue;
        }
        case Tok::Is: {
            advance();
            auto is = std::make_unique<IsExpr>();
            is->value = std::move(left);
            is->className = identifier("Expected a class name after 'is'");
            is->height = is->value->height + 1;
            left = checked(std::move(is), op);
            continue;
        }
        default:
            return left;
        }
        advance();
        ExprPtr right = parseSimple();
        left = checked(std::make_unique<BinaryExpr>(bin, std::move(left), std::move(right)), op);
    }
}

ExprPtr Parser::parseSimple()
{
    ExprPtr left = parseTerm();
    for (;;) {
        Token op = m_current;
        BinOp bin;
        switch (op.kind) {
        case Tok::Plus:
            bin = BinOp::Add;
            break;
        case Tok::Minus:
            bin = BinOp::Sub;
            break;
        case Tok::Or:
            bin = BinOp::Or;
            break;
        case Tok::Xor:
            bin = BinOp::Xor;
            break;
        default:
            return left;
        }
        advance();
        ExprPtr right = parseTerm();
        left = checked(std::make_unique<BinaryExpr>(bin, std::move(left), std::move(right)), op);
    }
}

ExprPtr Parser::parseTerm()
{
    ExprPtr left = parseFactor();
    for (;;) {
        Token op = m_current;
        BinOp bin;
        switch (op.kind) {
        case Tok::Star:
            bin = BinOp::Mul;
            break;
        case Tok::Slash:
            bin = BinOp::Div;
            break;
        case Tok::Div:
            bin = BinOp::IntDiv;
            break;
        case Tok::Mod:
            bin = BinOp::Mod;
            break;
        case Tok::And:
            bin = BinOp::And;
            break;
        case Tok::Shl:
            bin = BinOp::Shl;
            break;
        case Tok::Shr:
            bin = BinOp::Shr;
            break;
        default:
            return left;
        }
        advance();
        ExprPtr right = parseFactor();
        left = checked(std::make_unique<BinaryExpr>(bin, std::move(left), std::move(right)), op);
    }
}

ExprPtr Parser::parseFactor()
{
    if (m_depth >= MaxNesting) errorAtCurrent(u"Expression nested too deeply"_s);
    struct Depth {
        int &d;
        explicit Depth(int &depth) : d(depth) { ++d; }
        ~Depth() { --d; }
    } depth(m_depth);

    Token t = m_current;
    switch (t.kind) {
    case Tok::Integer:
        advance();
        return checked(std::make_unique<ConstExpr>(Variant(t.integer)), t);
    case Tok::Float:
        advance();
        return checked(std::make_unique<ConstExpr>(Variant(t.real)), t);
    case Tok::String:
        advance();
        return checked(std::make_unique<ConstExpr>(Variant(t.text)), t);
    case Tok::True:
    case Tok::False:
        advance();
        return checked(std::make_unique<ConstExpr>(Variant(t.kind == Tok::True)), t);
    case Tok::Nil:
        advance();
        return checked(std::make_unique<ConstExpr>(Variant()), t);
    case Tok::LeftParen: {
        advance();
        ExprPtr e = parseExpression();
        consume(Tok::RightParen, "Expected ')'");
        return e;
    }
    case Tok::Not: {
        advance();
        ExprPtr e = parseFactor();
        Variant v;
        if (e->constant(v) && v.type() == Variant::Type::Boolean)
            return checked(std::make_unique<ConstExpr>(Variant(!v.boolValue())), t);
        return checked(std::make_unique<UnaryExpr>(UnOp::Not, std::move(e)), t);
    }
    case Tok::Minus:
    case Tok::Plus: {
        advance();
        ExprPtr e = parseFactor();
        if (t.kind == Tok::Plus) return e;
        Variant v;
        if (e->constant(v) && v.isNumeric())
            return checked(std::make_unique<ConstExpr>(Variant::negate(v)), t);
        return checked(std::make_unique<UnaryExpr>(UnOp::Neg, std::move(e)), t);
    }
    case Tok::LeftBracket:
        return checked(parseSet(), t);
    case Tok::Less: {
        QString name;
        if (!m_scanner.rawUntil(u'>', name)) errorAt(t, u"Expected '>' after '<'"_s);
        advance();
        Meaning get = resolve(u"get"_s);
        auto arg = std::make_unique<ConstExpr>(Variant(name));
        if (get.kind == Meaning::Host && !get.function->isMacro && !get.function->params.empty()) {
            auto call = std::make_unique<HostCallExpr>();
            call->function = get.function;
            call->args.push_back(std::move(arg));
            for (size_t i = 1; i < get.function->params.size(); ++i)
                call->args.push_back(std::make_unique<ConstExpr>(get.function->params[i].defaultValue));
            return checked(std::move(call), t);
        }
        if (get.kind == Meaning::Routine && !get.routine->params.empty()) {
            ++m_routineUses;
            auto call = std::make_unique<CallExpr>();
            call->routine = get.routine;
            call->args.push_back(std::move(arg));
            for (size_t i = 1; i < get.routine->params.size(); ++i)
                call->args.push_back(std::make_unique<ConstExpr>(get.routine->params[i].defaultValue));
            return checked(std::move(call), t);
        }
        errorAt(t, u"'<%1>' needs a function Get"_s.arg(name));
    }
    case Tok::Identifier:
        return parseDesignator();
    case Tok::End:
        errorAtCurrent(u"Expected an expression"_s);
    default:
        errorAtCurrent(u"Expected an expression"_s);
    }
}

std::unique_ptr<SetExpr> Parser::parseSet()
{
    consume(Tok::LeftBracket, "Expected '['");
    auto set = std::make_unique<SetExpr>();
    int height = 0;
    if (!check(Tok::RightBracket)) {
        do {
            SetExpr::Element e;
            e.low = parseExpression();
            height = std::max(height, e.low->height);
            if (match(Tok::DotDot)) {
                e.high = parseExpression();
                height = std::max(height, e.high->height);
            }
            set->elements.push_back(std::move(e));
        } while (match(Tok::Comma));
    }
    consume(Tok::RightBracket, "Expected ']'");
    set->height = height + 1;
    return set;
}

ExprList Parser::parseExpressionList(Tok close)
{
    ExprList list;
    if (!check(close)) {
        do
            list.push_back(parseExpression());
        while (match(Tok::Comma));
    }
    consume(close, close == Tok::RightParen ? "Expected ')'" : "Expected ']'");
    return list;
}

ExprPtr Parser::parseDesignator()
{
    Token name = m_current;
    advance();
    ExprPtr base = parseName(name);
    for (;;) {
        Token at = m_current;
        if (match(Tok::Dot)) {
            // Members may be spelled like keywords (DataSet.First, Engine.NewPage, Query.Open).
            if (!check(Tok::Identifier) && int(m_current.kind) < int(Tok::And))
                errorAtCurrent(u"Expected a member name"_s);
            QString member = m_current.text;
            advance();
            if (match(Tok::LeftParen)) {
                auto call = std::make_unique<MethodCallExpr>();
                call->object = std::move(base);
                call->name = member;
                call->args = parseExpressionList(Tok::RightParen);
                call->height = 1 + std::max(call->object->height, maxHeight(call->args));
                base = checked(std::move(call), at);
            } else if (match(Tok::LeftBracket)) {
                auto indexed = std::make_unique<IndexedMemberExpr>();
                indexed->object = std::move(base);
                indexed->name = member;
                indexed->index = parseExpressionList(Tok::RightBracket);
                indexed->height = 1 + std::max(indexed->object->height, maxHeight(indexed->index));
                base = checked(std::move(indexed), at);
            } else {
                auto m = std::make_unique<MemberExpr>();
                m->object = std::move(base);
                m->name = member;
                m->height = m->object->height + 1;
                base = checked(std::move(m), at);
            }
        } else if (match(Tok::LeftBracket)) {
            auto index = std::make_unique<IndexExpr>();
            index->base = std::move(base);
            index->index = parseExpressionList(Tok::RightBracket);
            if (index->index.empty()) errorAt(at, u"Expected an index"_s);
            index->height = 1 + std::max(index->base->height, maxHeight(index->index));
            base = checked(std::move(index), at);
        } else {
            return base;
        }
    }
}

Parser::Meaning Parser::resolve(const QString &key)
{
    Meaning m;
    if (m_scope) {
        auto it = m_scope->names.constFind(key);
        if (it != m_scope->names.constEnd()) {
            m.kind = Meaning::Local;
            m.slot = it->slot;
            m.hint = it->hint;
            m.readOnly = it->readOnly;
            return m;
        }
    }
    auto fromProgram = [&](const std::shared_ptr<Program> &program, bool own) {
        if (!program) return false;
        auto it = program->symbols.constFind(key);
        if (it == program->symbols.constEnd()) return false;
        if (!own) m_referenced.push_back(program);
        switch (it->kind) {
        case Program::Symbol::Variable:
            m.kind = Meaning::Global;
            m.global = it->slot;
            m.hint = it->hint;
            break;
        case Program::Symbol::Constant:
            m.kind = Meaning::Constant;
            m.value = it->value;
            break;
        case Program::Symbol::Function:
            m.kind = Meaning::Routine;
            m.routine = it->routine;
            break;
        }
        return true;
    };
    auto fromRegistrations = [&](const TfsScript &s) {
        auto it = s.m_registered.constFind(key);
        if (it == s.m_registered.constEnd()) return false;
        switch (it->kind) {
        case TfsScript::Registered::Variable:
        case TfsScript::Registered::Object:
            m.kind = Meaning::Global;
            m.global = it->slot;
            m.readOnly = it->kind == TfsScript::Registered::Object;
            break;
        case TfsScript::Registered::Constant:
            m.kind = Meaning::Constant;
            m.value = *it->slot;
            break;
        case TfsScript::Registered::Function:
            m.kind = Meaning::Host;
            m.function = it->function;
            break;
        case TfsScript::Registered::Class:
            m.kind = Meaning::Cast;
            m.function = it->function; // its constructor, if scripts may create its objects
            break;
        }
        return true;
    };
    if (fromProgram(m_program, m_compilingProgram) || fromRegistrations(m_script)) return m;
    int hops = 0;
    for (const TfsScript *p = m_script.m_parent; p && hops < 8; p = p->m_parent, ++hops)
        if (fromProgram(p->m_program, false) || fromRegistrations(*p)) return m;
    if (const HostFunction *f = library::findFunction(key)) {
        m.kind = Meaning::Host;
        m.function = f;
        return m;
    }
    if (const Variant *c = library::findConstant(key)) {
        m.kind = Meaning::Constant;
        m.value = *c;
        return m;
    }
    if (basicType(key, m.hint)) {
        m.kind = Meaning::Cast;
        return m;
    }
    return m;
}

ExprPtr Parser::parseName(const Token &name)
{
    QString key = name.text.toLower();
    // A function's own name on the left of ":=" is its result.
    if (m_scope && m_scope->routine->resultSlot >= 0 && check(Tok::Assign) &&
        key == m_scope->routine->name.toLower()) {
        ++m_localUses;
        return checked(
            std::make_unique<LocalExpr>(m_scope->routine->resultSlot,
                                        m_scope->routine->slotHints[size_t(m_scope->routine->resultSlot)]),
            name);
    }
    Meaning m = resolve(key);
    if (m_with.empty()) {
        if (m.kind == Meaning::None) errorAt(name, u"Unknown identifier '%1'"_s.arg(name.text));
        return staticName(name, m);
    }
    // Inside with: the innermost object's member first, then the outer ones, then the name itself.
    bool call = check(Tok::LeftParen);
    State afterName = state();
    ExprPtr fallback = m.kind == Meaning::None ? nullptr : staticName(name, m);
    State afterAll = state();
    for (const WithEntry &w : m_with) {
        auto node = std::make_unique<WithNameExpr>();
        node->slot = w.slot;
        node->global = w.global;
        node->name = name.text;
        node->call = call;
        if (call) {
            restore(afterName);
            advance();
            node->args = parseExpressionList(Tok::RightParen);
            afterAll = state();
        }
        node->height = 1 + std::max(fallback ? fallback->height : 0, maxHeight(node->args));
        node->fallback = std::move(fallback);
        ++m_localUses;
        fallback = checked(std::move(node), name);
    }
    restore(afterAll);
    return fallback;
}

ExprList Parser::parseArguments(const Token &at, const std::vector<Param> &params, const QString &callee)
{
    ExprList args;
    if (match(Tok::LeftParen)) args = parseExpressionList(Tok::RightParen);
    if (args.size() > params.size()) errorAt(at, u"Too many actual parameters for '%1'"_s.arg(callee));
    for (size_t i = args.size(); i < params.size(); ++i) {
        if (!params[i].hasDefault) errorAt(at, u"Not enough actual parameters for '%1'"_s.arg(callee));
        args.push_back(std::make_unique<ConstExpr>(params[i].defaultValue));
    }
    for (size_t i = 0; i < params.size(); ++i)
        if (params[i].byRef && !args[i]->assignable())
            errorAt(at, u"Variable required for parameter '%1' of '%2'"_s.arg(params[i].name, callee));
    return args;
}

QStringList Parser::parseMacroArguments(const Token &at, const HostFunction &f)
{
    QStringList texts;
    if (match(Tok::LeftParen)) {
        const QString &source = m_scanner.source();
        if (!check(Tok::RightParen)) {
            int depth = 0;
            qsizetype start = m_current.start, end = start;
            Tok previous = Tok::LeftParen;
            for (;;) {
                if (check(Tok::End)) errorAtCurrent(u"Expected ')' after the arguments"_s);
                if (depth == 0 && (check(Tok::Comma) || check(Tok::RightParen))) {
                    texts.append(source.mid(start, end - start).trimmed());
                    if (check(Tok::RightParen)) break;
                    advance();
                    start = end = m_current.start;
                    previous = Tok::Comma;
                    continue;
                }
                if (check(Tok::LeftParen) || check(Tok::LeftBracket))
                    ++depth;
                else if (check(Tok::RightParen) || check(Tok::RightBracket))
                    --depth;
                if (check(Tok::Less) && factorPosition(previous)) {
                    QString raw;
                    if (!m_scanner.rawUntil(u'>', raw)) errorAtCurrent(u"Expected '>' after '<'"_s);
                    end = m_scanner.position();
                    previous = Tok::Identifier;
                    advance();
                    continue;
                }
                end = m_current.start + m_current.length;
                previous = m_current.kind;
                advance();
            }
        }
        consume(Tok::RightParen, "Expected ')' after the arguments");
    }
    if (texts.size() > qsizetype(f.params.size()))
        errorAt(at, u"Too many actual parameters for '%1'"_s.arg(f.name));
    for (size_t i = size_t(texts.size()); i < f.params.size(); ++i) {
        if (!f.params[i].hasDefault) errorAt(at, u"Not enough actual parameters for '%1'"_s.arg(f.name));
        texts.append(f.params[i].defaultText);
    }
    return texts;
}

ExprPtr Parser::staticName(const Token &name, const Meaning &m)
{
    switch (m.kind) {
    case Meaning::Local:
    case Meaning::FunctionResult: {
        ++m_localUses;
        auto e = std::make_unique<LocalExpr>(m.slot, m.hint);
        e->readOnly = m.readOnly;
        return checked(std::move(e), name);
    }
    case Meaning::Global:
        return checked(std::make_unique<GlobalExpr>(m.global, m.hint, m.readOnly), name);
    case Meaning::Constant:
        return checked(std::make_unique<ConstExpr>(m.value), name);
    case Meaning::Routine: {
        ++m_routineUses;
        auto call = std::make_unique<CallExpr>();
        call->routine = m.routine;
        call->args = parseArguments(name, m.routine->params, m.routine->name);
        call->height = 1 + maxHeight(call->args);
        return checked(std::move(call), name);
    }
    case Meaning::Host: {
        if (m.function->isMacro) {
            auto call = std::make_unique<MacroCallExpr>();
            call->function = m.function;
            call->texts = parseMacroArguments(name, *m.function);
            return checked(std::move(call), name);
        }
        auto call = std::make_unique<HostCallExpr>();
        call->function = m.function;
        call->args = parseArguments(name, m.function->params, m.function->name);
        call->height = 1 + maxHeight(call->args);
        return checked(std::move(call), name);
    }
    case Meaning::Cast: {
        if (m.function && check(Tok::Dot)) {
            advance();
            const Token member = m_current;
            if (!check(Tok::Identifier) || member.text.compare(u"Create"_s, Qt::CaseInsensitive) != 0)
                errorAtCurrent(u"Expected Create after '%1.'"_s.arg(name.text));
            advance();
            auto call = std::make_unique<HostCallExpr>();
            call->function = m.function;
            call->args = parseArguments(member, m.function->params, m.function->name);
            call->height = 1;
            return checked(std::move(call), name);
        }
        if (!match(Tok::LeftParen)) errorAt(name, u"Type name '%1' used as a value"_s.arg(name.text));
        auto cast = std::make_unique<CastExpr>();
        cast->hint = m.hint;
        cast->value = parseExpression();
        consume(Tok::RightParen, "Expected ')' after the cast");
        cast->height = cast->value->height + 1;
        return checked(std::move(cast), name);
    }
    case Meaning::None:
        break;
    }
    errorAt(name, u"Unknown identifier '%1'"_s.arg(name.text));
}

} // namespace script
