// Programs the front end accepts but the type checker refuses, with the exact position and
// message of each error.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compile.h"
#include "diagnostic_lines.h"
#include "program_runner.h"

namespace tx::txc {
namespace {

void checkTable(const std::vector<test::ErrorCase>& table) {
    test::checkErrorTable(table, [](const std::string& source) {
        const CompileResult result = compileSource(source, "bad.tx", test::runtimeCommands());
        EXPECT_FALSE(result.ok()) << source;
        return result.diagnostics;
    });
}

// The source after two types, on line 7.
std::string withTypes(const char* source) {
    return "Type T\n Field a, s$\nEnd Type\nType U\n Field b\nEnd Type\n" + std::string(source);
}

TEST(CompilerErrorMessages, NamesAndWhatTheyHold) {
    checkTable({
        {"x = foo(1)", "1:5: there is no function, command or array called 'foo'"},
        {"Goto nowhere", "1:1: there is no label called 'nowhere'"},
        {"Dim a(2)\na(1)", "2:1: 'a' is an array; an element alone is not a statement"},
        {"Restore nowhere", "1:1: there is no label called 'nowhere'"},
        {"x = v[1]", "1:6: 'v' is not a vector"},
        {"Function f()\n Goto outside\nEnd Function\n.outside",
         "2:2: there is no label called 'outside' in this function"},
        {withTypes("p.T = New T\np\\c = 1"), "8:2: the type T has no field called 'c'"},
        {withTypes("p.T = New T\np\\a[1] = 2"), "8:4: the field 'a' is not a vector"},
        {"Const C = 1\nC = 2", "2:1: 'C' is a constant; it cannot be given a new value"},
        {"x = 2\nConst C = x", "2:11: 'x' is not a constant"},
        {"n = 3\nLocal v[n]", "2:9: 'n' is not a constant"},
        {"Dim a(2, 3)\nx = a(1)", "2:5: the array 'a' has 2 dimensions, not 1"},
        {"Dim a(2)\nDim a$(3)",
         "2:5: the array 'a' was first dimensioned for integers; it cannot hold strings"},
    });
}

TEST(CompilerErrorMessages, TypesThatDoNotFit) {
    checkTable({
        {withTypes("p.T = New T\nx = p"),
         "8:5: an object of type T cannot be used as a number; use Handle() to get its handle"},
        {withTypes("p.T = 5"),
         "7:7: a number cannot be used as an object of type T; use "
         "Object.T() to turn a handle into an object"},
        {withTypes("p.T = New U"),
         "7:7: an object of type U cannot be used as an object of type T"},
        {withTypes("p.T = New T\nq.U = New U\nIf p = q Then End"),
         "9:6: objects of different types cannot be compared"},
        {withTypes("p.T = New T\nIf p < p Then End"),
         "8:6: objects can only be compared with = and <>"},
        {withTypes("x = 1\ny = x\\a"), "8:6: only an object has fields; this is an integer"},
        {withTypes("x = 1\nDelete x"), "8:1: Delete needs an object, not an integer"},
        {withTypes("p.T = New T\nq.U = New U\nInsert p Before q"),
         "9:1: Insert needs two objects of the same type, not an object of type T and an object "
         "of type U"},
        {withTypes("For p.T = Each U\nNext"),
         "7:1: the variable of For Each U must be an object of type U, not an object of type T"},
    });
}

TEST(CompilerErrorMessages, OperatorsAndStatementsOnTheWrongType) {
    checkTable({
        {"x = \"a\" * 2", "1:9: the operator * does not apply to strings"},
        {"s$ = \"a\" : s = s - \"b\"", "1:18: the operator - does not apply to strings"},
        {"x = -\"a\"", "1:5: a sign or ~ needs a number, not a string"},
        {"For s$ = 1 To 3\nNext", "1:1: the variable of a For loop must be a number, not a string"},
        {"For i = 1 To 3 Step 0\nNext", "1:21: the Step of a For loop cannot be 0"},
        {"x = Handle(5.5)", "1:5: Handle needs an object, not a float"},
        {"Insert 1 Before 2", "1:1: Insert needs two objects"},
        {"Local v[2]\nx = v", "2:5: 'v' is a vector; name an element, as in v[0]"},
        {"Local v[-1]", "1:9: the size of a vector must be an integer from 0 to 16777215"},
        {"Const C$ = 5", "1:7: the constant 'C' cannot hold an integer as a string"},
        {withTypes("Read p.T"), "7:6: Read cannot read an object of type T"},
        {withTypes("p.T = New T\nSelect p\nCase Null\nEnd Select"),
         "8:1: Select needs a number or a string, not an object of type T"},
        {withTypes("x = First T + 1"),
         "7:13: the operator + does not apply to an object of type T"},
        {withTypes("Function f(p.T)\nEnd Function\nf(\"a\")"),
         "9:3: a string cannot be used as an object of type T"},
    });
}

TEST(CompilerErrorMessages, CallsOfCommandsAndFunctions) {
    checkTable({
        {"x = Len(\"a\", 2)", "1:5: 'Len' takes 1 parameter, not 2"},
        {"x = Left(\"a\")", "1:5: 'Left' takes 2 parameters, not 1"},
        {"x = Mid(\"a\")", "1:5: 'Mid' takes 2 to 3 parameters, not 1"},
        {"Function f(a, b = 2)\nEnd Function\nf", "3:1: 'f' takes 1 to 2 parameters, not 0"},
        {"Function f(a)\nEnd Function\nx = f(1, 2, 3)", "3:5: 'f' takes 1 parameter, not 3"},
        {"Function Len(s$)\nEnd Function",
         "1:1: the function 'Len' has the name of the command 'Len'; choose another name"},
        {"Function f()\n Return 1\nEnd Function\nReturn 2",
         "4:1: the main program returns no value"},
    });
}

// One fault, one message: no repeats of it and no errors that follow only from it.
TEST(CompilerErrorMessages, EachFaultIsReportedOnce) {
    checkTable({
        {"p.Missing = Null", "1:1: there is no type called 'Missing'"},
        {"x = First Missing", "1:5: there is no type called 'Missing'"},
        {"x = Object.Missing(1)", "1:5: there is no type called 'Missing'"},
        {"For q = Each Missing\nNext", "1:1: there is no type called 'Missing'"},
        {"x = 1\nx$ = \"a\"", "2:1: 'x' is an integer, not a string"},
        {"x = DebugLog(\"a\")",
         "1:5: 'DebugLog' gives no value, so it cannot be used in an expression"},
    });
}

}  // namespace
}  // namespace tx::txc
