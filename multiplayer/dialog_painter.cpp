#include "dialog_painter.h"

#include <algorithm>
#include <string>

#include "host_canvas.h"
#include "host_font.h"

namespace tx::net {
namespace {

namespace c = dialog_colors;
using Control = ConnectionDialogModel::Control;

int32_t widthOf(const HostFont* font, std::string_view text) {
    return font != nullptr ? font->stringWidth(text) : 0;
}

// Draws on a canvas with origin and handle (0, 0), the whole canvas as viewport and the given
// font; the canvas's own drawing state comes back afterwards.
class Painter {
public:
    Painter(HostCanvas& canvas, HostFont* font)
        : canvas_(canvas),
          font_(font),
          origin_(canvas.getOrigin()),
          handle_(canvas.getHandle()),
          viewport_(canvas.getViewport()),
          color_(canvas.colorARGB()),
          savedFont_(canvas.font()) {
        canvas.setOrigin(0, 0);
        canvas.setHandle(0, 0);
        canvas.setViewport(0, 0, canvas.getWidth(), canvas.getHeight());
        canvas.setFont(font);
    }
    ~Painter() {
        canvas_.setFont(savedFont_);
        canvas_.setColor(color_);
        canvas_.setViewport(viewport_.x0, viewport_.y0, viewport_.x1 - viewport_.x0,
                            viewport_.y1 - viewport_.y0);
        canvas_.setHandle(handle_.x, handle_.y);
        canvas_.setOrigin(origin_.x, origin_.y);
    }
    Painter(const Painter&) = delete;
    Painter& operator=(const Painter&) = delete;

    int32_t fontHeight() const { return font_ != nullptr ? font_->getHeight() : 0; }
    int32_t width(std::string_view text) const { return widthOf(font_, text); }

    void fill(const PixelRect& r, uint32_t color) {
        canvas_.setColor(color);
        canvas_.rect(r.x, r.y, r.width, r.height, true);
    }
    void outline(const PixelRect& r, uint32_t color) {
        canvas_.setColor(color);
        canvas_.rect(r.x, r.y, r.width, r.height, false);
    }
    void line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t color) {
        canvas_.setColor(color);
        canvas_.line(x1, y1, x2, y2);
    }
    // Light above and left, shadow below and right (raised); the other way round when sunken.
    void bevel(const PixelRect& r, bool raised) {
        const uint32_t topLeft = raised ? c::kLight : c::kShadow;
        const uint32_t bottomRight = raised ? c::kDark : c::kLight;
        const int32_t right = r.x + r.width - 1, bottom = r.y + r.height - 1;
        line(r.x, r.y, right, r.y, topLeft);
        line(r.x, r.y, r.x, bottom, topLeft);
        line(r.x, bottom, right, bottom, bottomRight);
        line(right, r.y, right, bottom, bottomRight);
    }
    // Text inside a rectangle, clipped to it.
    void text(const PixelRect& clip, int32_t x, int32_t y, std::string_view s, uint32_t color) {
        const PixelRect r = clippedToCanvas(clip);
        if (r.width <= 0 || r.height <= 0 || font_ == nullptr) return;
        canvas_.setViewport(r.x, r.y, r.width, r.height);
        canvas_.setColor(color);
        canvas_.text(x, y, s);
        canvas_.setViewport(0, 0, canvas_.getWidth(), canvas_.getHeight());
    }
    // A line of text in a rectangle: from its left edge plus `indent`, centred vertically.
    void textIn(const PixelRect& r, std::string_view s, uint32_t color, int32_t indent) {
        text(r, r.x + indent, r.centreY() - fontHeight() / 2, s, color);
    }
    void centredText(const PixelRect& r, std::string_view s, uint32_t color) {
        text(r, r.centreX() - width(s) / 2, r.centreY() - fontHeight() / 2, s, color);
    }

