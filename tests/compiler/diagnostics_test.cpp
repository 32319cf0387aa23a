// Wrong programs and the exact messages and positions they get.
#include <gtest/gtest.h>

#include "diagnostic_lines.h"
#include "frontend.h"

namespace tx::txc {
namespace {

void checkTable(const std::vector<test::ErrorCase>& table) {
    test::checkErrorTable(
        table, [](const std::string& source) { return parseSource(source, "bad.tx").diagnostics; });
}

TEST(CompilerDiagnostics, Lexical) {
    checkTable({
        // Columns count bytes from 1: a tab and each byte of a multi-byte character count one.
        {"\tx = \"\xC3\xA9\" @ 2", "1:11: unknown character '@'"},
        {"x = \xE9", "1:5: unknown character (byte 0xE9)"},
        {"s$ = \"abc\nx = 1", "1:6: this string is not closed before the end of the line"},
        {"x = 2147483648",
         "1:5: this number is too large for an integer (the largest is 2147483647)"},
        {"x = $123456789", "1:5: this hexadecimal number has more than 32 bits"},
        {"x = %111111111111111111111111111111111", "1:5: this binary number has more than 32 bits"},
        {"x = %", "1:5: '%' must be followed by binary digits (0 and 1), as in %1010"},
        {"x = $ + 1", "1:5: '$' must be followed by hexadecimal digits, as in $FF"},
        {"x = %102", "1:5: '2' is not a binary digit (0 or 1)"},
        {"x = $FG", "1:5: 'G' is not a hexadecimal digit (0-9, A-F)"},
        {"x = 2abc",
         "1:5: a number cannot be followed directly by a letter; put a space or an operator "
         "between them"},
        {"x = 1e39", "1:5: this number is too large for a float"},
        {"_x = 1", "1:1: a name must start with a letter, not '_'"},
        {"x$ = Str$(5)", "1:9: 'Str' is a keyword and takes no type tag"},
    });
}

TEST(CompilerDiagnostics, Expressions) {
    checkTable({
        {"x = (1 + 2",
         "1:11: expected ')' to close the '(' at column 5, found the end of the file"},
        {"x = 1 +\ny = 2", "1:8: expected an expression, found the end of the line"},
        {"x = f(1, 2 3)", "1:12: expected ',' or ')' in the list of arguments, found the number 3"},
        {"x = New", "1:8: expected a type name after 'New', found the end of the file"},
        {"x = Object(h)", "1:5: expected '.TypeName' right after 'Object', as in Object.Player(h)"},
        {"x = Handle p", "1:12: expected '(' after 'Handle', found 'p'"},
        {"x = v[1",
         "1:8: expected ']' after the index of the vector element, found the end of the file"},
        {"x = o\\3", "1:7: expected a field name after '\\', found the number 3"},
        {"x = Wend", "1:5: expected an expression, found the keyword 'Wend'"},
        {"Local end = 3",
         "1:7: expected a variable name after 'Local', found 'End' (a keyword cannot be used as a "
         "name)"},
        {"p\\x",
         "1:4: expected '=' to give this element or field a value, found the end of the file"},
        {"Print a b", "1:9: expected ',' between the arguments of 'Print', found 'b'"},
    });
}

TEST(CompilerDiagnostics, BlockMatching) {
    checkTable({
        {"If x > 1 Print \"a\"",
         "1:10: expected 'Then' or the end of the line after the condition, found 'Print'"},
        {"If x Then\n y = 1", "2:7: 'EndIf' missing for the 'If' at line 1"},
        {"While x\n y = 1\nIf z\nWend", "4:1: 'EndIf' missing for the 'If' at line 3"},
        {"Wend", "1:1: 'Wend' without 'While'"},
        {"End If", "1:1: 'End If' without 'If'"},
        {"For i = 1 To 3\nWend",
         "2:1: 'Wend' without 'While'\n2:5: 'Next' missing for the 'For' at line 1"},
        {"Select x\nCase 1", "2:7: 'End Select' missing for the 'Select' at line 1"},
        {"Select x", "1:9: 'End Select' missing for the 'Select' at line 1"},
        {"Select x\nCase )\n y = 1\nEnd Select", "2:6: expected an expression, found ')'"},
        {"Function f()\n If a\nFunction g()\nEnd Function",
         "3:1: 'EndIf' missing for the 'If' at line 2\n3:1: 'End Function' missing for the "
         "'Function' at line 1"},
        {"Type T\n Field a\nFunction g()\nEnd Function",
         "3:1: 'End Type' missing for the 'Type' at line 1"},
        {"While x\nWend y",
         "2:6: expected the end of the statement (a new line or ':'), found 'y'"},
        {"If a Then\nElse\nElse\nEndIf", "3:1: a second 'Else' in the same 'If'"},
        {"If a Then\nElse\nElseIf b\nEndIf", "3:1: 'ElseIf' after the 'Else' of this 'If'"},
        {"If a Then b Else c Else d",
         "1:20: expected the end of the statement (a new line or ':'), found 'Else'"},
        {"If a Then While x",
         "1:11: a 'While' loop cannot be part of a one-line 'If'; write the "
         "'If' as a block"},
        {"Select x\n y = 1\nCase 1\nEnd Select",
         "2:2: expected 'Case', 'Default' or 'End Select' inside the 'Select', found 'y'"},
        {"Select x\nDefault\nDefault\nEnd Select", "3:1: a second 'Default' in the same 'Select'"},
        {"If a\n Function f()\n End Function", "2:2: 'EndIf' missing for the 'If' at line 1"},
        {"Exit", "1:1: 'Exit' is only allowed inside a loop (While, Repeat or For)"},
        {"While 1\n Function f()\n  Exit\n End Function\nWend",
         "2:2: 'Wend' missing for the 'While' at line 1\n3:3: 'Exit' is only allowed inside a "
         "loop (While, Repeat or For)\n5:1: 'Wend' without 'While'"},
    });
}

TEST(CompilerDiagnostics, StatementsObjectsJumpsAndData) {
    checkTable({
        {"For i = 1 10\nNext",
         "1:11: expected 'To' after the start value of the loop, found the number 10"},
        {"For i = 1 To 10 Step x + 1\nNext",
         "1:22: the 'Step' of a 'For' loop must be a constant: a number or the name of a Const"},
        {"For i = 1 To 3\nNext j", "2:6: 'Next j' does not match the 'For i' at line 1"},
        {"For 3 = 1 To 2\nNext", "1:5: expected a variable name after 'For', found the number 3"},
        {"x = 1 : .lbl", "1:9: a label must be on a line of its own"},
        {".lbl x = 1", "1:1: a label must be on a line of its own"},
        {"Goto 10", "1:6: expected a label name after 'Goto', found the number 10"},
        {"Insert a b", "1:10: expected 'Before' or 'After' after the object to insert, found 'b'"},
        {"Field x", "1:1: 'Field' is only allowed inside a 'Type'"},
        {"Dim a",
         "1:6: expected '(' and the sizes of the array after its name, as in Dim a(10), found "
         "the end of the file"},
        {"Dim a()", "1:5: an array needs at least one dimension"},
        {"Data x + 1",
         "1:6: a 'Data' value must be a constant: a number, a string or the name of a Const"},
        {"Local v[3] = 1", "1:12: a vector cannot be given a value where it is declared"},
        {"Const = 3", "1:7: expected a constant name after 'Const', found '='"},
        {"Include nothere", "1:9: expected a file name in quotes after 'Include'"},
        {"While x\n Include \"a.tx\"\nWend",
         "2:2: 'Include' is only allowed at the top level of a file, outside blocks"},
        {"Function f\nEnd Function",
         "1:11: expected '(' after the function name (a function without parameters is written "
         "name()), found the end of the line"},
        {"Function f(a b)\nEnd Function",
         "1:14: expected ',' or ')' in the list of parameters, found 'b'"},
        {"Function f(a = x + 1)\nEnd Function",
         "1:16: the default value of a parameter must be a constant: a number, a string or the "
         "name of a Const"},
        {"Type T\n x = 1\nEnd Type", "2:2: only 'Field' lines may be inside a 'Type', found 'x'"},
        {"Type T#\nEnd Type", "1:6: a type name takes no type tag"},
        {"x = Object.T h", "1:14: expected '(' after 'Object.T', found 'h'"},
        {"x = Handle(p",
         "1:13: expected ')' after the object of 'Handle', found the end of the file"},
        {"For p.T = Each\nNext",
         "1:15: expected a type name after 'Each', found the end of the line"},
        {"Read 5", "1:6: expected a variable to read into after 'Read', found the number 5"},
        {"Return )", "1:8: expected an expression, found ')'"},
        {"Const A", "1:8: expected '=' after the name of the constant, found the end of the file"},
        {"Local a[3", "1:10: expected ']' after the size of the vector, found the end of the file"},
        {"x = \"a\" \"b\"",
         "1:9: expected the end of the statement (a new line or ':'), found a "
         "string"},
        {"If a Then b Else c\nElseIf d", "2:1: 'ElseIf' without 'If'"},
    });
}

TEST(CompilerDiagnostics, Declarations) {
    checkTable({
        {"Function f(a = 1, b)\nEnd Function",
         "1:19: the parameter 'b' needs a default value, as the one before it has"},
        {"Function f(a, A)\nEnd Function", "1:15: the parameter 'A' appears twice"},
        {"Type T\nEnd Type\nType t\nEnd Type", "3:1: the type 't' is already defined at line 1"},
        {"Type T\n Field a, b, A\nEnd Type",
         "2:14: the field 'A' is already in type 'T' at line 2"},
        {"Global a\nGlobal A", "2:8: the global 'A' is already declared at line 1"},
        {"Const C = 1\nConst c = 2", "2:7: the constant 'c' is already declared at line 1"},
        {"Function f()\n Global g\nEnd Function",
         "2:2: 'Global' cannot be used inside a function; declare it outside"},
        {".a\n.a", "2:1: the label 'a' is already at line 1"},
    });
}

TEST(CompilerDiagnostics, TooManyErrorsStopWithANote) {
    std::string source;
    for (int i = 0; i < 80; ++i) source += "x = )\n";
    const FrontEndResult result = parseSource(source, "many.tx");
    ASSERT_EQ(result.diagnostics.size(), Diagnostics::kMaxErrors + 1);
    EXPECT_EQ(formatDiagnostic(result.diagnostics.back(), result.files),
              "many.tx:50:5: note: too many errors; stopping here");
}

}  // namespace
}  // namespace tx::txc
