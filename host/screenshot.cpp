#include "screenshot.h"

#include <FreeImage.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <vector>

#include "frame_convert.h"

namespace tx {
namespace {

constexpr int kMaxSuffix = 9999;

struct BitmapDeleter {
    void operator()(FIBITMAP* bitmap) const { FreeImage_Unload(bitmap); }
};
struct MemoryDeleter {
    void operator()(FIMEMORY* memory) const { FreeImage_CloseMemory(memory); }
};

// The frame as a 24-bit PNG in memory; empty when it cannot be encoded.
std::vector<uint8_t> encodePng(const FramePixels& frame) {
    // FreeImage sets itself up once per process; later calls only count.
    static const bool initialised = [] {
        FreeImage_Initialise(FALSE);
        return true;
    }();
    (void)initialised;
    if (frame.pixels == nullptr || frame.width <= 0 || frame.height <= 0) return {};
    const std::unique_ptr<FIBITMAP, BitmapDeleter> bitmap(
        FreeImage_Allocate(frame.width, frame.height, 24));
    if (bitmap == nullptr) return {};
    std::vector<uint32_t> row(static_cast<size_t>(frame.width));
    const uint8_t* in = frame.pixels;
    for (int32_t y = 0; y < frame.height; ++y, in += frame.pitch) {
        if (frame.depth == 16)
            convertRow565(row.data(), in, frame.width);
        else if (frame.depth == 24)
            convertRowBgr24(row.data(), in, frame.width);
        else
            std::copy_n(reinterpret_cast<const uint32_t*>(in), frame.width, row.data());
        // FreeImage keeps rows bottom-up.
        BYTE* out = FreeImage_GetScanLine(bitmap.get(), frame.height - 1 - y);
        for (int32_t x = 0; x < frame.width; ++x, out += 3) {
            out[FI_RGBA_RED] = static_cast<BYTE>(row[x] >> 16);
            out[FI_RGBA_GREEN] = static_cast<BYTE>(row[x] >> 8);
            out[FI_RGBA_BLUE] = static_cast<BYTE>(row[x]);
        }
    }
    const std::unique_ptr<FIMEMORY, MemoryDeleter> memory(FreeImage_OpenMemory());
    if (memory == nullptr || !FreeImage_SaveToMemory(FIF_PNG, bitmap.get(), memory.get(), 0))
        return {};
    BYTE* data = nullptr;
    DWORD size = 0;
    if (!FreeImage_AcquireMemory(memory.get(), &data, &size)) return {};
    return {data, data + size};
}

bool writeAll(int fd, const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

std::optional<std::string> saveScreenshot(const FramePixels& frame, const std::string& directory,
                                          std::time_t when) {
    const std::vector<uint8_t> png = encodePng(frame);
    if (png.empty()) return std::nullopt;
    std::tm local{};
    localtime_r(&when, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string base = directory + "/tervex-" + stamp;
    for (int suffix = 0; suffix <= kMaxSuffix; ++suffix) {
        const std::string path = base + (suffix == 0 ? "" : "-" + std::to_string(suffix)) + ".png";
        // O_EXCL claims the name: a file that exists is never touched.
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return std::nullopt;
        }
        const bool written = writeAll(fd, png);
        if (::close(fd) != 0 || !written) {
            ::unlink(path.c_str());
            return std::nullopt;
        }
        return path;
    }
    return std::nullopt;
}

}  // namespace tx
