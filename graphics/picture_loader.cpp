#include "picture_loader.h"

#include <FreeImage.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "gif_header.h"
#include "path_lookup.h"
#include "pixel_codecs.h"

namespace tx {
namespace {

static_assert(FI_RGBA_RED == 2 && FI_RGBA_ALPHA == 3,
              "32-bit FreeImage pixels are read as little-endian ARGB words");

struct CloseFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
struct Unload {
    void operator()(FIBITMAP* bitmap) const { FreeImage_Unload(bitmap); }
};
using Bitmap = std::unique_ptr<FIBITMAP, Unload>;

// A file read through FreeImage's I/O hooks. A decoder that asks for bytes after the end of the
// file was given a truncated picture: FreeImage's decoders for several formats fill the missing
// part in and report success, so the loader notices it here.
struct Source {
    std::FILE* file = nullptr;
    bool readPastEnd = false;
};

unsigned DLL_CALLCONV readSource(void* buffer, unsigned size, unsigned count, fi_handle handle) {
    auto* source = static_cast<Source*>(handle);
    const size_t read = std::fread(buffer, size, count, source->file);
    if (read == 0 && size != 0 && count != 0) source->readPastEnd = true;
    return static_cast<unsigned>(read);
}

unsigned DLL_CALLCONV writeNothing(void*, unsigned, unsigned, fi_handle) {
    return 0;
}

int DLL_CALLCONV seekSource(fi_handle handle, long offset, int origin) {
    return std::fseek(static_cast<Source*>(handle)->file, offset, origin);
}

long DLL_CALLCONV tellSource(fi_handle handle) {
    return std::ftell(static_cast<Source*>(handle)->file);
}

FreeImageIO sourceIo() {
    return FreeImageIO{readSource, writeNothing, seekSource, tellSource};
}

// FreeImage sets itself up once per process; later calls only count.
void initialiseOnce() {
    static const bool initialised = [] {
        FreeImage_Initialise(FALSE);
        return true;
    }();
    (void)initialised;
}

// The format of the file from its contents; failing that, the format FreeImage gives the text
// after the first '.' of the name (it reads the text after that text's last '.').
FREE_IMAGE_FORMAT formatOf(FreeImageIO& io, Source& source, std::string_view name) {
    FREE_IMAGE_FORMAT format = FreeImage_GetFileTypeFromHandle(&io, &source, 0);
    if (format == FIF_UNKNOWN) {
        const size_t dot = name.find('.');
        if (dot != std::string_view::npos)
            format = FreeImage_GetFIFFromFilename(std::string(name.substr(dot + 1)).c_str());
    }
    return format;
}

// Loads from the start of the file with the given flags; null on failure or truncation.
Bitmap loadFrom(FreeImageIO& io, Source& source, FREE_IMAGE_FORMAT format, int flags) {
    if (std::fseek(source.file, 0, SEEK_SET) != 0) return nullptr;
    source.readPastEnd = false;
    Bitmap bitmap(FreeImage_LoadFromHandle(format, &io, &source, flags));
    if (source.readPastEnd) bitmap.reset();
    return bitmap;
}

// The bitmap as 32 bits per pixel, blue, green, red and alpha bytes; null when FreeImage
// cannot convert it.
Bitmap to32Bits(Bitmap bitmap) {
    if (FreeImage_GetImageType(bitmap.get()) != FIT_BITMAP) {
        bitmap.reset(FreeImage_ConvertToStandardType(bitmap.get(), TRUE));
        if (bitmap == nullptr) return nullptr;
    }
    if (FreeImage_GetBPP(bitmap.get()) == 32) return bitmap;
    return Bitmap(FreeImage_ConvertTo32Bits(bitmap.get()));
}

}  // namespace

std::unique_ptr<HostCanvas> loadPicture(std::string_view programPath, const PixelFormat& format) {
    initialiseOnce();
    const std::string path = hostPath(programPath);
    // Only regular files: a pipe or a device could keep the reader waiting forever.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return nullptr;
    const std::unique_ptr<std::FILE, CloseFile> file(std::fopen(path.c_str(), "rb"));
    if (file == nullptr) return nullptr;
    Source source{file.get()};
    FreeImageIO io = sourceIo();
    const FREE_IMAGE_FORMAT fif = formatOf(io, source, programPath);
    if (fif == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(fif)) return nullptr;

    // A header that claims a picture larger than any canvas is refused before its pixels are
    // allocated.
    const auto fitsCanvas = [](int64_t w, int64_t h) {
        return w >= 1 && h >= 1 && w <= CanvasPixels::kMaxSide && h <= CanvasPixels::kMaxSide;
    };
    if (fif == FIF_GIF) {
        const std::optional<GifSizes> gif = readGifSizes(file.get());
        if (!gif || !fitsCanvas(gif->screenWidth, gif->screenHeight) ||
            !fitsCanvas(gif->imageWidth, gif->imageHeight))
            return nullptr;
    } else if (FreeImage_FIFSupportsNoPixels(fif)) {
        const Bitmap header = loadFrom(io, source, fif, FIF_LOAD_NOPIXELS);
        if (header == nullptr) return nullptr;
        if (!fitsCanvas(FreeImage_GetWidth(header.get()), FreeImage_GetHeight(header.get())))
            return nullptr;
    }
    Bitmap bitmap = loadFrom(io, source, fif, 0);
    if (bitmap == nullptr) return nullptr;
    bitmap = to32Bits(std::move(bitmap));
    if (bitmap == nullptr) return nullptr;

    const auto width = static_cast<int32_t>(FreeImage_GetWidth(bitmap.get()));
    const auto height = static_cast<int32_t>(FreeImage_GetHeight(bitmap.get()));
    std::unique_ptr<HostCanvas> canvas = HostCanvas::create(width, height, format);
    if (canvas == nullptr) return nullptr;
    // FreeImage keeps rows bottom-up: scan line 0 is the bottom row.
    visitCodec(format, [&](const auto codec) {
        for (int32_t y = 0; y < height; ++y) {
            const BYTE* in = FreeImage_GetScanLine(bitmap.get(), height - 1 - y);
            uint8_t* out = canvas->pixelAddress(0, y);
            for (int32_t x = 0; x < width; ++x, in += 4, out += codec.kBytes) {
                uint32_t argb;
                std::memcpy(&argb, in, 4);
                codec.storeARGB(out, argb | 0xFF000000u);
            }
        }
    });
    canvas->markDrawn(canvas->bounds());
    return canvas;
}

}  // namespace tx
