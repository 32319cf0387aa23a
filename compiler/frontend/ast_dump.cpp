#include "ast_dump.h"

#include <charconv>

namespace tx::txc {
namespace {

const char* binaryName(BinaryOp op) {
    switch (op) {
        case BinaryOp::Power:
            return "^";
        case BinaryOp::Mul:
            return "*";
        case BinaryOp::Div:
            return "/";
        case BinaryOp::Mod:
            return "mod";
        case BinaryOp::Shl:
            return "shl";
        case BinaryOp::Shr:
            return "shr";
        case BinaryOp::Sar:
            return "sar";
        case BinaryOp::Add:
            return "+";
        case BinaryOp::Sub:
            return "-";
        case BinaryOp::Eq:
            return "=";
        case BinaryOp::Ne:
            return "<>";
        case BinaryOp::Lt:
            return "<";
        case BinaryOp::Gt:
            return ">";
        case BinaryOp::Le:
            return "<=";
        case BinaryOp::Ge:
            return ">=";
        case BinaryOp::And:
            return "and";
        case BinaryOp::Or:
            return "or";
        case BinaryOp::Xor:
            return "xor";
    }
    return "?";
}

const char* unaryName(UnaryOp op) {
    switch (op) {
        case UnaryOp::Negate:
            return "neg";
        case UnaryOp::Plus:
            return "pos";
        case UnaryOp::BitNot:
            return "~";
        case UnaryOp::Not:
            return "not";
    }
    return "?";
}

std::string floatText(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, result.ptr);
    if (text.find_first_of(".en") == std::string::npos) text += ".0";
    return text;
}

class Dumper {
public:
    std::string out;

    void expr(const Expr* e) {
        if (!e) {
            out += "<error>";
            return;
        }
        std::visit([&](const auto& node) { exprNode(node); }, e->node);
    }

    void stmt(const Stmt& s) {
        std::visit([&](const auto& node) { stmtNode(node); }, s.node);
    }

    void block(const Block& body) {
        out += '(';
        for (size_t i = 0; i < body.size(); ++i) {
            if (i) out += ' ';
            stmt(*body[i]);
        }
        out += ')';
    }

    void function(const FunctionDecl& f) {
        out += "(function " + f.name + f.tag.suffix() + " (";
        for (size_t i = 0; i < f.params.size(); ++i) {
            if (i) out += ' ';
            out += '(' + f.params[i].name + f.params[i].tag.suffix();
            if (f.params[i].defaultValue) {
                out += ' ';
                expr(f.params[i].defaultValue.get());
            }
            out += ')';
        }
        out += ") ";
        block(f.body);
        out += ')';
    }

    void type(const TypeDecl& t) {
        out += "(type " + t.name;
        for (const auto& field : t.fields) {
            out += " (" + field.name + field.tag.suffix();
            if (field.vectorLast) {
                out += " [";
                expr(field.vectorLast.get());
                out += ']';
            }
            out += ')';
        }
        out += ')';
    }

private:
    void list(const ExprList& items) {
        for (const auto& item : items) {
            out += ' ';
            expr(item.get());
        }
    }
    void exprNode(const IntLiteral& n) { out += std::to_string(n.value); }
    void exprNode(const FloatLiteral& n) { out += floatText(n.value); }
    void exprNode(const StringLiteral& n) { out += '"' + n.bytes + '"'; }
    void exprNode(const NullLiteral&) { out += "null"; }
    void exprNode(const NameExpr& n) { out += n.name + n.tag.suffix(); }
    void exprNode(const CallExpr& n) {
        out += "(call " + n.name + n.tag.suffix();
        list(n.args);
        out += ')';
    }
    void exprNode(const IndexExpr& n) {
        out += "(index ";
        expr(n.base.get());
        out += ' ';
        expr(n.index.get());
        out += ')';
    }
    void exprNode(const FieldExpr& n) {
        out += "(field ";
        expr(n.object.get());
        out += ' ' + n.field + n.tag.suffix() + ')';
    }
    void exprNode(const TypeOpExpr& n) {
        const char* name = n.op == TypeOp::New ? "new" : n.op == TypeOp::First ? "first" : "last";
        out += std::string("(") + name + ' ' + n.typeName + ')';
    }
    void exprNode(const ObjectOpExpr& n) {
        const char* name = n.op == ObjectOp::After    ? "after"
                           : n.op == ObjectOp::Before ? "before"
                                                      : "handle";
        out += std::string("(") + name + ' ';
        expr(n.operand.get());
        out += ')';
    }
    void exprNode(const ObjectCastExpr& n) {
        out += "(object " + n.typeName + ' ';
        expr(n.handle.get());
        out += ')';
    }
    void exprNode(const ConvertExpr& n) {
        const char* name = n.to == Conversion::Str   ? "str"
                           : n.to == Conversion::Int ? "int"
                                                     : "float";
        out += std::string("(") + name + ' ';
        expr(n.operand.get());
        out += ')';
    }
    void exprNode(const UnaryExpr& n) {
        out += std::string("(") + unaryName(n.op) + ' ';
        expr(n.operand.get());
        out += ')';
    }
    void exprNode(const BinaryExpr& n) {
        out += std::string("(") + binaryName(n.op) + ' ';
        expr(n.lhs.get());
        out += ' ';
        expr(n.rhs.get());
        out += ')';
    }

