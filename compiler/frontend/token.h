// The tokens of Tervex Basic.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "source.h"
#include "type_tag.h"

namespace tx::txc {

enum class Tok : uint8_t {
    EndOfFile,
    Newline,
    Colon,
    Error,  // a stretch the lexer already reported; the parser stays silent about it
    Ident,
    Int,
    Float,
    String,
    Plus,
    Minus,
    Star,
    Slash,
    Caret,
    Tilde,
    Eq,
    Ne,
    Lt,
    Gt,
    Le,
    Ge,
    LParen,
    RParen,
    LBracket,
    RBracket,
    Comma,
    Backslash,
    Dot,
    // keywords
    KwAfter,
    KwAnd,
    KwBefore,
    KwCase,
    KwConst,
    KwData,
    KwDefault,
    KwDelete,
    KwDim,
    KwEach,
    KwElse,
    KwElseIf,
    KwEnd,
    KwEndIf,
    KwExit,
    KwFalse,
    KwField,
    KwFirst,
    KwFloat,
    KwFor,
    KwForever,
    KwFunction,
    KwGlobal,
    KwGosub,
    KwGoto,
    KwHandle,
    KwIf,
    KwInclude,
    KwInsert,
    KwInt,
    KwLast,
    KwLocal,
    KwMod,
    KwNew,
    KwNext,
    KwNot,
    KwNull,
    KwObject,
    KwOr,
    KwPi,
    KwRead,
    KwRepeat,
    KwRestore,
    KwReturn,
    KwSar,
    KwSelect,
    KwShl,
    KwShr,
    KwStep,
    KwStop,
    KwStr,
    KwThen,
    KwTo,
    KwTrue,
    KwType,
    KwUntil,
    KwWend,
    KwWhile,
    KwXor,
};

struct Token {
    Tok kind = Tok::EndOfFile;
    SourcePos pos;
    std::string text;      // identifier or keyword as written; string literal bytes
    TypeTag tag;           // tag written right after an identifier (or after `Object`)
    int64_t intValue = 0;  // decimal up to 2^31, hexadecimal and binary up to 2^32 - 1
    bool decimal = false;  // an integer written in decimal
    double floatValue = 0;
};

bool isKeyword(Tok kind);
// The keyword for a lower-case word, or Tok::Ident.
Tok keywordFor(std::string_view lowerWord);
// How a token kind reads in messages: "'Wend'", "'('", "a name", "the end of the line".
std::string describe(Tok kind);
// How a particular token reads in messages, its own spelling where it has one.
std::string describe(const Token& token);

}  // namespace tx::txc
