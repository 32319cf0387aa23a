// Draws the connection dialog into a canvas: the dialog in the classic grey of dialog boxes,
// disabled controls greyed, the open drop-down, the address prompt and the message box over it,
// all in the font given (the display's default font).
#pragma once

#include <cstdint>
#include <string_view>

#include "connection_dialog_model.h"
#include "dialog_layout.h"

namespace tx {
class HostCanvas;
class HostFont;
}  // namespace tx

namespace tx::net {

// What the drawing shows besides the model: the drop-down, the list's scrolling, the focus.
struct DialogView {
    enum class Focus : uint8_t { None, Name, Address };
    bool dropOpen = false;
    int32_t listTop = 0;  // the first game entry shown
    Focus focus = Focus::None;
    bool caretShown = true;
};

// The dialog's colours (ARGB).
namespace dialog_colors {
inline constexpr uint32_t kFace = 0xFFC0C0C0u;
inline constexpr uint32_t kLight = 0xFFFFFFFFu;
inline constexpr uint32_t kShadow = 0xFF808080u;
inline constexpr uint32_t kDark = 0xFF404040u;
inline constexpr uint32_t kText = 0xFF000000u;
inline constexpr uint32_t kDisabledText = 0xFF808080u;
inline constexpr uint32_t kField = 0xFFFFFFFFu;
inline constexpr uint32_t kSelection = 0xFF000080u;
inline constexpr uint32_t kSelectedText = 0xFFFFFFFFu;
}  // namespace dialog_colors

inline constexpr std::string_view kDialogTitle = "Start Multiplayer Game";
inline constexpr std::string_view kAddressCaption = "TCP/IP";
inline constexpr std::string_view kAddressPrompt = "Host address (empty: local network)";

// The boxes over the dialog as their texts in `font` size them.
OverlayBox messageBoxOf(const DialogLayout& layout, const HostFont* font,
                        const ConnectionDialogModel::Message& message);
OverlayBox addressBoxOf(const DialogLayout& layout, const HostFont* font);

// Draws the dialog with origin (0, 0) over the whole canvas; the canvas's drawing state is
// left as it was.
void paintDialog(HostCanvas& canvas, HostFont* font, const DialogLayout& layout,
                 const ConnectionDialogModel& model, const DialogView& view);
// An arrow pointer with its tip at (x, y), for full screen, which hides the system's.
void paintPointer(HostCanvas& canvas, int32_t x, int32_t y);

}  // namespace tx::net
