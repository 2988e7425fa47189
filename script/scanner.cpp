#include "script/scanner.h"

#include <QHash>

#include <cmath>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace script {

namespace {

const QHash<QString, Tok> &keywords()
{
    static const QHash<QString, Tok> table = {
        {u"and"_s, Tok::And},
        {u"array"_s, Tok::Array},
        {u"begin"_s, Tok::Begin},
        {u"break"_s, Tok::Break},
        {u"case"_s, Tok::Case},
        {u"const"_s, Tok::Const},
        {u"continue"_s, Tok::Continue},
        {u"div"_s, Tok::Div},
        {u"do"_s, Tok::Do},
        {u"downto"_s, Tok::Downto},
        {u"else"_s, Tok::Else},
        {u"end"_s, Tok::EndKw},
        {u"except"_s, Tok::Except},
        {u"exit"_s, Tok::Exit},
        {u"false"_s, Tok::False},
        {u"finally"_s, Tok::Finally},
        {u"for"_s, Tok::For},
        {u"function"_s, Tok::Function},
        {u"if"_s, Tok::If},
        {u"in"_s, Tok::In},
        {u"is"_s, Tok::Is},
        {u"mod"_s, Tok::Mod},
        {u"nil"_s, Tok::Nil},
        {u"not"_s, Tok::Not},
        {u"of"_s, Tok::Of},
        {u"or"_s, Tok::Or},
        {u"procedure"_s, Tok::Procedure},
        {u"program"_s, Tok::Program},
        {u"repeat"_s, Tok::Repeat},
        {u"shl"_s, Tok::Shl},
        {u"shr"_s, Tok::Shr},
        {u"then"_s, Tok::Then},
        {u"to"_s, Tok::To},
        {u"true"_s, Tok::True},
        {u"try"_s, Tok::Try},
        {u"until"_s, Tok::Until},
        {u"uses"_s, Tok::Uses},
        {u"var"_s, Tok::Var},
        {u"while"_s, Tok::While},
        {u"with"_s, Tok::With},
        {u"xor"_s, Tok::Xor},
    };
    return table;
}

bool isIdentStart(QChar c)
{
    return c == u'_' || c.isLetter();
}
bool isIdentPart(QChar c)
{
    return c == u'_' || c.isLetterOrNumber() || c.isMark();
}
bool isDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}
bool isHex(QChar c)
{
    return isDigit(c) || (c.unicode() >= 'a' && c.unicode() <= 'f') ||
           (c.unicode() >= 'A' && c.unicode() <= 'F');
}

} // namespace

QString Scanner::spelling(Tok kind)
{
    switch (kind) {
    case Tok::End:
        return u"end of source"_s;
    case Tok::Error:
        return u"error"_s;
    case Tok::Identifier:
        return u"identifier"_s;
    case Tok::Integer:
    case Tok::Float:
        return u"number"_s;
    case Tok::String:
        return u"string"_s;
    case Tok::Plus:
        return u"'+'"_s;
    case Tok::Minus:
        return u"'-'"_s;
    case Tok::Star:
        return u"'*'"_s;
    case Tok::Slash:
        return u"'/'"_s;
    case Tok::Equal:
        return u"'='"_s;
    case Tok::NotEqual:
        return u"'<>'"_s;
    case Tok::Less:
        return u"'<'"_s;
    case Tok::Greater:
        return u"'>'"_s;
    case Tok::LessEqual:
        return u"'<='"_s;
    case Tok::GreaterEqual:
        return u"'>='"_s;
    case Tok::Assign:
        return u"':='"_s;
    case Tok::LeftParen:
        return u"'('"_s;
    case Tok::RightParen:
        return u"')'"_s;
    case Tok::LeftBracket:
        return u"'['"_s;
    case Tok::RightBracket:
        return u"']'"_s;
    case Tok::Comma:
        return u"','"_s;
    case Tok::Semicolon:
        return u"';'"_s;
    case Tok::Colon:
        return u"':'"_s;
    case Tok::Dot:
        return u"'.'"_s;
    case Tok::DotDot:
        return u"'..'"_s;
    case Tok::Caret:
        return u"'^'"_s;
    case Tok::At:
        return u"'@'"_s;
    default:
        for (auto it = keywords().begin(); it != keywords().end(); ++it)
            if (it.value() == kind) return u"'"_s + it.key() + u"'"_s;
        return {};
    }
}

