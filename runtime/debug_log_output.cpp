#include "debug_log_output.h"

#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace tx {

DebugLogOutput DebugLogOutput::choose(const char* debugSetting, const char* logFile) {
    if (logFile != nullptr && *logFile != '\0') {
        int fd;
        do {
            fd = ::open(logFile, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        } while (fd < 0 && errno == EINTR);
        if (fd >= 0) return DebugLogOutput(UniqueFd(fd));
        std::fprintf(stderr, "Can't write log %s: %s; DebugLog goes to standard error\n", logFile,
                     std::strerror(errno));
        std::fflush(stderr);
        return DebugLogOutput(STDERR_FILENO);
    }
    if (debugSetting != nullptr && std::strcmp(debugSetting, "1") == 0) {
        return DebugLogOutput(STDERR_FILENO);
    }
    return DebugLogOutput();
}

DebugLogOutput DebugLogOutput::fromEnvironment() {
    return choose(std::getenv("TERVEX_DEBUG"), std::getenv("TERVEX_LOG"));
}

void DebugLogOutput::writeLine(std::string_view text) const {
    if (fd_ < 0) return;
    // Text stdio may still hold for standard error comes first.
    if (fd_ == STDERR_FILENO) std::fflush(stderr);
    char newline = '\n';
    iovec parts[2] = {{const_cast<char*>(text.data()), text.size()}, {&newline, 1}};
    int count = 2;
    iovec* next = parts;
    while (count > 0) {
        const ssize_t n = ::writev(fd_, next, count);
        if (n < 0) {
            if (errno == EINTR) continue;
            return;  // a log that cannot be written must not stop the program
        }
        size_t done = static_cast<size_t>(n);
        while (count > 0 && done >= next->iov_len) {
            done -= next->iov_len;
            ++next;
            --count;
        }
        if (count > 0) {
            next->iov_base = static_cast<char*>(next->iov_base) + done;
            next->iov_len -= done;
        }
    }
}

}  // namespace tx
