// Where a standalone program's DebugLog lines go: standard error with TERVEX_DEBUG=1, the file
// named by TERVEX_LOG, nowhere otherwise. Each line is written out at once, so it lands in order
// with what the program itself writes to /dev/stderr or /dev/stdout.
#pragma once

#include <string_view>
#include <utility>

#include "unique_fd.h"

namespace tx {

class DebugLogOutput {
public:
    // Writes nothing.
    DebugLogOutput() = default;

    // The output the two settings ask for (null: unset): a log file (created, or emptied when it
    // exists) takes precedence over debug "1" (standard error). A log file that cannot be opened
    // is reported on standard error, and the lines go there instead.
    static DebugLogOutput choose(const char* debugSetting, const char* logFile);
    // choose() with TERVEX_DEBUG and TERVEX_LOG.
    static DebugLogOutput fromEnvironment();

    // Writes text and a line end; does nothing when the output is nowhere.
    void writeLine(std::string_view text) const;

private:
    explicit DebugLogOutput(int fd) : fd_(fd) {}
    explicit DebugLogOutput(UniqueFd file) : fd_(file.get()), file_(std::move(file)) {}

    int fd_ = -1;
    UniqueFd file_;  // a log file this object opened and closes
};

}  // namespace tx
