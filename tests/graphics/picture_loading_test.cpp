// Loading pictures: one picture written as PNG, BMP (8, 24, 32 bits), TGA, JPEG and GIF loads
// to the same pixels, upright and opaque, in 16-, 24- and 32-bit displays; files that are
// missing, truncated or garbage load as 0 without an error; LoadBuffer stretches a picture over
// a buffer.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "graphics_test_support.h"
#include "picture_files.h"

namespace tx {
namespace {

using test::GraphicsTest;
using test::kPictureFiles;
using test::PictureFile;
using test::PictureFileInfo;
using test::TempDir;

constexpr int32_t kWidth = 70, kHeight = 40;  // 70 x 3 bytes: BMP and TGA rows are padded

// 16 x 16 blocks of eight colours, no two rows of blocks alike, so a picture upside down or
// mirrored differs everywhere; blocks line up with JPEG's colour blocks.
uint32_t blockColour(int x, int y) {
    static constexpr uint32_t kColours[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00,
                                            0x00FFFF, 0xFF00FF, 0xFFFFFF, 0x804020};
    return kColours[(x / 16 + 3 * (y / 16)) % 8];
}

int channelDistance(uint32_t a, uint32_t b) {
    int worst = 0;
    for (int shift : {0, 8, 16})
        worst = std::max(worst, std::abs(static_cast<int>((a >> shift) & 0xFF) -
                                         static_cast<int>((b >> shift) & 0xFF)));
    return worst;
}

class PictureLoading : public GraphicsTest {
protected:
    std::string write(const PictureFileInfo& info, uint8_t alpha = 0xFF) {
        const std::string path = dir.file(std::string("picture.") + info.name);
        EXPECT_TRUE(test::writePicture(path, info, kWidth, kHeight, blockColour, alpha)) << path;
        return path;
    }
    // The frame's pixel as ARGB.
    static uint32_t pixel(uint32_t image, int32_t x, int32_t y) {
        return static_cast<uint32_t>(readPixel(x, y, imageBuffer(image, 0)));
    }

