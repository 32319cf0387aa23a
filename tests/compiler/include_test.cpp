// Include: paths relative to the including file, each file once, cycles harmless, positions in
// included files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ast_dump.h"
#include "frontend.h"
#include "test_files.h"

namespace tx::txc {
namespace {

void write(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

TEST(CompilerInclude, ExpandsInPlaceOnceRelativeToTheIncludingFile) {
    test::TempDir dir;
    write(dir / "main.tx",
          "Include \"lib/a.tx\"\nx = 1\nInclude \"lib/a.tx\"\nInclude \"./LIB/../lib/b.tx\"\n"
          "Include \"lib/../lib/a.tx\"\n");
    write(dir / "lib/a.tx", "Include \"b.tx\"\ny = 2\nFunction fa()\nEnd Function\n");
    write(dir / "lib/b.tx", "Include \"../main.tx\"\nInclude \"a.tx\"\nz = 3\nType T\nEnd Type\n");
    std::filesystem::create_directories(dir / "LIB");
    const FrontEndResult result = parseProgram(dir / "main.tx");
    ASSERT_TRUE(result.ok()) << result.diagnosticsText();
    EXPECT_EQ(dumpProgram(result.program),
              "(type T)\n(function fa () ())\n(assign z 3)\n(assign y 2)\n(assign x 1)\n");
    ASSERT_EQ(result.files.size(), 3u);
    EXPECT_EQ(result.files[1], (dir / "lib/a.tx").string());
    EXPECT_EQ(result.files[2], (dir / "lib/b.tx").string());
    // Source text includes relative to the name it stands for.
    const FrontEndResult text = parseSource("Include \"lib/b.tx\"\nw = 4\n", dir.file("v.tx"));
    ASSERT_TRUE(text.ok()) << text.diagnosticsText();
    // b.tx includes main.tx, which takes in a.tx: each file once, in the order they are met.
    EXPECT_EQ(
        dumpProgram(text.program),
        "(type T)\n(function fa () ())\n(assign y 2)\n(assign x 1)\n(assign z 3)\n(assign w 4)\n");
}

// Globals, constants, arrays (dimensioned once or more), types, and Data values and labels
// counted in the order of the expanded program, included files in the place of their Include;
// a label in a function is the function's own.
TEST(CompilerInclude, DeclarationsAreGatheredInProgramOrder) {
    test::TempDir dir;
    write(dir / "main.tx",
          "Global g, h$\nConst C = 1\nDim arr(3)\nData 1\nInclude \"more.tx\"\nDim arr(5)\n"
          ".here\nData 4\nType T\n Field x\nEnd Type\n");
    write(dir / "more.tx",
          "Data 2\n.inside\nData 3\nFunction f()\n .here\n Data 99\nEnd Function\n");
    const FrontEndResult result = parseProgram(dir / "main.tx");
    ASSERT_TRUE(result.ok()) << result.diagnosticsText();
    const Declarations& d = result.program.declarations;
    std::string values;
    for (const Expr* value : d.data) values += dumpExpr(value) + " ";
    EXPECT_EQ(values, "1 2 3 99 4 ");
    ASSERT_EQ(d.globals.size(), 2u);
    EXPECT_EQ(d.globals[1]->name, "h");
    EXPECT_EQ(d.consts.size(), 1u);
    ASSERT_EQ(d.arrays.size(), 1u);
    EXPECT_EQ(dumpExpr(d.arrays[0]->dims[0].get()), "3");
    ASSERT_NE(d.findType("t"), nullptr);
    EXPECT_EQ(d.findType("t")->fields.size(), 1u);
    const FunctionDecl* f = d.findFunction("F");
    ASSERT_NE(f, nullptr);
    // "data index@file:line" of a label, found by any case of its name.
    const auto label = [&](const char* name, const FunctionDecl* scope) {
        const LabelInfo* l = d.findLabel(name, scope);
        return l == nullptr ? std::string("none")
                            : std::to_string(l->dataIndex) + "@" + std::to_string(l->pos.file) +
                                  ":" + std::to_string(l->pos.line);
    };
    EXPECT_EQ(label("INSIDE", nullptr), "2@1:2");
    EXPECT_EQ(label("here", nullptr), "4@0:7");
    EXPECT_EQ(label("here", f), "3@1:5");
    EXPECT_EQ(label("inside", f), "none");
}

// Errors in included files name them; a file that cannot be read (missing, a directory, no name)
// is an error at its Include.
TEST(CompilerInclude, ErrorsNameTheIncludedFile) {
    test::TempDir dir;
    write(
        dir / "main.tx",
        "Function f()\nEnd Function\nInclude \"sub/c.tx\"\nq = )\nInclude \"sub\"\nInclude \"\"\n");
    write(dir / "sub/c.tx", "Include \"missing.tx\"\nw = 1 +\nFunction f()\nEnd Function\n");
    const std::string main = (dir / "main.tx").string();
    const std::string sub = (dir / "sub/c.tx").string();
    EXPECT_EQ(parseProgram(dir / "main.tx").diagnosticsText(),
              main + ":4:5: expected an expression, found ')'\n" + main +
                  ":5:1: cannot read the included file 'sub'\n" + main +
                  ":6:1: cannot read the included file ''\n" + sub +
                  ":1:1: cannot read the included file 'missing.tx'\n" + sub +
                  ":2:8: expected an expression, found the end of the line\n" + sub +
                  ":3:1: the function 'f' is already defined at line 1 of " + main + "\n");
    EXPECT_EQ(parseProgram(dir / "nothere.tx").diagnosticsText(),
              (dir / "nothere.tx").string() + ":1:1: cannot read the file\n");
}

TEST(CompilerInclude, DeepChainsStopWithAnError) {
    test::TempDir dir;
    for (int i = 0; i < 80; ++i) {
        write(dir / ("f" + std::to_string(i) + ".tx"),
              "Include \"f" + std::to_string(i + 1) + ".tx\"\nx" + std::to_string(i) + " = 1\n");
    }
    const FrontEndResult result = parseProgram(dir / "f0.tx");
    ASSERT_EQ(result.diagnostics.size(), 1u);
    EXPECT_EQ(result.diagnostics[0].message, "includes are nested too deeply (more than 64 files)");
    EXPECT_EQ(result.diagnostics[0].pos.file, 64u);
    EXPECT_EQ(result.program.main.size(), 65u);
}

}  // namespace
}  // namespace tx::txc
