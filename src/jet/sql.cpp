// Tokenizer and recursive-descent parser for the SELECT subset.
#include "jet/sql.h"

#include "jet/error.h"

#include <cctype>
#include <limits>

namespace jet {

namespace {

enum class Tok { Word, Integer, Star, Equals, Semicolon, End };

struct Token {
    Tok kind = Tok::End;
    std::string text;   // as written (a bracketed name without its brackets)
    int64_t value = 0;  // Integer
    bool bracketed = false; // [name]: never a keyword
    int line = 1;
    int column = 1;
};

class Lexer {
public:
    explicit Lexer(const std::string& s) : s_(s) {}

    std::vector<Token> tokens() {
        std::vector<Token> out;
        for (;;) {
            skipSpace();
            Token t;
            t.line = line_;
            t.column = column();
            if (pos_ >= s_.size()) {
                out.push_back(t);
                return out;
            }
            char c = s_[pos_];
            if (c == '*' || c == '=' || c == ';') {
                t.kind = c == '*' ? Tok::Star : c == '=' ? Tok::Equals : Tok::Semicolon;
                t.text = std::string(1, c);
                ++pos_;
            } else if (std::isdigit(uchar(c)) || ((c == '-' || c == '+') && pos_ + 1 < s_.size() &&
                                                  std::isdigit(uchar(s_[pos_ + 1])))) {
                t.kind = Tok::Integer;
                size_t start = pos_++;
                while (pos_ < s_.size() && std::isdigit(uchar(s_[pos_]))) ++pos_;
                t.text = s_.substr(start, pos_ - start);
                t.value = parseInteger(t);
            } else if (c == '[') {
                size_t close = s_.find(']', pos_ + 1);
                if (close == std::string::npos || close == pos_ + 1)
                    fail(t, "unclosed or empty bracketed name");
                t.kind = Tok::Word;
                t.bracketed = true;
                t.text = s_.substr(pos_ + 1, close - pos_ - 1);
                if (t.text.find_first_of("\r\n") != std::string::npos) fail(t, "line break inside a bracketed name");
                pos_ = close + 1;
            } else if (std::isalpha(uchar(c)) || c == '_' || uchar(c) >= 0x80) {
                t.kind = Tok::Word;
                size_t start = pos_;
                while (pos_ < s_.size() && (std::isalnum(uchar(s_[pos_])) || s_[pos_] == '_' || uchar(s_[pos_]) >= 0x80))
                    ++pos_;
                t.text = s_.substr(start, pos_ - start);
            } else {
                fail(t, std::string("unexpected character '") + c + "'");
            }
            out.push_back(t);
        }
    }

private:
    using uchar = unsigned char;
    void skipSpace() {
        while (pos_ < s_.size() && std::isspace(uchar(s_[pos_]))) {
            if (s_[pos_] == '\n') {
                ++line_;
                lineStart_ = pos_ + 1;
            }
            ++pos_;
        }
    }
    int column() const { return int(pos_ - lineStart_) + 1; }
    [[noreturn]] static void fail(const Token& at, const std::string& what) {
        throw Error("SQL: " + what + " at line " + std::to_string(at.line) + ", column " + std::to_string(at.column));
    }
    static int64_t parseInteger(const Token& t) {
        bool negative = t.text[0] == '-';
        size_t i = (t.text[0] == '-' || t.text[0] == '+') ? 1 : 0;
        uint64_t limit = negative ? uint64_t(std::numeric_limits<int64_t>::max()) + 1
                                  : uint64_t(std::numeric_limits<int64_t>::max());
        uint64_t v = 0;
        for (; i < t.text.size(); ++i) {
            uint64_t digit = uint64_t(t.text[i] - '0');
            if (v > (limit - digit) / 10) fail(t, "number " + t.text + " out of range");
            v = v * 10 + digit;
        }
        return negative ? int64_t(0 - v) : int64_t(v);
    }

    const std::string& s_;
    size_t pos_ = 0;
    size_t lineStart_ = 0;
    int line_ = 1;
};

bool keyword(const Token& t, const char* word) {
    if (t.kind != Tok::Word || t.bracketed) return false;
    size_t n = 0;
    for (; word[n]; ++n)
        if (n >= t.text.size() || std::toupper((unsigned char)t.text[n]) != word[n]) return false;
    return n == t.text.size();
}

bool reserved(const Token& t) {
    for (const char* w : {"SELECT", "FROM", "WHERE", "AND", "ORDER", "BY", "ASC", "DESC"})
        if (keyword(t, w)) return true;
    return false;
}

class Parser {
public:
    explicit Parser(std::vector<Token> tokens) : t_(std::move(tokens)) {}

    SelectStatement parse() {
        SelectStatement st;
        expectKeyword("SELECT");
        if (peek().kind != Tok::Star) unexpected("'*' (only SELECT * is supported)");
        next();
        expectKeyword("FROM");
        st.table = name("a table name");
        if (keyword(peek(), "WHERE")) {
            next();
            do {
                Condition c;
                c.column = name("a column name");
                if (peek().kind != Tok::Equals) unexpected("'=' (only column = integer conditions are supported)");
                next();
                if (peek().kind != Tok::Integer) unexpected("an integer");
                c.value = next().value;
                st.where.push_back(c);
            } while (keyword(peek(), "AND") && (next(), true));
        }
        if (keyword(peek(), "ORDER")) {
            next();
            expectKeyword("BY");
            st.orderBy = name("a column name");
            if (keyword(peek(), "ASC")) {
                next();
            } else if (keyword(peek(), "DESC")) {
                next();
                st.descending = true;
            }
        }
        if (peek().kind == Tok::Semicolon) next();
        if (peek().kind != Tok::End) unexpected("the end of the statement");
        return st;
    }

private:
    const Token& peek() const { return t_[pos_]; }
    const Token& next() { return t_[pos_ < t_.size() - 1 ? pos_++ : pos_]; }
    [[noreturn]] void unexpected(const std::string& expected) const {
        const Token& t = peek();
        std::string found = t.kind == Tok::End ? "end of statement" : "'" + t.text + "'";
        throw Error("SQL: unexpected " + found + " at line " + std::to_string(t.line) + ", column " +
                    std::to_string(t.column) + "; expected " + expected);
    }
    void expectKeyword(const char* word) {
        if (!keyword(peek(), word)) unexpected(word);
        next();
    }
    std::string name(const char* what) {
        if (peek().kind != Tok::Word || reserved(peek())) unexpected(what);
        return next().text;
    }

    std::vector<Token> t_;
    size_t pos_ = 0;
};

} // namespace

SelectStatement parseSelect(const std::string& sql) {
    return Parser(Lexer(sql).tokens()).parse();
}

} // namespace jet
