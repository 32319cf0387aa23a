// Objects as compiled code uses them, in a guest loop inside a program run: New, a string stored
// into a field, Delete; and a for-each walk over 100,000 objects. The guest marks the start and
// end of the measured part, so setup (and the first object block) stays outside it. Host heap
// allocations in the measured part are counted through the replaced global operator new and
// malloc's own statistics.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <new>

#include "basic_module.h"
#include "command_registry.h"
#include "guest_code.h"
#include "host_runtime.h"
#include "language_layout.h"

namespace {

std::atomic<uint64_t> operatorNewCalls{0};

}  // namespace

// Counting allocator for the whole benchmark binary: one relaxed increment per allocation. None
// of it is inlined, so callers never see malloc and free behind new and delete.
[[gnu::noinline]] void* operator new(std::size_t size) {
    operatorNewCalls.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* p) noexcept {
    std::free(p);
}
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace tx {
namespace {

// What the guest's two marks record: the time and the allocation counters at each.
struct Marks {
    int calls = 0;
    std::chrono::steady_clock::time_point start, stop;
    uint64_t newsAtStart = 0, newsAtStop = 0;
    size_t mallocAtStart = 0, mallocAtStop = 0;
};

Marks& marks() {
    static Marks m;
    return m;
}

void benchMark() {
    Marks& m = marks();
    const size_t inUse = mallinfo2().uordblks;
    const uint64_t news = operatorNewCalls.load(std::memory_order_relaxed);
    const auto now = std::chrono::steady_clock::now();
    if (m.calls++ == 0) {
        m.start = now, m.newsAtStart = news, m.mallocAtStart = inUse;
    } else {
        m.stop = now, m.newsAtStop = news, m.mallocAtStop = inUse;
    }
}

void linkWithMark(CommandRegistrar& r) {
    linkBasic(r);
    r.add(command<benchMark>("_txBenchMark"));
}

const CommandTable& benchTable() {
    static const CommandTable table(&linkWithMark);
    return table;
}

const LibraryModule kBasicOnly[] = {
    kBasicModule,
};

// Addresses of the routines the loops call.
struct Routines {
    GuestAddr objNew, objDelete, eachFirst, eachNext, strConst, strStore, mark;
};

Routines routines() {
    CommandRegistry registry(&linkWithMark, benchTable());
    registry.fill();
    return {registry.symbolValue("_txObjNew"),       registry.symbolValue("_txObjDelete"),
            registry.symbolValue("_txObjEachFirst"), registry.symbolValue("_txObjEachNext"),
            registry.symbolValue("_txStrConst"),     registry.symbolValue("_txStrStore"),
            registry.symbolValue("_txBenchMark")};
}

// A user type with the given field types, laid out as the compiler emits it.
GuestAddr makeType(GuestMachine& m, std::initializer_list<GuestAddr> fieldTypes) {
    const uint32_t n = static_cast<uint32_t>(fieldTypes.size());
    const GuestAddr t = m.heap().allocate(lang::objtype::kFieldTypes + 4 * n);
    GuestMemory& mem = m.memory();
    mem.write<uint32_t>(t, kTagObject);
    for (const uint32_t list : {lang::objtype::kUsed, lang::objtype::kFree}) {
        mem.write<uint32_t>(t + list + lang::obj::kNext, t + list);
        mem.write<uint32_t>(t + list + lang::obj::kPrev, t + list);
        mem.write<int32_t>(t + list + lang::obj::kRefCount, -1);
    }
    mem.write<uint32_t>(t + lang::objtype::kFieldCount, n);
    uint32_t i = 0;
    for (const GuestAddr f : fieldTypes)
        mem.write<uint32_t>(t + lang::objtype::kFieldTypes + 4 * i++, f);
    return t;
}

// Runs the program once per benchmark iteration; the time between its marks is the iteration's.
void runMarked(benchmark::State& state, GuestMachine& machine, GuestAddr entry, uint64_t items) {
    std::unique_ptr<HostRuntime> runtime = HostRuntime::open("", nullptr, 0);
    if (runtime == nullptr) {
        state.SkipWithError("no host runtime");
        return;
    }
    uint64_t news = 0;
    int64_t mallocGrowth = 0;
    for (auto _ : state) {
        marks() = Marks{};
        const RunResult result = run(*runtime, ProgramEntry{&machine, entry}, false, kBasicOnly);
        if (result.outcome != RunOutcome::Ended || marks().calls != 2) {
            state.SkipWithError("the program did not run to its end");
            return;
        }
        const Marks& m = marks();
        state.SetIterationTime(std::chrono::duration<double>(m.stop - m.start).count());
        news += m.newsAtStop - m.newsAtStart;
        mallocGrowth +=
            static_cast<int64_t>(m.mallocAtStop) - static_cast<int64_t>(m.mallocAtStart);
    }
    const double iterations = static_cast<double>(state.iterations());
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * items));
    state.counters["new_calls_per_item"] = static_cast<double>(news) / (iterations * items);
    state.counters["malloc_growth_bytes"] = static_cast<double>(mallocGrowth) / iterations;
}

constexpr uint32_t kObjectsPerRun = 100'000;

// o = New Holder; o\name = "player one"; Delete o.
void BM_ObjectNewStoreStringDelete(benchmark::State& state) {
    const Routines r = routines();
    GuestMachine machine(benchTable());
    const GuestAddr type = makeType(machine, {lang::kStrType, lang::kIntType});
    const GuestAddr literal = bench::guestLiteral(machine, "player one");

    bench::GuestCode code(machine);
    auto body = [&] {
        code.push(type).call(r.objNew).popArgs(1).bytes({0x89, 0xC3});  // mov ebx, eax
        code.push(literal).call(r.strConst).popArgs(1);
        code.pushEax().bytes({0xFF, 0x33}).call(r.strStore).popArgs(2);  // push [ebx]: the cell
        code.bytes({0x53}).call(r.objDelete).popArgs(1);                 // push ebx
    };
    body();  // the first object block and string block are made before the measured part
    code.call(r.mark).loopStart(kObjectsPerRun);
    body();
    code.loopEnd().call(r.mark).ret();
    runMarked(state, machine, code.load(), kObjectsPerRun);
}

// For Each over 100,000 objects, made before the measured part.
void BM_ForEachOver100kObjects(benchmark::State& state) {
    const Routines r = routines();
    GuestMachine machine(benchTable());
    const GuestAddr type = makeType(machine, {lang::kIntType, lang::kFltType});
    const GuestAddr loopVariable = machine.heap().allocate(4);

    bench::GuestCode code(machine);
    code.loopStart(kObjectsPerRun).push(type).call(r.objNew).popArgs(1).loopEnd();
    code.call(r.mark);
    code.push(type).push(loopVariable).call(r.eachFirst).popArgs(2);
    const GuestAddr top = code.here();
    code.bytes({0x85, 0xC0, 0x0F, 0x84}).dword(18);  // test eax, eax; jz past the loop
    code.push(loopVariable).call(r.eachNext).popArgs(1);
    code.bytes({0xE9}).dword(top - (code.here() + 4));  // jmp top
    code.call(r.mark).ret();
    runMarked(state, machine, code.load(), kObjectsPerRun);
}

BENCHMARK(BM_ObjectNewStoreStringDelete)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ForEachOver100kObjects)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tx
