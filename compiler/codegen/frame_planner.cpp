// Before a body is generated: which locals it has (declared or implied by use), how often each
// is used (weighted by loop depth), the stack cells of locals and of the temporaries of For and
// Select, and which integer locals live in registers.
#include <algorithm>
#include <cmath>

#include "code_generator.h"

namespace tx::txc {

using namespace ::txc::x86;

namespace {

double weightAt(int depth) {
    return std::pow(8.0, std::min(depth, 6));
}

}  // namespace

int32_t CodeGenerator::allocate(Frame& frame, int32_t bytes) {
    frame.size += bytes;
    return -frame.size;
}

void CodeGenerator::planFrame(Frame& frame, const Block& body) {
    if (frame.info != nullptr) {
        frame.resultOffset = allocate(frame, 4);
        const auto& params = frame.function->params;
        for (size_t i = 0; i < params.size(); ++i) {
            LocalVar var;
            var.name = params[i].name;
            var.type = frame.info->params[i];
            var.param = true;
            var.offset = 8 + static_cast<int32_t>(4 * i);
            frame.locals.emplace(foldCase(params[i].name), std::move(var));
        }
    }
    planBlock(frame, body, 0);

    // The integer and object locals used most go to the registers the calling convention
    // preserves.
    std::vector<LocalVar*> candidates;
    for (auto& [name, var] : frame.locals) {
        const bool kind =
            var.type.kind == ValueType::Kind::Int || var.type.kind == ValueType::Kind::Object;
        if (kind && var.vectorCount == 0 && var.weight > 0) candidates.push_back(&var);
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const LocalVar* a, const LocalVar* b) { return a->weight > b->weight; });
    const Reg registers[] = {Reg::ebx, Reg::esi, Reg::edi};
    for (size_t i = 0; i < candidates.size() && i < 3; ++i) {
        candidates[i]->inRegister = true;
        candidates[i]->reg = registers[i];
        frame.saved.push_back(registers[i]);
    }
    for (auto& [name, var] : frame.locals) {
        // An object variable keeps its cell, which holds its counted reference; the register
        // mirrors the cell and is reloaded whenever the cell changes.
        if (!var.param && (!var.inRegister || var.type.kind == ValueType::Kind::Object))
            var.offset = allocate(frame, 4);
    }
}

void CodeGenerator::planBlock(Frame& frame, const Block& block, int depth) {
    for (const StmtPtr& stmt : block) planStmt(frame, *stmt, depth);
}

void CodeGenerator::planName(Frame& frame, const std::string& name, const TypeTag& tag,
                             SourcePos pos, int depth) {
    const std::string folded = foldCase(name);
    auto it = frame.locals.find(folded);
    if (it == frame.locals.end()) {
        if (symbols_.findGlobal(name) != nullptr || symbols_.findConst(name) != nullptr) return;
        LocalVar var;
        var.name = name;
        var.type = symbols_.typeOfTag(tag, pos, ValueType::integer());
        it = frame.locals.emplace(folded, std::move(var)).first;
    }
    it->second.weight += weightAt(depth);
}

void CodeGenerator::planExpr(Frame& frame, const Expr& expr, int depth) {
    std::visit(
        [&](const auto& node) {
            using T = std::decay_t<decltype(node)>;
            if constexpr (std::is_same_v<T, NameExpr>) {
                planName(frame, node.name, node.tag, expr.pos, depth);
            } else if constexpr (std::is_same_v<T, CallExpr>) {
                for (const ExprPtr& arg : node.args) planExpr(frame, *arg, depth);
            } else if constexpr (std::is_same_v<T, IndexExpr>) {
                planExpr(frame, *node.base, depth);
                planExpr(frame, *node.index, depth);
            } else if constexpr (std::is_same_v<T, FieldExpr>) {
                planExpr(frame, *node.object, depth);
            } else if constexpr (std::is_same_v<T, ObjectOpExpr> ||
                                 std::is_same_v<T, ConvertExpr> || std::is_same_v<T, UnaryExpr>) {
                planExpr(frame, *node.operand, depth);
            } else if constexpr (std::is_same_v<T, ObjectCastExpr>) {
                planExpr(frame, *node.handle, depth);
            } else if constexpr (std::is_same_v<T, BinaryExpr>) {
                planExpr(frame, *node.lhs, depth);
                planExpr(frame, *node.rhs, depth);
            }
        },
        expr.node);
}

