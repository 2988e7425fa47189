// Declarations of host functions, parsed from their Pascal heading.
#include "script/parser.h"

using namespace Qt::StringLiterals;

namespace script {

namespace {

[[noreturn]] void fail(const QString &declaration, const Token &at, const QString &message)
{
    Diagnostic d;
    d.line = at.line;
    d.column = at.column;
    d.atEnd = at.kind == Tok::End;
    d.token = declaration.mid(at.start, at.length);
    d.message = message;
    ScriptError e(ScriptError::Kind::Compile, u"Invalid declaration '%1': %2"_s.arg(declaration, d.text()));
    e.setDiagnostics({d});
    throw e;
}

} // namespace

HostFunction parseDeclaration(const QString &declaration)
{
    Scanner scanner(declaration);
    Token t = scanner.next();
    auto next = [&] { t = scanner.next(); };
    auto expect = [&](Tok kind, const char *message) {
        if (t.kind != kind) fail(declaration, t, QString::fromUtf8(message));
        next();
    };
    HostFunction f;
    if (t.kind == Tok::Function) {
        f.isFunction = true;
    } else if (t.kind == Tok::Identifier && t.text.compare(u"macrofunction"_s, Qt::CaseInsensitive) == 0) {
        f.isFunction = true;
        f.isMacro = true;
    } else if (t.kind != Tok::Procedure) {
        fail(declaration, t, u"Expected 'function', 'procedure' or 'macrofunction'"_s);
    }
    next();
    if (t.kind != Tok::Identifier) fail(declaration, t, u"Expected a name"_s);
    f.name = t.text;
    next();
    auto typeName = [&]() {
        if (t.kind == Tok::Array) {
            next();
            expect(Tok::Of, "Expected 'of'");
            if (t.kind != Tok::Const && t.kind != Tok::Identifier)
                fail(declaration, t, u"Expected a type name"_s);
            next();
            return Hint::Null;
        }
        if (t.kind != Tok::Identifier) fail(declaration, t, u"Expected a type name"_s);
        Hint h = hintForTypeName(t.text);
        next();
        return h;
    };
    if (t.kind == Tok::LeftParen) {
        next();
        while (t.kind != Tok::RightParen) {
            Param p;
            if (t.kind == Tok::Var) {
                p.byRef = true;
                next();
            } else if (t.kind == Tok::Const) {
                next();
            } else if (t.kind == Tok::Identifier && t.text.compare(u"out"_s, Qt::CaseInsensitive) == 0) {
                Scanner save = scanner;
                Token saved = t;
                next();
                if (t.kind == Tok::Identifier) {
                    p.byRef = true;
                } else {
                    scanner = save;
                    t = saved;
                }
            }
            QStringList names;
            for (;;) {
                if (t.kind != Tok::Identifier) fail(declaration, t, u"Expected a parameter name"_s);
                names.append(t.text);
                next();
                if (t.kind != Tok::Comma) break;
                next();
            }
            if (t.kind == Tok::Colon) {
                next();
                p.hint = typeName();
            }
            if (t.kind == Tok::Equal) {
                next();
                qsizetype start = t.start;
                bool negative = false;
                if (t.kind == Tok::Minus) {
                    negative = true;
                    next();
                }
                switch (t.kind) {
                case Tok::Integer:
                    p.defaultValue = Variant(negative ? -t.integer : t.integer);
                    break;
                case Tok::Float:
                    p.defaultValue = Variant(negative ? -t.real : t.real);
                    break;
                case Tok::String:
                    p.defaultValue = Variant(t.text);
                    break;
                case Tok::True:
                case Tok::False:
                    p.defaultValue = Variant(t.kind == Tok::True);
                    break;
                case Tok::Nil:
                    break;
                case Tok::Identifier:
                    if (t.text.compare(u"null"_s, Qt::CaseInsensitive) == 0) break;
                    [[fallthrough]];
                default:
                    fail(declaration, t, u"Expected a literal default value"_s);
                }
                p.hasDefault = true;
                p.defaultText = declaration.mid(start, t.start + t.length - start);
                if (p.hint != Hint::Null && !p.defaultValue.isNull())
                    p.defaultValue = p.defaultValue.convertedTo(p.hint);
                next();
            }
            for (const QString &n : names) {
                p.name = n;
                f.params.push_back(p);
            }
            if (t.kind == Tok::Semicolon)
                next();
            else if (t.kind != Tok::RightParen)
                fail(declaration, t, u"Expected ';' or ')'"_s);
        }
        next();
    }
    if (f.isFunction) {
        expect(Tok::Colon, "Expected ':' and the result type");
        typeName();
    }
    if (t.kind == Tok::Semicolon) next();
    if (t.kind != Tok::End) fail(declaration, t, u"Unexpected text after the declaration"_s);
    return f;
}

} // namespace script
