#include "bmp_writer.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "pixel_codecs.h"

namespace tx {
namespace {

constexpr uint32_t kHeadersSize = 54;

void put16(uint8_t*& at, uint16_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
    at += 2;
}

void put32(uint8_t*& at, uint32_t value) {
    put16(at, static_cast<uint16_t>(value));
    put16(at, static_cast<uint16_t>(value >> 16));
}

// One canvas row as blue, green, red bytes.
void encodeRow(const HostCanvas& canvas, int32_t y, uint8_t* out) {
    const PixelFormat& format = canvas.format();
    const int32_t width = canvas.getWidth();
    const uint8_t* in = canvas.pixelAddress(0, y);
    switch (format.layout()) {
        case PixelLayout::rgb888:
            std::memcpy(out, in, static_cast<size_t>(width) * 3);
            return;
        case PixelLayout::xrgb8888:
        case PixelLayout::argb8888:
            // These layouts read back their low three bytes unchanged.
            for (int32_t x = 0; x < width; ++x, in += 4, out += 3) std::memcpy(out, in, 3);
            return;
        default:
            visitCodec(format, [&](const auto codec) {
                for (int32_t x = 0; x < width; ++x, in += codec.kBytes, out += 3) {
                    const uint32_t argb = codec.loadARGB(in);
                    out[0] = static_cast<uint8_t>(argb);
                    out[1] = static_cast<uint8_t>(argb >> 8);
                    out[2] = static_cast<uint8_t>(argb >> 16);
                }
            });
            return;
    }
}

struct CloseFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

bool writeBmp(HostCanvas& canvas, const std::string& path) {
    std::unique_ptr<std::FILE, CloseFile> file(std::fopen(path.c_str(), "wb"));
    if (file == nullptr) return false;

    const int32_t width = canvas.getWidth();
    const int32_t height = canvas.getHeight();
    const uint32_t rowSize = static_cast<uint32_t>((width + 1) * 3) & ~3u;
    uint8_t headers[kHeadersSize];
    uint8_t* at = headers;
    *at++ = 'B';
    *at++ = 'M';
    put32(at, static_cast<uint32_t>(height) * rowSize + kHeadersSize);
    put16(at, 0);
    put16(at, 0);
    put32(at, kHeadersSize);
    put32(at, 40);
    put32(at, static_cast<uint32_t>(width));
    put32(at, static_cast<uint32_t>(height));  // positive: rows bottom-up
    put16(at, 1);
    put16(at, 24);
    for (int i = 0; i < 6; ++i) put32(at, 0);  // compression, sizes, resolutions, colours
    bool written = std::fwrite(headers, 1, kHeadersSize, file.get()) == kHeadersSize;

    std::vector<uint8_t> row(rowSize, 0);  // the padding stays zero
    canvas.lock();
    for (int32_t y = height - 1; written && y >= 0; --y) {
        encodeRow(canvas, y, row.data());
        written = std::fwrite(row.data(), 1, rowSize, file.get()) == rowSize;
    }
    canvas.unlock();
    return std::fclose(file.release()) == 0 && written;
}

}  // namespace tx
