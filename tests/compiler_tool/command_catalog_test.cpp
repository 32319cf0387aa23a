// The command catalog: the runtime's registry by name whatever the case, with parameters and link
// keys (the signature grammar itself is the registry's own test); support routines apart;
// malformed or repeated signatures skipped.
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

// Every registry entry is a command found by its upper-cased name, or a support routine.
TEST(CommandCatalog, HoldsEveryEntryOfTheRuntimeRegistry) {
    const CommandCatalog catalog = CommandCatalog::fromRuntime();
    tx::CommandRegistry registry;
    registry.fill();
    size_t commands = 0;
    for (const auto& [signature, address] : registry.entries()) {
        SCOPED_TRACE(signature);
        const std::optional<tx::ParsedSignature> parsed = tx::parseSignature(signature);
        ASSERT_TRUE(parsed.has_value());
        if (parsed->internal) {  // "_name": never a command
            EXPECT_TRUE(catalog.hasSupport(parsed->name));
            EXPECT_EQ(catalog.find(parsed->name), nullptr);
            continue;
        }
        ++commands;
        std::string upper = parsed->name;
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        const CommandInfo* info = catalog.find(upper);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info->linkKey, tx::linkKey(signature));
    }
    EXPECT_GT(commands, 250u);
    EXPECT_EQ(catalog.size(), commands);
    // Support routines match by their exact name only; commands are not support routines.
    for (const char* absent : {"txStrConcat", "_TXSTRCONCAT", "KeyDown"})
        EXPECT_FALSE(catalog.hasSupport(absent)) << absent;
    for (const char* absent : {"txStrConcat", "", "Key", "KeyDownX", "_fend"})
        EXPECT_EQ(catalog.find(absent), nullptr) << absent;
}

TEST(CommandCatalog, SkipsMalformedAndRepeatedSignatures) {
    const std::vector<std::string> signatures = {
        "%Twice%a", "#twice#b", "%", "1Abc", "Gap%a=1%b", "Bad%a=x", "_tx-Dash", "Fine$s%n=12",
    };
    const CommandCatalog catalog = CommandCatalog::fromSignatures(signatures);
    EXPECT_EQ(catalog.size(), 2u);
    ASSERT_NE(catalog.find("TWICE"), nullptr);
    EXPECT_EQ(catalog.find("TWICE")->resultSigil, '%');  // the first of a name stays
    ASSERT_NE(catalog.find("fine"), nullptr);
    EXPECT_EQ(catalog.find("fine")->params[1].defaultValue, "12");
    EXPECT_FALSE(catalog.hasSupport("_tx-Dash"));
}

}  // namespace
