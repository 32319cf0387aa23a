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
#include <set>
#include <stop_token>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "command_registry.h"
#include "fuzz_inputs.h"
#include "guest_machine.h"
#include "linker.h"
#include "recording_debugger.h"
#include "runtime_interface.h"
#include "string_pool.h"
#include "test_files.h"

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

// Runs `body` in a child process, in a fresh working folder where whatever a random program
// writes lands: a crash there fails the calling test with the child's report, and the test
// program goes on.
void runIsolated(const std::function<void()>& body) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("SDL_VIDEODRIVER", "offscreen", 1);
            setenv("SDL_AUDIODRIVER", "dummy", 1);
            {
                TempDir scratch;
                std::filesystem::current_path(scratch.path());
                body();
            }
            std::fflush(stdout);
            std::exit(::testing::Test::HasFailure() ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "")
        << "the child failed or died";
}

// ---- Guests ----

// Guests without commands: every thunk but the return stub is ud2, so random code can run
// outside a program run (commands need the host runtime that only execute opens).
const CommandTable& emptyTable() {
    static const CommandTable table([](CommandRegistrar&) {});
    return table;
}

bool isFaultMessage(const char* message) {
    static const std::set<std::string_view> known = {
        "Illegal memory address", "Illegal instruction",       "Stack overflow!",
        "Integer divide by zero", "Unknown runtime exception", "Out of memory"};
    return message != nullptr && known.contains(message);
}

