// Where the connection dialog's parts go in a window: the dialog's 190 x 199 dialog units,
// scaled to fit the window (dialog units of an 8-point system font at most) and centred, under
// a title bar of the font's height; labels at least a line high and buttons at least as wide
// as their labels in the font; the open drop-down, the games list's rows, and the boxes
// drawn over the dialog (a message, the address prompt).
#pragma once

#include <cstdint>

#include "connection_dialog_model.h"

namespace tx {
class HostFont;
}

namespace tx::net {

struct PixelRect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;

    bool contains(int32_t px, int32_t py) const {
        return px >= x && py >= y && px < x + width && py < y + height;
    }
    int32_t centreX() const { return x + width / 2; }
    int32_t centreY() const { return y + height / 2; }
};

// A box over the dialog: its frame, caption bar, the top-left of its text, and its buttons (a
// prompt has a field and a Cancel button as well).
struct OverlayBox {
    PixelRect frame;
    PixelRect caption;
    PixelRect text;
    PixelRect field;
    PixelRect ok;
    PixelRect cancel;
};

class DialogLayout {
public:
    using Control = ConnectionDialogModel::Control;
    static constexpr int32_t kWidthUnits = 190;
    static constexpr int32_t kHeightUnits = 199;
    // Dialog units of the 8-point system font: 1.5 x 1.625 pixels (scaled down, never up).
    static constexpr double kPixelsPerUnitX = 1.5;
    static constexpr double kPixelsPerUnitY = 1.625;

    // Without a font, text is taken to be 12 pixels high and of no width.
    DialogLayout(int32_t windowWidth, int32_t windowHeight, const HostFont* font);

    int32_t fontHeight() const { return fontHeight_; }
    // The whole dialog, frame and title bar included.
    PixelRect frame() const { return frame_; }
    PixelRect titleBar() const { return titleBar_; }
    // The close box at the right of the title bar.
    PixelRect closeBox() const;
    PixelRect client() const { return client_; }
    // A rectangle of dialog units in the client area.
    PixelRect units(int32_t x, int32_t y, int32_t width, int32_t height) const;

    PixelRect control(Control control) const;
    PixelRect connectionLabel() const { return label(11); }
    PixelRect gamesLabel() const { return label(42); }
    PixelRect nameLabel() const { return label(144); }

    // The open drop-down's entries, below the closed list.
    PixelRect dropEntry(int32_t index) const;
    // The games list's rows inside its border.
    int32_t listRowHeight() const { return fontHeight_ + 2; }
    int32_t visibleListRows() const;
    PixelRect listRow(int32_t visibleRow) const;

    // Boxes centred over the dialog, as wide as their text needs.
    OverlayBox messageBox(int32_t textWidth) const;
    OverlayBox promptBox(int32_t textWidth) const;

private:
    PixelRect label(int32_t y) const;

    int32_t fontHeight_;
    int32_t createLabelWidth_ = 0;
    int32_t cancelLabelWidth_ = 0;
    double unitX_ = 1.0;
    double unitY_ = 1.0;
    int32_t windowWidth_;
    PixelRect frame_;
    PixelRect titleBar_;
    PixelRect client_;
};

}  // namespace tx::net
