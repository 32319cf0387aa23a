#include "host_font.h"

#include <algorithm>
#include <utility>

namespace tx {

namespace {

constexpr uint32_t kSheetKey = 0xFFFFFF;    // glyph pixels: transparent when filling the line
constexpr uint32_t kScratchKey = 0x000000;  // cell backgrounds: transparent on the target
constexpr uint32_t kNearBlack = 0x000010;   // black text, which the scratch key would hide

}  // namespace

std::unique_ptr<HostFont> HostFont::create(Glyphs glyphs, int32_t scratchWidth) {
    const size_t count = static_cast<size_t>(std::max(0, glyphs.endChar - glyphs.firstChar));
    if (glyphs.sheet == nullptr || count == 0 || glyphs.cells.size() != count ||
        glyphs.widths.size() != count || glyphs.height < 1 ||
        glyphs.defaultChar < glyphs.firstChar || glyphs.defaultChar >= glyphs.endChar)
        return nullptr;
    std::unique_ptr<HostCanvas> scratch = HostCanvas::create(
        std::max({scratchWidth, glyphs.maxWidth, 1}), glyphs.height, glyphs.sheet->format());
    if (scratch == nullptr) return nullptr;
    return std::make_unique<HostFont>(Key(), std::move(glyphs), std::move(scratch));
}

HostFont::HostFont(Key, Glyphs glyphs, std::unique_ptr<HostCanvas> scratch)
    : glyphs_(std::move(glyphs)), scratch_(std::move(scratch)) {
    glyphs_.sheet->setMask(kSheetKey);
    scratch_->setMask(kScratchKey);
}

int32_t HostFont::stringWidth(std::string_view s) const {
    int64_t width = 0;
    for (const char c : s) width += charWidth(static_cast<uint8_t>(c));
    return static_cast<int32_t>(std::min<int64_t>(width, INT32_MAX));
}

void HostFont::render(HostCanvas& canvas, uint32_t argb, int32_t x, int32_t y, std::string_view s) {
    const int64_t total = stringWidth(s);
    if (total == 0) return;
    if (total > scratch_->getWidth()) {
        // A longer line for good; when none can be had the string goes in pieces.
        const auto width = static_cast<int32_t>(std::min<int64_t>(total, HostCanvas::kMaxSide));
        if (auto wider = HostCanvas::create(width, getHeight(), scratch_->format())) {
            wider->setMask(kScratchKey);
            scratch_ = std::move(wider);
        }
    }
    scratch_->setColor(argb);
    if ((scratch_->getColor() & 0xFFFFFF) == 0) scratch_->setColor(kNearBlack);

    // Runs as wide as the scratch line allows (a single character always fits: the line is at
    // least the widest character).
    const int64_t room = scratch_->getWidth();
    int64_t at = x;
    size_t start = 0;
    int64_t runWidth = 0;
    for (size_t i = 0; i <= s.size(); ++i) {
        const int32_t w = i < s.size() ? charWidth(static_cast<uint8_t>(s[i])) : 0;
        if (i == s.size() || (runWidth + w > room && i > start)) {
            if (runWidth > 0 && at >= INT32_MIN && at <= INT32_MAX)
                renderRun(canvas, static_cast<int32_t>(at), y, s.substr(start, i - start),
                          static_cast<int32_t>(runWidth));
            at += runWidth;
            start = i;
            runWidth = 0;
        }
        runWidth += w;
    }
}

void HostFont::renderRun(HostCanvas& canvas, int32_t x, int32_t y, std::string_view s,
                         int32_t width) {
    const int32_t height = getHeight();
    HostCanvas& line = *scratch_;
    line.rect(0, 0, width, height, true);
    // The sheet's white glyph pixels are its key: only each cell's black background lands, so
    // the glyph shapes keep the text colour and the rest of the line turns black.
    int32_t xs = 0;
    for (const char c : s) {
        const size_t i = index(static_cast<uint8_t>(c));
        const uint32_t cell = glyphs_.cells[i];
        const int32_t w = glyphs_.widths[i];
        line.blit(xs, 0, *glyphs_.sheet, static_cast<int32_t>(cell >> 16),
                  static_cast<int32_t>(cell & 0xFFFF), w, height, false);
        xs += w;
    }
    canvas.blit(x, y, line, 0, 0, width, height, false);
}

}  // namespace tx
