#include "dialog_layout.h"

#include <algorithm>
#include <cmath>

#include "host_font.h"

namespace tx::net {
namespace {

constexpr int32_t kBorder = 2;
constexpr int32_t kPad = 8;  // inside a box over the dialog
constexpr int32_t kButtonWidth = 64;
constexpr int32_t kButtonTextMargin = 12;

}  // namespace

DialogLayout::DialogLayout(int32_t windowWidth, int32_t windowHeight, const HostFont* font)
    : fontHeight_(font != nullptr ? std::max(font->getHeight(), 1) : 12),
      windowWidth_(windowWidth) {
    if (font != nullptr) {
        createLabelWidth_ = font->stringWidth("Create new game");
        cancelLabelWidth_ = font->stringWidth("Cancel");
    }
    const int32_t titleHeight = fontHeight_ + 6;
    const int32_t availableWidth = std::max(windowWidth - 2 * kBorder, 1);
    const int32_t availableHeight = std::max(windowHeight - 2 * kBorder - titleHeight, 1);
    const double scale = std::min({1.0, availableWidth / (kWidthUnits * kPixelsPerUnitX),
                                   availableHeight / (kHeightUnits * kPixelsPerUnitY)});
    unitX_ = kPixelsPerUnitX * scale;
    unitY_ = kPixelsPerUnitY * scale;
    const auto clientWidth = static_cast<int32_t>(std::lround(kWidthUnits * unitX_));
    const auto clientHeight = static_cast<int32_t>(std::lround(kHeightUnits * unitY_));
    const int32_t width = clientWidth + 2 * kBorder;
    const int32_t height = clientHeight + titleHeight + 2 * kBorder;
    frame_ = {(windowWidth - width) / 2, (windowHeight - height) / 2, width, height};
    titleBar_ = {frame_.x + kBorder, frame_.y + kBorder, clientWidth, titleHeight};
    client_ = {titleBar_.x, titleBar_.y + titleHeight, clientWidth, clientHeight};
}

PixelRect DialogLayout::closeBox() const {
    const int32_t side = titleBar_.height - 4;
    return {titleBar_.x + titleBar_.width - side - 2, titleBar_.y + 2, side, side};
}

PixelRect DialogLayout::units(int32_t x, int32_t y, int32_t width, int32_t height) const {
    // Edges rounded apart, so that neighbours meet without gaps.
    const auto px = [&](int32_t u) { return static_cast<int32_t>(std::lround(u * unitX_)); };
    const auto py = [&](int32_t u) { return static_cast<int32_t>(std::lround(u * unitY_)); };
    return {client_.x + px(x), client_.y + py(y), px(x + width) - px(x), py(y + height) - py(y)};
}

PixelRect DialogLayout::control(Control control) const {
    switch (control) {
        case Control::Connections: {
            // The closed drop-down is one line of text high, whatever the dialog's scale.
            PixelRect r = units(10, 22, 170, 12);
            r.height = std::max(r.height, fontHeight_ + 6);
            return r;
        }
        case Control::Games:
            return units(10, 53, 170, 82);
        case Control::Name:
            return units(10, 155, 170, 12);
        case Control::Create: {  // grows to the right
            PixelRect r = units(10, 178, 67, 14);
            r.width = std::max(r.width, createLabelWidth_ + kButtonTextMargin);
            return r;
        }
        case Control::Cancel: {  // grows to the left
            PixelRect r = units(135, 178, 45, 14);
            const int32_t width = std::max(r.width, cancelLabelWidth_ + kButtonTextMargin);
            r.x -= width - r.width;
            r.width = width;
            return r;
        }
    }
    return {};
}

PixelRect DialogLayout::label(int32_t y) const {
    PixelRect r = units(10, y, 170, 8);
    r.height = std::max(r.height, fontHeight_ + 2);
    return r;
}

PixelRect DialogLayout::dropEntry(int32_t index) const {
    const PixelRect box = control(Control::Connections);
    const int32_t rowHeight = fontHeight_ + 4;
    return {box.x, box.y + box.height + index * rowHeight, box.width, rowHeight};
}

int32_t DialogLayout::visibleListRows() const {
    const PixelRect box = control(Control::Games);
    return std::max((box.height - 4) / listRowHeight(), 1);
}

PixelRect DialogLayout::listRow(int32_t visibleRow) const {
    const PixelRect box = control(Control::Games);
    return {box.x + 2, box.y + 2 + visibleRow * listRowHeight(), box.width - 4, listRowHeight()};
}

OverlayBox DialogLayout::messageBox(int32_t textWidth) const {
    OverlayBox box;
    const int32_t buttonHeight = fontHeight_ + 8;
    const int32_t width =
        std::min(std::max(textWidth, kButtonWidth) + 2 * kPad + 2 * kBorder, windowWidth_);
    const int32_t height = 2 * kBorder + (fontHeight_ + 6) + 3 * kPad + fontHeight_ + buttonHeight;
    box.frame = {frame_.centreX() - width / 2, frame_.centreY() - height / 2, width, height};
    box.caption = {box.frame.x + kBorder, box.frame.y + kBorder, width - 2 * kBorder,
                   fontHeight_ + 6};
    box.text = {box.caption.x + kPad, box.caption.y + box.caption.height + kPad,
                width - 2 * kBorder - 2 * kPad, fontHeight_};
    box.ok = {box.frame.centreX() - kButtonWidth / 2, box.text.y + box.text.height + kPad,
              kButtonWidth, buttonHeight};
    return box;
}

OverlayBox DialogLayout::promptBox(int32_t textWidth) const {
    // Room for both buttons side by side.
    OverlayBox box = messageBox(std::max(textWidth, 2 * kButtonWidth + kPad));
    const int32_t fieldHeight = fontHeight_ + 6;
    box.frame.y -= (fieldHeight + kPad) / 2;
    box.frame.height += fieldHeight + kPad;
    box.caption.y = box.frame.y + kBorder;
    box.text.y = box.caption.y + box.caption.height + kPad;
    box.field = {box.text.x, box.text.y + box.text.height + kPad, box.text.width, fieldHeight};
    const int32_t buttonsY = box.field.y + box.field.height + kPad;
    const int32_t right = box.text.x + box.text.width;
    box.cancel = {right - kButtonWidth, buttonsY, kButtonWidth, box.ok.height};
    box.ok = {box.cancel.x - kPad - kButtonWidth, buttonsY, kButtonWidth, box.ok.height};
    return box;
}

}  // namespace tx::net
