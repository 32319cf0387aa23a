#include "lexer.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>

namespace tx::txc {
namespace {

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isWordChar(char c) {
    return isLetter(c) || isDigit(c) || c == '_';
}
bool isHexDigit(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
int hexValue(char c) {
    if (isDigit(c)) return c - '0';
    return (c | 0x20) - 'a' + 10;
}
char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

std::string characterName(unsigned char c) {
    if (c > 32 && c < 127) return std::string("'") + static_cast<char>(c) + "'";
    static const char* digits = "0123456789ABCDEF";
    return std::string("(byte 0x") + digits[c >> 4] + digits[c & 15] + ")";
}

// Roughly where the first significant digit of a decimal number stands: > 0 for numbers of 1 and
// more, <= 0 for smaller ones. Tells an overflowing float literal from an underflowing one.
int64_t decimalMagnitude(std::string_view text) {
    size_t i = 0;
    int64_t magnitude = 0;
    while (i < text.size() && text[i] == '0') ++i;
    while (i < text.size() && isDigit(text[i])) ++i, ++magnitude;
    if (magnitude == 0 && i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && text[i] == '0') ++i, --magnitude;
    }
    const size_t e = text.find_first_of("eE");
    if (e != std::string_view::npos) {
        int64_t exponent = 0;
        const bool negative = text[e + 1] == '-';
        for (size_t j = e + 1; j < text.size(); ++j) {
            if (isDigit(text[j]))
                exponent = std::min<int64_t>(exponent * 10 + (text[j] - '0'), 1 << 20);
        }
        magnitude += negative ? -exponent : exponent;
    }
    return magnitude;
}

class Lexer {
public:
    Lexer(std::string_view bytes, uint32_t file, Diagnostics& diagnostics)
        : src_(bytes), file_(file), diagnostics_(diagnostics) {}

    std::vector<Token> run() {
        // Editors on Windows may start a file with a UTF-8 byte order mark; it is no character.
        if (src_.substr(0, 3) == "\xEF\xBB\xBF") at_ = 3;
        while (true) {
            skipBlanksAndComments();
            if (at_ >= src_.size()) break;
            lexOne();
        }
        Token end;
        end.kind = Tok::EndOfFile;
        end.pos = here();
        tokens_.push_back(end);
        return std::move(tokens_);
    }

private:
    char peek(size_t ahead = 0) const {
        return at_ + ahead < src_.size() ? src_[at_ + ahead] : '\0';
    }
    SourcePos here() const { return {file_, line_, static_cast<uint32_t>(at_ - lineStart_ + 1)}; }
    Token& push(Tok kind, SourcePos pos, size_t start) {
        Token token;
        token.kind = kind;
        token.pos = pos;
        token.text = std::string(src_.substr(start, at_ - start));
        tokens_.push_back(std::move(token));
        return tokens_.back();
    }
    void error(SourcePos pos, std::string message) { diagnostics_.error(pos, std::move(message)); }

    void skipBlanksAndComments() {
        while (at_ < src_.size()) {
            char c = src_[at_];
            if (c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f') {
                ++at_;
            } else if (c == ';') {
                while (at_ < src_.size() && src_[at_] != '\n') ++at_;
            } else {
                break;
            }
        }
    }

