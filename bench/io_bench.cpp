// Writing and reading 10 MB through file streams: one byte per command (from guest code and from
// C++), whole banks with WriteBytes/ReadBytes, and the C library's stdio on the same data.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bank_commands.h"
#include "filesystem_commands.h"
#include "guest_code.h"
#include "library_modules.h"
#include "stream_commands.h"
#include "string_pool.h"

namespace tx {
namespace {

constexpr int32_t kBytes = 10 * 1024 * 1024;

// A temporary directory and the stream, file-system and bank modules for one benchmark.
class IoBench {
public:
    IoBench() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tervex-io-bench-XXXXXX").string();
        dir_ = ::mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
        stringsCreate();
        streamCreate();
        filesystemCreate();
        bankCreate();
    }
    ~IoBench() {
        bankDestroy();
        filesystemDestroy();
        streamDestroy();
        stringsDestroy();
        std::error_code ignored;
        if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
    }
    bool ok() const { return !dir_.empty(); }
    std::string file() const { return dir_ + "/data.bin"; }
    static StrArg name(const std::string& path) { return StrArg(strNew(path).handle); }

    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    using File = std::unique_ptr<std::FILE, FileCloser>;
    File open(const char* mode) const { return File(std::fopen(file().c_str(), mode)); }

    // A file of kBytes bytes to read from.
    void prepare() const {
        std::vector<uint8_t> data(kBytes);
        for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 31);
        if (const File f = open("wb")) std::fwrite(data.data(), 1, data.size(), f.get());
    }

private:
    std::string dir_;
};

void finish(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kBytes);
}

// A guest loop: push value?, push stream, call the command, pop the arguments.
GuestAddr byteLoop(bench::GuestCode& code, GuestAddr command, uint32_t stream, bool write) {
    code.loopStart(kBytes);
    if (write) code.bytes({0x56});  // push esi: the byte written is the loop counter
    code.push(stream).call(command).popArgs(write ? 2 : 1);
    code.loopEnd().ret();
    return code.load();
}

void BM_GuestWriteByte(benchmark::State& state) {
    IoBench io;
    if (!io.ok()) return state.SkipWithError("no temporary directory");
    GuestMachine machine;
    const GuestAddr writeByteCommand = bench::commandAddress("WriteByte%stream%byte");
    for (auto _ : state) {
        const uint32_t out =
            writeFile(ModuleState<FilesystemModule>::running(), IoBench::name(io.file()));
        bench::GuestCode loop(machine);
        const GuestAddr entry = byteLoop(loop, writeByteCommand, out, true);
        if (machine.call(entry).kind != GuestEndKind::Returned) state.SkipWithError("guest failed");
        closeFile(ModuleState<FilesystemModule>::running(), out);
    }
    finish(state);
}

void BM_GuestReadByte(benchmark::State& state) {
    IoBench io;
    if (!io.ok()) return state.SkipWithError("no temporary directory");
    io.prepare();
    GuestMachine machine;
    const GuestAddr readByteCommand = bench::commandAddress("%ReadByte%stream");
    for (auto _ : state) {
        const uint32_t in =
            readFile(ModuleState<FilesystemModule>::running(), IoBench::name(io.file()));
        bench::GuestCode loop(machine);
        const GuestAddr entry = byteLoop(loop, readByteCommand, in, false);
        if (machine.call(entry).kind != GuestEndKind::Returned) state.SkipWithError("guest failed");
        closeFile(ModuleState<FilesystemModule>::running(), in);
    }
    finish(state);
}

void BM_CommandWriteByte(benchmark::State& state) {
    IoBench io;
    if (!io.ok()) return state.SkipWithError("no temporary directory");
    for (auto _ : state) {
        const uint32_t out =
            writeFile(ModuleState<FilesystemModule>::running(), IoBench::name(io.file()));
        for (int32_t i = 0; i < kBytes; ++i) writeByte(out, i);
        closeFile(ModuleState<FilesystemModule>::running(), out);
    }
    finish(state);
}

