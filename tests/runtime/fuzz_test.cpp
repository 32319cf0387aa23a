// Fuzzing the linker and the guest CPU. Thousands of mutated and random module images go to the
// linker, and random machine code runs on the guest, each run bounded by an instruction budget.
// Whatever the input, the host must not crash, and every run must end in a link error, a runtime
// error, a normal end or the spent budget.
//
// Each fuzz runs in a child process, so that a crash fails its test instead of ending the test
// program; the failure names the seed and case. TERVEX_FUZZ_ITERATIONS overrides every case count
// and TERVEX_FUZZ_SEED the seed; case i of a seed is the same whatever the count. The inputs come
// from fuzz_inputs.h.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <random>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "command_registry.h"
#include "fuzz_inputs.h"
#include "guest_machine.h"
#include "linker.h"
#include "runtime_interface.h"
#include "string_pool.h"

namespace tx {
namespace {

using namespace test;

constexpr uint64_t kDefaultSeed = 0x7E5E'F022;
constexpr uint64_t kBudget = 20'000;
// Every case runs in a block of its own, this far from the previous one. The emulator keeps its
// translation of code it has run and host writes do not invalidate it, so no code address is
// used twice; and code that runs on into the zeros after its end (two bytes an instruction)
// cannot reach the next block within the budget.
constexpr uint32_t kBlockStride = 64 * 1024;
static_assert(kBlockStride > 2 * kBudget + 256);
constexpr size_t kCasesPerGuest = 2000;  // then the guest is replaced (bounds its memory)

uint64_t envNumber(const char* name, uint64_t fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? std::strtoull(text, nullptr, 0) : fallback;
}

// ---- Isolation ----

// The working folder of a child of process `parent`.
std::filesystem::path scratchPath(pid_t parent) {
    return std::filesystem::temp_directory_path() / ("tervex-fuzz-" + std::to_string(parent));
}

// A fresh working folder while the object lives, removed afterwards: whatever a random program
// writes lands there. The parent removes it too, in case the child dies.
class ScratchFolder {
public:
    ScratchFolder() {
        std::filesystem::create_directories(path_);
        std::filesystem::current_path(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
        std::filesystem::remove_all(path_, ignored);
    }

private:
    std::filesystem::path previous_ = std::filesystem::current_path(),
                          path_ = scratchPath(getppid());
};

// Runs `body` in a child process: a crash there fails the calling test with the child's report,
// and the test program goes on.
void runIsolated(const std::function<void()>& body) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("SDL_VIDEODRIVER", "offscreen", 1);
            setenv("SDL_AUDIODRIVER", "dummy", 1);
            body();
            std::fflush(stdout);
            std::exit(::testing::Test::HasFailure() ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "")
        << "the child failed or died";
    std::error_code ignored;
    std::filesystem::remove_all(scratchPath(getpid()), ignored);
}

// ---- Guests ----

void noCommands(CommandRegistrar&) {}

// Guests without commands: every thunk but the return stub is ud2, so random code can run
// outside a program run (commands need the host runtime that only execute opens).
const CommandTable& emptyTable() {
    static const CommandTable table(&noCommands);
    return table;
}

bool isFaultMessage(const char* message) {
    for (const char* known :
         {"Illegal memory address", "Illegal instruction", "Stack overflow!",
          "Integer divide by zero", "Unknown runtime exception", "Out of memory"})
        if (message != nullptr && std::strcmp(message, known) == 0) return true;
    return false;
}

// A few guests reused in turn (making one costs a millisecond or more), each replaced after
// kCasesPerGuest cases.
class GuestPool {
public:
    GuestPool(size_t size, const CommandTable& table) : table_(table), guests_(size) {}
    // Each guest is made on first use and replaced after kCasesPerGuest cases.
    GuestMachine& next() {
        auto& guest = guests_[cases_ % guests_.size()];
        if (cases_++ % (kCasesPerGuest * guests_.size()) < guests_.size()) {
            guest = std::make_unique<GuestMachine>(table_);
            guest->setInstructionBudget(kBudget);
        }
        return *guest;
    }

private:
    const CommandTable& table_;
    std::vector<std::unique_ptr<GuestMachine>> guests_;
    size_t cases_ = 0;
};

// A block no code has run in.
GuestAddr freshBlock(GuestMachine& machine) {
    const GuestAddr block = machine.heap().allocate(kBlockStride);
    EXPECT_NE(block, 0u);
    return block;
}

void write(GuestMachine& machine, GuestAddr address, const Bytes& bytes) {
    if (bytes.empty()) return;
    std::memcpy(machine.memory().writableBytes(address, static_cast<uint32_t>(bytes.size())),
                bytes.data(), bytes.size());
}

// A program run after random code must behave as on a fresh guest: nothing a run leaves in the
// CPU (flags, stack, segments, x87 stack, SSE control) may reach the next run.
void expectCanaryRuns(GuestMachine& machine) {
    const GuestAddr block = freshBlock(machine), data = block + 0x100;
    Bytes code;
    auto op = [&](std::initializer_list<uint8_t> bytes) { code.insert(code.end(), bytes); };
    auto at = [&](uint32_t offset) { ImageBuilder::put32(code, data + offset); };
    op({0x89, 0x25}), at(52);                                // mov [data+52], esp
    op({0x9C, 0x58, 0xA3}), at(56);                          // pushfd; pop eax; mov [data+56], eax
    op({0xBE}), at(0), op({0xBF}), at(16);                   // mov esi, data; mov edi, data+16
    op({0xB9, 8, 0, 0, 0, 0xF3, 0xA4});                      // mov ecx, 8; rep movsb
    op({0xD9, 0xE8, 0xD9, 0xE8, 0xDE, 0xC1});                // fld1; fld1; faddp
    op({0xD9, 0x1D}), at(40);                                // fstp dword [data+40]
    op({0x0F, 0x57, 0xC9, 0xF3, 0x0F, 0x10, 0x05}), at(32);  // xorps xmm1; movss xmm0
    op({0xF3, 0x0F, 0x5E, 0xC1, 0xF3, 0x0F, 0x11, 0x05}), at(48);  // divss; movss [data+48]
    op({0x68, 0x78, 0x56, 0x34, 0x12, 0x58, 0xA3}), at(44);        // push; pop eax; store
    op({0xC3});
    write(machine, block, code);
    const Bytes pattern = {1, 2, 3, 5, 8, 13, 21, 34};
    write(machine, data, pattern);
    machine.memory().write<float>(data + 32, 1.0f);

    const GuestEnd end = machine.call(block);
    ASSERT_EQ(end.kind, GuestEndKind::Returned) << (end.message ? end.message : "");
    EXPECT_EQ(std::memcmp(machine.memory().bytes(data + 16, 8), pattern.data(), 8), 0);
    EXPECT_EQ(machine.memory().read<float>(data + 40), 2.0f);
    EXPECT_EQ(machine.memory().read<uint32_t>(data + 44), 0x1234'5678u);
    EXPECT_TRUE(std::isinf(machine.memory().read<float>(data + 48)));  // 1/0 stays masked
    EXPECT_EQ(machine.memory().read<uint32_t>(data + 52), layout::kStackTop - 4);
    EXPECT_EQ(machine.memory().read<uint32_t>(data + 56) & 0x4'0500u, 0u);  // DF, TF, AC clear
}

// ---- Running programs through the runtime ----

// Records the errors the runtime reports, and answers a suspended program as a debugger would:
// mostly by resuming it, every fourth time by ending it.
class RecordingDebugger final : public Debugger {
public:
    void debugRun() override {}
    void debugStop() override {
        if (++stops % 4 != 0) return runtimeGetRuntime().asyncRun();
        endedByDebugger = true;
        runtimeGetRuntime().asyncEnd();
    }
    void debugStmt(int32_t, const char*) override {}
    void debugEnter(uint32_t, uint32_t, uint32_t) override {}
    void debugLeave() override {}
    void debugInfo(const char*) override {}
    void debugError(const char* message) override {
        errors.push_back(message != nullptr ? message : "(null message)");
    }
    void debugLog(const char*) override {}

    std::vector<std::string> errors;
    int stops = 0;
    bool endedByDebugger = false;
};

// Lives for one run and ends it through asyncEnd when it outlasts two seconds (a long Delay, a
// wait for a timer). Its thread is joined before the next run opens the runtime.
class Watchdog {
public:
    std::atomic<bool> fired{false};

private:
    std::jthread thread_{[this](std::stop_token stop) {
        std::mutex mutex;
        std::unique_lock lock(mutex);
        std::condition_variable_any().wait_for(lock, stop, std::chrono::seconds(2),
                                               [] { return false; });
        if (stop.stop_requested()) return;
        fired = true;
        runtimeGetRuntime().asyncEnd();
    }};
};

// Runs a program through the runtime. It ends normally or in one reported runtime error (none
// reported when it was ended from outside) and leaves no block or string behind.
RunOutcome runSoundly(GuestMachine& machine, GuestAddr entry) {
    RecordingDebugger debugger;
    const size_t blocks = machine.heap().liveBlocks();
    RunOutcome outcome;
    bool cutShort;
    {
        Watchdog watchdog;
        outcome =
            runtimeGetRuntime().execute(ProgramEntry{&machine, entry}, "", &debugger, false, 0);
        cutShort = watchdog.fired || debugger.endedByDebugger;
    }
    EXPECT_TRUE(outcome == RunOutcome::Ended || outcome == RunOutcome::RuntimeError)
        << "outcome " << static_cast<int>(outcome);
    EXPECT_LE(debugger.errors.size(), 1u);
    if (!cutShort) {
        EXPECT_EQ(outcome == RunOutcome::RuntimeError, debugger.errors.size() == 1);
    }
    EXPECT_EQ(machine.heap().liveBlocks(), blocks);
    EXPECT_EQ(liveStrings(), 0);
    return outcome;
}

// Generates code for a fresh block of the guest and loads it there with its literals.
GuestAddr loadFuzzedCode(std::mt19937& rng, GuestMachine& machine, const CommandTable& table,
                         const std::vector<uint32_t>* callable, Bytes& code) {
    const GuestAddr block = freshBlock(machine);
    if (block == 0) return 0;
    code = CodeFuzzer(rng, block, table, callable).make();
    write(machine, block, code);
    write(machine, block + CodeFuzzer::kLiteralOffset, CodeFuzzer::literals());
    return block;
}

// After all the fuzzing, a new guest links a valid image and runs it to its normal end.
void expectFreshGuestRunsNormally() {
    GuestMachine machine;
    const SeedImage seed = callingSeed();
    const LinkResult linked = link(runtimeGetRuntime(), seed.bytes, machine);
    ASSERT_EQ(linked.status, Status::Linked) << linked.message;
    EXPECT_EQ(runSoundly(machine, linked.entry), RunOutcome::Ended);
    EXPECT_EQ(machine.memory().read<uint32_t>(linked.entry + seed.resultOffset), 42u);
    GuestMachine bare(emptyTable());
    expectCanaryRuns(bare);
}

// ---- The fuzz bodies ----

void linkerFuzz() {
    const uint64_t seed = envNumber("TERVEX_FUZZ_SEED", kDefaultSeed);
    const std::vector<SeedImage> seeds = {callingSeed(), endingSeed(), tableSeed()};
    const auto keys = runtimeKeys();
    ScratchFolder folder;
    GuestPool pool(3, CommandTable::instance());
    for (const SeedImage& s : seeds) {  // every seed links and runs to its normal end
        GuestMachine& machine = pool.next();
        const LinkResult r = link(runtimeGetRuntime(), s.bytes, machine);
        ASSERT_EQ(r.status, Status::Linked) << r.message;
        EXPECT_EQ(runSoundly(machine, r.entry), RunOutcome::Ended);
        EXPECT_EQ(machine.memory().read<uint32_t>(r.entry + s.resultOffset), 42u);
        freshBlock(machine);
    }

    const size_t count = envNumber("TERVEX_FUZZ_ITERATIONS", 3000);
    for (size_t i = 0; i < count && !::testing::Test::HasFailure(); ++i) {
        std::mt19937 rng = caseRng(seed, 1, i);
        const Bytes image =
            chance(rng, 12) ? randomBytes(rng, below(rng, 513)) : mutateImage(rng, seeds);
        SCOPED_TRACE(::testing::Message() << "linker fuzz, seed " << seed << ", case " << i);

        GuestMachine& machine = pool.next();
        const LinkResult r = link(runtimeGetRuntime(), image, machine);
        ASSERT_TRUE(r.status == Status::Linked || r.status == Status::UnusableImage ||
                    r.status == Status::MissingSymbol);
        const ImageReading expected = readImage(image, r.entry, keys);
        EXPECT_EQ(r.status, expected.status);
        if (r.status == Status::UnusableImage) {
            EXPECT_EQ(r.message, kUnusableImageMessage);
        } else if (r.status == Status::MissingSymbol) {
            EXPECT_EQ(r.message, "Can't find symbol: " + expected.missing);
        }
        if (r.status != Status::Linked || expected.status != Status::Linked) continue;

        const auto size = static_cast<uint32_t>(expected.code.size());
        EXPECT_TRUE(r.message.empty());
        ASSERT_GE(r.entry, layout::kHeapBase);
        ASSERT_LE(uint64_t{r.entry} + size, layout::kHeapEnd);
        ASSERT_GE(machine.heap().blockSize(r.entry), size);
        if (size != 0) {
            EXPECT_EQ(
                std::memcmp(machine.memory().bytes(r.entry, size), expected.code.data(), size), 0)
                << "the code block is not the image's code with its fixups applied";
        }
        freshBlock(machine);  // keeps the next image's code away from this one
        runSoundly(machine, r.entry);
    }
    expectFreshGuestRunsNormally();
}

void codeFuzz() {
    const uint64_t seed = envNumber("TERVEX_FUZZ_SEED", kDefaultSeed);
    GuestPool pool(3, emptyTable());
    const size_t count = envNumber("TERVEX_FUZZ_ITERATIONS", 5000);
    for (size_t i = 0; i < count && !::testing::Test::HasFailure(); ++i) {
        std::mt19937 rng = caseRng(seed, 2, i);
        GuestMachine& machine = pool.next();
        if (i % 250 == 0) expectCanaryRuns(machine);
        Bytes code;
        const GuestAddr block = loadFuzzedCode(rng, machine, emptyTable(), nullptr, code);
        ASSERT_NE(block, 0u);
        SCOPED_TRACE(::testing::Message() << "code fuzz, seed " << seed << ", case " << i);

        const GuestEnd end = machine.call(block);
        // Without commands nothing can end a run (GuestEndKind::Ended).
        ASSERT_TRUE(end.kind == GuestEndKind::Returned || end.kind == GuestEndKind::Fault ||
                    end.kind == GuestEndKind::BudgetSpent)
            << "kind " << static_cast<int>(end.kind);
        if (end.kind == GuestEndKind::Fault) {
            EXPECT_TRUE(isFaultMessage(end.message)) << (end.message ? end.message : "(null)");
        } else {
            EXPECT_EQ(end.message, nullptr);
        }
    }
    for (int g = 0; g < 3; ++g) expectCanaryRuns(pool.next());
    expectFreshGuestRunsNormally();
}

void runtimeCodeFuzz() {
    const uint64_t seed = envNumber("TERVEX_FUZZ_SEED", kDefaultSeed);
    const CommandTable& table = CommandTable::instance();
    const std::vector<uint32_t> callable = callableSlots(table);
    ScratchFolder folder;
    GuestPool pool(2, table);
    const size_t count = envNumber("TERVEX_FUZZ_ITERATIONS", 2000);
    for (size_t i = 0; i < count && !::testing::Test::HasFailure(); ++i) {
        std::mt19937 rng = caseRng(seed, 3, i);
        GuestMachine& machine = pool.next();
        Bytes code;
        const GuestAddr block = loadFuzzedCode(rng, machine, table, &callable, code);
        ASSERT_NE(block, 0u);
        SCOPED_TRACE(::testing::Message() << "runtime code fuzz, seed " << seed << ", case " << i);

        runSoundly(machine, block);
    }
    expectFreshGuestRunsNormally();
}

TEST(LinkerFuzz, MutatedAndRandomImagesLinkAsTheFormatSaysAndRunToAKnownEnd) {
    runIsolated(&linkerFuzz);
}

TEST(GuestCodeFuzz, RandomCodeEndsInAKnownWayAndLeavesTheGuestSound) {
    runIsolated(&codeFuzz);
}

TEST(GuestCodeFuzz, RandomCodeCallingCommandsEndsInAKnownWayThroughTheRuntime) {
    runIsolated(&runtimeCodeFuzz);
}

// ---- What the fuzzing found ----

// Guest code that took the emulator down, or ended without a fault, instead of raising an
// exception in the guest: each must end its run in a fault. Each runs in a child process.
TEST(GuestCodeFuzzFindings, InstructionsThatUpsetTheEmulatorEndInAFault) {
    const Bytes cases[] = {
        {0xB8, 2, 0, 0, 0, 0x0F, 0x23, 0xF8, 0xC3},  // mov eax, 2; mov dr7, eax (SIGSEGV)
        {0xFF, 0xD8},                                // call far with a register operand (abort)
        {0xFF, 0xE8},                                // jmp far with a register operand
        {0xF0, 0x39, 0x00},                          // lock cmp [eax], eax
        {0xF0, 0xA7},                                // lock cmpsd
        {0xF0, 0x0F, 0xAB, 0xC0},                    // lock bts eax, eax
        // hlt is privileged. A run without a budget cannot spend one, and the runtime would take
        // a spent budget for a normal end.
        {0xF4, 0xC3},
    };
    for (const Bytes& code : cases) {
        runIsolated([&code] {
            GuestMachine machine(emptyTable());
            const GuestAddr block = freshBlock(machine);
            write(machine, block, code);
            const GuestEnd end = machine.call(block);
            EXPECT_EQ(end.kind, GuestEndKind::Fault);
            EXPECT_TRUE(isFaultMessage(end.message));
        });
    }
}

}  // namespace
}  // namespace tx