void Scanner::advance()
{
    if (m_pos < m_source.size()) {
        if (m_source.at(m_pos) == u'\n') {
            ++m_line;
            m_column = 1;
        } else {
            ++m_column;
        }
        ++m_pos;
    }
}

Token Scanner::make(Tok kind, qsizetype start, int line, int column) const
{
    Token t;
    t.kind = kind;
    t.start = start;
    t.length = m_pos - start;
    t.line = line;
    t.column = column;
    return t;
}

bool Scanner::skipBlanksAndComments(Token &error)
{
    for (;;) {
        QChar c = peek();
        if (c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\f' || c == QChar(0xFEFF) ||
            c == QChar(0x3000)) {
            advance();
        } else if (c == u'/' && peek(1) == u'/') {
            while (m_pos < m_source.size() && peek() != u'\n')
                advance();
        } else if (c == u'{' || (c == u'(' && peek(1) == u'*')) {
            qsizetype start = m_pos;
            int line = m_line, column = m_column;
            bool brace = c == u'{';
            advance();
            if (!brace) advance();
            for (;;) {
                if (m_pos >= m_source.size()) {
                    error = make(Tok::Error, start, line, column);
                    error.text = u"Unterminated comment"_s;
                    return false;
                }
                if (brace && peek() == u'}') {
                    advance();
                    break;
                }
                if (!brace && peek() == u'*' && peek(1) == u')') {
                    advance();
                    advance();
                    break;
                }
                advance();
            }
        } else {
            return true;
        }
    }
}

Token Scanner::next()
{
    Token error;
    if (!skipBlanksAndComments(error)) return error;
    qsizetype start = m_pos;
    int line = m_line, column = m_column;
    if (m_pos >= m_source.size()) return make(Tok::End, start, line, column);
    QChar c = peek();
    if (isIdentStart(c)) {
        while (m_pos < m_source.size() && isIdentPart(peek()))
            advance();
        Token t = make(Tok::Identifier, start, line, column);
        t.text = m_source.mid(start, m_pos - start);
        auto it = keywords().constFind(t.text.toLower());
        if (it != keywords().constEnd()) t.kind = it.value();
        return t;
    }
    if (isDigit(c) || (c == u'$' && isHex(peek(1)))) return number(start, line, column);
    if (c == u'\'' || (c == u'#' && (isDigit(peek(1)) || (peek(1) == u'$' && isHex(peek(2))))))
        return string(start, line, column);
    advance();
    auto two = [&](QChar second, Tok pair, Tok single) {
        if (peek() == second) {
            advance();
            return make(pair, start, line, column);
        }
        return make(single, start, line, column);
    };
    switch (c.unicode()) {
    case '+':
        return make(Tok::Plus, start, line, column);
    case '-':
        return make(Tok::Minus, start, line, column);
    case '*':
        return make(Tok::Star, start, line, column);
    case '/':
        return make(Tok::Slash, start, line, column);
    case '=':
        return make(Tok::Equal, start, line, column);
    case '<':
        if (peek() == u'>') {
            advance();
            return make(Tok::NotEqual, start, line, column);
        }
        return two(u'=', Tok::LessEqual, Tok::Less);
    case '>':
        return two(u'=', Tok::GreaterEqual, Tok::Greater);
    case ':':
        return two(u'=', Tok::Assign, Tok::Colon);
    case '(':
        return make(Tok::LeftParen, start, line, column);
    case ')':
        return make(Tok::RightParen, start, line, column);
    case '[':
        return make(Tok::LeftBracket, start, line, column);
    case ']':
        return make(Tok::RightBracket, start, line, column);
    case ',':
        return make(Tok::Comma, start, line, column);
    case ';':
        return make(Tok::Semicolon, start, line, column);
    case '.':
        return two(u'.', Tok::DotDot, Tok::Dot);
    case '^':
        return make(Tok::Caret, start, line, column);
    case '@':
        return make(Tok::At, start, line, column);
    default: {
        Token t = make(Tok::Error, start, line, column);
        t.text = u"Unexpected character"_s;
        return t;
    }
    }
}

