// Token handling, blocks of statements with their error recovery, and the simple statements.
#include "parser.h"

namespace tx::txc {
namespace {

// A keyword as messages show it, without quotes: "If", "Function".
std::string bare(Tok kind) {
    const std::string quoted = describe(kind);
    return quoted.size() >= 2 ? quoted.substr(1, quoted.size() - 2) : quoted;
}

}  // namespace

Parser::Parser(std::vector<Token> tokens, Diagnostics& diagnostics)
    : tokens_(std::move(tokens)), diagnostics_(diagnostics) {
    if (tokens_.empty() || tokens_.back().kind != Tok::EndOfFile) {
        Token end;
        if (!tokens_.empty()) end.pos = tokens_.back().pos;
        tokens_.push_back(end);
    }
}

const Token& Parser::peek(size_t ahead) const {
    return tokens_[std::min(at_ + ahead, tokens_.size() - 1)];
}

bool Parser::accept(Tok kind) {
    if (!at(kind)) return false;
    advance();
    return true;
}

const Token& Parser::advance() {
    const Token& token = tokens_[at_];
    if (at_ + 1 < tokens_.size()) ++at_;
    return token;
}

void Parser::expect(Tok kind, const std::string& context) {
    if (!at(kind)) {
        fail("expected " + describe(kind) + (context.empty() ? "" : " " + context) + ", found " +
             describe(tok()));
    }
    advance();
}

void Parser::fail(const std::string& message) {
    // The lexer has already reported an unreadable token; one message per fault is enough.
    if (!at(Tok::Error)) diagnostics_.error(tok().pos, message);
    failedInOneLineIf_ = oneLineIfs_ > 0;
    throw ParseError{};
}

void Parser::failAt(SourcePos pos, const std::string& message) {
    diagnostics_.error(pos, message);
    failedInOneLineIf_ = oneLineIfs_ > 0;
    throw ParseError{};
}

bool Parser::atStatementEnd() const {
    return at(Tok::Newline) || at(Tok::Colon) || at(Tok::EndOfFile) ||
           (oneLineIfs_ > 0 && at(Tok::KwElse));
}

void Parser::expectStatementEnd() {
    if (!atStatementEnd()) {
        fail("expected the end of the statement (a new line or ':'), found " + describe(tok()));
    }
}

// After an error: on to the next statement. An error inside a one-line If skips the whole line,
// the rest of which belongs to that If.
void Parser::skipToStatementEnd() {
    const bool wholeLine = failedInOneLineIf_;
    failedInOneLineIf_ = false;
    while (!at(Tok::EndOfFile) && !at(Tok::Newline) && (wholeLine || !at(Tok::Colon))) advance();
}

const Token& Parser::expectName(const std::string& context) {
    if (at(Tok::Ident)) return advance();
    if (isKeyword(tok().kind)) {
        fail("expected " + context + ", found " + describe(tok()) +
             " (a keyword cannot be used as a name)");
    }
    fail("expected " + context + ", found " + describe(tok()));
}

Block Parser::parseFile() {
    Block top = parseBlock(Open::Top);
    return top;
}

// Which open construct a token at the start of a statement closes (or continues): Top for
// `Function` and `Type`, which end every open block.
Parser::Open Parser::closes(const Token& token) const {
    switch (token.kind) {
        case Tok::KwWend:
            return Open::While;
        case Tok::KwUntil:
        case Tok::KwForever:
            return Open::Repeat;
        case Tok::KwNext:
            return Open::For;
        case Tok::KwEndIf:
        case Tok::KwElse:
        case Tok::KwElseIf:
            return Open::If;
        case Tok::KwCase:
        case Tok::KwDefault:
            return Open::Select;
        case Tok::KwFunction:
        case Tok::KwType:
            return Open::Top;
        case Tok::KwEnd: {
            const Tok next = peek(1).kind;  // the token is always the current one
            if (next == Tok::KwIf) return Open::If;
            if (next == Tok::KwSelect) return Open::Select;
            if (next == Tok::KwFunction) return Open::Function;
            if (next == Tok::KwType) return Open::Type;
            return Open::None;
        }
        default:
            return Open::None;
    }
}

bool Parser::isOpen(Open kind) const {
    for (const auto& block : open_) {
        if (block.kind == kind) return true;
    }
    return false;
}

namespace {

struct BlockWords {
    const char* opener;
    const char* closer;
};

BlockWords wordsOf(int kind) {
    static constexpr BlockWords kWords[] = {
        {"", ""},
        {"", ""},
        {"'If'", "'EndIf'"},
        {"'While'", "'Wend'"},
        {"'Repeat'", "'Until' or 'Forever'"},
        {"'For'", "'Next'"},
        {"'Select'", "'End Select'"},
        {"'Function'", "'End Function'"},
        {"'Type'", "'End Type'"},
    };
    return kWords[kind];
}

}  // namespace

std::string Parser::missingCloser(const OpenBlock& block) const {
    const BlockWords words = wordsOf(static_cast<int>(block.kind));
    return std::string(words.closer) + " missing for the " + words.opener + " at line " +
           std::to_string(block.pos.line);
}

// A closer of no open block: `Wend` without `While`.
void Parser::failStrayCloser() {
    std::string closer = describe(tok());
    if (at(Tok::KwEnd)) closer = "'End " + bare(peek(1).kind) + "'";
    fail(closer + " without " + wordsOf(static_cast<int>(closes(tok()))).opener);
}

// The rest of a closing line such as `Wend` or `End If`: nothing may follow.
void Parser::finishCloser() {
    try {
        expectStatementEnd();
    } catch (const ParseError&) {
        skipToStatementEnd();
    }
}

// A block statement ends with its closer line, which it checked itself; cut short by a missing
// closer, it ends where the next statement begins.
bool Parser::endsAtItsCloser(const Stmt& stmt) {
    if (const auto* node = std::get_if<IfStmt>(&stmt.node)) return !node->oneLine;
    return std::holds_alternative<WhileStmt>(stmt.node) ||
           std::holds_alternative<RepeatStmt>(stmt.node) ||
           std::holds_alternative<ForStmt>(stmt.node) ||
           std::holds_alternative<ForEachStmt>(stmt.node) ||
           std::holds_alternative<SelectStmt>(stmt.node) ||
           std::holds_alternative<FunctionStmt>(stmt.node) ||
           std::holds_alternative<TypeStmt>(stmt.node);
}

// Statements up to the token that closes or continues the block's owner, which is left for the
// owner to take. A closer of an outer block ends this block with an error; a closer of no open
// block is an error of its own.
Block Parser::parseBlock(Open owner) {
    Block body;
    while (true) {
        if (at(Tok::Newline) || at(Tok::Colon)) {
            advance();
            continue;
        }
        if (at(Tok::EndOfFile)) {
            if (owner != Open::Top) diagnostics_.error(tok().pos, missingCloser(open_.back()));
            return body;
        }
        const Open closed = closes(tok());
        if (closed != Open::None && !(closed == Open::Top && owner == Open::Top)) {
            if (closed == owner) return body;
            if (owner != Open::Top && (closed == Open::Top || isOpen(closed))) {
                diagnostics_.error(tok().pos, missingCloser(open_.back()));
                return body;
            }
        }
        try {
            if (closed != Open::None && closed != Open::Top) failStrayCloser();
            body.push_back(parseStatement());
            if (!endsAtItsCloser(*body.back())) expectStatementEnd();
        } catch (const ParseError&) {
            skipToStatementEnd();
        }
    }
}

StmtPtr Parser::parseStatement() {
    const Token& token = tok();
    switch (token.kind) {
        case Tok::Ident:
            return parseNameStatement();
        case Tok::Dot:
            return parseLabel();
        case Tok::KwIf:
            return parseIf();
        case Tok::KwWhile:
            return parseWhile();
        case Tok::KwRepeat:
            return parseRepeat();
        case Tok::KwFor:
            return parseFor();
        case Tok::KwSelect:
            return parseSelect();
        case Tok::KwFunction:
            return parseFunction();
        case Tok::KwType:
            return parseType();
        case Tok::KwExit:
            return parseExit();
        case Tok::KwGoto:
        case Tok::KwGosub:
            return parseGoto();
        case Tok::KwReturn:
            return parseReturn();
        case Tok::KwGlobal:
        case Tok::KwLocal:
            return parseVarDecl();
        case Tok::KwDim:
            return parseDim();
        case Tok::KwConst:
            return parseConst();
        case Tok::KwDelete:
            return parseDelete();
        case Tok::KwInsert:
            return parseInsert();
        case Tok::KwData:
            return parseData();
        case Tok::KwRead:
            return parseRead();
        case Tok::KwRestore:
            return parseRestore();
        case Tok::KwInclude:
            return parseInclude();
        case Tok::KwStop:
            return makeStmt(advance().pos, StopStmt{});
        case Tok::KwEnd:
            if (closes(token) != Open::None) failStrayCloser();
            return makeStmt(advance().pos, EndStmt{});
        case Tok::KwField:
            fail("'Field' is only allowed inside a 'Type'");
        default:
            if (closes(token) != Open::None) failStrayCloser();
            fail("expected a statement, found " + describe(token));
    }
}

// `x = e`, `a(i)\f[j] = e`, `Name args`, `Name(args)`, and `Name (a) + b, c` where the first
// argument of a call without parentheses happens to start with one.
StmtPtr Parser::parseNameStatement() {
    const size_t nameAt = at_;
    const Token& name = advance();
    ExprPtr target;
    {
        NestingGuard guard(*this);
        target = parsePostfixChain(parseNameExpression(name));
    }
    if (at(Tok::Eq)) {
        advance();
        ExprPtr value = parseExpression();
        return makeStmt(name.pos, AssignStmt{std::move(target), std::move(value)});
    }
    const bool bareName = std::holds_alternative<NameExpr>(target->node);
    auto* call = std::get_if<CallExpr>(&target->node);
    if (atStatementEnd() && (bareName || call)) {
        ExprList args;
        if (call) args = std::move(call->args);
        return makeStmt(name.pos, CallStmt{name.text, name.tag, std::move(args)});
    }
    // `Name (a)\f` or `Name (a)[i]` not followed by '=' is a call whose first argument starts
    // with a parenthesis; any other element or field must be assigned.
    if (!bareName && !call && tokens_[nameAt + 1].kind != Tok::LParen) {
        fail("expected '=' to give this element or field a value, found " + describe(tok()));
    }
    at_ = nameAt + 1;
    ExprList args;
    while (true) {
        args.push_back(parseExpression());
        if (atStatementEnd()) break;
        if (!at(Tok::Comma)) {
            fail("expected ',' between the arguments of " + describe(name) + ", found " +
                 describe(tok()));
        }
        advance();
    }
    return makeStmt(name.pos, CallStmt{name.text, name.tag, std::move(args)});
}

StmtPtr Parser::parseLabel() {
    const SourcePos pos = tok().pos;
    const bool lineStart = at_ == 0 || tokens_[at_ - 1].kind == Tok::Newline;
    advance();
    const Token& name = expectName("a label name after '.'");
    if (name.tag.present()) failAt(name.pos, "a label name takes no type tag");
    if (!lineStart || !(at(Tok::Newline) || at(Tok::EndOfFile))) {
        failAt(pos, "a label must be on a line of its own");
    }
    return makeStmt(pos, LabelStmt{name.text});
}

StmtPtr Parser::parseGoto() {
    const Token& keyword = advance();
    accept(Tok::Dot);
    const Token& label = expectName("a label name after " + describe(keyword.kind));
    return makeStmt(keyword.pos, GotoStmt{keyword.kind == Tok::KwGosub, label.text});
}

StmtPtr Parser::parseReturn() {
    const SourcePos pos = advance().pos;
    ExprPtr value;
    if (!atStatementEnd()) value = parseExpression();
    return makeStmt(pos, ReturnStmt{std::move(value)});
}

StmtPtr Parser::parseExit() {
    const SourcePos pos = advance().pos;
    for (auto it = open_.rbegin(); it != open_.rend(); ++it) {
        if (it->kind == Open::While || it->kind == Open::Repeat || it->kind == Open::For) {
            return makeStmt(pos, ExitStmt{});
        }
        if (it->kind == Open::Function) break;
    }
    failAt(pos, "'Exit' is only allowed inside a loop (While, Repeat or For)");
}

StmtPtr Parser::parseVarDecl() {
    const Token& keyword = advance();
    const bool global = keyword.kind == Tok::KwGlobal;
    if (global && isOpen(Open::Function)) {
        failAt(keyword.pos, "'Global' cannot be used inside a function; declare it outside");
    }
    VarDeclStmt decl{global, {}};
    do {
        const Token& name = expectName("a variable name after " + describe(keyword.kind));
        VarDeclItem item{name.pos, name.text, name.tag, nullptr, nullptr};
        if (accept(Tok::LBracket)) {
            item.vectorLast = parseExpression();
            expect(Tok::RBracket, "after the size of the vector");
        }
        if (at(Tok::Eq)) {
            if (item.vectorLast) fail("a vector cannot be given a value where it is declared");
            advance();
            item.init = parseExpression();
        }
        decl.items.push_back(std::move(item));
    } while (accept(Tok::Comma));
    return makeStmt(keyword.pos, std::move(decl));
}

StmtPtr Parser::parseDim() {
    const SourcePos pos = advance().pos;
    DimStmt dim;
    do {
        const Token& name = expectName("an array name after 'Dim'");
        if (!at(Tok::LParen)) {
            fail("expected '(' and the sizes of the array after its name, as in Dim a(10), found " +
                 describe(tok()));
        }
        ExprList dims = parseParenthesizedArguments();
        if (dims.empty()) failAt(name.pos, "an array needs at least one dimension");
        dim.items.push_back({name.pos, name.text, name.tag, std::move(dims)});
    } while (accept(Tok::Comma));
    return makeStmt(pos, std::move(dim));
}

StmtPtr Parser::parseConst() {
    const SourcePos pos = advance().pos;
    ConstStmt decl;
    do {
        const Token& name = expectName("a constant name after 'Const'");
        expect(Tok::Eq, "after the name of the constant");
        decl.items.push_back({name.pos, name.text, name.tag, parseExpression()});
    } while (accept(Tok::Comma));
    return makeStmt(pos, std::move(decl));
}

StmtPtr Parser::parseDelete() {
    const SourcePos pos = advance().pos;
    if (accept(Tok::KwEach)) {
        const Token& type = expectName("a type name after 'Delete Each'");
        return makeStmt(pos, DeleteEachStmt{type.text});
    }
    return makeStmt(pos, DeleteStmt{parseExpression()});
}

StmtPtr Parser::parseInsert() {
    const SourcePos pos = advance().pos;
    ExprPtr object = parseExpression();
    bool before = false;
    if (accept(Tok::KwBefore)) {
        before = true;
    } else if (!accept(Tok::KwAfter)) {
        fail("expected 'Before' or 'After' after the object to insert, found " + describe(tok()));
    }
    ExprPtr anchor = parseExpression();
    return makeStmt(pos, InsertStmt{std::move(object), before, std::move(anchor)});
}

StmtPtr Parser::parseData() {
    const SourcePos pos = advance().pos;
    DataStmt data;
    do {
        data.values.push_back(parseConstant("a 'Data' value", false));
    } while (accept(Tok::Comma));
    return makeStmt(pos, std::move(data));
}

StmtPtr Parser::parseRead() {
    const SourcePos pos = advance().pos;
    ReadStmt read;
    do {
        read.targets.push_back(parseLValue("a variable to read into after 'Read'"));
    } while (accept(Tok::Comma));
    return makeStmt(pos, std::move(read));
}

StmtPtr Parser::parseRestore() {
    const SourcePos pos = advance().pos;
    std::string label;
    if (!atStatementEnd()) {
        accept(Tok::Dot);
        label = expectName("a label name after 'Restore'").text;
    }
    return makeStmt(pos, RestoreStmt{label});
}

StmtPtr Parser::parseInclude() {
    const SourcePos pos = advance().pos;
    if (!open_.empty() || oneLineIfs_ > 0) {
        failAt(pos, "'Include' is only allowed at the top level of a file, outside blocks");
    }
    if (!at(Tok::String)) fail("expected a file name in quotes after 'Include'");
    return makeStmt(pos, IncludeStmt{advance().text});
}

}  // namespace tx::txc
