// Signatures, link keys and the command registry as the runtime interface hands it out.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>

#include "command_registry.h"
#include "runtime_interface.h"
#include "signature.h"

namespace tx {
namespace {

// A parsed signature written out: result sigil, name, then each parameter with its default in
// brackets; "internal " first for support routines.
std::string describe(const ParsedSignature& s) {
    std::string out = std::string(s.internal ? "internal " : "") +
                      (s.resultSigil != 0 ? std::string(1, s.resultSigil) : "") + s.name;
    for (const SignatureParam& p : s.params)
        out += " " + std::string(1, p.sigil) + p.name +
               (p.defaultValue ? "[" + *p.defaultValue + "]" : "");
    return out;
}

TEST(SignatureTest, GrammarCoversEveryForm) {
    const std::pair<const char*, const char*> cases[] = {
        {"End", "End"},
        {"$Mid$string%start%count=-1", "$Mid $string %start %count[-1]"},
        {"#ATan2#floata#floatb", "#ATan2 #floata #floatb"},
        {"AppTitle$title$close_prompt=\"\"", "AppTitle $title $close_prompt[]"},
        {"_txStrConcat", "internal _txStrConcat"},
    };
    for (const auto& [text, parsed] : cases) {
        const auto signature = parseSignature(text);
        ASSERT_TRUE(signature) << text;
        EXPECT_EQ(describe(*signature), parsed);
    }
    for (const char* bad :
         {"", "%", "9Lives", "Foo%", "Foo%a=1%b", "Foo%a=", "Foo%a=-", "_", "_tx%Bad", "Foo bar"})
        EXPECT_FALSE(parseSignature(bad)) << bad;
}

int32_t waitForIt() {
    return 7;
}
void other() {}
float wrongResult() {
    return 0;
}

void linkAliases(CommandRegistrar& r) {
    r.add(command<waitForIt>("%WaitMouse"));
    r.add(command<waitForIt>("%MouseWait"));
    r.add(command<other>("Other"));
}

void writeBits(uint32_t, int32_t) {}
constexpr CommandDef kWriteBits = command<writeBits>("WriteBits%stream%bits");
void aliasOfRawWords(CommandRegistrar& r) {
    r.add(kWriteBits);
    r.alias(kWriteBits, "WriteBitsF#stream#bits");
}

// Registrations a table refuses: a sigil or parameters that do not match the function, and
// aliases that differ in more than raw-word parameters (a string, a result, a count) or are
// malformed.
using Registration = void (*)(CommandRegistrar&);
const Registration kRefused[] = {
    [](CommandRegistrar& r) { r.add(command<wrongResult>("%Wrong")); },
    [](CommandRegistrar& r) { r.add(command<waitForIt>("%Extra%x")); },
    [](CommandRegistrar& r) { r.alias(kWriteBits, "WriteText%stream$text"); },
    [](CommandRegistrar& r) { r.alias(kWriteBits, "%WriteBits2%stream%bits"); },
    [](CommandRegistrar& r) { r.alias(kWriteBits, "WriteBits3%s%a%b"); },
    [](CommandRegistrar& r) { r.alias(kWriteBits, "Write Bits"); },
};

TEST(RegistryTest, AliasesShareOneThunkAndOnlyMatchingRegistrationsAreTaken) {
    const CommandTable table(&linkAliases);
    CommandRegistry registry(&linkAliases, table);
    registry.fill();
    ASSERT_EQ(registry.size(), 3u);
    EXPECT_EQ(registry.symbolValue("%WaitMouse"), registry.symbolValue("%MouseWait"));
    EXPECT_NE(registry.symbolValue("%WaitMouse"), registry.symbolValue("Other"));
    EXPECT_EQ(table.slotCount(), 3u);  // the return stub and two commands
    EXPECT_EQ(CommandTable(&aliasOfRawWords).slotCount(), 2u);
    for (const Registration refused : kRefused)
        EXPECT_THROW(CommandTable{refused}, std::logic_error);
}

TEST(RegistryTest, RuntimeInterfaceEmptiesAfterTheLastSymbolAndRefills) {
    RuntimeInterface& rt = runtimeGetRuntime();
    EXPECT_EQ(&rt, &runtimeGetRuntime());
    EXPECT_EQ(rt.version(), 165);
    EXPECT_EQ(rt.symbolValue("NotASignature"), 0xFFFF'FFFFu);

    // Every signature once (their link keys are checked where the guest header is generated).
    const char* first = rt.nextSymbol();
    ASSERT_NE(first, nullptr);
    const std::string firstSignature = first;
    while (rt.nextSymbol() != nullptr) {
    }
    // After the enumeration ended the registry is empty and answers -1; the next call refills it.
    EXPECT_EQ(rt.symbolValue("End"), 0xFFFF'FFFFu);
    EXPECT_EQ(rt.nextSymbol(), firstSignature);
    EXPECT_NE(rt.symbolValue("End"), 0xFFFF'FFFFu);
    rt.shutdown();
    EXPECT_EQ(rt.symbolValue("End"), 0xFFFF'FFFFu);
}

}  // namespace
}  // namespace tx
