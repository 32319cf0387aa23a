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

// The reports in the order they were written; any other output is ignored. Each report must
// have its lines exactly as the program writes them: the three counts in order, each number
// right after its colon, then one line per string naming it by eight upper-case hex digits.
inline std::vector<Stats> parseStats(const std::string& text) {
    static const std::regex kStrings("Active strings:(-?[0-9]+)");
    static const std::regex kActive("Active objects:(-?[0-9]+)");
    static const std::regex kUnreleased("Unreleased Objects:(-?[0-9]+)");
    static const std::regex kStringLine("string@[0-9A-F]{8}");
    std::vector<Stats> reports;
    std::istringstream in(text);
    std::string line;
    std::smatch match;
    size_t countsRead = 0;  // of the current report
    while (std::getline(in, line)) {
        if (line.rfind("Active strings:", 0) == 0) {
            EXPECT_TRUE(std::regex_match(line, match, kStrings)) << line;
            reports.emplace_back().strings = match.empty() ? -1 : std::stoi(match[1]);
            countsRead = 1;
        } else if (reports.empty()) {
            continue;
        } else if (countsRead == 1) {
            EXPECT_TRUE(std::regex_match(line, match, kActive)) << line;
            reports.back().active = match.empty() ? -1 : std::stoi(match[1]);
            countsRead = 2;
        } else if (countsRead == 2) {
            EXPECT_TRUE(std::regex_match(line, match, kUnreleased)) << line;
            reports.back().unreleased = match.empty() ? -1 : std::stoi(match[1]);
            countsRead = 3;
        } else if (line.rfind("string@", 0) == 0) {
            EXPECT_TRUE(std::regex_match(line, kStringLine)) << line;
            reports.back().stringLines.push_back(line);
        }
    }
    return reports;
}

struct StatsRun {
    GuestRun run;
    std::vector<Stats> stats;
    std::string error() const { return firstError(run); }
};

// Runs the program with a clean environment and collects its RuntimeStats reports.
inline StatsRun runWithStats(const std::string& program, const std::string& arguments = "") {
    clearEnvironment("TX_");
    testing::internal::CaptureStderr();
    StatsRun result{runGuest(program, arguments), {}};
    result.stats = parseStats(testing::internal::GetCapturedStderr());
    return result;
}

}  // namespace tx::test
