// The compiler: how fast it compiles a game-sized program (20,000 generated lines), and how fast
// the code it generates runs next to the same algorithms in C compiled by gcc -m32 -O1. Both
// versions of each algorithm are the differential test's programs, run as module images in the
// same runtime at a size given on their command line; each run is timed whole, link included.
#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "basic_module.h"
#include "command_registry.h"
#include "compile.h"
#include "debugger.h"
#include "guest_machine.h"
#include "host_runtime.h"
#include "linker.h"
#include "string_module.h"

namespace tx {
namespace {

// The programs use only the basic and string modules: a run creates and destroys just these.
const LibraryModule kModules[] = {kBasicModule, kStringModule};

RuntimeInterface& benchRuntime() {
    static const std::unique_ptr<RuntimeInterface> runtime =
        makeRuntimeInterface(&linkBasic, CommandTable::instance(), kModules);
    return *runtime;
}

const txc::CommandCatalog& benchCatalog() {
    static const txc::CommandCatalog catalog = txc::CommandCatalog::fromRuntime();
    return catalog;
}

std::vector<uint8_t> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// ---- compile speed

// A program of about `lines` lines in the style of a game's source: types with fields and
// vectors, globals, Dim arrays, and functions with loops, branches, Select, arithmetic of both
// kinds, strings, commands and objects; a main program that calls them all. The same text for
// the same count.
class ProgramText {
public:
    void line(const std::string& text) {
        text_ += text;
        text_ += '\n';
        ++lines_;
    }
    int lines() const { return lines_; }
    std::string take() { return std::move(text_); }

private:
    std::string text_;
    int lines_ = 0;
};

void numberFunction(ProgramText& p, int k) {
    const std::string n = std::to_string(k);
    auto mod = [k](int m, int plus = 0) { return std::to_string(k % m + plus); };
    p.line("Function calc" + n + "(count, scale# = 1.5, tag$ = \"t" + n + "\")");
    p.line("    Local total = " + n + ", f# = scale * " + mod(5, 1) +
           ".25, text$ = tag + \"-\" + " + n);
    p.line("    Local it.Item = New Item");
    p.line("    For i = 0 To count + " + mod(3));
    p.line("        total = total + i * " + mod(7, 1) + " - (i Shl 2) Xor $F" + mod(10));
    p.line("        If total > " + std::to_string(1000 + k) + " Then");
    p.line("            total = total Mod 97");
    p.line("        ElseIf total < -" + mod(50, 5) + " Then");
    p.line("            total = -total / 2");
    p.line("        Else");
    p.line("            f = f + Float(i) / 3.0 - Sqr(f) * 0.01");
    p.line("        EndIf");
    p.line("        grid(i And 15, total And 15) = grid(i And 15, total And 15) + 1");
    p.line("        weights(i And 63) = weights(i And 63) + f * " + mod(4, 1) + ".5");
    p.line("    Next");
    p.line("    While f > 10.0");
    p.line("        f = f / 2.0");
    p.line("        text = text + Left(text, 1)");
    p.line("    Wend");
    p.line("    Select total Mod 4");
    p.line("        Case 0");
    p.line("            text = text + \"zero\" + Str total");
    p.line("        Case 1, 2");
    p.line("            text = Upper(text)");
    p.line("        Default");
    p.line("            text = Lower(text) + Chr(65 + (total And 15))");
    p.line("    End Select");
    p.line("    it\\value = total");
    p.line("    it\\weight = f");
    p.line("    it\\name = text");
    p.line("    it\\slots[" + mod(8) + "] = Len(text)");
    p.line("    names(total And 31) = text");
    p.line("    Repeat");
    p.line("        total = total - " + mod(9, 3));
    p.line("    Until total < 0");
    p.line(
        "    If Instr(text, \"zero\") > 0 And f > 1.0 Then score = score + 1 Else score = score - "
        "1");
    p.line("    Delete it");
    p.line("    Return total + Len(text) + Int(f)");
    p.line("End Function");
    p.line("");
}

void textFunction(ProgramText& p, int k) {
    const std::string n = std::to_string(k);
    p.line("Function describe" + n + "$(it.Item)");
    p.line("    If it = Null Then Return \"none\"");
    p.line("    Local text$ = it\\name + \":\" + it\\value + \"/\" + it\\weight");
    p.line("    For other.Item = Each Item");
    p.line("        If other\\value > it\\value Then text = text + \"<\" Else text = text + \">\"");
    p.line("        If Len(text) > " + std::to_string(40 + k % 20) + " Then Exit");
    p.line("    Next");
    p.line("    Return Mid(text, 2) + Right(title, " + std::to_string(k % 4 + 1) + ")");
    p.line("End Function");
    p.line("");
}

std::string generatedProgram(int lines) {
    ProgramText p;
    p.line("; Generated for the compiler benchmark.");
    p.line("Type Item");
    p.line("    Field value, weight#, name$, link.Item, slots[7]");
    p.line("End Type");
    p.line("Type Pair");
    p.line("    Field left.Item, right.Item, score#");
    p.line("End Type");
    p.line("Global score, best#, title$ = \"tervex\"");
    p.line("Const WIDTH = 640, HEIGHT = 480");
    p.line("Dim grid(15, 15), names$(31), weights#(63)");
    p.line("");
    // Functions while the main program (two lines a function and a few more) still fits.
    int functions = 0;
    while (p.lines() + 2 * functions + 60 < lines) {
        if (functions % 3 == 2) {
            textFunction(p, functions++);
        } else {
            numberFunction(p, functions++);
        }
    }
    p.line("head.Item = New Item");
    p.line("head\\name = title");
    p.line("For round = 0 To 2");
    for (int k = 0; k < functions; ++k) {
        const std::string n = std::to_string(k);
        if (k % 3 == 2) {
            p.line("    title = describe" + n + "(head)");
        } else {
            p.line("    score = score + calc" + n + "(round + " + std::to_string(k % 5) +
                   ", round * 0.5)");
        }
    }
    p.line("Next");
    while (p.lines() < lines) p.line("best = best + score * 0.5 - WIDTH / HEIGHT");
    return p.take();
}

constexpr int kGeneratedLines = 20'000;

void BM_CompileGeneratedProgram(benchmark::State& state) {
    const std::string source = generatedProgram(kGeneratedLines);
    const txc::CommandCatalog& commands = benchCatalog();
    for (auto _ : state) {
        const txc::CompileResult result = txc::compileSource(source, "generated.tx", commands);
        if (!result.ok()) {
            const std::string text = result.diagnosticsText();
            state.SkipWithError(text.substr(0, text.find('\n')).c_str());
            return;
        }
        benchmark::DoNotOptimize(result.code->code.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kGeneratedLines);
    state.counters["lines"] = kGeneratedLines;
}

// ---- generated code against gcc -O1

// Counts a run's DebugLog lines and keeps the last: the benchmark shows it, so that the two
// versions' results at the benchmark's size can be compared (the test compares them at its own).
class LogTail final : public QuietDebugger {
public:
    int lines = 0;
    std::string last;
    void debugLog(const char* message) override {
        ++lines;
        last = message;
    }
};

// Every iteration opens a host runtime with `size` as the command line (an ended program leaves
// its host ended) and then times the whole run: the link into a fresh guest, the creation of
// the modules, the program from its start to its end.
void runImage(benchmark::State& state, const std::vector<uint8_t>& image, const char* size) {
    std::string last;
    for (auto _ : state) {
        LogTail log;
        const std::unique_ptr<HostRuntime> host = HostRuntime::open(size, &log, 0);
        if (host == nullptr) {
            state.SkipWithError("no host runtime");
            return;
        }
        const auto start = std::chrono::steady_clock::now();
        GuestMachine machine;
        const LinkResult linked = link(benchRuntime(), image, machine);
        if (linked.status != LinkResult::Status::Linked) {
            state.SkipWithError(linked.message.c_str());
            return;
        }
        const RunResult result = run(*host, ProgramEntry{&machine, linked.entry}, false, kModules);
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (result.outcome != RunOutcome::Ended || log.lines == 0) {
            state.SkipWithError(result.message != nullptr ? result.message
                                                          : "the program did not run to its end");
            return;
        }
        last = log.last;
    }
    state.SetLabel(last);
}

void BM_TervexBasic(benchmark::State& state, const char* program, const char* size) {
    const std::string path = std::string(TERVEX_DIFFERENTIAL_PROGRAMS) + "/" + program + ".tx";
    const txc::CompileResult compiled = txc::compileFile(path, benchCatalog());
    if (!compiled.ok()) {
        state.SkipWithError(
            ("cannot compile " + path + ":\n" + compiled.diagnosticsText()).c_str());
        return;
    }
    runImage(state, compiled.imageBytes(), size);
}

void BM_GccO1(benchmark::State& state, const char* program, const char* size) {
    const std::string path = std::string(TERVEX_DIFFERENTIAL_IMAGES) + "/" + program + ".tmi";
    const std::vector<uint8_t> image = fileBytes(path);
    if (image.empty()) {
        state.SkipWithError(("cannot read " + path).c_str());
        return;
    }
    runImage(state, image, size);
}

BENCHMARK(BM_CompileGeneratedProgram)->Unit(benchmark::kMillisecond);

// The differential test's programs, at sizes where the algorithm outweighs the link and the
// setup around it.
#define TERVEX_DIFFERENTIAL(program, size)                     \
    BENCHMARK_CAPTURE(BM_TervexBasic, program, #program, size) \
        ->UseManualTime()                                      \
        ->Unit(benchmark::kMillisecond);                       \
    BENCHMARK_CAPTURE(BM_GccO1, program, #program, size)       \
        ->UseManualTime()                                      \
        ->Unit(benchmark::kMillisecond)

TERVEX_DIFFERENTIAL(insertion_sort, "2000");
TERVEX_DIFFERENTIAL(sieve, "100000");
TERVEX_DIFFERENTIAL(physics, "1000");
TERVEX_DIFFERENTIAL(string_building, "20000");
TERVEX_DIFFERENTIAL(quicksort, "20000");

}  // namespace
}  // namespace tx
