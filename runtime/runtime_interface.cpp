#include "runtime_interface.h"

#include <mutex>
#include <ostream>
#include <string>

#include "basic_module.h"
#include "command_registry.h"
#include "host_runtime.h"

namespace tx {
namespace {

std::string trimSpaces(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

class Runtime final : public RuntimeInterface {
public:
    Runtime(LinkFunction link, const CommandTable& table, ModuleList modules)
        : registry_(link, table), modules_(modules) {}

    int32_t version() override { return 165; }

    const char* nextSymbol() override { return registry_.nextSymbol(); }

    uint32_t symbolValue(const char* signature) override {
        return signature != nullptr ? registry_.symbolValue(signature) : 0xFFFF'FFFFu;
    }

    void startup(void* instance) override { instance_ = instance; }

    void shutdown() override { registry_.clear(); }

    RunOutcome execute(ProgramEntry entry, const char* argumentText, Debugger* debugger, bool debug,
                       uint32_t windowFlags) override {
        const std::string arguments = trimSpaces(argumentText != nullptr ? argumentText : "");
        std::unique_ptr<HostRuntime> runtime = HostRuntime::open(arguments, debugger, windowFlags);
        if (runtime == nullptr) return RunOutcome::RuntimeUnavailable;
        setCurrent(runtime.get());
        const RunResult result = run(*runtime, entry, debug, modules_);
        setCurrent(nullptr);
        runtime.reset();
        return result.outcome;
    }

    // A debugger thread may call these at any time; the lock keeps the runtime alive while a
    // request is posted to it.
    void asyncStop() override {
        std::lock_guard lock(currentMutex_);
        if (current_ != nullptr) current_->asyncStop();
    }
    void asyncRun() override {
        std::lock_guard lock(currentMutex_);
        if (current_ != nullptr) current_->asyncRun();
    }
    void asyncEnd() override {
        std::lock_guard lock(currentMutex_);
        if (current_ != nullptr) current_->asyncEnd();
    }

    void writeDiagnostics(std::streambuf* buffer) override {
        std::ostream out(buffer);  // nothing to report
        (void)out;
    }

private:
    void setCurrent(HostRuntime* runtime) {
        std::lock_guard lock(currentMutex_);
        current_ = runtime;
    }

    void* instance_ = nullptr;
    CommandRegistry registry_;
    ModuleList modules_;
    std::mutex currentMutex_;
    HostRuntime* current_ = nullptr;
};

}  // namespace

std::unique_ptr<RuntimeInterface> makeRuntimeInterface(LinkFunction link, const CommandTable& table,
                                                       ModuleList modules) {
    return std::make_unique<Runtime>(link, table, modules);
}

}  // namespace tx