    void lexOne() {
        const SourcePos pos = here();
        const size_t start = at_;
        const char c = src_[at_];
        if (c == '\n') {
            ++at_;
            push(Tok::Newline, pos, start);
            ++line_;
            lineStart_ = at_;
            return;
        }
        if (isLetter(c)) return lexWord(pos, start);
        if (isDigit(c) || (c == '.' && isDigit(peek(1)))) return lexDecimal(pos, start);
        if (c == '"') return lexString(pos, start);
        if (c == '$') return lexBased(pos, start, 16);
        if (c == '%') return lexBased(pos, start, 2);
        if (c == '_') {
            while (at_ < src_.size() && isWordChar(src_[at_])) ++at_;
            error(pos, "a name must start with a letter, not '_'");
            push(Tok::Error, pos, start);
            return;
        }
        ++at_;
        switch (c) {
            case '+':
                push(Tok::Plus, pos, start);
                return;
            case '-':
                push(Tok::Minus, pos, start);
                return;
            case '*':
                push(Tok::Star, pos, start);
                return;
            case '/':
                push(Tok::Slash, pos, start);
                return;
            case '^':
                push(Tok::Caret, pos, start);
                return;
            case '~':
                push(Tok::Tilde, pos, start);
                return;
            case '=':
                push(Tok::Eq, pos, start);
                return;
            case '(':
                push(Tok::LParen, pos, start);
                return;
            case ')':
                push(Tok::RParen, pos, start);
                return;
            case '[':
                push(Tok::LBracket, pos, start);
                return;
            case ']':
                push(Tok::RBracket, pos, start);
                return;
            case ',':
                push(Tok::Comma, pos, start);
                return;
            case '\\':
                push(Tok::Backslash, pos, start);
                return;
            case ':':
                push(Tok::Colon, pos, start);
                return;
            case '.':
                push(Tok::Dot, pos, start);
                return;
            case '<':
                if (peek() == '=') {
                    ++at_;
                    push(Tok::Le, pos, start);
                } else if (peek() == '>') {
                    ++at_;
                    push(Tok::Ne, pos, start);
                } else {
                    push(Tok::Lt, pos, start);
                }
                return;
            case '>':
                if (peek() == '=') {
                    ++at_;
                    push(Tok::Ge, pos, start);
                } else {
                    push(Tok::Gt, pos, start);
                }
                return;
            default:
                // A character of several bytes (UTF-8 text outside a string) is one fault.
                if (static_cast<unsigned char>(c) >= 0x80) {
                    while (at_ < src_.size() && static_cast<unsigned char>(src_[at_]) >= 0x80) {
                        ++at_;
                    }
                }
                error(pos, "unknown character " + characterName(static_cast<unsigned char>(c)));
                push(Tok::Error, pos, start);
                return;
        }
    }

    // A tag character right after a keyword that does not start a `$FF` or `%101` literal.
    bool startsMisplacedTag() const {
        const char c = peek();
        return c == '#' || (c == '$' && !isHexDigit(peek(1))) ||
               (c == '%' && peek(1) != '0' && peek(1) != '1');
    }

    void lexWord(SourcePos pos, size_t start) {
        std::string lowered;
        while (at_ < src_.size() && isWordChar(src_[at_])) lowered += lower(src_[at_++]);
        const Tok kind = keywordFor(lowered);
        Token& token = push(kind, pos, start);
        // A tag follows a name with no space between. Keywords take none, except `Object.T`.
        if (kind == Tok::Ident) {
            const char t = peek();
            if (t == '%' || t == '#' || t == '$') {
                ++at_;
                token.tag.kind = t == '%'   ? TypeTag::Kind::Int
                                 : t == '#' ? TypeTag::Kind::Float
                                            : TypeTag::Kind::String;
                return;
            }
        }
        if (kind != Tok::Ident && startsMisplacedTag()) {
            // `Str$(x)`: a tag where no literal can start; say what is wrong with it.
            error(here(), "'" + token.text + "' is a keyword and takes no type tag");
            ++at_;
            return;
        }
        if ((kind == Tok::Ident || kind == Tok::KwObject) && peek() == '.' && isLetter(peek(1))) {
            ++at_;
            const size_t nameStart = at_;
            while (at_ < src_.size() && isWordChar(src_[at_])) ++at_;
            token.tag.kind = TypeTag::Kind::Object;
            token.tag.typeName = std::string(src_.substr(nameStart, at_ - nameStart));
        }
    }

    // A number must not run straight into a name or into digits of another base: `2abc`, `$FFZ`,
    // `%102`.
    bool rejectTrailingWord(SourcePos pos, size_t start, int base) {
        if (at_ >= src_.size() || !isWordChar(src_[at_])) return false;
        const char bad = src_[at_];
        while (at_ < src_.size() && isWordChar(src_[at_])) ++at_;
        if (base == 2 && isDigit(bad)) {
            error(pos, std::string("'") + bad + "' is not a binary digit (0 or 1)");
        } else if (base == 16 && isLetter(bad)) {
            error(pos, std::string("'") + bad + "' is not a hexadecimal digit (0-9, A-F)");
        } else {
            error(pos,
                  "a number cannot be followed directly by a letter; put a space or an "
                  "operator between them");
        }
        push(Tok::Error, pos, start);
        return true;
    }

