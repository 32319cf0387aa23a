#include "system_commands.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <string>

#include "basic_module.h"
#include "basic_state.h"
#include "guest_machine.h"
#include "tx_error.h"

namespace tx {
namespace {

void endCommand() {
    endQuietly();
}

void stopCommand() {
    theRuntime().stop();
    if (!theRuntime().idle()) endQuietly();
}

void appTitle(StrArg title, StrArg closePrompt) {
    theRuntime().setTitle(title.view(), closePrompt.view());
}

void runtimeErrorCommand(BasicModule& module, StrArg message) {
    char* buffer = module.errorBuffer;
    const std::string_view text = message.view().substr(0, sizeof module.errorBuffer - 1);
    std::copy(text.begin(), text.end(), buffer);
    buffer[text.size()] = '\0';
    message = StrArg();  // the argument is released before the error unwinds
    runtimeError(buffer);
}

void execFile(StrArg command) {
    const std::string text(command.view());
    command = StrArg();
    theRuntime().execFile(text);
    if (!theRuntime().idle()) endQuietly();
}

void delay(int32_t milliseconds) {
    if (!theRuntime().delay(milliseconds)) endQuietly();
}

// A millisecond counter that wraps at 32 bits.
int32_t milliSecs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const uint64_t ms = uint64_t(now.tv_sec) * 1000u + uint64_t(now.tv_nsec) / 1'000'000u;
    return static_cast<int32_t>(static_cast<uint32_t>(ms));
}

Str commandLine() {
    return strNew(theRuntime().commandLine());
}

Str systemProperty(StrArg name) {
    return strNew(theRuntime().systemProperty(name.view()));
}

// Names that the environment cannot hold (empty, or with '=' or a zero byte) read as unset.
bool validEnvName(std::string_view name) {
    return !name.empty() && name.find('=') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

Str getEnv(StrArg name) {
    if (!validEnvName(name.view())) return strNew({});
    const char* value = std::getenv(std::string(name.view()).c_str());
    return strNew(value != nullptr ? value : "");
}

void setEnv(StrArg name, StrArg value) {
    if (!validEnvName(name.view())) return;
    const std::string key(name.view());
    if (value.view().empty()) {
        unsetenv(key.c_str());
    } else {
        // Text after a zero byte cannot reach the environment; it is cut there.
        setenv(key.c_str(), std::string(value.view()).c_str(), 1);
    }
}

int32_t createTimer(BasicModule& module, int32_t hertz) {
    HostTimer* timer = theRuntime().createTimer(hertz);
    if (timer == nullptr) return 0;
    const uint32_t handle = module.timers.insert(timer);
    if (handle == 0) theRuntime().freeTimer(timer);
    return static_cast<int32_t>(handle);
}

// Timer handles are never an error: a dead one waits for nothing and frees nothing.
using TimerHandle = Handle<HostTimer, HandleCheck::Lenient>;

int32_t waitTimer(TimerHandle timer) {
    const int32_t periods = timer ? timer->wait() : 0;
    if (!theRuntime().idle()) endQuietly();
    return periods;
}

void freeTimer(BasicModule& module, TimerHandle timer) {
    if (!timer) return;
    module.timers.remove(timer.raw());
    theRuntime().freeTimer(timer.get());
}

void debugLog(StrArg text) {
    theRuntime().debugLog(std::string(text.view()).c_str());
}

void debugStmt(GuestMachine& machine, int32_t position, GuestPtr<const char> file) {
    BasicModule& module = basicState();
    module.statementLine = position;
    module.statementFile = file.address();
    HostRuntime& runtime = theRuntime();
    if (runtime.hasDebugger()) {
        const std::string fileName(machine.memory().cString(file.address()));
        runtime.debugStmt(position, fileName.c_str());
    }
    if (!runtime.idle()) endQuietly();
}

// The three are guest addresses the debugger reads through its own means.
void debugEnter(GuestPtr<void> frame, GuestPtr<void> environment, GuestPtr<void> function) {
    theRuntime().debugEnter(frame.address(), environment.address(), function.address());
}

void debugLeave() {
    theRuntime().debugLeave();
}

constexpr CommandDef kSystemCommands[] = {
    command<endCommand>("End"),
    command<stopCommand>("Stop"),
    command<appTitle>("AppTitle$title$close_prompt=\"\""),
    command<runtimeErrorCommand>("RuntimeError$message"),
    command<execFile>("ExecFile$command"),
    command<delay>("Delay%millisecs"),
    command<milliSecs>("%MilliSecs"),
    command<commandLine>("$CommandLine"),
    command<systemProperty>("$SystemProperty$property"),
    command<getEnv>("$GetEnv$env_var"),
    command<setEnv>("SetEnv$env_var$value"),
    command<createTimer>("%CreateTimer%hertz"),
    command<waitTimer>("%WaitTimer%timer"),
    command<freeTimer>("FreeTimer%timer"),
    command<debugLog>("DebugLog$text"),
    command<debugStmt>("_txDebugStmt"),
    command<debugEnter>("_txDebugEnter"),
    command<debugLeave>("_txDebugLeave"),
};

}  // namespace

std::span<const CommandDef> systemCommands() {
    return kSystemCommands;
}

}  // namespace tx
