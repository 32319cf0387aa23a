#include "declarations.h"

#include <set>

namespace tx::txc {

const FunctionDecl* Declarations::findFunction(std::string_view name) const {
    const auto it = functions.find(foldCase(name));
    return it == functions.end() ? nullptr : it->second;
}

const TypeDecl* Declarations::findType(std::string_view name) const {
    const auto it = types.find(foldCase(name));
    return it == types.end() ? nullptr : it->second;
}

const LabelInfo* Declarations::findLabel(std::string_view name,
                                         const FunctionDecl* function) const {
    const auto it = labelIndex.find({function, foldCase(name)});
    return it == labelIndex.end() ? nullptr : &labels[it->second];
}

// "line 3", or "line 3 of lib.tx" when that is another file than the one being reported on.
std::string DeclarationCollector::where(SourcePos pos) const {
    std::string text = "line " + std::to_string(pos.line);
    if (pos.file < files_.size() && files_.size() > 1)
        text += " of " + files_[pos.file].displayName;
    return text;
}

void DeclarationCollector::function(const FunctionDecl& decl) {
    if (decl.name.empty()) return;  // its header was wrong and already reported
    const auto [it, added] = declarations_.functions.emplace(foldCase(decl.name), &decl);
    if (!added) {
        diagnostics_.error(decl.pos, "the function '" + decl.name + "' is already defined at " +
                                         where(it->second->pos));
    }
    std::set<std::string> params;
    bool defaults = false;
    for (const auto& param : decl.params) {
        if (!params.insert(foldCase(param.name)).second) {
            diagnostics_.error(param.pos, "the parameter '" + param.name + "' appears twice");
        }
        if (param.defaultValue) {
            defaults = true;
        } else if (defaults) {
            diagnostics_.error(param.pos, "the parameter '" + param.name +
                                              "' needs a default value, as the one before it has");
        }
    }
    walkBlock(decl.body, &decl);
}

void DeclarationCollector::type(const TypeDecl& decl) {
    if (decl.name.empty()) return;
    const auto [it, added] = declarations_.types.emplace(foldCase(decl.name), &decl);
    if (!added) {
        diagnostics_.error(decl.pos, "the type '" + decl.name + "' is already defined at " +
                                         where(it->second->pos));
    }
    std::map<std::string, SourcePos> fields;
    for (const auto& field : decl.fields) {
        const auto [seen, fresh] = fields.emplace(foldCase(field.name), field.pos);
        if (!fresh) {
            diagnostics_.error(field.pos, "the field '" + field.name + "' is already in type '" +
                                              decl.name + "' at " + where(seen->second));
        }
    }
}

void DeclarationCollector::walkBlock(const Block& block, const FunctionDecl* scope) {
    for (const auto& stmt : block) walk(*stmt, scope);
}

void DeclarationCollector::walk(const Stmt& stmt, const FunctionDecl* scope) {
    if (const auto* node = std::get_if<IfStmt>(&stmt.node)) {
        for (const auto& branch : node->branches) walkBlock(branch.body, scope);
        walkBlock(node->elseBody, scope);
    } else if (const auto* loop = std::get_if<WhileStmt>(&stmt.node)) {
        walkBlock(loop->body, scope);
    } else if (const auto* repeat = std::get_if<RepeatStmt>(&stmt.node)) {
        walkBlock(repeat->body, scope);
    } else if (const auto* counted = std::get_if<ForStmt>(&stmt.node)) {
        walkBlock(counted->body, scope);
    } else if (const auto* each = std::get_if<ForEachStmt>(&stmt.node)) {
        walkBlock(each->body, scope);
    } else if (const auto* select = std::get_if<SelectStmt>(&stmt.node)) {
        for (const auto& branch : select->cases) walkBlock(branch.body, scope);
        walkBlock(select->defaultBody, scope);
    } else if (const auto* decl = std::get_if<VarDeclStmt>(&stmt.node); decl && decl->global) {
        for (const auto& item : decl->items) {
            const auto [it, added] = globals_.emplace(foldCase(item.name), item.pos);
            if (!added) {
                diagnostics_.error(item.pos, "the global '" + item.name +
                                                 "' is already declared at " + where(it->second));
                continue;
            }
            declarations_.globals.push_back(&item);
        }
    } else if (const auto* constants = std::get_if<ConstStmt>(&stmt.node)) {
        for (const auto& item : constants->items) {
            const auto [it, added] = consts_.emplace(foldCase(item.name), item.pos);
            if (!added) {
                diagnostics_.error(item.pos, "the constant '" + item.name +
                                                 "' is already declared at " + where(it->second));
                continue;
            }
            declarations_.consts.push_back(&item);
        }
    } else if (const auto* dim = std::get_if<DimStmt>(&stmt.node)) {
        for (const auto& item : dim->items) {
            // A later Dim of the same array dimensions it again.
            if (arrays_.emplace(foldCase(item.name), &item).second) {
                declarations_.arrays.push_back(&item);
            }
        }
    } else if (const auto* label = std::get_if<LabelStmt>(&stmt.node)) {
        if (const LabelInfo* seen = declarations_.findLabel(label->name, scope)) {
            diagnostics_.error(stmt.pos,
                               "the label '" + label->name + "' is already at " + where(seen->pos));
            return;
        }
        declarations_.labelIndex.emplace(std::make_pair(scope, foldCase(label->name)),
                                         declarations_.labels.size());
        declarations_.labels.push_back({label->name, stmt.pos, scope, declarations_.data.size()});
    } else if (const auto* data = std::get_if<DataStmt>(&stmt.node)) {
        for (const auto& value : data->values) declarations_.data.push_back(value.get());
    }
}

}  // namespace tx::txc