Token Scanner::number(qsizetype start, int line, int column)
{
    if (peek() == u'$') {
        advance();
        quint64 value = 0;
        bool overflow = false;
        while (isHex(peek())) {
            QChar h = peek();
            int digit = isDigit(h) ? h.unicode() - '0' : (h.toLower().unicode() - 'a' + 10);
            if (value >> 60) overflow = true;
            value = value * 16 + quint64(digit);
            advance();
        }
        Token t = make(Tok::Integer, start, line, column);
        if (overflow) {
            t.kind = Tok::Error;
            t.text = u"Number out of range"_s;
        }
        t.integer = qint64(value);
        return t;
    }
    bool real = false;
    while (isDigit(peek()))
        advance();
    if (peek() == u'.' && isDigit(peek(1))) {
        real = true;
        advance();
        while (isDigit(peek()))
            advance();
    }
    if ((peek() == u'e' || peek() == u'E') &&
        (isDigit(peek(1)) || ((peek(1) == u'+' || peek(1) == u'-') && isDigit(peek(2))))) {
        real = true;
        advance();
        if (peek() == u'+' || peek() == u'-') advance();
        while (isDigit(peek()))
            advance();
    }
    Token t = make(Tok::Integer, start, line, column);
    QByteArray text = m_source.mid(start, m_pos - start).toLatin1();
    if (!real) {
        errno = 0;
        char *end = nullptr;
        long long v = std::strtoll(text.constData(), &end, 10);
        if (errno == 0) {
            t.integer = v;
            return t;
        }
    }
    t.kind = Tok::Float;
    t.real = std::strtod(text.constData(), nullptr);
    if (!std::isfinite(t.real)) {
        t.kind = Tok::Error;
        t.text = u"Number out of range"_s;
    }
    return t;
}

Token Scanner::string(qsizetype start, int line, int column)
{
    QString value;
    for (;;) {
        if (peek() == u'\'') {
            advance();
            for (;;) {
                if (m_pos >= m_source.size() || peek() == u'\n' || peek() == u'\r') {
                    Token t = make(Tok::Error, start, line, column);
                    t.text = u"Unterminated string"_s;
                    return t;
                }
                if (peek() == u'\'') {
                    advance();
                    if (peek() == u'\'') {
                        value.append(u'\'');
                        advance();
                        continue;
                    }
                    break;
                }
                value.append(peek());
                advance();
            }
        } else if (peek() == u'#' && (isDigit(peek(1)) || (peek(1) == u'$' && isHex(peek(2))))) {
            advance();
            uint code = 0;
            if (peek() == u'$') {
                advance();
                while (isHex(peek())) {
                    QChar h = peek();
                    code = std::min<uint>(
                        code * 16 + uint(isDigit(h) ? h.unicode() - '0' : h.toLower().unicode() - 'a' + 10),
                        0x110000);
                    advance();
                }
            } else {
                while (isDigit(peek())) {
                    code = std::min<uint>(code * 10 + uint(peek().unicode() - '0'), 0x110000);
                    advance();
                }
            }
            if (code > 0x10FFFF) {
                Token t = make(Tok::Error, start, line, column);
                t.text = u"Character code out of range"_s;
                return t;
            }
            if (QChar::requiresSurrogates(code)) {
                value.append(QChar(QChar::highSurrogate(code)));
                value.append(QChar(QChar::lowSurrogate(code)));
            } else {
                value.append(QChar(char16_t(code)));
            }
        } else {
            break;
        }
    }
    Token t = make(Tok::String, start, line, column);
    t.text = value;
    return t;
}

bool Scanner::rawUntil(QChar close, QString &text)
{
    qsizetype end = m_source.indexOf(close, m_pos);
    if (end < 0) return false;
    text = m_source.mid(m_pos, end - m_pos);
    while (m_pos <= end)
        advance();
    return true;
}

} // namespace script
