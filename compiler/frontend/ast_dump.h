// A text form of the syntax tree, S-expression style, for tests and for `txc --ast`.
#pragma once

#include <string>

#include "program.h"

namespace tx::txc {

std::string dumpExpr(const Expr* expr);
// One statement on one line, blocks nested in parentheses.
std::string dumpStmt(const Stmt& stmt);
// Types, then functions, then the main program's statements, one a line.
std::string dumpProgram(const Program& program);

}  // namespace tx::txc
