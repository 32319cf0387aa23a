// The parser of one file's tokens. Errors are reported as they are found; the parser then skips to
// the end of the statement and goes on. Expressions and blocks nest at most kMaxNesting deep, so no
// input can exhaust the stack.
#pragma once

#include <string>
#include <vector>

#include "ast.h"
#include "diagnostics.h"
#include "token.h"

namespace tx::txc {

class Parser {
public:
    Parser(std::vector<Token> tokens, Diagnostics& diagnostics);

    // The file's top-level statements in order, its Function, Type and Include among them.
    Block parseFile();

private:
    struct ParseError {};
    // The constructs a block can belong to; Top is a file's top level.
    // (The order is that of the table of their words in parse_statement.cpp.)
    enum class Open : uint8_t { None, Top, If, While, Repeat, For, Select, Function, Type };
    struct OpenBlock {
        Open kind;
        SourcePos pos;
        std::string forVar;
    };
    class NestingGuard;
    class BlockGuard;
    class OneLineIfGuard;

    template <class Node>
    static StmtPtr makeStmt(SourcePos pos, Node node) {
        auto stmt = std::make_unique<Stmt>();
        stmt->pos = pos;
        stmt->node = std::move(node);
        return stmt;
    }

    // tokens
    const Token& tok() const { return tokens_[at_]; }
    const Token& peek(size_t ahead) const;
    bool at(Tok kind) const { return tok().kind == kind; }
    bool accept(Tok kind);
    const Token& advance();
    void expect(Tok kind, const std::string& context);
    [[noreturn]] void fail(const std::string& message);
    [[noreturn]] void failAt(SourcePos pos, const std::string& message);
    bool atStatementEnd() const;
    void expectStatementEnd();
    void skipToStatementEnd();
    const Token& expectName(const std::string& context);

    // expressions (parse_expression.cpp)
    ExprPtr parseExpression();
    ExprPtr parseComparison();
    ExprPtr parseAdditive();
    ExprPtr parseMultiplicative();
    ExprPtr parseUnary();
    ExprPtr parsePowerOperand();
    ExprPtr parseSigned(bool withPower);
    ExprPtr parsePostfix();
    ExprPtr parsePostfixChain(ExprPtr base);
    ExprPtr parsePrimary();
    ExprPtr parseNameExpression(const Token& name);
    ExprList parseParenthesizedArguments();
    ExprPtr parseLValue(const std::string& context);
    ExprPtr parseConstant(const std::string& what, bool numbersOnly);
    template <class Node>
    ExprPtr makeExpr(SourcePos pos, Node node);

    // statements (parse_statement.cpp)
    Block parseBlock(Open owner);
    Open closes(const Token& token) const;
    bool isOpen(Open kind) const;
    std::string missingCloser(const OpenBlock& block) const;
    StmtPtr parseStatement();
    StmtPtr parseNameStatement();
    StmtPtr parseLabel();
    StmtPtr parseGoto();
    StmtPtr parseReturn();
    StmtPtr parseVarDecl();
    StmtPtr parseDim();
    StmtPtr parseConst();
    StmtPtr parseDelete();
    StmtPtr parseInsert();
    StmtPtr parseData();
    StmtPtr parseRead();
    StmtPtr parseRestore();
    StmtPtr parseInclude();
    StmtPtr parseExit();
    [[noreturn]] void failStrayCloser();
    void finishCloser();
    static bool endsAtItsCloser(const Stmt& stmt);

    // blocks (parse_block.cpp)
    StmtPtr parseIf();
    void parseOneLineIf(IfStmt& node);
    void parseBlockIf(IfStmt& node, SourcePos pos);
    StmtPtr parseWhile();
    StmtPtr parseRepeat();
    StmtPtr parseFor();
    StmtPtr parseSelect();
    bool continuesSelect() const;
    StmtPtr parseFunction();
    StmtPtr parseType();
    template <class Header>
    void guardedHeader(Header header);
    void refuseInOneLineIf(const std::string& what);

    std::vector<Token> tokens_;
    Diagnostics& diagnostics_;
    size_t at_ = 0;
    int expressionDepth_ = 0;
    int oneLineIfs_ = 0;
    bool failedInOneLineIf_ = false;
    std::vector<OpenBlock> open_;
};

// Counts the recursion of the expression parser; past kMaxNesting the expression is refused.
class Parser::NestingGuard {
public:
    explicit NestingGuard(Parser& parser) : parser_(parser) {
        if (++parser_.expressionDepth_ > kMaxNesting) {
            --parser_.expressionDepth_;
            parser_.fail("this expression is nested too deeply (more than " +
                         std::to_string(kMaxNesting) + " levels)");
        }
    }
    ~NestingGuard() { --parser_.expressionDepth_; }
    NestingGuard(const NestingGuard&) = delete;
    NestingGuard& operator=(const NestingGuard&) = delete;

private:
    Parser& parser_;
};

}  // namespace tx::txc
