// The command catalog: the runtime's registry seen by name, whatever the case, with parameters,
// defaults and link keys; support routines kept apart; malformed or repeated signatures skipped.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "command_catalog.h"
#include "command_registry.h"
#include "signature.h"

namespace {

using tx::txc::CommandCatalog;
using tx::txc::CommandInfo;

std::string upper(std::string text) {
    for (char& c : text) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    return text;
}

std::string lower(std::string text) {
    for (char& c : text) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    return text;
}

TEST(CommandCatalog, HoldsEveryEntryOfTheRuntimeRegistry) {
    const CommandCatalog catalog = CommandCatalog::fromRuntime();
    tx::CommandRegistry registry;
    registry.fill();
    ASSERT_GT(registry.size(), 300u);
    size_t commands = 0;
    for (const auto& [signature, address] : registry.entries()) {
        SCOPED_TRACE(signature);
        const std::optional<tx::ParsedSignature> parsed = tx::parseSignature(signature);
        ASSERT_TRUE(parsed.has_value());
        if (parsed->internal) {
            EXPECT_TRUE(catalog.hasSupport(parsed->name));
            EXPECT_EQ(catalog.find(parsed->name), nullptr);
            continue;
        }
        ++commands;
        for (const std::string& spelling :
             {parsed->name, upper(parsed->name), lower(parsed->name)}) {
            const CommandInfo* info = catalog.find(spelling);
            ASSERT_NE(info, nullptr) << spelling;
            EXPECT_EQ(info->name, parsed->name);
            EXPECT_EQ(info->resultSigil, parsed->resultSigil);
            EXPECT_EQ(info->linkKey, tx::linkKey(signature));
            ASSERT_EQ(info->params.size(), parsed->params.size());
            for (size_t i = 0; i < info->params.size(); ++i) {
                EXPECT_EQ(info->params[i].sigil, parsed->params[i].sigil);
                EXPECT_EQ(info->params[i].defaultValue, parsed->params[i].defaultValue);
            }
        }
    }
    EXPECT_EQ(catalog.size(), commands);
}

TEST(CommandCatalog, KnowsCommandsBySignature) {
    const CommandCatalog catalog = CommandCatalog::fromRuntime();
    struct Param {
        char sigil;
        std::optional<std::string> defaultValue;
    };
    const struct {
        const char* asked;
        const char* name;
        char result;
        const char* linkKey;
        std::vector<Param> params;
    } cases[] = {
        {"keydown", "KeyDown", '%', "_fkeydown", {{'%', std::nullopt}}},
        {"MID", "Mid", '$', "_fmid", {{'$', std::nullopt}, {'%', std::nullopt}, {'%', "-1"}}},
        {"apptitle", "AppTitle", 0, "_fapptitle", {{'$', std::nullopt}, {'$', ""}}},
        {"End", "End", 0, "_fend", {}},
        {"commandline", "CommandLine", '$', "_fcommandline", {}},
        // Two names of one routine: both are commands, each with its own link key.
        {"MouseWait", "MouseWait", '%', "_fmousewait", {}},
        {"waitmouse", "WaitMouse", '%', "_fwaitmouse", {}},
        // Registered like a command, so compiled code may call it.
        {"runtimestats", "RuntimeStats", 0, "_fruntimestats", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.asked);
        const CommandInfo* info = catalog.find(c.asked);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info->name, c.name);
        EXPECT_EQ(info->resultSigil, c.result);
        EXPECT_EQ(info->linkKey, c.linkKey);
        ASSERT_EQ(info->params.size(), c.params.size());
        for (size_t i = 0; i < c.params.size(); ++i) {
            EXPECT_EQ(info->params[i].sigil, c.params[i].sigil) << i;
            EXPECT_EQ(info->params[i].defaultValue, c.params[i].defaultValue) << i;
        }
    }
    for (const char* support : {"_txStrConcat", "_txIntType", "_txArrayBoundsEx", "_txDebugStmt"})
        EXPECT_TRUE(catalog.hasSupport(support)) << support;
    // Support routines are known by their exact names only, and are never commands.
    for (const char* notSupport : {"txStrConcat", "_TXSTRCONCAT", "_txNoSuchRoutine", "KeyDown"})
        EXPECT_FALSE(catalog.hasSupport(notSupport)) << notSupport;
    for (const char* notCommand : {"_txStrConcat", "txStrConcat", "", "Key", "KeyDownX", "_fend"})
        EXPECT_EQ(catalog.find(notCommand), nullptr) << notCommand;
}

TEST(CommandCatalog, SkipsMalformedAndRepeatedSignatures) {
    const std::vector<std::string> signatures = {
        "%Twice%a", "#twice#b",  // the same name again: the first one stays
        "%",        "1Abc",        "Gap%a=1%b", "Bad%a=x",  "_",
        "_tx-Dash", "Fine$s%n=12", "_txThing",  "_txThing",
    };
    const CommandCatalog catalog = CommandCatalog::fromSignatures(signatures);
    EXPECT_EQ(catalog.size(), 2u);
    const CommandInfo* twice = catalog.find("TWICE");
    ASSERT_NE(twice, nullptr);
    EXPECT_EQ(twice->name, "Twice");
    EXPECT_EQ(twice->resultSigil, '%');
    const CommandInfo* fine = catalog.find("fine");
    ASSERT_NE(fine, nullptr);
    EXPECT_EQ(fine->linkKey, "_ffine");
    ASSERT_EQ(fine->params.size(), 2u);
    EXPECT_EQ(fine->params[1].defaultValue, "12");
    EXPECT_TRUE(catalog.hasSupport("_txThing"));
    EXPECT_FALSE(catalog.hasSupport("_tx-Dash"));
    for (const char* skipped : {"Gap", "Bad", "1Abc", "Abc"})
        EXPECT_EQ(catalog.find(skipped), nullptr) << skipped;
}

}  // namespace