    void stmtNode(const AssignStmt& n) {
        out += "(assign ";
        expr(n.target.get());
        out += ' ';
        expr(n.value.get());
        out += ')';
    }
    void stmtNode(const CallStmt& n) {
        out += "(do " + n.name + n.tag.suffix();
        list(n.args);
        out += ')';
    }
    void stmtNode(const IfStmt& n) {
        out += "(if";
        for (size_t i = 0; i < n.branches.size(); ++i) {
            out += i ? " elseif " : " ";
            expr(n.branches[i].condition.get());
            out += ' ';
            block(n.branches[i].body);
        }
        if (n.hasElse) {
            out += " else ";
            block(n.elseBody);
        }
        out += ')';
    }
    void stmtNode(const WhileStmt& n) {
        out += "(while ";
        expr(n.condition.get());
        out += ' ';
        block(n.body);
        out += ')';
    }
    void stmtNode(const RepeatStmt& n) {
        out += "(repeat ";
        block(n.body);
        if (n.until) {
            out += " until ";
            expr(n.until.get());
        } else {
            out += " forever";
        }
        out += ')';
    }
    void stmtNode(const ForStmt& n) {
        out += "(for " + n.var + n.tag.suffix() + ' ';
        expr(n.from.get());
        out += ' ';
        expr(n.to.get());
        if (n.step) {
            out += " step ";
            expr(n.step.get());
        }
        out += ' ';
        block(n.body);
        out += ')';
    }
    void stmtNode(const ForEachStmt& n) {
        out += "(foreach " + n.var + n.tag.suffix() + ' ' + n.typeName + ' ';
        block(n.body);
        out += ')';
    }
    void stmtNode(const ExitStmt&) { out += "(exit)"; }
    void stmtNode(const SelectStmt& n) {
        out += "(select ";
        expr(n.subject.get());
        for (const auto& branch : n.cases) {
            out += " (case";
            list(branch.values);
            out += ' ';
            block(branch.body);
            out += ')';
        }
        if (n.hasDefault) {
            out += " (default ";
            block(n.defaultBody);
            out += ')';
        }
        out += ')';
    }
    void stmtNode(const LabelStmt& n) { out += "(label " + n.name + ')'; }
    void stmtNode(const GotoStmt& n) { out += (n.gosub ? "(gosub " : "(goto ") + n.label + ')'; }
    void stmtNode(const ReturnStmt& n) {
        out += "(return";
        if (n.value) {
            out += ' ';
            expr(n.value.get());
        }
        out += ')';
    }
    void stmtNode(const VarDeclStmt& n) {
        out += n.global ? "(global" : "(local";
        for (const auto& item : n.items) {
            out += " (" + item.name + item.tag.suffix();
            if (item.vectorLast) {
                out += " [";
                expr(item.vectorLast.get());
                out += ']';
            }
            if (item.init) {
                out += ' ';
                expr(item.init.get());
            }
            out += ')';
        }
        out += ')';
    }
    void stmtNode(const DimStmt& n) {
        out += "(dim";
        for (const auto& item : n.items) {
            out += " (" + item.name + item.tag.suffix();
            list(item.dims);
            out += ')';
        }
        out += ')';
    }
    void stmtNode(const ConstStmt& n) {
        out += "(const";
        for (const auto& item : n.items) {
            out += " (" + item.name + item.tag.suffix() + ' ';
            expr(item.value.get());
            out += ')';
        }
        out += ')';
    }
    void stmtNode(const DeleteStmt& n) {
        out += "(delete ";
        expr(n.object.get());
        out += ')';
    }
    void stmtNode(const DeleteEachStmt& n) { out += "(delete-each " + n.typeName + ')'; }
    void stmtNode(const InsertStmt& n) {
        out += "(insert ";
        expr(n.object.get());
        out += n.before ? " before " : " after ";
        expr(n.anchor.get());
        out += ')';
    }
    void stmtNode(const DataStmt& n) {
        out += "(data";
        list(n.values);
        out += ')';
    }
    void stmtNode(const ReadStmt& n) {
        out += "(read";
        list(n.targets);
        out += ')';
    }
    void stmtNode(const RestoreStmt& n) {
        out += n.label.empty() ? std::string("(restore)") : "(restore " + n.label + ')';
    }
    void stmtNode(const EndStmt&) { out += "(end)"; }
    void stmtNode(const StopStmt&) { out += "(stop)"; }
    void stmtNode(const IncludeStmt& n) { out += "(include \"" + n.path + "\")"; }
    void stmtNode(const FunctionStmt& n) { function(*n.decl); }
    void stmtNode(const TypeStmt& n) { type(*n.decl); }
};

}  // namespace

std::string dumpExpr(const Expr* expr) {
    Dumper dumper;
    dumper.expr(expr);
    return dumper.out;
}

std::string dumpStmt(const Stmt& stmt) {
    Dumper dumper;
    dumper.stmt(stmt);
    return dumper.out;
}

std::string dumpProgram(const Program& program) {
    Dumper dumper;
    for (const auto& type : program.types) {
        dumper.type(*type);
        dumper.out += '\n';
    }
    for (const auto& function : program.functions) {
        dumper.function(*function);
        dumper.out += '\n';
    }
    for (const auto& stmt : program.main) {
        dumper.stmt(*stmt);
        dumper.out += '\n';
    }
    return dumper.out;
}

}  // namespace tx::txc
