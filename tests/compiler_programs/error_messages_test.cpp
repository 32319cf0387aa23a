// Programs the front end accepts but the type checker refuses, with the exact position and
// message of each error.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compile.h"
#include "program_runner.h"

namespace tx::txc {
namespace {

struct ErrorCase {
    std::string source;
    const char* messages;  // "line:column: message", one a line
};

std::string messagesOf(const std::string& source) {
    const CompileResult result = compileSource(source, "bad.tx", test::runtimeCommands());
    EXPECT_FALSE(result.ok()) << source;
    std::string text;
    for (const auto& d : result.diagnostics) {
        text += std::to_string(d.pos.line) + ":" + std::to_string(d.pos.column) + ": " +
                (d.severity == Diagnostic::Severity::Note ? "note: " : "") + d.message + "\n";
    }
    return text;
}

void checkTable(const std::vector<ErrorCase>& table) {
    for (const auto& row : table)
        EXPECT_EQ(messagesOf(row.source), std::string(row.messages) + "\n") << row.source;
}

const char* const kTypes = "Type T\n Field a, s$\nEnd Type\nType U\n Field b\nEnd Type\n";

std::string withTypes(const char* source) {
    return kTypes + std::string(source);
}

TEST(CompilerErrorMessages, NamesThatDoNotExist) {
    checkTable({
        {"x = foo(1)", "1:5: unknown function 'foo'"},
        {"foo 1, 2", "1:1: unknown function 'foo'"},
        {"p.Missing = Null", "1:3: unknown type 'Missing'"},
        {"x = First Missing", "1:11: unknown type 'Missing'"},
        {"Goto nowhere", "1:6: unknown label 'nowhere'"},
        {"Restore nowhere", "1:9: unknown label 'nowhere'"},
        {"x = grid(1)", "1:5: unknown function 'grid'"},
        {"x = v[1]", "1:5: 'v' is not a vector"},
        {"Function f()\n Goto outside\nEnd Function\n.outside", "2:7: unknown label 'outside'"},
    });
    checkTable({
        {withTypes("p.T = New T\np\\c = 1"), "8:3: the type 'T' has no field 'c'"},
        {withTypes("p.T = New T\nx = p\\b"), "8:7: the type 'T' has no field 'b'"},
    });
}

TEST(CompilerErrorMessages, TypesThatDoNotFit) {
    checkTable({
        {withTypes("p.T = New T\nx = p"),
         "8:5: an object of type 'T' cannot be used as an integer (use Handle to get its number)"},
        {withTypes("p.T = 5"),
         "7:7: an integer cannot be used as an object of type 'T' (use Object.T to get one)"},
        {withTypes("p.T = New U"),
         "7:7: an object of type 'U' cannot be used as an object of type 'T'"},
        {withTypes("p.T = New T\nq.U = New U\nIf p = q Then End"),
         "9:6: an object of type 'T' cannot be compared with an object of type 'U'"},
        {withTypes("p.T = New T\nIf p < p Then End"),
         "8:6: objects can only be compared with '=' and '<>'"},
        {withTypes("p.T = New T\ns$ = p"), "8:6: an object of type 'T' cannot be used as a string"},
        {withTypes("x = 1\ny = x\\a"), "8:6: 'x' is not an object, so it has no fields"},
        {withTypes("x = 1\nDelete x"), "8:8: 'Delete' needs an object, not an integer"},
        {withTypes("p.T = New T\nq.U = New U\nInsert p Before q"),
         "9:17: 'Insert' needs two objects of the same type, not 'T' and 'U'"},
        {withTypes("For p.T = Each U\nNext"),
         "7:16: the loop variable 'p' is of type 'T', not 'U'"},
        {withTypes("Function f(n)\nEnd Function\np.T = New T\nx = f(p)"),
         "10:7: an object of type 'T' cannot be used as an integer (use Handle to get its number)"},
    });
}

TEST(CompilerErrorMessages, VariablesAndConstants) {
    checkTable({
        {"x = 1\nx$ = \"a\"", "2:1: 'x' is an integer; it cannot also be a string"},
        {"Const C = 1\nC = 2", "2:1: 'C' is a constant; it cannot be given a new value"},
        {"x = 2\nConst C = x", "2:11: the value of a constant must be known when compiling"},
        {"n = 3\nLocal v[n]", "2:9: the size of a vector must be a constant"},
        {"Dim a(2, 3)\nx = a(1)", "2:5: the array 'a' has 2 dimensions, not 1"},
        {"Dim a(2)\nDim a$(3)",
         "2:5: the array 'a' is an integer array; it cannot also be a string array"},
    });
}

TEST(CompilerErrorMessages, CallsOfCommandsAndFunctions) {
    checkTable({
        {"x = Len(\"a\", 2)", "1:5: 'Len' takes 1 argument, not 2"},
        {"x = Left(\"a\")", "1:5: 'Left' takes 2 arguments, not 1"},
        {"x = Mid(\"a\")", "1:5: 'Mid' takes 2 to 3 arguments, not 1"},
        {"x = DebugLog(\"a\")",
         "1:5: 'DebugLog' gives no value, so it cannot be used in an expression"},
        {"Function f(a, b = 2)\nEnd Function\nf", "3:1: 'f' takes 1 to 2 arguments, not 0"},
        {"Function f(a)\nEnd Function\nx = f(1, 2, 3)", "3:5: 'f' takes 1 argument, not 3"},
        {"Function Len(s$)\nEnd Function",
         "1:10: the function 'Len' has the name of a command; choose another name"},
        {"Function f()\n Return 1\nEnd Function\nReturn 2",
         "4:8: 'Return' with a value is only allowed inside a function"},
    });
}

}  // namespace
}  // namespace tx::txc
