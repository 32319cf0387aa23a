// The handle table: stale, freed, garbage and other kinds' handles name nothing. Then every
// registered command that takes a handle, called with handles that name nothing of the
// parameter's kind: a freed one, a stale one (a live slot's old generation), a forged one
// (another kind's bits) and, for the stream subtypes, a live stream of a sibling subtype. With
// the debug flag set the first checked handle raises its kind's error; with it clear the command
// does nothing and answers 0 or "" (Eof 1 and SeekFile -1, so read loops and seeks end).
// Then every command with argument words at the edges of their ranges.
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "basic_module.h"
#include "command_registry.h"
#include "guest_machine.h"
#include "handle_table.h"
#include "in_program.h"
#include "library_modules.h"
#include "string_pool.h"
#include "test_files.h"
#include "tx_error.h"

namespace tx {
namespace {

// Other kinds' handles, garbage and freed handles name nothing, and a freed handle stays dead
// through a long open/close loop on its slot, as a program that opens and closes a file every
// frame makes: no handle is issued twice.
TEST(HandleTable, FreedGarbageAndOtherKindsHandlesNameNothing) {
    HandleTable<int> banks(handle_kind::kBank), timers(handle_kind::kTimer);
    int a = 1, b = 2;
    const uint32_t bank = banks.insert(&a), timer = timers.insert(&b), other = banks.insert(&b);
    EXPECT_EQ(banks.find(bank), &a);
    EXPECT_EQ(banks.find(timer), nullptr);
    EXPECT_EQ(timers.find(bank), nullptr);
    for (uint32_t garbage : {0u, 1u, 0xFFFFFFFFu, bank ^ (1u << 18)})
        EXPECT_EQ(banks.find(garbage), nullptr) << garbage;
    EXPECT_EQ(banks.remove(bank), &a);
    EXPECT_EQ(banks.remove(bank), nullptr);
    std::set<uint32_t> issued{bank, other};
    for (int i = 0; i < 300'000; ++i) {
        const uint32_t handle = banks.insert(&a);
        EXPECT_EQ(banks.find(bank), nullptr) << "after " << i << " reuses";
        issued.insert(handle);
        banks.remove(handle);
    }
    EXPECT_EQ(issued.size(), 300'002u);
    int visited = 0;
    banks.forEach([&](int* object) { visited += *object; });
    EXPECT_EQ(visited, 2) << "only the live object";
    EXPECT_EQ(banks.find(other), &b);
    EXPECT_EQ(banks.size(), 1u);
}

enum Variant { kFreed, kStale, kForged, kSibling, kVariantCount };
constexpr const char* kVariantNames[] = {"freed", "stale", "forged", "sibling subtype"};

const CommandDef& commandNamed(std::string_view signature) {
    const CommandTable& table = CommandTable::instance();
    for (uint32_t slot = 1; slot < table.slotCount(); ++slot)
        if (table.slot(slot)->signature == signature) return *table.slot(slot);
    throw std::logic_error("no command " + std::string(signature));
}

uint32_t call(GuestMachine& machine, std::string_view signature, std::vector<uint32_t> words) {
    words.resize(16);
    return commandNamed(signature).dispatch(machine,
                                            reinterpret_cast<const uint8_t*>(words.data()));
}

uint32_t text(std::string_view s) {
    return strNew(s).handle;
}

// Handles of each kind that name nothing of it, by kind name; 0 where a variant does not apply.
using BadHandles = std::map<std::string, std::array<uint32_t, kVariantCount>>;

// `file` and `udp` are live streams of two subtypes, which no call with a handle of another kind
// may touch.
BadHandles makeBadHandles(GuestMachine& m, const std::string& dir, uint32_t file, uint32_t udp) {
    const auto freed = [&](const char* make, std::vector<uint32_t> args, const char* free) {
        const uint32_t handle = call(m, make, std::move(args));
        call(m, free, {handle});
        return handle;
    };
    std::map<std::string, uint32_t> freedOf = {
        {"Bank", freed("%CreateBank%size=0", {16}, "FreeBank%bank")},
        {"Stream", freed("%WriteFile$filename", {text(dir + "/g")}, "CloseFile%file_stream")},
        {"File", freed("%WriteFile$filename", {text(dir + "/h")}, "CloseFile%file_stream")},
        {"Directory", freed("%ReadDir$dirname", {text(dir)}, "CloseDir%dir")},
        {"UDP Stream", freed("%CreateUDPStream%port=0", {0}, "CloseUDPStream%udp_stream")},
        {"TCP Server", freed("%CreateTCPServer%port", {0}, "CloseTCPServer%tcp_server")},
        {"Timer", freed("%CreateTimer%hertz", {1000}, "FreeTimer%timer")},
        {"Image", freed("%CreateImage%width%height%frames=1", {8, 8, 1}, "FreeImage%image")},
        {"Font", freed("%LoadFont$fontname%height=12%bold=0%italic=0%underline=0",
                       {text("courier"), 12, 0, 0, 0}, "FreeFont%font")},
    };
    std::map<std::string, uint32_t> siblingOf = {
        {"File", udp}, {"UDP Stream", file}, {"TCP Stream", udp}};
    BadHandles bad;
    const CommandTable& table = CommandTable::instance();
    for (uint32_t slot = 1; slot < table.slotCount(); ++slot) {
        const CommandDef& def = *table.slot(slot);
        for (uint32_t i = 0; def.handles != nullptr && i < def.argWords; ++i) {
            const HandleKindInfo* kind = def.handles[i].kind;
            if (kind == nullptr) continue;
            const uint32_t k = kind->tableKind;
            auto& handles = bad[kind->name];
            handles[kFreed] = freedOf[kind->name];
            handles[kStale] = k << 28 | 0x3FFu << 18 | 1;  // slot 1, a generation it never had
            handles[kForged] = (k ^ 0xF) << 28 | 1;
            handles[kSibling] = siblingOf[kind->name];
        }
    }
    return bad;
}

// The result of a command whose handles name nothing, with the debug flag clear.
uint32_t expectedSafeResult(std::string_view signature) {
    if (signature.starts_with("%Eof%")) return 1;
    if (signature.starts_with("%SeekFile%")) return static_cast<uint32_t>(-1);
    return 0;
}

struct Probe {
    bool debug = false;
    std::string dir;
    size_t calls = 0;
};

void callEach(GuestMachine& machine, Probe& p) {
    const uint32_t file = call(machine, "%WriteFile$filename", {text(p.dir + "/f")});
    const uint32_t udp = call(machine, "%CreateUDPStream%port=0", {0});
    const BadHandles bad = makeBadHandles(machine, p.dir, file, udp);
    const CommandTable& table = CommandTable::instance();
    for (uint32_t slot = 1; slot < table.slotCount(); ++slot) {
        const CommandDef& def = *table.slot(slot);
        if (def.handles == nullptr) continue;
        const HandleParam* firstChecked = nullptr;
        for (uint32_t i = 0; i < def.argWords && firstChecked == nullptr; ++i)
            if (def.handles[i].kind != nullptr && def.handles[i].checked)
                firstChecked = &def.handles[i];
        for (int v = 0; v < kVariantCount; ++v) {
            std::vector<uint32_t> words(def.argWords);
            bool applies = false;
            for (uint32_t i = 0; i < def.argWords; ++i) {
                if (def.handles[i].kind == nullptr) continue;
                const auto& handles = bad.at(def.handles[i].kind->name);
                words[i] = handles[v] != 0 ? handles[v] : handles[kStale];
                applies = applies || handles[v] != 0;
            }
            if (!applies) continue;
            SCOPED_TRACE(std::string(def.signature) + " with a " + kVariantNames[v] + " handle" +
                         (p.debug ? " (debug)" : ""));
            const char* raised = nullptr;
            uint32_t result = 0;
            ++p.calls;
            try {
                result = call(machine, def.signature, words);
            } catch (const TxEx& ex) {
                raised = ex.message != nullptr ? ex.message : "(quiet end)";
            }
            const char* expected =
                p.debug && firstChecked != nullptr ? firstChecked->kind->missingText : nullptr;
            if (expected != nullptr || raised != nullptr) {
                EXPECT_STREQ(raised, expected);
            } else if (def.result == ResultKind::String) {
                EXPECT_EQ(strText(result), "");
                strRelease(result);
            } else {
                EXPECT_EQ(result, expectedSafeResult(def.signature));
            }
        }
    }
    EXPECT_NE(file, 0u);
    EXPECT_EQ(call(machine, "%SeekFile%file_stream%pos", {file, 0}), 0u) << "live file touched";
    EXPECT_NE(call(machine, "%UDPStreamPort%udp_stream", {udp}), 0u) << "live stream touched";
}

// Every command with its argument words at the edges of their ranges (as ints, as floats: the
// smallest and largest ints, -1, 0, infinity, floats past the int range), each word the same
// value or the values rotated across the words. Each call returns or raises a runtime error; in
// the sanitizer build none overflows. Delay would wait for weeks, Stop until a debugger resumes
// the program, WaitKey, WaitMouse, Input and StartNetGame's dialog until a key or a button
// arrives, and ExecFile would start one.
void callEachWithEdgeValues(GuestMachine& machine, Probe& p) {
    constexpr uint32_t kEdges[] = {0x80000000u, 0x7FFFFFFFu, 0xFFFFFFFFu, 0u,
                                   0x7F800000u, 0xCF000001u, 0x501502F9u, 0x80000001u};
    constexpr size_t kCount = std::size(kEdges);
    const CommandTable& table = CommandTable::instance();
    for (uint32_t slot = 1; slot < table.slotCount(); ++slot) {
        const CommandDef& def = *table.slot(slot);
        const std::string_view signature = def.signature;
        if (signature.starts_with("Delay") || signature == "Stop" || signature == "%WaitKey" ||
            signature == "%WaitMouse" || signature == "%MouseWait" ||
            signature.starts_with("$Input") || signature.starts_with("ExecFile") ||
            signature == "%StartNetGame" || signature.starts_with("_txTest"))
            continue;
        for (size_t k = 0; k < 3 * kCount; ++k) {
            std::vector<uint32_t> words(16);
            for (size_t i = 0; i < words.size(); ++i)
                words[i] = kEdges[(i * (k / kCount) + k) % kCount];
            ++p.calls;
            try {
                const uint32_t result = call(machine, signature, words);
                if (def.result == ResultKind::String) strRelease(result);
            } catch (const TxEx&) {  // a runtime error (or the end) is a fine answer
            }
        }
    }
}

// Runs a body as the whole program, with every library module, with the debug flag set and then
// clear; each run ends normally after at least `calls` calls.
void expectRunsToTheEnd(void (*programBody)(GuestMachine&, Probe&), size_t calls) {
    test::TempDir dir;
    for (const bool debug : {true, false}) {
        Probe p{debug, dir.path(), 0};
        const RunResult result =
            test::runInProgram([&](GuestMachine& machine) { programBody(machine, p); },
                               defaultLibraryModules(), debug);
        EXPECT_EQ(result.outcome, RunOutcome::Ended) << (result.message ? result.message : "");
        EXPECT_GE(p.calls, calls);
    }
}

TEST(HandleRegistryTest, HandlesThatNameNothingAreCaughtByTheirKind) {
    expectRunsToTheEnd(&callEach, 100);
}

TEST(HandleRegistryTest, EveryCommandTakesArgumentsAtTheEdgesOfTheirRange) {
    expectRunsToTheEnd(&callEachWithEdgeValues, 1000);
}

}  // namespace
}  // namespace tx
