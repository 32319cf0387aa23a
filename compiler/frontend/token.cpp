#include "token.h"

#include <array>
#include <utility>

namespace tx::txc {
namespace {

struct KeywordName {
    std::string_view lower;
    std::string_view shown;
    Tok kind;
};

constexpr std::array kKeywords = {
    KeywordName{"after", "After", Tok::KwAfter},
    KeywordName{"and", "And", Tok::KwAnd},
    KeywordName{"before", "Before", Tok::KwBefore},
    KeywordName{"case", "Case", Tok::KwCase},
    KeywordName{"const", "Const", Tok::KwConst},
    KeywordName{"data", "Data", Tok::KwData},
    KeywordName{"default", "Default", Tok::KwDefault},
    KeywordName{"delete", "Delete", Tok::KwDelete},
    KeywordName{"dim", "Dim", Tok::KwDim},
    KeywordName{"each", "Each", Tok::KwEach},
    KeywordName{"else", "Else", Tok::KwElse},
    KeywordName{"elseif", "ElseIf", Tok::KwElseIf},
    KeywordName{"end", "End", Tok::KwEnd},
    KeywordName{"endif", "EndIf", Tok::KwEndIf},
    KeywordName{"exit", "Exit", Tok::KwExit},
    KeywordName{"false", "False", Tok::KwFalse},
    KeywordName{"field", "Field", Tok::KwField},
    KeywordName{"first", "First", Tok::KwFirst},
    KeywordName{"float", "Float", Tok::KwFloat},
    KeywordName{"for", "For", Tok::KwFor},
    KeywordName{"forever", "Forever", Tok::KwForever},
    KeywordName{"function", "Function", Tok::KwFunction},
    KeywordName{"global", "Global", Tok::KwGlobal},
    KeywordName{"gosub", "Gosub", Tok::KwGosub},
    KeywordName{"goto", "Goto", Tok::KwGoto},
    KeywordName{"handle", "Handle", Tok::KwHandle},
    KeywordName{"if", "If", Tok::KwIf},
    KeywordName{"include", "Include", Tok::KwInclude},
    KeywordName{"insert", "Insert", Tok::KwInsert},
    KeywordName{"int", "Int", Tok::KwInt},
    KeywordName{"last", "Last", Tok::KwLast},
    KeywordName{"local", "Local", Tok::KwLocal},
    KeywordName{"mod", "Mod", Tok::KwMod},
    KeywordName{"new", "New", Tok::KwNew},
    KeywordName{"next", "Next", Tok::KwNext},
    KeywordName{"not", "Not", Tok::KwNot},
    KeywordName{"null", "Null", Tok::KwNull},
    KeywordName{"object", "Object", Tok::KwObject},
    KeywordName{"or", "Or", Tok::KwOr},
    KeywordName{"pi", "Pi", Tok::KwPi},
    KeywordName{"read", "Read", Tok::KwRead},
    KeywordName{"repeat", "Repeat", Tok::KwRepeat},
    KeywordName{"restore", "Restore", Tok::KwRestore},
    KeywordName{"return", "Return", Tok::KwReturn},
    KeywordName{"sar", "Sar", Tok::KwSar},
    KeywordName{"select", "Select", Tok::KwSelect},
    KeywordName{"shl", "Shl", Tok::KwShl},
    KeywordName{"shr", "Shr", Tok::KwShr},
    KeywordName{"step", "Step", Tok::KwStep},
    KeywordName{"stop", "Stop", Tok::KwStop},
    KeywordName{"str", "Str", Tok::KwStr},
    KeywordName{"then", "Then", Tok::KwThen},
    KeywordName{"to", "To", Tok::KwTo},
    KeywordName{"true", "True", Tok::KwTrue},
    KeywordName{"type", "Type", Tok::KwType},
    KeywordName{"until", "Until", Tok::KwUntil},
    KeywordName{"wend", "Wend", Tok::KwWend},
    KeywordName{"while", "While", Tok::KwWhile},
    KeywordName{"xor", "Xor", Tok::KwXor},
};

}  // namespace

bool isKeyword(Tok kind) {
    return kind >= Tok::KwAfter;
}

Tok keywordFor(std::string_view lowerWord) {
    for (const auto& keyword : kKeywords) {
        if (keyword.lower == lowerWord) return keyword.kind;
    }
    return Tok::Ident;
}

std::string describe(Tok kind) {
    for (const auto& keyword : kKeywords) {
        if (keyword.kind == kind) return "'" + std::string(keyword.shown) + "'";
    }
    switch (kind) {
        case Tok::EndOfFile:
            return "the end of the file";
        case Tok::Newline:
            return "the end of the line";
        case Tok::Colon:
            return "':'";
        case Tok::Error:
            return "an unreadable piece of text";
        case Tok::Ident:
            return "a name";
        case Tok::Int:
            return "a number";
        case Tok::Float:
            return "a number";
        case Tok::String:
            return "a string";
        case Tok::Plus:
            return "'+'";
        case Tok::Minus:
            return "'-'";
        case Tok::Star:
            return "'*'";
        case Tok::Slash:
            return "'/'";
        case Tok::Caret:
            return "'^'";
        case Tok::Tilde:
            return "'~'";
        case Tok::Eq:
            return "'='";
        case Tok::Ne:
            return "'<>'";
        case Tok::Lt:
            return "'<'";
        case Tok::Gt:
            return "'>'";
        case Tok::Le:
            return "'<='";
        case Tok::Ge:
            return "'>='";
        case Tok::LParen:
            return "'('";
        case Tok::RParen:
            return "')'";
        case Tok::LBracket:
            return "'['";
        case Tok::RBracket:
            return "']'";
        case Tok::Comma:
            return "','";
        case Tok::Backslash:
            return "'\\'";
        case Tok::Dot:
            return "'.'";
        default:
            return "a keyword";
    }
}

std::string describe(const Token& token) {
    if (token.kind == Tok::Ident) return "'" + token.text + token.tag.suffix() + "'";
    if (token.kind == Tok::Int || token.kind == Tok::Float) return "the number " + token.text;
    return describe(token.kind);
}

}  // namespace tx::txc
