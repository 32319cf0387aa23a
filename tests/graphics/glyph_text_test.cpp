// Text drawn from a font's one-bit glyph rows against a pixel-by-pixel reference read from the
// glyph sheet: random glyph shapes (some wider than 64 columns), strings, colours (black and
// near-blacks included), origins, positions (some near the ends of the 32-bit range) and
// viewports, on 16-, 24- and 32-bit canvases, with every kernel set; the collision mask and the
// present stamp with them.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "canvas_test_util.h"
#include "host_canvas.h"
#include "host_font.h"
#include "pixel_format.h"
#include "pixel_kernels.h"

namespace tx {
namespace {

constexpr int32_t kFirst = 32, kEnd = 128;

// A font of random glyphs in the format: widths 0..12 mostly, a few up to 150; each sheet pixel
// white or black, with a few other colours that are background too.
std::unique_ptr<HostFont> randomFont(const PixelFormat& format, int32_t height, std::mt19937& rng) {
    HostFont::Glyphs g;
    g.height = height;
    g.firstChar = kFirst;
    g.endChar = kEnd;
    g.defaultChar = '?';
    int32_t x = 0;
    for (int32_t c = kFirst; c < kEnd; ++c) {
        const int32_t w = rng() % 16 == 0 ? static_cast<int32_t>(rng() % 150) : rng() % 13;
        g.cells.push_back(static_cast<uint32_t>(x) << 16);
        g.widths.push_back(w);
        g.maxWidth = std::max(g.maxWidth, w);
        x += w;
    }
    g.sheet = HostCanvas::create(std::max(x, 1), height, format);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t px = 0; px < x; ++px) {
            const uint32_t pick = rng() % 8;
            const uint32_t argb = pick < 3 ? 0xFFFFFFFFu : pick == 3 ? 0xFFFFFFFEu : 0xFF000000u;
            g.sheet->setPixelFast(px, y, argb);
        }
    return HostFont::create(std::move(g));
}

// What the text should leave on the canvas (its pixels before given): glyph pixels (white on
// the sheet) in the colour as the format holds it, black as 0x000010, inside the viewport; every
// other pixel as it was.
std::vector<uint32_t> reference(const HostCanvas& canvas, std::vector<uint32_t> want,
                                const HostFont& font, uint32_t argb, int32_t x, int32_t y,
                                const std::string& s) {
    const PixelFormat& f = canvas.format();
    uint32_t value = f.fromARGB(argb | 0xFF000000u);
    if ((f.toARGB(value) & 0xFFFFFF) == 0) value = f.fromARGB(0xFF000010u);
    const HostCanvas& sheet = font.sheet();
    const uint32_t white = sheet.format().fromARGB(0xFFFFFF) & sheet.format().valueBits();
    const Rect view = canvas.getViewport();
    int64_t left = int64_t{x} + canvas.getOrigin().x;
    const int64_t top = int64_t{y} + canvas.getOrigin().y;
    for (const char ch : s) {
        const auto c = static_cast<uint8_t>(ch);
        const int32_t w = font.charWidth(c);
        int32_t cx = 0;  // the glyphs lie side by side from column 0 in character order
        for (int32_t k = kFirst; k < (font.hasChar(c) ? c : '?'); ++k)
            cx += font.charWidth(static_cast<uint8_t>(k));
        for (int32_t gy = 0; gy < font.getHeight(); ++gy)
            for (int32_t gx = 0; gx < w; ++gx) {
                const int64_t px = left + gx, py = top + gy;
                if (px < view.x0 || px >= view.x1 || py < view.y0 || py >= view.y1) continue;
                const uint32_t v = sheet.format().loadValue(sheet.pixelAddress(cx + gx, gy));
                if ((v & sheet.format().valueBits()) == white)
                    want[static_cast<size_t>(py * canvas.getWidth() + px)] = value;
            }
        left += w;
    }
    return want;
}

TEST(GlyphTextTest, TextMatchesThePixelReference) {
    std::vector<const kernels::KernelSet*> sets{&kernels::scalarKernels(), &kernels::sse2Kernels()};
    if (const kernels::KernelSet* avx2 = kernels::avx2Kernels()) sets.push_back(avx2);
    const uint32_t colours[] = {0x000000, 0x000001, 0x070307, 0x000008,
                                0x000010, 0xFFFFFF, 0x123456, 0x00FF00};
    std::mt19937 rng(20240611);
    int32_t drew = 0, rounds = 0;  // the draws that changed pixels, of all
    for (const kernels::KernelSet* set : sets) {
        const kernels::ScopedKernelOverride use(*set);
        for (const PixelFormat& format :
             {PixelFormat::rgb565(), PixelFormat::rgb888(), PixelFormat::xrgb8888()}) {
            SCOPED_TRACE(::testing::Message() << set->name << ", " << format.depth() << " bits");
            for (int32_t round = 0; round < 40; ++round) {
                const int32_t height = 1 + static_cast<int32_t>(rng() % (round % 5 == 0 ? 90 : 20));
                const std::unique_ptr<HostFont> font = randomFont(format, height, rng);
                ASSERT_NE(font, nullptr);
                const int32_t cw = 40 + rng() % 260, ch = 20 + rng() % 120;
                auto canvas = test::makeCanvas(cw, ch, format);
                // A quarter of the background black, which the collision mask leaves out.
                for (int32_t py = 0; py < ch; ++py)
                    for (int32_t px = 0; px < cw; ++px)
                        canvas->setPixelFast(px, py, rng() % 4 == 0 ? 0 : rng());
                if (round % 2 == 0) canvas->ensureMask();
                canvas->setFont(font.get());
                canvas->setViewport(static_cast<int32_t>(rng() % cw) - 10,
                                    static_cast<int32_t>(rng() % ch) - 10, 10 + rng() % (cw + 10),
                                    10 + rng() % (ch + 10));
                canvas->setOrigin(static_cast<int32_t>(rng() % 41) - 20,
                                  static_cast<int32_t>(rng() % 41) - 20);
                std::string s;
                for (uint32_t n = rng() % 50; n > 0; --n)
                    s += static_cast<char>(rng() % 8 == 0 ? rng() % 256 : kFirst + rng() % 96);
                const uint32_t argb =
                    round % 3 == 0 ? colours[rng() % std::size(colours)] : rng() & 0xFFFFFF;
                canvas->setColor(argb);
                // Now and then near an end of the 32-bit range, where adding the origin or the
                // string's width would wrap round.
                const int32_t x = round % 10 == 9 ? (rng() % 2 != 0 ? INT32_MAX - 99 : INT32_MIN) +
                                                        static_cast<int32_t>(rng() % 100)
                                                  : static_cast<int32_t>(rng() % (cw + 40)) - 30;
                const int32_t y = static_cast<int32_t>(rng() % (ch + 20)) - 15;

                const std::vector<uint32_t> before = test::values(*canvas);
                const uint32_t stamp = canvas->presentStamp();
                canvas->text(x, y, s);

                const std::vector<uint32_t> want = reference(*canvas, before, *font, argb, x, y, s);
                ASSERT_EQ(test::values(*canvas), want) << "round " << round << " \"" << s << "\"";
                // The present stamp moves once, and must when pixels changed.
                const uint32_t steps = canvas->presentStamp() - stamp;
                EXPECT_TRUE(steps == 1 || (steps == 0 && want == before)) << "round " << round;
                ++rounds;
                drew += want != before ? 1 : 0;
                if (canvas->hasMask()) {
                    // The mask as a whole rebuild of the drawn pixels makes it.
                    auto rebuilt = test::makeCanvas(cw, ch, format);
                    rebuilt->blit(0, 0, *canvas, 0, 0, cw, ch, true);
                    rebuilt->ensureMask();
                    const size_t words = static_cast<size_t>(canvas->maskStride()) * ch;
                    ASSERT_TRUE(std::equal(canvas->maskWords(), canvas->maskWords() + words,
                                           rebuilt->maskWords()))
                        << "mask, round " << round;
                }
            }
        }
    }
    EXPECT_GT(drew, rounds / 4) << "a good share of the draws reach the viewport";
}

}  // namespace
}  // namespace tx
