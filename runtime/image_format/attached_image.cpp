#include "attached_image.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

#include "image_file.h"
#include "unique_fd.h"

namespace tx {

namespace {

// Reads exactly `count` bytes at `offset`; false on an error or an early end of file.
bool readAt(int fd, uint8_t* out, uint64_t count, uint64_t offset, std::string& error) {
    while (count > 0) {
        const ssize_t n = ::pread(fd, out, count, static_cast<off_t>(offset));
        if (n < 0) {
            if (errno == EINTR) continue;
            error = std::strerror(errno);
            return false;
        }
        if (n == 0) {
            error = "the file ends early";
            return false;
        }
        out += n;
        count -= static_cast<uint64_t>(n);
        offset += static_cast<uint64_t>(n);
    }
    return true;
}

}  // namespace

std::array<uint8_t, kAttachedTrailerBytes> attachedImageTrailer(uint64_t imageBytes) {
    std::array<uint8_t, kAttachedTrailerBytes> trailer{};
    std::memcpy(trailer.data(), kAttachedImageMagic.data(), kAttachedImageMagic.size());
    for (size_t i = 0; i < 8; ++i) trailer[8 + i] = static_cast<uint8_t>(imageBytes >> (8 * i));
    return trailer;
}

AttachedExtent findAttachedImage(int fd, uint64_t fileBytes) {
    AttachedExtent extent;
    extent.executableBytes = fileBytes;
    if (fileBytes < kAttachedTrailerBytes) return extent;
    std::array<uint8_t, kAttachedTrailerBytes> trailer{};
    if (!readAt(fd, trailer.data(), trailer.size(), fileBytes - kAttachedTrailerBytes,
                extent.error)) {
        extent.kind = AttachedKind::Damaged;
        return extent;
    }
    if (std::memcmp(trailer.data(), kAttachedImageMagic.data(), kAttachedImageMagic.size()) != 0)
        return extent;

    uint64_t size = 0;
    for (size_t i = 0; i < 8; ++i) size |= uint64_t{trailer[8 + i]} << (8 * i);
    extent.kind = AttachedKind::Damaged;
    const uint64_t room = fileBytes - kAttachedTrailerBytes;
    if (size == 0) {
        extent.error = "the trailer gives an empty image";
    } else if (size > room) {
        extent.error = "the trailer gives " + std::to_string(size) +
                       " image bytes, the file holds " + std::to_string(room) + " in front of it";
    } else if (size > kMaxImageFileBytes) {
        extent.error = "the trailer gives an image larger than the limit of " +
                       std::to_string(kMaxImageFileBytes >> 20) + " MiB";
    } else {
        extent.kind = AttachedKind::Attached;
        extent.imageBytes = size;
        extent.executableBytes = room - size;
    }
    return extent;
}

AttachedImageRead readAttachedImage(const std::string& path) {
    AttachedImageRead result;
    UniqueFd file;
    do {
        file = UniqueFd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    } while (!file.valid() && errno == EINTR);
    struct stat info {};
    if (!file.valid() || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return result;

    const AttachedExtent extent =
        findAttachedImage(file.get(), static_cast<uint64_t>(info.st_size));
    result.kind = extent.kind;
    result.error = extent.error;
    if (extent.kind != AttachedKind::Attached) return result;
    try {
        result.bytes.resize(extent.imageBytes);
    } catch (const std::bad_alloc&) {
        result.kind = AttachedKind::Damaged;
        result.error = "not enough memory to read it";
        return result;
    }
    if (!readAt(file.get(), result.bytes.data(), extent.imageBytes, extent.executableBytes,
                result.error)) {
        result.kind = AttachedKind::Damaged;
        result.bytes = {};
    }
    return result;
}

}  // namespace tx
