// TCP loopback throughput through the bank transfer commands (WriteBytes on one end, ReadBytes
// on the other), and small values through the stream commands. One thread: each chunk is
// written and then read back while it fits in the loopback buffers.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "bank_commands.h"
#include "library_modules.h"
#include "socket_commands.h"
#include "sockets_state.h"
#include "stream_commands.h"
#include "string_pool.h"

namespace tx {
namespace {

// A connected client and server side on loopback, with the modules they need.
class LoopbackPair {
public:
    LoopbackPair() {
        stringsCreate();
        bankCreate();
        socketsCreate();
        tcpTimeouts(ModuleState<SocketsModule>::running(), 5000, 5000);
        const uint32_t server = createTCPServer(ModuleState<SocketsModule>::running(), 0);
        const int32_t port = server != 0 ? socketsModule()->servers.find(server)->port() : 0;
        client = openTCPStream(ModuleState<SocketsModule>::running(),
                               StrArg(strNew("127.0.0.1").handle), port, 0);
        accepted = client != 0 ? acceptTCPStream(server) : 0;
    }
    ~LoopbackPair() {
        socketsDestroy();
        bankDestroy();
        stringsDestroy();
    }
    LoopbackPair(const LoopbackPair&) = delete;
    LoopbackPair& operator=(const LoopbackPair&) = delete;

    bool ok() const { return accepted != 0; }

    uint32_t client = 0;
    uint32_t accepted = 0;
};

void BM_TcpLoopbackBankTransfer(benchmark::State& state) {
    const auto chunk = static_cast<int32_t>(state.range(0));
    LoopbackPair pair;
    if (!pair.ok()) {
        state.SkipWithError("no loopback connection");
        return;
    }
    const uint32_t out = createBank(ModuleState<BankModule>::running(), chunk);
    const uint32_t in = createBank(ModuleState<BankModule>::running(), chunk);
    for (int32_t i = 0; i < chunk; i += 4) pokeInt(out, i, i * 31);
    for (auto _ : state) {
        const int32_t written = writeBytes(out, pair.client, 0, chunk);
        const int32_t read = readBytes(in, pair.accepted, 0, chunk);
        if (written != chunk || read != chunk) {
            state.SkipWithError("short transfer");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * chunk);
}
BENCHMARK(BM_TcpLoopbackBankTransfer)->Arg(1024)->Arg(16384)->Arg(65536)->UseRealTime();

// Many small values per round: the per-command cost of a TCP stream.
void BM_TcpLoopbackWriteReadInt(benchmark::State& state) {
    constexpr int32_t kValues = 1024;
    LoopbackPair pair;
    if (!pair.ok()) {
        state.SkipWithError("no loopback connection");
        return;
    }
    for (auto _ : state) {
        for (int32_t i = 0; i < kValues; ++i) writeInt(pair.client, i);
        int32_t sum = 0;
        for (int32_t i = 0; i < kValues; ++i) sum += readInt(pair.accepted);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kValues);
}
BENCHMARK(BM_TcpLoopbackWriteReadInt)->UseRealTime();

// A line read byte by byte from the receive buffer: the cost of ReadLine on a TCP stream.
void BM_TcpLoopbackReadLine(benchmark::State& state) {
    const auto length = static_cast<size_t>(state.range(0));
    LoopbackPair pair;
    if (!pair.ok()) {
        state.SkipWithError("no loopback connection");
        return;
    }
    const std::string text(length, 'x');
    for (auto _ : state) {
        writeLine(pair.client, StrArg(strNew(text).handle));
        const Str line = readLine(pair.accepted);
        if (strText(line.handle).size() != length) state.SkipWithError("short line");
        strRelease(line.handle);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * (length + 2)));
}
BENCHMARK(BM_TcpLoopbackReadLine)->Arg(64)->Arg(16384)->UseRealTime();

}  // namespace
}  // namespace tx
