// What the tests of Star Volley, the carried game, share: its high-score file, its log, and a
// compiled program run in a directory of the test's.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "compile.h"
#include "debugger.h"
#include "guest_machine.h"
#include "linker.h"
#include "runtime_interface.h"

namespace tx::test {

inline const std::filesystem::path kPayload =
    std::filesystem::path(TERVEX_TEST_DATA) / ".." / ".." / "payload";

// The high-score table file as the game writes it: a header line, one entry a line (name, tab,
// score, tab, wave), and an END line with the count and a check sum.
inline std::string tableFile(const std::vector<std::string>& entries) {
    std::string text = "STAR VOLLEY SCORES 1\r\n";
    uint32_t sum = 0;
    for (const std::string& line : entries) {
        uint32_t lineSum = static_cast<uint32_t>(line.size());
        for (const char c : line) lineSum = (lineSum * 31 + static_cast<uint8_t>(c)) & 0xFFFFFF;
        sum = (sum + lineSum) & 0xFFFFFF;
        text += line + "\r\n";
    }
    return text + "END " + std::to_string(entries.size()) + " " + std::to_string(sum) + "\r\n";
}

// The program's DebugLog lines and runtime errors, readable from another thread.
class GameLog : public QuietDebugger {
public:
    void debugError(const char* message) override { add("error: " + std::string(message)); }
    void debugLog(const char* message) override { add(message); }

    // The first line starting with the prefix, or "".
    std::string find(const std::string& prefix) const {
        const std::string all = "\n" + text();
        const size_t at = all.find("\n" + prefix);
        return at == std::string::npos ? "" : all.substr(at + 1, all.find('\n', at + 1) - at - 1);
    }
    std::string text() const {
        const std::lock_guard lock(mutex_);
        return text_;
    }

private:
    void add(const std::string& line) {
        const std::lock_guard lock(mutex_);
        text_ += line + "\n";
    }
    mutable std::mutex mutex_;
    std::string text_;
};

// Runs the program in this process with `dir` as the current directory.
inline RunOutcome runIn(const std::string& dir, const txc::CompileResult& compiled,
                        const char* arguments, GameLog& log) {
    GuestMachine machine;
    RuntimeInterface& runtime = runtimeGetRuntime();
    const LinkResult linked = link(runtime, compiled.imageBytes(), machine);
    EXPECT_EQ(linked.status, LinkResult::Status::Linked);
    if (linked.status != LinkResult::Status::Linked) return RunOutcome::StartupFailed;
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    const RunOutcome outcome =
        runtime.execute(ProgramEntry{&machine, linked.entry}, arguments, &log, false, 0);
    std::filesystem::current_path(previous);
    return outcome;
}

}  // namespace tx::test
