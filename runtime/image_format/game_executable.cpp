#include "game_executable.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "attached_image.h"
#include "image_file.h"
#include "unique_fd.h"

namespace tx {

namespace {

std::string quote(const std::string& path) {
    return "'" + path + "'";
}

// A file created beside its final name; removed again unless it was renamed into place.
class TemporaryFile {
public:
    // False (with errno set) when the file cannot be created.
    bool create(const std::string& finalPath) {
        std::vector<char> name(finalPath.begin(), finalPath.end());
        static constexpr char kSuffix[] = ".tmp-XXXXXX";
        name.insert(name.end(), kSuffix, kSuffix + sizeof kSuffix);
        fd_ = UniqueFd(::mkostemp(name.data(), O_CLOEXEC));
        if (!fd_.valid()) return false;
        path_ = name.data();
        return true;
    }
    int fd() const { return fd_.get(); }
    // Closes the file and gives it its final name; false (with errno set) on failure.
    bool commit(const std::string& finalPath) {
        fd_.reset();
        if (::rename(path_.c_str(), finalPath.c_str()) != 0) return false;
        path_.clear();
        return true;
    }
    ~TemporaryFile() {
        fd_.reset();
        if (!path_.empty()) ::unlink(path_.c_str());
    }

private:
    UniqueFd fd_;
    std::string path_;
};

bool writeAll(int fd, const uint8_t* data, size_t count) {
    while (count > 0) {
        const ssize_t n = ::write(fd, data, count);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        count -= static_cast<size_t>(n);
    }
    return true;
}

// Copies the first `count` bytes of `from` to the end of `to`. On failure says which side failed.
std::string copyPrefix(int from, int to, uint64_t count, const std::string& fromName,
                       const std::string& toName) {
    std::vector<uint8_t> buffer(size_t{1} << 20);
    for (uint64_t offset = 0; offset < count;) {
        const size_t want = static_cast<size_t>(std::min<uint64_t>(buffer.size(), count - offset));
        const ssize_t n = ::pread(from, buffer.data(), want, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            return "cannot read " + quote(fromName) + ": " +
                   (n < 0 ? std::strerror(errno) : "the file ends early");
        }
        if (!writeAll(to, buffer.data(), static_cast<size_t>(n)))
            return "cannot write " + quote(toName) + ": " + std::strerror(errno);
        offset += static_cast<uint64_t>(n);
    }
    return "";
}

std::string writeGame(const std::string& runtimeExecutable, std::span<const uint8_t> image,
                      const std::string& outputPath) {
    if (image.empty()) return "the module image is empty";
    if (image.size() > kMaxImageFileBytes) {
        return "the module image is larger than the limit of " +
               std::to_string(kMaxImageFileBytes >> 20) + " MiB";
    }

    UniqueFd runtime;
    do {
        runtime = UniqueFd(::open(runtimeExecutable.c_str(), O_RDONLY | O_CLOEXEC));
    } while (!runtime.valid() && errno == EINTR);
    if (!runtime.valid())
        return "cannot open " + quote(runtimeExecutable) + ": " + std::strerror(errno);
    struct stat info {};
    if (::fstat(runtime.get(), &info) != 0)
        return "cannot read " + quote(runtimeExecutable) + ": " + std::strerror(errno);
    if (!S_ISREG(info.st_mode)) return quote(runtimeExecutable) + " is not a regular file";
    const AttachedExtent extent =
        findAttachedImage(runtime.get(), static_cast<uint64_t>(info.st_size));
    if (extent.kind == AttachedKind::Damaged) {
        // Its own part cannot be told from the image: copying it would carry the damage along.
        return quote(runtimeExecutable) + " carries a damaged module image: " + extent.error;
    }

    TemporaryFile output;
    if (!output.create(outputPath))
        return "cannot create a file beside " + quote(outputPath) + ": " + std::strerror(errno);
    std::string error = copyPrefix(runtime.get(), output.fd(), extent.executableBytes,
                                   runtimeExecutable, outputPath);
    if (!error.empty()) return error;
    const auto trailer = attachedImageTrailer(image.size());
    if (!writeAll(output.fd(), image.data(), image.size()) ||
        !writeAll(output.fd(), trailer.data(), trailer.size()) ||
        ::fchmod(output.fd(), 0755) != 0 || ::fsync(output.fd()) != 0 ||
        !output.commit(outputPath)) {
        return "cannot write " + quote(outputPath) + ": " + std::strerror(errno);
    }
    return "";
}

}  // namespace

std::string writeGameExecutable(const std::string& runtimeExecutable,
                                std::span<const uint8_t> image, const std::string& outputPath) {
    try {
        return writeGame(runtimeExecutable, image, outputPath);
    } catch (const std::bad_alloc&) {
        return "not enough memory to write " + quote(outputPath);
    }
}

}  // namespace tx
