// Running language guest programs: their RuntimeStats checkpoints (read back from standard
// error) and a clean slate of TX_ variables before each run.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "guest_runner.h"

namespace tx::test {

// One RuntimeStats report.
struct Stats {
    int strings = -1;
    int active = -1;
    int unreleased = -1;
    std::vector<std::string> stringLines;
};

// The reports in the order they were written; any other output is ignored. A string line must
// name its string by eight upper-case hexadecimal digits.
inline std::vector<Stats> parseStats(const std::string& text) {
    static const std::regex kStringLine("string@[0-9A-F]{8}");
    std::vector<Stats> reports;
    std::istringstream in(text);
    std::string line;
    auto number = [&](const std::string& prefix) { return std::stoi(line.substr(prefix.size())); };
    while (std::getline(in, line)) {
        if (line.rfind("Active strings:", 0) == 0) {
            reports.emplace_back().strings = number("Active strings:");
        } else if (reports.empty()) {
            continue;
        } else if (line.rfind("Active objects:", 0) == 0) {
            reports.back().active = number("Active objects:");
        } else if (line.rfind("Unreleased Objects:", 0) == 0) {
            reports.back().unreleased = number("Unreleased Objects:");
        } else if (line.rfind("string@", 0) == 0) {
            EXPECT_TRUE(std::regex_match(line, kStringLine)) << line;
            reports.back().stringLines.push_back(line);
        }
    }
    return reports;
}

inline void clearTxEnvironment() {
    std::vector<std::string> names;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry(*e);
        if (entry.rfind("TX_", 0) == 0) names.push_back(entry.substr(0, entry.find('=')));
    }
    for (const std::string& name : names) unsetenv(name.c_str());
}

struct StatsRun {
    GuestRun run;
    std::vector<Stats> stats;
    std::string error() const {
        return run.debugger.errors.empty() ? std::string() : run.debugger.errors.front();
    }
};

// Runs the program with a clean environment and collects its RuntimeStats reports.
inline StatsRun runWithStats(const std::string& program, const std::string& arguments = "") {
    clearTxEnvironment();
    testing::internal::CaptureStderr();
    StatsRun result{runGuest(program, arguments), {}};
    result.stats = parseStats(testing::internal::GetCapturedStderr());
    return result;
}

}  // namespace tx::test
