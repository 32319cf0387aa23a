// Statements: assignments, calls, the control structures, declarations, objects and data.
#include <algorithm>
#include <bit>
#include <cmath>

#include "code_generator.h"

namespace tx::txc {

using namespace ::txc::x86;

void CodeGenerator::block(const Block& body) {
    for (const StmtPtr& stmt : body) statement(*stmt);
}

void CodeGenerator::loopBody(const Block& body, Label exit) {
    frame_->loopExits.push_back(exit);
    block(body);
    frame_->loopExits.pop_back();
}

void CodeGenerator::statement(const Stmt& stmt) {
    const SourcePos pos = stmt.pos;
    const bool executable =
        !std::holds_alternative<LabelStmt>(stmt.node) &&
        !std::holds_alternative<ConstStmt>(stmt.node) &&
        !std::holds_alternative<DataStmt>(stmt.node) &&
        !std::holds_alternative<IncludeStmt>(stmt.node) &&
        !(std::holds_alternative<VarDeclStmt>(stmt.node) &&
          std::none_of(std::get<VarDeclStmt>(stmt.node).items.begin(),
                       std::get<VarDeclStmt>(stmt.node).items.end(),
                       [](const VarDeclItem& item) { return item.init != nullptr; }));
    if (options_.debug && executable) emitStatementHook(pos);
    std::visit(
        [&](const auto& node) {
            using T = std::decay_t<decltype(node)>;
            if constexpr (std::is_same_v<T, AssignStmt>) {
                assign(*node.target, *node.value, pos);
            } else if constexpr (std::is_same_v<T, CallStmt>) {
                callStatement(node, pos);
            } else if constexpr (std::is_same_v<T, IfStmt>) {
                ifStmt(node);
            } else if constexpr (std::is_same_v<T, WhileStmt>) {
                const Label body = code_.newLabel();
                const Label check = code_.newLabel();
                const Label exit = code_.newLabel();
                code_.jmp(check);
                code_.bind(body);
                loopBody(node.body, exit);
                code_.bind(check);
                branch(*node.condition, true, body);
                code_.bind(exit);
            } else if constexpr (std::is_same_v<T, RepeatStmt>) {
                const Label body = code_.newLabel();
                const Label exit = code_.newLabel();
                code_.bind(body);
                loopBody(node.body, exit);
                if (node.until)
                    branch(*node.until, false, body);
                else
                    code_.jmp(body);
                code_.bind(exit);
            } else if constexpr (std::is_same_v<T, ForStmt>) {
                forStmt(stmt, node);
            } else if constexpr (std::is_same_v<T, ForEachStmt>) {
                forEachStmt(node, pos);
            } else if constexpr (std::is_same_v<T, ExitStmt>) {
                if (frame_->loopExits.empty())
                    error(pos, "Exit can only be used inside a loop");
                else
                    code_.jmp(frame_->loopExits.back());
            } else if constexpr (std::is_same_v<T, SelectStmt>) {
                selectStmt(stmt, node);
            } else if constexpr (std::is_same_v<T, LabelStmt>) {
                code_.bind(programLabel(node.name));
            } else if constexpr (std::is_same_v<T, GotoStmt>) {
                gotoStmt(node, pos);
            } else if constexpr (std::is_same_v<T, ReturnStmt>) {
                returnStmt(node, pos);
            } else if constexpr (std::is_same_v<T, VarDeclStmt>) {
                varDecl(node);
            } else if constexpr (std::is_same_v<T, DimStmt>) {
                dimStmt(node);
            } else if constexpr (std::is_same_v<T, DeleteStmt>) {
                const ValueType type = generate(*node.object);
                if (!type.isObjectLike())
                    error(pos, "Delete needs an object, not " + describe(type));
                code_.push(Reg::eax);
                callRoutine("__txObjDelete", 4);
            } else if constexpr (std::is_same_v<T, DeleteEachStmt>) {
                if (const TypeInfo* type = symbols_.findType(node.typeName)) {
                    code_.push(addressOf(type->symbol));
                    callRoutine("__txObjDeleteEach", 4);
                } else {
                    error(pos, "there is no type called '" + node.typeName + "'");
                }
            } else if constexpr (std::is_same_v<T, InsertStmt>) {
                const ValueType a = typeOf(*node.object);
                const ValueType b = typeOf(*node.anchor);
                if (a.kind != ValueType::Kind::Object || b.kind != ValueType::Kind::Object) {
                    error(pos, "Insert needs two objects");
                } else if (a.object != b.object) {
                    error(pos, "Insert needs two objects of the same type, not " + describe(a) +
                                   " and " + describe(b));
                }
                generate(*node.anchor);
                checkObject(pos);
                code_.push(Reg::eax);
                generate(*node.object);
                checkObject(pos);
                code_.push(Reg::eax);
                callRoutine(node.before ? "__txObjInsBefore" : "__txObjInsAfter", 8);
            } else if constexpr (std::is_same_v<T, ReadStmt>) {
                readStmt(node);
            } else if constexpr (std::is_same_v<T, RestoreStmt>) {
                int32_t offset = 0;
                if (!node.label.empty()) {
                    const LabelInfo* label =
                        program_.declarations.findLabel(node.label, frame_->function);
                    if (label == nullptr && frame_->function != nullptr)
                        label = program_.declarations.findLabel(node.label, nullptr);
                    if (label == nullptr)
                        error(pos, "there is no label called '" + node.label + "'");
                    else
                        offset = static_cast<int32_t>(8 * label->dataIndex);
                }
                code_.push(addressOf("__DATA", offset));
                callRoutine("__txRestore", 4);
            } else if constexpr (std::is_same_v<T, EndStmt> || std::is_same_v<T, StopStmt>) {
                const CommandInfo* command =
                    commands_.find(std::is_same_v<T, EndStmt> ? "End" : "Stop");
                if (command != nullptr) callRoutine(command->linkKey, 0);
            } else if constexpr (std::is_same_v<T, FunctionStmt> || std::is_same_v<T, TypeStmt>) {
                error(pos, "a Function or Type cannot stand inside a block");
            }
            // Const, Data and Include leave no code where they stand.
        },
        stmt.node);
}

void CodeGenerator::callStatement(const CallStmt& callStmt, SourcePos pos) {
    if (findVariable(callStmt.name) && callStmt.args.empty() &&
        !symbols_.findFunction(callStmt.name) && !commands_.find(callStmt.name)) {
        error(pos, "'" + callStmt.name + "' alone does nothing; did you mean to assign it?");
        return;
    }
    release(call(callStmt.name, callStmt.args, pos, true));
}

void CodeGenerator::assign(const Expr& target, const Expr& value, SourcePos pos) {
    if (const auto* name = std::get_if<NameExpr>(&target.node)) {
        if (!findVariable(name->name)) {
            if (symbols_.findConst(name->name))
                error(pos, "'" + name->name + "' is a constant; it cannot be given a new value");
            else
                error(pos, "'" + name->name + "' is not a variable");
            return;
        }
        const VarRef var = variable(name->name, name->tag, target.pos);
        if (var.vectorCount != 0) {
            error(pos, "'" + name->name + "' is a vector; assign its elements one by one");
            return;
        }
        // x = x + n and x = x - n on an integer: one instruction.
        const auto* sum = std::get_if<BinaryExpr>(&value.node);
        Operand step(0);
        if (var.type.kind == ValueType::Kind::Int && sum != nullptr &&
            (sum->op == BinaryOp::Add || sum->op == BinaryOp::Sub) &&
            std::holds_alternative<NameExpr>(sum->lhs->node) &&
            foldCase(std::get<NameExpr>(sum->lhs->node).name) == foldCase(name->name) &&
            typeOf(*sum->rhs).kind == ValueType::Kind::Int && isSimpleInt(*sum->rhs, step) &&
            !(step.kind == Operand::Kind::mem && !var.inRegister)) {
            const Operand cell = var.inRegister ? Operand(var.reg) : Operand(var.cell);
            if (sum->op == BinaryOp::Add)
                code_.add(cell, step);
            else
                code_.sub(cell, step);
            return;
        }
        generateAs(value, var.type, value.pos);
        storeInto(target, var.type);
        return;
    }
    const ValueType element = typeOf(target);
    Operand simple(0);
    if (element.kind == ValueType::Kind::Int && isSimpleInt(value, simple)) {
        // The cell's address first, then the value straight into it.
        ValueType ignored;
        elementAddress(target, ignored);
        if (simple.kind == Operand::Kind::mem) {
            code_.mov(Reg::ecx, simple);
            simple = Operand(Reg::ecx);
        }
        code_.mov(dword(Reg::eax), simple);
        return;
    }
    generateAs(value, element, value.pos);
    storeInto(target, element);
}

void CodeGenerator::storeInto(const Expr& target, ValueType type) {
    if (const auto* name = std::get_if<NameExpr>(&target.node)) {
        const VarRef var = variable(name->name, name->tag, target.pos);
        switch (var.type.kind) {
            case ValueType::Kind::Float:
                code_.fstp(var.cell);
                return;
            case ValueType::Kind::String:
            case ValueType::Kind::Object:
                code_.push(Reg::eax);
                addressOfCell(var);
                code_.push(Reg::eax);
                callRoutine(
                    var.type.kind == ValueType::Kind::String ? "__txStrStore" : "__txObjStore", 8);
                if (var.inRegister) code_.mov(var.reg, var.cell);
                return;
            default:
                if (var.inRegister)
                    code_.mov(var.reg, Reg::eax);
                else
                    code_.mov(var.cell, Reg::eax);
                return;
        }
    }
    ValueType element;
    if (isPureAddress(target)) {
        // The address costs no call: the value waits in edx or st(0) meanwhile.
        if (type.kind != ValueType::Kind::Float) code_.mov(Reg::edx, Reg::eax);
        elementAddress(target, element);
        switch (type.kind) {
            case ValueType::Kind::Float:
                code_.fstp(dword(Reg::eax));
                return;
            case ValueType::Kind::String:
            case ValueType::Kind::Object:
                code_.push(Reg::edx);
                code_.push(Reg::eax);
                callRoutine(type.kind == ValueType::Kind::String ? "__txStrStore" : "__txObjStore",
                            8);
                return;
            default:
                code_.mov(dword(Reg::eax), Reg::edx);
                return;
        }
    }
    if (type.kind == ValueType::Kind::Float) {
        code_.sub(Reg::esp, 4);
        code_.fstp(dword(Reg::esp));
    } else {
        code_.push(Reg::eax);
    }
    elementAddress(target, element);
    if (type.kind == ValueType::Kind::String || type.kind == ValueType::Kind::Object) {
        code_.push(Reg::eax);
        callRoutine(type.kind == ValueType::Kind::String ? "__txStrStore" : "__txObjStore", 8);
        return;
    }
    code_.pop(Reg::ecx);
    code_.mov(dword(Reg::eax), Reg::ecx);
}

void CodeGenerator::ifStmt(const IfStmt& stmt) {
    // `If c Then Exit`: one jump out of the loop when c holds.
    if (stmt.branches.size() == 1 && !stmt.hasElse && stmt.branches[0].body.size() == 1 &&
        std::holds_alternative<ExitStmt>(stmt.branches[0].body[0]->node) &&
        !frame_->loopExits.empty() && !options_.debug) {
        branch(*stmt.branches[0].condition, true, frame_->loopExits.back());
        return;
    }
    const Label end = code_.newLabel();
    for (size_t i = 0; i < stmt.branches.size(); ++i) {
        const IfBranch& branchPart = stmt.branches[i];
        const Label next = code_.newLabel();
        branch(*branchPart.condition, false, next);
        block(branchPart.body);
        if (i + 1 < stmt.branches.size() || stmt.hasElse) code_.jmp(end);
        code_.bind(next);
    }
    if (stmt.hasElse) block(stmt.elseBody);
    code_.bind(end);
}

void CodeGenerator::forStmt(const Stmt& stmt, const ForStmt& loop) {
    const SourcePos pos = stmt.pos;
    const VarRef var = variable(loop.var, loop.tag, pos);
    if (!var.type.isNumber() || var.vectorCount != 0) {
        error(pos, "the variable of a For loop must be a number, not " + describe(var.type));
        return;
    }
    const bool isFloat = var.type.kind == ValueType::Kind::Float;
    ConstValue stepValue = int32_t{1};
    if (loop.step) {
        if (std::optional<ConstValue> v = symbols_.evaluate(*loop.step, true)) stepValue = *v;
        if (std::holds_alternative<std::string>(stepValue)) {
            error(loop.step->pos, "the Step of a For loop must be a number");
            stepValue = int32_t{1};
        }
    }
    const float stepFloat = std::holds_alternative<float>(stepValue)
                                ? std::get<float>(stepValue)
                                : static_cast<float>(std::get<int32_t>(stepValue));
    const bool down = stepFloat < 0;
    if (stepFloat == 0) error(loop.step->pos, "the Step of a For loop cannot be 0");
    const Mem limitSlot = dword(Reg::ebp, frame_->temps.at(&stmt));

    generateAs(*loop.from, var.type, loop.from->pos);
    storeInto(Expr{pos, 1, NameExpr{loop.var, loop.tag}}, var.type);
    std::optional<ConstValue> constantLimit = symbols_.evaluate(*loop.to, false);
    if (constantLimit && std::holds_alternative<std::string>(*constantLimit)) constantLimit.reset();
    if (isFloat || !constantLimit) {
        generateAs(*loop.to, var.type, loop.to->pos);
        if (isFloat)
            code_.fstp(limitSlot);
        else
            code_.mov(limitSlot, Reg::eax);
    }
    const Label body = code_.newLabel();
    const Label check = code_.newLabel();
    const Label exit = code_.newLabel();
    code_.jmp(check);
    code_.bind(body);
    loopBody(loop.body, exit);
    if (isFloat) {
        code_.fld(var.cell);
        code_.fadd(floatConstant(stepFloat));
        code_.fstp(var.cell);
        code_.bind(check);
        code_.fld(limitSlot);
        code_.fld(var.cell);  // st(0) = the variable, st(1) = the limit
        code_.fcomip(st(1));
        code_.fstp(st(0));
        code_.jcc(down ? Cond::ae : Cond::be, body);
    } else {
        const int32_t step = std::holds_alternative<int32_t>(stepValue)
                                 ? std::get<int32_t>(stepValue)
                                 : static_cast<int32_t>(std::nearbyint(stepFloat));
        const Operand cell = var.inRegister ? Operand(var.reg) : Operand(var.cell);
        if (step == 1)
            code_.inc(cell);
        else if (step == -1)
            code_.dec(cell);
        else
            code_.add(cell, step);
        code_.bind(check);
        if (constantLimit) {
            const int32_t limit =
                std::holds_alternative<int32_t>(*constantLimit)
                    ? std::get<int32_t>(*constantLimit)
                    : static_cast<int32_t>(std::nearbyint(std::get<float>(*constantLimit)));
            code_.cmp(cell, limit);
        } else if (var.inRegister) {
            code_.cmp(var.reg, limitSlot);
        } else {
            code_.mov(Reg::eax, var.cell);
            code_.cmp(Reg::eax, limitSlot);
        }
        code_.jcc(step < 0 ? Cond::ge : Cond::le, body);
    }
    code_.bind(exit);
}

void CodeGenerator::forEachStmt(const ForEachStmt& loop, SourcePos pos) {
    const TypeInfo* type = symbols_.findType(loop.typeName);
    if (type == nullptr) {
        error(pos, "there is no type called '" + loop.typeName + "'");
        return;
    }
    const VarRef var = variable(loop.var, loop.tag, pos);
    if (!(var.type == ValueType::of(type))) {
        error(pos, "the variable of For Each " + type->name + " must be an object of type " +
                       type->name + ", not " + describe(var.type));
        return;
    }
    const Label body = code_.newLabel();
    const Label exit = code_.newLabel();
    code_.push(addressOf(type->symbol));
    addressOfCell(var);
    code_.push(Reg::eax);
    callRoutine("__txObjEachFirst", 8);
    if (var.inRegister) code_.mov(var.reg, var.cell);
    code_.test(Reg::eax, Reg::eax);
    code_.jcc(Cond::e, exit);
    code_.bind(body);
    loopBody(loop.body, exit);
    addressOfCell(var);
    code_.push(Reg::eax);
    callRoutine("__txObjEachNext", 4);
    if (var.inRegister) code_.mov(var.reg, var.cell);
    code_.test(Reg::eax, Reg::eax);
    code_.jcc(Cond::ne, body);
    code_.bind(exit);
}

void CodeGenerator::selectStmt(const Stmt& stmt, const SelectStmt& select) {
    const ValueType type = typeOf(*select.subject);
    const Mem slot = dword(Reg::ebp, frame_->temps.at(&stmt));
    if (!type.isNumber() && type.kind != ValueType::Kind::String) {
        error(stmt.pos, "Select needs a number or a string, not " + describe(type));
        return;
    }
    generate(*select.subject);
    if (type.kind == ValueType::Kind::Float)
        code_.fstp(slot);
    else
        code_.mov(slot, Reg::eax);

    std::vector<Label> bodies;
    for (const SelectCase& c : select.cases) {
        bodies.push_back(code_.newLabel());
        for (const ExprPtr& value : c.values) {
            const ValueType given = typeOf(*value);
            if (type.kind == ValueType::Kind::String) {
                pushValue(*value, type);
                code_.lea(Reg::eax, slot);
                code_.push(Reg::eax);
                callRoutine("__txStrLoad", 4);
                code_.push(Reg::eax);
                callRoutine("__txStrCompare", 8);
                code_.test(Reg::eax, Reg::eax);
            } else if (type.kind == ValueType::Kind::Float ||
                       given.kind == ValueType::Kind::Float) {
                if (type.kind == ValueType::Kind::Int) {
                    fildRounded(slot);
                } else {
                    code_.fld(slot);
                }
                generateAs(*value, ValueType::floating(), value->pos);
                code_.fcomip(st(1));
                code_.fstp(st(0));
            } else {
                Operand simple(0);
                if (isSimpleInt(*value, simple) && simple.kind == Operand::Kind::imm) {
                    code_.cmp(slot, simple);
                } else {
                    generateAs(*value, ValueType::integer(), value->pos);
                    code_.cmp(slot, Reg::eax);
                }
            }
            code_.jcc(Cond::e, bodies.back());
        }
    }
    const Label otherwise = code_.newLabel();
    const Label end = code_.newLabel();
    code_.jmp(otherwise);
    // A string subject is released on entry to whichever body runs.
    const auto enter = [&] {
        if (type.kind != ValueType::Kind::String) return;
        code_.push(slot);
        callRoutine("__txStrRelease", 4);
    };
    for (size_t i = 0; i < select.cases.size(); ++i) {
        code_.bind(bodies[i]);
        enter();
        block(select.cases[i].body);
        code_.jmp(end);
    }
    code_.bind(otherwise);
    enter();
    if (select.hasDefault) block(select.defaultBody);
    code_.bind(end);
}

void CodeGenerator::varDecl(const VarDeclStmt& decl) {
    for (const VarDeclItem& item : decl.items) {
        if (!item.init) continue;
        const Expr target{item.pos, 1, NameExpr{item.name, {}}};
        assign(target, *item.init, item.pos);
    }
}

void CodeGenerator::dimStmt(const DimStmt& dim) {
    for (const DimItem& item : dim.items) {
        const ArrayInfo* array = symbols_.findArray(item.name);
        if (array == nullptr) continue;  // reported where it was collected
        const int32_t d = array->dimensions;
        if (static_cast<int32_t>(item.dims.size()) != d) {
            error(item.pos, "the array '" + item.name + "' has " + std::to_string(d) +
                                (d == 1 ? " dimension" : " dimensions") +
                                " where it was first dimensioned");
            continue;
        }
        if (item.tag.present() &&
            !(symbols_.typeOfTag(item.tag, item.pos, array->element) == array->element)) {
            error(item.pos,
                  "the array '" + item.name + "' was first dimensioned for " +
                      describePlural(array->element) + "; it cannot hold " +
                      describePlural(symbols_.typeOfTag(item.tag, item.pos, array->element)));
        }
        code_.push(addressOf(array->symbol));
        callRoutine("__txUndimArray", 4);
        for (int32_t k = 0; k < d; ++k) {
            generateAs(*item.dims[k], ValueType::integer(), item.dims[k]->pos);
            code_.mov(ptrSym(Width::dword, array->symbol, 12 + 4 * k), Reg::eax);
            code_.inc(Reg::eax);
            code_.mov(ptrSym(Width::dword, array->symbol, 12 + 4 * d + 4 * k), Reg::eax);
        }
        code_.push(addressOf(array->symbol));
        callRoutine("__txDimArray", 4);
    }
}

void CodeGenerator::readStmt(const ReadStmt& read) {
    for (const ExprPtr& target : read.targets) {
        const auto* name = std::get_if<NameExpr>(&target->node);
        if (name != nullptr && !findVariable(name->name)) {
            error(target->pos, "'" + name->name + "' is not a variable");
            continue;
        }
        const ValueType type = typeOf(*target);
        switch (type.kind) {
            case ValueType::Kind::Int:
                callRoutine("__txReadInt", 0);
                break;
            case ValueType::Kind::Float:
                callRoutine("__txReadFloat", 0);
                break;
            case ValueType::Kind::String:
                callRoutine("__txReadStr", 0);
                break;
            default:
                error(target->pos, "Read cannot read " + describe(type));
                continue;
        }
        storeInto(*target, type);
    }
}

void CodeGenerator::gotoStmt(const GotoStmt& jump, SourcePos pos) {
    if (jump.gosub && frame_->function != nullptr) {
        error(pos, "Gosub can only be used in the main program");
        return;
    }
    if (program_.declarations.findLabel(jump.label, frame_->function) == nullptr) {
        error(pos, "there is no label called '" + jump.label + "'" +
                       (frame_->function ? " in this function" : ""));
        return;
    }
    if (jump.gosub)
        code_.call(programLabel(jump.label));
    else
        code_.jmp(programLabel(jump.label));
}

// A label of the program, named as the image names them: "_l", the function's name and a dot
// for a label inside a function, then the label's name, all in lower case.
Label CodeGenerator::programLabel(const std::string& name) {
    const std::string folded = foldCase(name);
    auto [it, added] = frame_->labels.emplace(folded, Label{});
    if (added) {
        const std::string scope = frame_->function ? foldCase(frame_->function->name) + "." : "";
        it->second = code_.newLabel("_l" + scope + folded);
    }
    return it->second;
}

void CodeGenerator::returnStmt(const ReturnStmt& ret, SourcePos pos) {
    if (frame_->function == nullptr) {
        if (ret.value) error(pos, "the main program returns no value");
        code_.ret();  // from a Gosub (or, outside one, the end of the program)
        return;
    }
    if (ret.value) {
        const ValueType result = frame_->info->result;
        const Mem slot = dword(Reg::ebp, frame_->resultOffset);
        generateAs(*ret.value, result, ret.value->pos);
        if (result.kind == ValueType::Kind::Float)
            code_.fstp(slot);
        else
            code_.mov(slot, Reg::eax);
    }
    code_.jmp(frame_->leave);
}

}  // namespace tx::txc
