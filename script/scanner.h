// Turns PascalScript source into tokens, one at a time. Identifiers and keywords ignore letter
// case; comments are // to the end of the line, { … } and (* … *).
#pragma once

#include <QString>

namespace script {

enum class Tok {
    End,
    Error, // text() holds the message
    Identifier,
    Integer,
    Float,
    String,
    // punctuation
    Plus,
    Minus,
    Star,
    Slash,
    Equal,
    NotEqual,
    Less,
    Greater,
    LessEqual,
    GreaterEqual,
    Assign,
    LeftParen,
    RightParen,
    LeftBracket,
    RightBracket,
    Comma,
    Semicolon,
    Colon,
    Dot,
    DotDot,
    Caret,
    At,
    // keywords
    And,
    Array,
    Begin,
    Break,
    Case,
    Const,
    Continue,
    Div,
    Do,
    Downto,
    Else,
    EndKw,
    Except,
    Exit,
    False,
    Finally,
    For,
    Function,
    If,
    In,
    Is,
    Mod,
    Nil,
    Not,
    Of,
    Or,
    Procedure,
    Program,
    Repeat,
    Shl,
    Shr,
    Then,
    To,
    True,
    Try,
    Until,
    Uses,
    Var,
    While,
    With,
    Xor
};

struct Token {
    Tok kind = Tok::End;
    qsizetype start = 0;  // offset of the first character in the source
    qsizetype length = 0; // characters of source
    int line = 1;
    int column = 1;
    qint64 integer = 0; // Integer
    double real = 0;    // Float
    QString text;       // String value, identifier spelling, or error message
};

class Scanner {
public:
    explicit Scanner(const QString &source) : m_source(source) {}

    Token next();
    // Reads raw text up to (not including) Close and skips Close; for the <text> shorthand.
    // Returns false at the end of the source.
    bool rawUntil(QChar close, QString &text);
    const QString &source() const { return m_source; }
    qsizetype position() const { return m_pos; }

    static QString spelling(Tok kind); // "':='", "'begin'", … for messages

private:
    QChar peek(qsizetype ahead = 0) const
    {
        return m_pos + ahead < m_source.size() ? m_source.at(m_pos + ahead) : QChar();
    }
    void advance();
    bool skipBlanksAndComments(Token &error);
    Token make(Tok kind, qsizetype start, int line, int column) const;
    Token number(qsizetype start, int line, int column);
    Token string(qsizetype start, int line, int column);

    QString m_source;
    qsizetype m_pos = 0;
    int m_line = 1;
    int m_column = 1;
};

} // namespace script
