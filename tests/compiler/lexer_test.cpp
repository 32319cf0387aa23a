// Tokens, tags against hexadecimal and binary literals, and byte-counted positions.
#include <gtest/gtest.h>

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
        {"a\r\nb", "id:a nl id:b"},
        {"Str$(x)", "'Str' '(' id:x ')'"},
        {"To$FF", "'To' int:255"},
        {"\xEF\xBB\xBFx\n\xEF\xBB\xBF", "id:x nl error"},
    };
    for (const auto& [source, tokens] : rows) EXPECT_EQ(tokensOf(source), tokens) << source;
}

// Columns count bytes from 1: a tab and each byte of a multi-byte character count one.
TEST(CompilerLexer, PositionsCountBytes) {
    const FrontEndResult result =
        parseSource("\tx = \"\xC3\xA9\" + y\n  If a Then b = c * 2", "p.tx");
    ASSERT_TRUE(result.ok()) << result.diagnosticsText();
    const auto& main = result.program.main;
    ASSERT_EQ(main.size(), 2u);
    const auto& sum = std::get<BinaryExpr>(std::get<AssignStmt>(main[0]->node).value->node);
    const Stmt& inner = *std::get<IfStmt>(main[1]->node).branches[0].body[0];
    std::string positions;
    for (const SourcePos& pos :
         {main[0]->pos, std::get<AssignStmt>(main[0]->node).value->pos, sum.lhs->pos, sum.rhs->pos,
          main[1]->pos, inner.pos, std::get<AssignStmt>(inner.node).value->pos})
        positions += std::to_string(pos.line) + ":" + std::to_string(pos.column) + " ";
    // The statement, the '+', its operands; the If, the statement in it, the '*'.
    EXPECT_EQ(positions, "1:2 1:11 1:6 1:13 2:3 2:13 2:19 ");
}

}  // namespace
}  // namespace tx::txc