// A few guests reused in turn (making one costs a millisecond or more), each made on first use
// and replaced after kCasesPerGuest cases.
class GuestPool {
public:
    GuestPool(size_t size, const CommandTable& table) : table_(table), guests_(size) {}
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

// A program run after random code must behave as on a fresh guest: nothing a run leaves in the
// CPU (flags, stack, segments, x87 stack, SSE control) may reach the next run.
void expectCanaryRuns(GuestMachine& machine) {
    const GuestAddr block = freshBlock(machine), d = block + 0x100;
    // Saves esp and the flags, copies 8 bytes with rep movsb, stores 1 + 1 from the x87 stack and
    // 1 / 0 from SSE, and a value through push and pop.
    writeBytes(machine, block,
               hexCode("8925w 9C58A3w BEw BFw B908000000F3A4 D9E8D9E8DEC1 D91Dw 0F57C9 F30F1005w "
                       "F30F5EC1 F30F1105w 687856341258A3w C3",
                       {d + 52, d + 56, d, d + 16, d + 40, d + 32, d + 48, d + 44}));
    const Bytes pattern = {1, 2, 3, 5, 8, 13, 21, 34};
    writeBytes(machine, d, pattern);
    machine.memory().write<float>(d + 32, 1.0f);

    const GuestEnd end = machine.call(block);
    ASSERT_EQ(end.kind, GuestEndKind::Returned) << (end.message ? end.message : "");
    EXPECT_EQ(std::memcmp(machine.memory().bytes(d + 16, 8), pattern.data(), 8), 0);
    EXPECT_EQ(machine.memory().read<float>(d + 40), 2.0f);
    EXPECT_EQ(machine.memory().read<uint32_t>(d + 44), 0x1234'5678u);
    EXPECT_TRUE(std::isinf(machine.memory().read<float>(d + 48)));  // 1/0 stays masked
    EXPECT_EQ(machine.memory().read<uint32_t>(d + 52), layout::kStackTop - 4);
    EXPECT_EQ(machine.memory().read<uint32_t>(d + 56) & 0x4'0500u, 0u);  // DF, TF, AC clear
}

// ---- Running programs through the runtime ----

// Records the errors the runtime reports, and answers a suspended program as a debugger would:
// mostly by resuming it, every fourth time by ending it.
struct EndingDebugger final : RecordingDebugger {
    void debugStop() override {
        if (++stops % 4 != 0) return runtimeGetRuntime().asyncRun();
        endedByDebugger = true;
        runtimeGetRuntime().asyncEnd();
    }
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
    EndingDebugger debugger;
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

// Links a seed image and runs it to its normal end, which leaves 42 in its result cell.
void expectSeedRuns(GuestMachine& machine, const SeedImage& seed) {
    const LinkResult linked = link(runtimeGetRuntime(), seed.bytes, machine);
    ASSERT_EQ(linked.status, Status::Linked) << linked.message;
    EXPECT_EQ(runSoundly(machine, linked.entry), RunOutcome::Ended);
    EXPECT_EQ(machine.memory().read<uint32_t>(linked.entry + seed.resultOffset), 42u);
}

// After all the fuzzing, new guests run a valid image and the canary as on a fresh start.
void expectFreshGuestsRunNormally() {
    GuestMachine machine, bare(emptyTable());
    expectSeedRuns(machine, seedImages().front());
    expectCanaryRuns(bare);
}

// ---- The fuzz bodies ----

void linkerFuzz() {
    const uint64_t seed = envNumber("TERVEX_FUZZ_SEED", kDefaultSeed);
    const std::vector<SeedImage> seeds = seedImages();
    GuestPool pool(3, CommandTable::instance());
    for (const SeedImage& s : seeds) {
        GuestMachine& machine = pool.next();
        expectSeedRuns(machine, s);
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
        const ImageReading expected = expectedLink(image, r.entry);
        EXPECT_EQ(r.status, expected.linked    ? Status::Linked
                            : expected.missing ? Status::MissingSymbol
                                               : Status::UnusableImage);
        if (r.status == Status::UnusableImage) {
            EXPECT_EQ(r.message, kUnusableImageMessage);
        } else if (r.status == Status::MissingSymbol) {
            EXPECT_EQ(r.message, "Can't find symbol: " + *expected.missing);
        }
        if (r.status != Status::Linked || !expected.linked) continue;

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
    expectFreshGuestsRunNormally();
}

// Random code on guests without commands (withCommands false) ends in a known way and leaves the
// guest sound; with commands it runs through the runtime, which ends it soundly.
void codeFuzz(bool withCommands) {
    const uint64_t seed = envNumber("TERVEX_FUZZ_SEED", kDefaultSeed);
    const CommandTable& table = withCommands ? CommandTable::instance() : emptyTable();
    const std::vector<uint32_t> callable = callableSlots(table);
    GuestPool pool(withCommands ? 2 : 3, table);
    const size_t count = envNumber("TERVEX_FUZZ_ITERATIONS", withCommands ? 2000 : 5000);
    for (size_t i = 0; i < count && !::testing::Test::HasFailure(); ++i) {
        std::mt19937 rng = caseRng(seed, withCommands ? 3 : 2, i);
        GuestMachine& machine = pool.next();
        if (!withCommands && i % 250 == 0) expectCanaryRuns(machine);
        const GuestAddr block = freshBlock(machine);
        writeBytes(machine, block,
                   CodeFuzzer(rng, block, table, withCommands ? &callable : nullptr).make());
        writeBytes(machine, block + CodeFuzzer::kLiteralOffset, CodeFuzzer::literals());
        SCOPED_TRACE(::testing::Message() << "code fuzz, seed " << seed << ", case " << i);
        if (withCommands) {
            runSoundly(machine, block);
            continue;
        }
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
    for (int g = 0; g < 3 && !withCommands; ++g) expectCanaryRuns(pool.next());
    expectFreshGuestsRunNormally();
}

TEST(LinkerFuzz, MutatedAndRandomImagesLinkAsTheFormatSaysAndRunToAKnownEnd) {
    runIsolated(&linkerFuzz);
}

TEST(GuestCodeFuzz, RandomCodeEndsInAKnownWayAndLeavesTheGuestSound) {
    runIsolated([] { codeFuzz(false); });
}

TEST(GuestCodeFuzz, RandomCodeCallingCommandsEndsInAKnownWayThroughTheRuntime) {
    runIsolated([] { codeFuzz(true); });
}

}  // namespace
}  // namespace tx
