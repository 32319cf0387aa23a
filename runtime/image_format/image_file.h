// Reading a module image, or an object to be turned into one, from a file with a size limit:
// a file too large to be an image is refused without being read, and every failure comes back
// as a reason in words instead of an exception.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "unique_fd.h"

namespace tx {

// The largest module image file the tools write and the runtime reads.
inline constexpr uint64_t kMaxImageFileBytes = uint64_t{256} << 20;

struct LimitedFileRead {
    std::vector<uint8_t> bytes;
    std::string error;        // empty when the whole file was read
    bool openFailed = false;  // the error came from opening the file
};

// The contents of the file at path, when it holds at most `limit` bytes. A regular file is
// judged by its size before anything is read; of a pipe or socket at most limit + 1 bytes are
// read. Directories and devices are refused.
inline LimitedFileRead readLimitedFile(const std::string& path, uint64_t limit) {
    LimitedFileRead result;
    const auto fail = [&result](std::string reason) {
        result.bytes.clear();
        result.bytes.shrink_to_fit();
        result.error = std::move(reason);
        return std::move(result);
    };
    const std::string tooLarge = "larger than the limit of " +
                                 (limit % (1u << 20) == 0 ? std::to_string(limit >> 20) + " MiB"
                                                          : std::to_string(limit) + " bytes");

    UniqueFd file;
    do {
        file = UniqueFd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    } while (!file.valid() && errno == EINTR);
    if (!file.valid()) {
        result.openFailed = true;
        return fail(std::strerror(errno));
    }
    const int fd = file.get();

    struct stat info {};
    if (::fstat(fd, &info) != 0) return fail(std::strerror(errno));
    if (S_ISDIR(info.st_mode)) return fail(std::strerror(EISDIR));
    // Devices (a terminal, /dev/zero, a disk) hold no image; pipes and sockets may carry one.
    if (!S_ISREG(info.st_mode) && !S_ISFIFO(info.st_mode) && !S_ISSOCK(info.st_mode)) {
        return fail("not a regular file or a pipe");
    }
    if (S_ISREG(info.st_mode) && static_cast<uint64_t>(info.st_size) > limit) {
        return fail(tooLarge);
    }
    try {
        constexpr size_t kChunk = 64 * 1024;
        // Room for the whole file and one more read, which finds its end.
        if (S_ISREG(info.st_mode)) result.bytes.reserve(static_cast<size_t>(info.st_size) + kChunk);
        size_t used = 0;
        for (;;) {
            // Never more than limit + 1 bytes: one byte past the limit tells the file is too large.
            const size_t want = static_cast<size_t>(std::min<uint64_t>(kChunk, limit + 1 - used));
            if (result.bytes.size() - used < want) result.bytes.resize(used + want);
            const ssize_t n = ::read(fd, result.bytes.data() + used, want);
            if (n < 0) {
                if (errno == EINTR) continue;
                return fail(std::strerror(errno));
            }
            if (n == 0) break;
            used += static_cast<size_t>(n);
            // A file that grew, or a stream without a size, may go past the limit while read.
            if (used > limit) return fail(tooLarge);
        }
        result.bytes.resize(used);
    } catch (const std::bad_alloc&) {
        return fail("not enough memory to read it");
    }
    return result;
}

}  // namespace tx
