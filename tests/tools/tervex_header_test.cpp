// The guest header: every declaration links under its runtime key, and the header compiles
// cleanly as strict C.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "tools_test_support.h"

namespace {

constexpr const char* kEveryDeclaration = R"(
    #include "tervex.h"

    static txstr variable;

    TX_MAIN {
        txstr s = _txStrConst("text");
        s = _txStrStore(&variable, s);
        s = _txStrConcat(_txStrLoad(&variable), _txStrFromInt(_txStrCompare(s, s)));
        float f = _txStrToFloat(_txStrFromFloat(1.5f));
        int n = _txStrToInt(s) + (int)f;
        _txStrRelease(variable);

        AppTitle(_txStrConst("title"), _txStrConst(""));
        RuntimeError(_txStrConst("message"));
        ExecFile(_txStrConst("command"));
        Delay(n);
        n += MilliSecs();
        DebugLog(CommandLine());
        DebugLog(SystemProperty(_txStrConst("tempdir")));
        SetEnv(_txStrConst("NAME"), GetEnv(_txStrConst("NAME")));
        int timer = CreateTimer(60);
        n += WaitTimer(timer);
        FreeTimer(timer);
        _txDebugStmt(n, "file.bb");
        _txDebugEnter(&n, &variable, (void*)0);
        _txDebugLeave();
        Stop();
        End();
    }
)";

TEST(TervexHeader, EveryDeclarationLinksUnderItsRuntimeKey) {
    txtest::TempDir dir;
    const auto object = txtest::compileGuest(dir, "all.c", kEveryDeclaration, "-Wextra");
    const txtest::ParsedImage image = txtest::imageOf(object);

    std::set<std::string> called;
    for (const auto& f : image.relativeFixups) {
        EXPECT_EQ(image.wordAt(f.offset), -4) << f.name;
        if (!image.symbol(f.name)) called.insert(f.name);
    }
    const std::set<std::string> expected{
        "_fend",          "_fstop",         "_fapptitle",      "_fruntimeerror",   "_fexecfile",
        "_fdelay",        "_fmillisecs",    "_fcommandline",   "_fsystemproperty", "_fgetenv",
        "_fsetenv",       "_fcreatetimer",  "_fwaittimer",     "_ffreetimer",      "_fdebuglog",
        "__txDebugStmt",  "__txDebugEnter", "__txDebugLeave",  "__txStrConst",     "__txStrLoad",
        "__txStrStore",   "__txStrRelease", "__txStrConcat",   "__txStrCompare",   "__txStrToInt",
        "__txStrFromInt", "__txStrToFloat", "__txStrFromFloat"};
    EXPECT_EQ(called, expected);
    EXPECT_EQ(image.symbol("__MAIN"), 0u);
}

TEST(TervexHeader, CompilesAsStrictC11) {
    txtest::TempDir dir;
    EXPECT_NO_THROW(txtest::compileGuest(dir, "strict.c", kEveryDeclaration,
                                         "-std=c11 -pedantic -Wextra -Werror"));
}

}  // namespace