    void button(const PixelRect& r, std::string_view label, bool enabled) {
        fill(r, c::kFace);
        outline(r, c::kText);
        bevel({r.x + 1, r.y + 1, r.width - 2, r.height - 2}, true);
        if (!enabled) {  // embossed
            centredText({r.x + 1, r.y + 1, r.width, r.height}, label, c::kLight);
        }
        centredText(r, label, enabled ? c::kText : c::kDisabledText);
    }
    // A sunken field, white when usable.
    void field(const PixelRect& r, bool enabled) {
        fill(r, enabled ? c::kField : c::kFace);
        bevel(r, false);
        bevel({r.x + 1, r.y + 1, r.width - 2, r.height - 2}, false);
    }
    // A field's text scrolled so that the caret shows, and the caret when it is to show.
    void editText(const PixelRect& r, const TextField& field, bool enabled, bool caret) {
        const PixelRect inner{r.x + 3, r.y + 2, r.width - 6, r.height - 4};
        const std::string_view all = field.text();
        size_t first = 0;
        while (first < field.caret() &&
               width(all.substr(first, field.caret() - first)) > inner.width - 1)
            ++first;
        const std::string_view shown = all.substr(first);
        const int32_t y = r.centreY() - fontHeight() / 2;
        text(inner, inner.x, y, shown, enabled ? c::kText : c::kDisabledText);
        if (!caret || !enabled) return;
        const int32_t x = inner.x + width(shown.substr(0, field.caret() - first));
        fill({x, y, 1, fontHeight()}, c::kText);
    }
    // A window-like box: frame, caption bar and caption.
    void box(const PixelRect& frame, const PixelRect& caption, std::string_view title) {
        fill(frame, c::kFace);
        outline(frame, c::kText);
        bevel({frame.x + 1, frame.y + 1, frame.width - 2, frame.height - 2}, true);
        fill(caption, c::kSelection);
        textIn(caption, title, c::kSelectedText, 3);
    }

private:
    PixelRect clippedToCanvas(const PixelRect& r) const {
        const int32_t x0 = std::max(r.x, 0), y0 = std::max(r.y, 0);
        const int32_t x1 = std::min(r.x + r.width, canvas_.getWidth());
        const int32_t y1 = std::min(r.y + r.height, canvas_.getHeight());
        return {x0, y0, x1 - x0, y1 - y0};
    }

    HostCanvas& canvas_;
    const HostFont* font_;
    Point origin_;
    Point handle_;
    Rect viewport_;
    uint32_t color_;
    HostFont* savedFont_;
};

void paintConnections(Painter& p, const DialogLayout& layout, const ConnectionDialogModel& model,
                      const DialogView& view) {
    const PixelRect box = layout.control(Control::Connections);
    p.field(box, true);
    const int32_t side = box.height - 4;
    const PixelRect arrow{box.x + box.width - side - 2, box.y + 2, side, side};
    p.button(arrow, "", true);
    const int32_t cx = arrow.centreX(), cy = arrow.centreY() - 1;
    for (int32_t row = 0; row < 4; ++row)
        p.line(cx - 3 + row, cy + row, cx + 3 - row, cy + row, c::kText);
    const auto& names = model.connections();
    const int32_t selected = model.selectedConnection();
    const PixelRect textArea{box.x + 2, box.y + 2, arrow.x - box.x - 3, box.height - 4};
    if (selected >= 0 && selected < static_cast<int32_t>(names.size()))
        p.textIn(textArea, names[static_cast<size_t>(selected)], c::kText, 2);
    if (!view.dropOpen) return;
    const PixelRect first = layout.dropEntry(0);
    const PixelRect list{first.x, first.y, first.width,
                         first.height * static_cast<int32_t>(names.size())};
    p.fill(list, c::kField);
    p.outline(list, c::kText);
    for (size_t i = 0; i < names.size(); ++i) {
        const PixelRect row = layout.dropEntry(static_cast<int32_t>(i));
        const bool chosen = static_cast<int32_t>(i) == selected;
        if (chosen) p.fill({row.x + 1, row.y + 1, row.width - 2, row.height - 2}, c::kSelection);
        p.textIn(row, names[i], chosen ? c::kSelectedText : c::kText, 3);
    }
}

void paintGames(Painter& p, const DialogLayout& layout, const ConnectionDialogModel& model,
                const DialogView& view) {
    const PixelRect box = layout.control(Control::Games);
    const bool enabled = model.enabled(Control::Games);
    p.field(box, enabled);
    const auto& entries = model.gameEntries();
    const int32_t rows = layout.visibleListRows();
    const auto count = static_cast<int32_t>(entries.size());
    const int32_t barWidth = count > rows ? 6 : 0;  // the scroll bar's, when there is one
    for (int32_t row = 0; row < rows; ++row) {
        const int32_t index = view.listTop + row;
        if (index < 0 || index >= count) break;
        PixelRect r = layout.listRow(row);
        r.width -= barWidth;
        const bool selected = enabled && index == model.selectedGame();
        if (selected) p.fill(r, c::kSelection);
        const uint32_t color = !enabled ? c::kDisabledText : selected ? c::kSelectedText : c::kText;
        p.textIn(r, entries[static_cast<size_t>(index)], color, 2);
    }
    // Where the rows shown sit among all of them.
    if (barWidth > 0) {
        const int32_t track = box.height - 4;
        const int32_t top = box.y + 2 + track * view.listTop / count;
        const int32_t height = std::max(track * rows / count, 4);
        p.fill({box.x + box.width - 6, top, 4, height}, c::kShadow);
    }
}

void paintAddressPrompt(Painter& p, const OverlayBox& b, const ConnectionDialogModel& model,
                        const DialogView& view) {
    p.box(b.frame, b.caption, kAddressCaption);
    p.text(b.text, b.text.x, b.text.y, kAddressPrompt, c::kText);
    p.field(b.field, true);
    p.editText(b.field, model.address(), true,
               view.focus == DialogView::Focus::Address && view.caretShown);
    p.button(b.ok, "OK", true);
    p.button(b.cancel, "Cancel", true);
}

}  // namespace

