// Tokens, and tags against hexadecimal and binary literals.
#include <gtest/gtest.h>

#include "lexer.h"

namespace tx::txc {
namespace {

// "kind:text" for each token but the last, tags and values shown where they matter.
std::string tokensOf(const std::string& source) {
    Diagnostics diagnostics;
    const std::vector<Token> tokens = tokenize(source, 0, diagnostics);
    std::string text;
    for (const auto& token : tokens) {
        if (token.kind == Tok::EndOfFile) break;
        if (!text.empty()) text += ' ';
        if (token.kind == Tok::Ident) {
            text += "id:" + token.text + token.tag.suffix();
        } else if (token.kind == Tok::Int) {
            text += "int:" + std::to_string(token.intValue);
        } else if (token.kind == Tok::Float || token.kind == Tok::String) {
            text += (token.kind == Tok::Float ? "float:" : "str:") + token.text;
        } else if (token.kind == Tok::Newline || token.kind == Tok::Error) {
            text += token.kind == Tok::Newline ? "nl" : "error";
        } else {
            text += describe(token.kind) + token.tag.suffix();
        }
    }
    return text;
}

TEST(CompilerLexer, TokensTagsAndLiterals) {
    const std::pair<const char*, const char*> rows[] = {
        // source, tokens
        {"a$ = $FF", "id:a$ '=' int:255"},
        {"b%=%101", "id:b% '=' int:5"},
        {"c# = a %11", "id:c# '=' id:a int:3"},
        {"x$FF", "id:x$ id:FF"},
        {"p.Point\\nxt.Point", "id:p.Point '\\' id:nxt.Point"},
        {"Object.T(h)", "'Object'.T '(' id:h ')'"},
        {"p .T", "id:p '.' id:T"},
        {".5 1. 2e3 1E+2 3e", "float:.5 float:1. float:2e3 float:1E+2 error"},
        {"x.5", "id:x float:.5"},
        {"\"a;b\" ; comment\n\"\"", "str:a;b nl str:"},
        {"WHILE wend Endif ENDIF", "'While' 'Wend' 'EndIf' 'EndIf'"},
        {"<= >= <> < > = =< =>", "'<=' '>=' '<>' '<' '>' '=' '=' '<' '=' '>'"},
        {"$ffffffff %0 $0", "int:4294967295 int:0 int:0"},
        {"2147483648 2147483649", "int:2147483648 error"},
        {"Str$(x)", "'Str' '(' id:x ')'"},
        {"To$FF", "'To' int:255"},
        {"\xEF\xBB\xBFx\n\xEF\xBB\xBF", "id:x nl error"},
    };
    for (const auto& [source, tokens] : rows) EXPECT_EQ(tokensOf(source), tokens) << source;
}

}  // namespace
}  // namespace tx::txc