void CodeGenerator::planStmt(Frame& frame, const Stmt& stmt, int depth) {
    std::visit(
        [&](const auto& node) {
            using T = std::decay_t<decltype(node)>;
            if constexpr (std::is_same_v<T, AssignStmt>) {
                planExpr(frame, *node.target, depth);
                planExpr(frame, *node.value, depth);
            } else if constexpr (std::is_same_v<T, CallStmt>) {
                for (const ExprPtr& arg : node.args) planExpr(frame, *arg, depth);
            } else if constexpr (std::is_same_v<T, IfStmt>) {
                for (const IfBranch& branch : node.branches) {
                    planExpr(frame, *branch.condition, depth);
                    planBlock(frame, branch.body, depth);
                }
                planBlock(frame, node.elseBody, depth);
            } else if constexpr (std::is_same_v<T, WhileStmt>) {
                planExpr(frame, *node.condition, depth + 1);
                planBlock(frame, node.body, depth + 1);
            } else if constexpr (std::is_same_v<T, RepeatStmt>) {
                planBlock(frame, node.body, depth + 1);
                if (node.until) planExpr(frame, *node.until, depth + 1);
            } else if constexpr (std::is_same_v<T, ForStmt>) {
                planName(frame, node.var, node.tag, stmt.pos, depth + 1);
                planExpr(frame, *node.from, depth);
                planExpr(frame, *node.to, depth);
                frame.temps[&stmt] = allocate(frame, 4);
                planBlock(frame, node.body, depth + 1);
            } else if constexpr (std::is_same_v<T, ForEachStmt>) {
                planName(frame, node.var, node.tag, stmt.pos, depth + 1);
                planBlock(frame, node.body, depth + 1);
            } else if constexpr (std::is_same_v<T, SelectStmt>) {
                planExpr(frame, *node.subject, depth);
                frame.temps[&stmt] = allocate(frame, 4);
                for (const SelectCase& c : node.cases) {
                    for (const ExprPtr& value : c.values) planExpr(frame, *value, depth);
                    planBlock(frame, c.body, depth);
                }
                planBlock(frame, node.defaultBody, depth);
            } else if constexpr (std::is_same_v<T, ReturnStmt>) {
                if (node.value) planExpr(frame, *node.value, depth);
            } else if constexpr (std::is_same_v<T, VarDeclStmt>) {
                for (const VarDeclItem& item : node.items) {
                    if (!node.global) {
                        const std::string folded = foldCase(item.name);
                        const ValueType type =
                            symbols_.typeOfTag(item.tag, item.pos, ValueType::integer());
                        auto it = frame.locals.find(folded);
                        if (it != frame.locals.end()) {
                            if (it->second.param) {
                                error(item.pos, "'" + item.name + "' is already a parameter");
                            } else if (!(it->second.type == type)) {
                                error(item.pos, "the local '" + item.name +
                                                    "' is already used as " +
                                                    describe(it->second.type));
                            }
                        } else {
                            LocalVar var;
                            var.name = item.name;
                            var.type = type;
                            if (item.vectorLast) {
                                var.vectorCount = symbols_.vectorCount(*item.vectorLast);
                                var.vectorSymbol = symbols_.vectorType(type, var.vectorCount);
                            }
                            it = frame.locals.emplace(folded, std::move(var)).first;
                        }
                        it->second.weight += weightAt(depth);
                    }
                    if (item.init) planExpr(frame, *item.init, depth);
                }
            } else if constexpr (std::is_same_v<T, DimStmt>) {
                for (const DimItem& item : node.items)
                    for (const ExprPtr& d : item.dims) planExpr(frame, *d, depth);
            } else if constexpr (std::is_same_v<T, DeleteStmt>) {
                planExpr(frame, *node.object, depth);
            } else if constexpr (std::is_same_v<T, InsertStmt>) {
                planExpr(frame, *node.object, depth);
                planExpr(frame, *node.anchor, depth);
            } else if constexpr (std::is_same_v<T, ReadStmt>) {
                for (const ExprPtr& target : node.targets) planExpr(frame, *target, depth);
            }
        },
        stmt.node);
}

}  // namespace tx::txc