OverlayBox messageBoxOf(const DialogLayout& layout, const HostFont* font,
                        const ConnectionDialogModel::Message& message) {
    return layout.messageBox(
        std::max(widthOf(font, message.text), widthOf(font, message.caption) + 6));
}

OverlayBox addressBoxOf(const DialogLayout& layout, const HostFont* font) {
    return layout.promptBox(widthOf(font, kAddressPrompt));
}

void paintDialog(HostCanvas& canvas, HostFont* font, const DialogLayout& layout,
                 const ConnectionDialogModel& model, const DialogView& view) {
    Painter p(canvas, font);
    const PixelRect frame = layout.frame();
    p.fill(frame, c::kFace);
    p.outline(frame, c::kText);
    p.bevel({frame.x + 1, frame.y + 1, frame.width - 2, frame.height - 2}, true);
    p.fill(layout.titleBar(), c::kSelection);
    p.textIn(layout.titleBar(), kDialogTitle, c::kSelectedText, 3);
    const PixelRect close = layout.closeBox();
    p.button(close, "", true);
    p.line(close.x + 3, close.y + 3, close.x + close.width - 4, close.y + close.height - 4,
           c::kText);
    p.line(close.x + close.width - 4, close.y + 3, close.x + 3, close.y + close.height - 4,
           c::kText);

    p.textIn(layout.connectionLabel(), "Connection", c::kText, 0);
    p.textIn(layout.gamesLabel(), "Games in progress", c::kText, 0);
    p.textIn(layout.nameLabel(), "Name for new game", c::kText, 0);

    paintGames(p, layout, model, view);
    const bool nameEnabled = model.enabled(Control::Name);
    p.field(layout.control(Control::Name), nameEnabled);
    p.editText(layout.control(Control::Name), model.name(), nameEnabled,
               view.focus == DialogView::Focus::Name && view.caretShown);
    p.button(layout.control(Control::Create), "Create new game", model.enabled(Control::Create));
    p.button(layout.control(Control::Cancel), "Cancel", true);
    paintConnections(p, layout, model, view);  // last: the open drop-down lies over the rest

    if (model.addressWanted()) paintAddressPrompt(p, addressBoxOf(layout, font), model, view);
    if (const auto& message = model.message()) {
        const OverlayBox b = messageBoxOf(layout, font, *message);
        p.box(b.frame, b.caption, message->caption);
        p.text(b.text, b.text.x, b.text.y, message->text, c::kText);
        p.button(b.ok, "OK", true);
    }
}

void paintPointer(HostCanvas& canvas, int32_t x, int32_t y) {
    Painter p(canvas, nullptr);
    // Rows of a 12-pixel arrow: black outline, white inside.
    constexpr int32_t kRows = 12;
    for (int32_t row = 0; row < kRows; ++row) {
        const int32_t width = row < 9 ? row : 12 - row;
        p.line(x, y + row, x + width, y + row, c::kLight);
        p.line(x + width, y + row, x + width, y + row, c::kText);
    }
    p.line(x, y, x, y + kRows - 1, c::kText);
}

}  // namespace tx::net