void BM_CommandReadByte(benchmark::State& state) {
    IoBench io;
    if (!io.ok()) return state.SkipWithError("no temporary directory");
    io.prepare();
    for (auto _ : state) {
        const uint32_t in =
            readFile(ModuleState<FilesystemModule>::running(), IoBench::name(io.file()));
        int32_t sum = 0;
        for (int32_t i = 0; i < kBytes; ++i) sum += readByte(in);
        benchmark::DoNotOptimize(sum);
        closeFile(ModuleState<FilesystemModule>::running(), in);
    }
    finish(state);
}

// The whole bank in one call (chunk 0) or in chunks of the given size.
void BM_BankWriteBytes(benchmark::State& state) {
    IoBench io;
    if (!io.ok()) return state.SkipWithError("no temporary directory");
    const auto chunk = static_cast<int32_t>(state.range(0) != 0 ? state.range(0) : kBytes);
    const uint32_t bank = createBank(ModuleState<BankModule>::running(), kBytes);
    for (auto _ : state) {
        const uint32_t out =
            writeFile(ModuleState<FilesystemModule>::running(), IoBench::name(io.file()));
        for (int32_t at = 0; at < kBytes; at += chunk) writeBytes(bank, out, at, chunk);
        closeFile(ModuleState<FilesystemModule>::running(), out);
    }
    finish(state);
}

void BM_BankReadBytes(benchmark::State& state) {
    IoBench io;
    if (!io.ok()) return state.SkipWithError("no temporary directory");
    io.prepare();
    const auto chunk = static_cast<int32_t>(state.range(0) != 0 ? state.range(0) : kBytes);
    const uint32_t bank = createBank(ModuleState<BankModule>::running(), kBytes);
    for (auto _ : state) {
        const uint32_t in =
            readFile(ModuleState<FilesystemModule>::running(), IoBench::name(io.file()));
        for (int32_t at = 0; at < kBytes; at += chunk) readBytes(bank, in, at, chunk);
        closeFile(ModuleState<FilesystemModule>::running(), in);
    }
    finish(state);
}

void BM_StdioPutc(benchmark::State& state) {
    IoBench io;
    if (!io.ok()) return state.SkipWithError("no temporary directory");
    for (auto _ : state) {
        const IoBench::File f = io.open("wb");
        if (f == nullptr) return state.SkipWithError("cannot open the file");
        for (int32_t i = 0; i < kBytes; ++i) std::fputc(i & 0xFF, f.get());
    }
    finish(state);
}

void BM_StdioGetc(benchmark::State& state) {
    IoBench io;
    if (!io.ok()) return state.SkipWithError("no temporary directory");
    io.prepare();
    for (auto _ : state) {
        const IoBench::File f = io.open("rb");
        if (f == nullptr) return state.SkipWithError("cannot open the file");
        int32_t sum = 0;
        for (int32_t i = 0; i < kBytes; ++i) sum += std::fgetc(f.get());
        benchmark::DoNotOptimize(sum);
    }
    finish(state);
}

void BM_StdioFwrite(benchmark::State& state) {
    IoBench io;
    if (!io.ok()) return state.SkipWithError("no temporary directory");
    const std::vector<uint8_t> data(kBytes, 0x5A);
    for (auto _ : state) {
        const IoBench::File f = io.open("wb");
        if (f == nullptr) return state.SkipWithError("cannot open the file");
        std::fwrite(data.data(), 1, data.size(), f.get());
    }
    finish(state);
}

void BM_StdioFread(benchmark::State& state) {
    IoBench io;
    if (!io.ok()) return state.SkipWithError("no temporary directory");
    io.prepare();
    std::vector<uint8_t> data(kBytes);
    for (auto _ : state) {
        const IoBench::File f = io.open("rb");
        if (f == nullptr) return state.SkipWithError("cannot open the file");
        benchmark::DoNotOptimize(std::fread(data.data(), 1, data.size(), f.get()));
    }
    finish(state);
}

BENCHMARK(BM_GuestWriteByte)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_GuestReadByte)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_CommandWriteByte)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CommandReadByte)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdioPutc)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdioGetc)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BankWriteBytes)->Arg(0)->Arg(16384)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BankReadBytes)->Arg(0)->Arg(16384)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdioFwrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdioFread)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tx
