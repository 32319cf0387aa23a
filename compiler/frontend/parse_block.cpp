// Statements that hold blocks: If, While, Repeat, For, Select, Function and Type.
#include "parser.h"

namespace tx::txc {

// Marks a construct open while its block is parsed; refuses nesting deeper than kMaxNesting.
class Parser::BlockGuard {
public:
    BlockGuard(Parser& parser, Open kind, SourcePos pos, std::string forVar = {})
        : parser_(parser) {
        if (parser_.open_.size() >= static_cast<size_t>(kMaxNesting)) {
            parser_.failAt(pos, "blocks are nested too deeply (more than " +
                                    std::to_string(kMaxNesting) + " levels)");
        }
        parser_.open_.push_back({kind, pos, std::move(forVar)});
    }
    ~BlockGuard() { parser_.open_.pop_back(); }
    BlockGuard(const BlockGuard&) = delete;
    BlockGuard& operator=(const BlockGuard&) = delete;

private:
    Parser& parser_;
};

class Parser::OneLineIfGuard {
public:
    explicit OneLineIfGuard(Parser& parser) : parser_(parser) { ++parser_.oneLineIfs_; }
    ~OneLineIfGuard() { --parser_.oneLineIfs_; }
    OneLineIfGuard(const OneLineIfGuard&) = delete;
    OneLineIfGuard& operator=(const OneLineIfGuard&) = delete;

private:
    Parser& parser_;
};

// The first line of a block statement; after an error the block itself is still parsed, so its
// closer does not turn into a second error.
template <class Header>
void Parser::guardedHeader(Header header) {
    try {
        header();
        expectStatementEnd();
    } catch (const ParseError&) {
        skipToStatementEnd();
    }
}

void Parser::refuseInOneLineIf(const std::string& what) {
    if (oneLineIfs_ > 0) {
        fail(what + " cannot be part of a one-line 'If'; write the 'If' as a block");
    }
}

StmtPtr Parser::parseIf() {
    const SourcePos pos = advance().pos;
    IfStmt node;
    ExprPtr condition;
    bool thenMissing = false;
    try {
        condition = parseExpression();
        if (accept(Tok::KwThen)) {
            if (!at(Tok::Newline) && !at(Tok::EndOfFile)) {
                node.branches.push_back({pos, std::move(condition), {}});
                parseOneLineIf(node);
                return makeStmt(pos, std::move(node));
            }
        } else if (!at(Tok::Newline) && !at(Tok::EndOfFile)) {
            thenMissing = true;  // more on the line: a one-line If was meant
            fail("expected 'Then' or the end of the line after the condition, found " +
                 describe(tok()));
        }
    } catch (const ParseError&) {
        // A one-line If loses its line; a block If keeps its block.
        bool oneLine = failedInOneLineIf_ || thenMissing;
        for (size_t i = at_;
             !oneLine && tokens_[i].kind != Tok::Newline && tokens_[i].kind != Tok::EndOfFile;
             ++i) {
            oneLine = tokens_[i].kind == Tok::KwThen && tokens_[i + 1].kind != Tok::Newline &&
                      tokens_[i + 1].kind != Tok::EndOfFile;
        }
        if (oneLine || oneLineIfs_ > 0) {
            failedInOneLineIf_ = true;
            throw;
        }
        skipToStatementEnd();
    }
    refuseInOneLineIf("a block 'If'");
    node.branches.push_back({pos, std::move(condition), {}});
    parseBlockIf(node, pos);
    return makeStmt(pos, std::move(node));
}

// `If c Then a : b Else d : e`, the rest of the line; an inner one-line If takes the first Else.
void Parser::parseOneLineIf(IfStmt& node) {
    BlockGuard block(*this, Open::If, node.branches.front().pos);
    OneLineIfGuard oneLine(*this);
    node.oneLine = true;
    auto statements = [&](Block& body) {
        while (!at(Tok::Newline) && !at(Tok::EndOfFile) && !at(Tok::KwElse)) {
            if (accept(Tok::Colon)) continue;
            body.push_back(parseStatement());
            expectStatementEnd();
        }
    };
    statements(node.branches.front().body);
    if (accept(Tok::KwElse)) {
        node.hasElse = true;
        statements(node.elseBody);
    }
}

void Parser::parseBlockIf(IfStmt& node, SourcePos pos) {
    BlockGuard block(*this, Open::If, pos);
    node.branches.front().body = parseBlock(Open::If);
    while (true) {
        if (at(Tok::KwElseIf)) {
            const SourcePos branchPos = advance().pos;
            if (node.hasElse)
                diagnostics_.error(branchPos, "'ElseIf' after the 'Else' of this 'If'");
            IfBranch branch{branchPos, nullptr, {}};
            guardedHeader([&] {
                branch.condition = parseExpression();
                accept(Tok::KwThen);
            });
            branch.body = parseBlock(Open::If);
            node.branches.push_back(std::move(branch));
        } else if (at(Tok::KwElse)) {
            const SourcePos elsePos = advance().pos;
            if (node.hasElse) diagnostics_.error(elsePos, "a second 'Else' in the same 'If'");
            node.hasElse = true;
            Block body = parseBlock(Open::If);
            for (auto& stmt : body) node.elseBody.push_back(std::move(stmt));
        } else if (at(Tok::KwEndIf)) {
            advance();
            finishCloser();
            return;
        } else if (at(Tok::KwEnd) && peek(1).kind == Tok::KwIf) {
            advance();
            advance();
            finishCloser();
            return;
        } else {
            return;  // the block reported what is missing
        }
    }
}

StmtPtr Parser::parseWhile() {
    refuseInOneLineIf("a 'While' loop");
    const SourcePos pos = advance().pos;
    BlockGuard block(*this, Open::While, pos);
    WhileStmt node;
    guardedHeader([&] { node.condition = parseExpression(); });
    node.body = parseBlock(Open::While);
    if (accept(Tok::KwWend)) finishCloser();
    return makeStmt(pos, std::move(node));
}

StmtPtr Parser::parseRepeat() {
    refuseInOneLineIf("a 'Repeat' loop");
    const SourcePos pos = advance().pos;
    BlockGuard block(*this, Open::Repeat, pos);
    RepeatStmt node;
    node.body = parseBlock(Open::Repeat);
    if (accept(Tok::KwUntil)) {
        guardedHeader([&] { node.until = parseExpression(); });
    } else if (accept(Tok::KwForever)) {
        finishCloser();
    }
    return makeStmt(pos, std::move(node));
}

StmtPtr Parser::parseFor() {
    refuseInOneLineIf("a 'For' loop");
    const SourcePos pos = advance().pos;
    const Token* var = nullptr;
    bool each = false;
    ForStmt counted;
    ForEachStmt overList;
    guardedHeader([&] {
        var = &expectName("a variable name after 'For'");
        expect(Tok::Eq, "after the loop variable");
        if (accept(Tok::KwEach)) {
            each = true;
            overList.typeName = expectName("a type name after 'Each'").text;
            return;
        }
        counted.from = parseExpression();
        expect(Tok::KwTo, "after the start value of the loop");
        counted.to = parseExpression();
        if (accept(Tok::KwStep)) {
            counted.step = parseConstant("the 'Step' of a 'For' loop", true);
        }
    });
    const std::string varName = var ? var->text : std::string();
    BlockGuard block(*this, Open::For, pos, varName);
    Block body = parseBlock(Open::For);
    if (accept(Tok::KwNext)) {
        if (at(Tok::Ident)) {
            const Token& named = advance();
            if (var && foldCase(named.text) != foldCase(varName)) {
                diagnostics_.error(named.pos, "'Next " + named.text + "' does not match the 'For " +
                                                  varName + "' at line " +
                                                  std::to_string(pos.line));
            }
        }
        finishCloser();
    }
    if (each) {
        overList.var = varName;
        overList.tag = var->tag;
        overList.body = std::move(body);
        return makeStmt(pos, std::move(overList));
    }
    counted.var = varName;
    if (var) counted.tag = var->tag;
    counted.body = std::move(body);
    return makeStmt(pos, std::move(counted));
}

bool Parser::continuesSelect() const {
    return at(Tok::KwCase) || at(Tok::KwDefault) ||
           (at(Tok::KwEnd) && peek(1).kind == Tok::KwSelect);
}

StmtPtr Parser::parseSelect() {
    refuseInOneLineIf("a 'Select'");
    const SourcePos pos = advance().pos;
    BlockGuard block(*this, Open::Select, pos);
    SelectStmt node;
    guardedHeader([&] { node.subject = parseExpression(); });
    while (true) {
        if (at(Tok::Newline) || at(Tok::Colon)) {
            advance();
        } else if (at(Tok::KwCase)) {
            SelectCase branch{advance().pos, {}, {}};
            try {
                do {
                    branch.values.push_back(parseExpression());
                } while (accept(Tok::Comma));
            } catch (const ParseError&) {
                skipToStatementEnd();
            }
            branch.body = parseBlock(Open::Select);
            node.cases.push_back(std::move(branch));
            if (!continuesSelect()) break;  // the block reported the missing closer
        } else if (at(Tok::KwDefault)) {
            const SourcePos defaultPos = advance().pos;
            if (node.hasDefault) {
                diagnostics_.error(defaultPos, "a second 'Default' in the same 'Select'");
            }
            node.hasDefault = true;
            Block body = parseBlock(Open::Select);
            for (auto& stmt : body) node.defaultBody.push_back(std::move(stmt));
            if (!continuesSelect()) break;
        } else if (at(Tok::KwEnd) && peek(1).kind == Tok::KwSelect) {
            advance();
            advance();
            finishCloser();
            break;
        } else if (at(Tok::EndOfFile) || closes(tok()) == Open::Top || isOpen(closes(tok()))) {
            diagnostics_.error(tok().pos, missingCloser(open_.back()));
            break;
        } else {
            diagnostics_.error(tok().pos,
                               "expected 'Case', 'Default' or 'End Select' inside the "
                               "'Select', found " +
                                   describe(tok()));
            skipToStatementEnd();
        }
    }
    return makeStmt(pos, std::move(node));
}

StmtPtr Parser::parseFunction() {
    refuseInOneLineIf("a 'Function'");
    const SourcePos pos = advance().pos;
    BlockGuard block(*this, Open::Function, pos);
    auto decl = std::make_unique<FunctionDecl>();
    decl->pos = pos;
    guardedHeader([&] {
        const Token& name = expectName("a function name after 'Function'");
        decl->name = name.text;
        decl->tag = name.tag;
        if (!at(Tok::LParen)) {
            fail(
                "expected '(' after the function name (a function without parameters is "
                "written name()), found " +
                describe(tok()));
        }
        advance();
        if (accept(Tok::RParen)) return;
        while (true) {
            const Token& param = expectName("a parameter name");
            Param entry{param.pos, param.text, param.tag, nullptr};
            if (accept(Tok::Eq)) {
                entry.defaultValue = parseConstant("the default value of a parameter", false);
            }
            decl->params.push_back(std::move(entry));
            if (accept(Tok::RParen)) return;
            if (!at(Tok::Comma)) {
                fail("expected ',' or ')' in the list of parameters, found " + describe(tok()));
            }
            advance();
        }
    });
    decl->body = parseBlock(Open::Function);
    if (at(Tok::KwEnd) && peek(1).kind == Tok::KwFunction) {
        advance();
        advance();
        finishCloser();
    }
    return makeStmt(pos, FunctionStmt{std::move(decl)});
}

StmtPtr Parser::parseType() {
    refuseInOneLineIf("a 'Type'");
    const SourcePos pos = advance().pos;
    BlockGuard block(*this, Open::Type, pos);
    auto decl = std::make_unique<TypeDecl>();
    decl->pos = pos;
    guardedHeader([&] {
        const Token& name = expectName("a type name after 'Type'");
        if (name.tag.present()) failAt(name.pos, "a type name takes no type tag");
        decl->name = name.text;
    });
    while (true) {
        if (at(Tok::Newline) || at(Tok::Colon)) {
            advance();
        } else if (at(Tok::KwEnd) && peek(1).kind == Tok::KwType) {
            advance();
            advance();
            finishCloser();
            break;
        } else if (at(Tok::EndOfFile) || closes(tok()) == Open::Top) {
            diagnostics_.error(tok().pos, missingCloser(open_.back()));
            break;
        } else if (at(Tok::KwField)) {
            try {
                advance();
                do {
                    const Token& name = expectName("a field name after 'Field'");
                    FieldDecl field{name.pos, name.text, name.tag, nullptr};
                    if (accept(Tok::LBracket)) {
                        field.vectorLast = parseExpression();
                        expect(Tok::RBracket, "after the size of the vector");
                    }
                    decl->fields.push_back(std::move(field));
                } while (accept(Tok::Comma));
                expectStatementEnd();
            } catch (const ParseError&) {
                skipToStatementEnd();
            }
        } else {
            if (!at(Tok::Error)) {
                diagnostics_.error(tok().pos, "only 'Field' lines may be inside a 'Type', found " +
                                                  describe(tok()));
            }
            skipToStatementEnd();
        }
    }
    return makeStmt(pos, TypeStmt{std::move(decl)});
}

}  // namespace tx::txc