    TempDir dir;
};

TEST_F(PictureLoading, EveryFormatLoadsTheSamePixelsInEveryDisplayDepth) {
    for (const int32_t depth : {16, 24, 32}) {
        graphics(640, 480, depth, 1);
        const PixelFormat& format = state().graphics->format();
        for (const PictureFileInfo& info : kPictureFiles) {
            SCOPED_TRACE(std::string(info.name) + " in a " + std::to_string(depth) +
                         "-bit display");
            // Pictures with alpha are written half transparent: they still load opaque.
            const uint32_t image = loadImage(arg(write(info, 0x80)));
            ASSERT_NE(image, 0u);
            ASSERT_EQ(imageWidth(image), kWidth);
            ASSERT_EQ(imageHeight(image), kHeight);
            EXPECT_EQ(imageXHandle(image), 0);
            EXPECT_EQ(state().images.find(image)->frames[0].canvas->getMask(),
                      format.toARGB(format.fromARGB(0)))
                << "mask colour black";
            int wrong = 0;
            for (int32_t y = 0; y < kHeight; ++y) {
                for (int32_t x = 0; x < kWidth; ++x) {
                    const uint32_t want =
                        format.toARGB(format.fromARGB(0xFF000000u | blockColour(x, y)));
                    const uint32_t got = pixel(image, x, y);
                    if (info.kind == PictureFile::jpeg) {
                        // Lossy: away from block edges, within a few steps per channel.
                        const bool inner = x % 16 >= 2 && x % 16 < 14 && y % 16 >= 2 && y % 16 < 14;
                        wrong += inner && (channelDistance(got, want) > 12 || got >> 24 != 0xFF);
                    } else {
                        wrong += got != want;
                    }
                }
            }
            EXPECT_EQ(wrong, 0);
            freeImage(image);
        }
    }
}

TEST_F(PictureLoading, FilesThatAreMissingTruncatedOrGarbageLoadAsZero) {
    for (const PictureFileInfo& info : kPictureFiles) {
        const std::vector<uint8_t> whole = test::fileBytes(write(info));
        ASSERT_GT(whole.size(), 64u);
        for (const size_t keep : {whole.size() * 3 / 4, whole.size() / 2, size_t{40}, size_t{0}}) {
            SCOPED_TRACE(std::string(info.name) + " cut to " + std::to_string(keep) + " bytes");
            const std::string path = dir.file(std::string("cut.") + info.name);
            test::putFile(path, {whole.begin(), whole.begin() + static_cast<ptrdiff_t>(keep)});
            EXPECT_EQ(errorOf([&] { EXPECT_EQ(loadImage(arg(path)), 0u); }), "");
            EXPECT_EQ(loadAnimImage(arg(path), 8, 8, 0, 1), 0u);
        }
    }
    std::vector<uint8_t> garbage(4096);
    uint32_t r = 7;
    for (uint8_t& b : garbage) b = static_cast<uint8_t>((r = r * 1103515245u + 12345u) >> 24);
    for (const char* name : {"g.png", "g.jpg", "g.gif", "g.bmp", "g.txt", "g"}) {
        test::putFile(dir.file(name), garbage);
        EXPECT_EQ(loadImage(arg(dir.file(name))), 0u) << name;
    }
    EXPECT_EQ(loadImage(arg(dir.file("missing.png"))), 0u);
    EXPECT_EQ(loadImage(arg(dir.path())), 0u) << "a directory";
    ASSERT_EQ(::mkfifo(dir.file("pipe.png").c_str(), 0600), 0);
    EXPECT_EQ(loadImage(arg(dir.file("pipe.png"))), 0u) << "a pipe, never waited on";
    EXPECT_EQ(state().images.size(), 0u);
    EXPECT_EQ(state().graphics->canvasCount(), 0u) << "nothing left behind";
}

// A wireless bitmap has no signature: only the name's extension tells its format.
TEST_F(PictureLoading, FormatsWithoutASignatureAreKnownByTheExtension) {
    std::vector<uint8_t> wbmp = {0, 0, 16, 8, 0x80};  // 16 x 8, one white pixel top-left
    wbmp.resize(4 + 2 * 8);
    for (const char* name : {"pic.wbmp", "pic.old.WBMP", "pic.dat", "pic"}) {
        SCOPED_TRACE(name);
        test::putFile(dir.file(name), wbmp);
        const uint32_t image = loadImage(arg(dir.file(name)));
        const bool known = std::string(name).find("bmp") != std::string::npos ||
                           std::string(name).find("BMP") != std::string::npos;
        ASSERT_EQ(image != 0, known);
        if (!known) continue;
        EXPECT_EQ(imageWidth(image), 16);
        EXPECT_EQ(pixel(image, 0, 0), 0xFFFFFFFFu);
        EXPECT_EQ(pixel(image, 1, 0), 0xFF000000u);
        EXPECT_EQ(pixel(image, 0, 7), 0xFF000000u) << "upright";
    }
}

TEST_F(PictureLoading, LoadBufferStretchesThePictureOverTheBuffer) {
    const std::string path = write(kPictureFiles[0]);
    const uint32_t canvas = newCanvas(140, 20);
    for (const int32_t filter : {0, 1}) {
        tFormFilter(filter);
        setBuffer(canvas);
        origin(30, 30);  // no effect on where the picture goes
        ASSERT_EQ(loadBuffer(canvas, arg(path)), 1);
        EXPECT_EQ(state().graphics->verifyCanvas(canvas)->getOrigin(), (Point{30, 30}));
        origin(0, 0);
        // Twice as wide, half as high: buffer (x, y) shows picture (x / 2, 2 y), away from
        // the blocks' edges where filtering mixes colours.
        for (int32_t y = 1; y < 20; y += 3) {
            for (int32_t x = 1; x < 140; x += 5) {
                const bool inner =
                    (x / 2) % 16 > 1 && (x / 2) % 16 < 15 && (2 * y) % 16 > 1 && (2 * y) % 16 < 15;
                if (!inner) continue;
                EXPECT_EQ(static_cast<uint32_t>(readPixel(x, y, 0)),
                          0xFF000000u | blockColour(x / 2, 2 * y))
                    << x << "," << y << " filter " << filter;
            }
        }
    }
    writePixel(0, 0, 0xFF123456, canvas);
    EXPECT_EQ(loadBuffer(canvas, arg(dir.file("missing.png"))), 0);
    EXPECT_EQ(readPixel(0, 0, canvas), static_cast<int32_t>(0xFF123456)) << "left unchanged";
}

}  // namespace
}  // namespace tx
