// Tokens, tags against hexadecimal and binary literals, and byte-counted positions.
#include <gtest/gtest.h>

#include "ast_dump.h"
#include "frontend.h"
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
        switch (token.kind) {
            case Tok::Ident:
                text += "id:" + token.text + token.tag.suffix();
                break;
            case Tok::Int:
                text += "int:" + std::to_string(token.intValue);
                break;
            case Tok::Float:
                text += "float:" + token.text;
                break;
            case Tok::String:
                text += "str:" + token.text;
                break;
            case Tok::Newline:
                text += "nl";
                break;
            case Tok::Error:
                text += "error";
                break;
            default:
                text += describe(token.kind);
                if (token.tag.present()) text += token.tag.suffix();
        }
    }
    return text;
}

TEST(CompilerLexer, TokensTagsAndLiterals) {
    struct Row {
        const char* source;
        const char* tokens;
    };
    const Row rows[] = {
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
        {"a\r\nb", "id:a nl id:b"},
        {"Str$(x)", "'Str' '(' id:x ')'"},
        {"To$FF", "'To' int:255"},
        {"\xEF\xBB\xBFx\n\xEF\xBB\xBF", "id:x nl error"},
    };
    for (const auto& row : rows) EXPECT_EQ(tokensOf(row.source), row.tokens) << row.source;
}

TEST(CompilerLexer, KeywordWithATagIsReportedOnce) {
    const FrontEndResult result = parseSource("x$ = Str$(5)", "k.tx");
    EXPECT_EQ(result.diagnosticsText(), "k.tx:1:9: 'Str' is a keyword and takes no type tag\n");
    EXPECT_EQ(dumpProgram(result.program), "(assign x$ (str 5))\n");
}

// Columns count bytes from 1: a tab and each byte of a multi-byte character count one.
TEST(CompilerLexer, PositionsCountBytes) {
    const FrontEndResult result =
        parseSource("\tx = \"\xC3\xA9\" + y\n  If a Then b = c * 2", "p.tx");
    ASSERT_TRUE(result.ok()) << result.diagnosticsText();
    const auto& main = result.program.main;
    ASSERT_EQ(main.size(), 2u);
    const auto& assign = std::get<AssignStmt>(main[0]->node);
    EXPECT_EQ(main[0]->pos.column, 2u);
    const Expr& sum = *assign.value;
    EXPECT_EQ(sum.pos.column, 11u);  // the '+'
    EXPECT_EQ(std::get<BinaryExpr>(sum.node).rhs->pos.column, 13u);
    EXPECT_EQ(std::get<BinaryExpr>(sum.node).lhs->pos.column, 6u);
    const auto& branch = std::get<IfStmt>(main[1]->node).branches[0];
    EXPECT_EQ(main[1]->pos.line, 2u);
    EXPECT_EQ(main[1]->pos.column, 3u);
    const auto& inner = std::get<AssignStmt>(branch.body[0]->node);
    EXPECT_EQ(branch.body[0]->pos.column, 13u);
    EXPECT_EQ(inner.value->pos.column, 19u);
    EXPECT_EQ(inner.value->height, 2);
}

}  // namespace
}  // namespace tx::txc
