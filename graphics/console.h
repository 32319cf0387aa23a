// The text console: Write, Print and Input write into the front buffer line by line in the
// current font and colour, whichever buffer is current; a line that would leave the bottom
// scrolls the buffer up first. Input edits one line with a blinking block caret.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tx {

struct GraphicsState;

void consoleWrite(GraphicsState& state, std::string_view text);
// Ends the line after the text.
void consolePrint(GraphicsState& state, std::string_view text);
// Prints the prompt and returns the line typed (empty after Escape then Enter, or when the
// program must end).
std::string consoleInput(GraphicsState& state, std::string_view prompt);
// Clamped to 0 ... the front buffer's width and height.
void consoleLocate(GraphicsState& state, int32_t x, int32_t y);

}  // namespace tx