    void lexDecimal(SourcePos pos, size_t start) {
        bool isFloat = false;
        while (isDigit(peek())) ++at_;
        if (peek() == '.' && !isLetter(peek(1))) {
            isFloat = true;
            ++at_;
            while (isDigit(peek())) ++at_;
        }
        if ((peek() == 'e' || peek() == 'E') &&
            (isDigit(peek(1)) || ((peek(1) == '+' || peek(1) == '-') && isDigit(peek(2))))) {
            isFloat = true;
            at_ += 2;
            while (isDigit(peek())) ++at_;
        }
        if (rejectTrailingWord(pos, start, 10)) return;
        const std::string_view text = src_.substr(start, at_ - start);
        if (isFloat) {
            double value = 0;
            const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
            if (result.ec == std::errc::result_out_of_range && decimalMagnitude(text) <= 0) {
                value = 0;  // too small to tell from zero: it is zero
            } else if (result.ec != std::errc() || !std::isfinite(value) || value > FLT_MAX) {
                error(pos, "this number is too large for a float");
                push(Tok::Error, pos, start);
                return;
            }
            push(Tok::Float, pos, start).floatValue = value;
            return;
        }
        int64_t value = 0;
        for (char d : text) {
            value = value * 10 + (d - '0');
            if (value > 2147483648LL) {
                error(pos, "this number is too large for an integer (the largest is 2147483647)");
                push(Tok::Error, pos, start);
                return;
            }
        }
        Token& token = push(Tok::Int, pos, start);
        token.intValue = value;
        token.decimal = true;
    }

    void lexBased(SourcePos pos, size_t start, int base) {
        ++at_;  // the `$` or `%`
        const bool hex = base == 16;
        auto isDigitOfBase = [&](char c) { return hex ? isHexDigit(c) : (c == '0' || c == '1'); };
        if (!isDigitOfBase(peek())) {
            error(pos, hex ? "'$' must be followed by hexadecimal digits, as in $FF"
                           : "'%' must be followed by binary digits (0 and 1), as in %1010");
            push(Tok::Error, pos, start);
            return;
        }
        uint64_t value = 0;
        bool overflow = false;
        while (isDigitOfBase(peek())) {
            value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(hexValue(peek()));
            if (value > 0xFFFFFFFFull) {
                overflow = true;
                value = 0;
            }
            ++at_;
        }
        if (rejectTrailingWord(pos, start, base)) return;
        if (overflow) {
            error(pos, hex ? "this hexadecimal number has more than 32 bits"
                           : "this binary number has more than 32 bits");
            push(Tok::Error, pos, start);
            return;
        }
        push(Tok::Int, pos, start).intValue = static_cast<int64_t>(value);
    }

    void lexString(SourcePos pos, size_t start) {
        ++at_;
        const size_t contentStart = at_;
        while (at_ < src_.size() && src_[at_] != '"' && src_[at_] != '\n') ++at_;
        std::string content(src_.substr(contentStart, at_ - contentStart));
        if (at_ < src_.size() && src_[at_] == '"') {
            ++at_;
        } else {
            error(pos, "this string is not closed before the end of the line");
        }
        push(Tok::String, pos, start).text = std::move(content);
    }

    std::string_view src_;
    uint32_t file_;
    Diagnostics& diagnostics_;
    size_t at_ = 0;
    size_t lineStart_ = 0;
    uint32_t line_ = 1;
    std::vector<Token> tokens_;
};

}  // namespace

std::vector<Token> tokenize(std::string_view bytes, uint32_t file, Diagnostics& diagnostics) {
    return Lexer(bytes, file, diagnostics).run();
}

}  // namespace tx::txc
