// Fonts: loading and freeing them, choosing the current one, measuring text with it, and Text.
#include "font_loader.h"
#include "graphics_commands.h"
#include "graphics_state.h"

namespace tx {

uint32_t loadFont(GraphicsState& state, StrArg name, int32_t height, int32_t bold, int32_t italic,
                  int32_t underline) {
    if (state.graphics == nullptr) return 0;
    const uint32_t style = (bold != 0 ? font_style::kBold : 0) |
                           (italic != 0 ? font_style::kItalic : 0) |
                           (underline != 0 ? font_style::kUnderline : 0);
    std::unique_ptr<HostFont> font =
        loadFont(name.view(), height, style, state.graphics->format(), state.graphics->getWidth());
    return font != nullptr ? state.fonts.insert(std::move(font)) : 0;
}

void freeFont(GraphicsState& state, FontHandle font) {
    if (!font) return;
    HostFont* fallback = state.graphics != nullptr ? state.graphics->defaultFont() : nullptr;
    if (state.currentFont == font.get()) {
        state.currentFont = fallback;
        if (state.currentBuffer != nullptr) state.currentBuffer->setFont(fallback);
    }
    // No canvas keeps drawing with a font that is gone.
    if (state.graphics != nullptr) state.graphics->replaceFont(font.get(), fallback);
    state.fonts.erase(font.raw());
}

int32_t fontWidth(GraphicsState& state) {
    return state.currentFont != nullptr ? state.currentFont->getWidth() : 0;
}

int32_t fontHeight(GraphicsState& state) {
    return state.currentFont != nullptr ? state.currentFont->getHeight() : 0;
}

int32_t stringWidth(GraphicsState& state, StrArg text) {
    return state.currentFont != nullptr ? state.currentFont->stringWidth(text.view()) : 0;
}

int32_t stringHeight(GraphicsState& state, StrArg) {
    return fontHeight(state);
}

// A handle that names no font (with the debug flag clear) leaves the font as it is.
void setFont(GraphicsState& state, FontHandle font) {
    if (!font) return;
    state.currentFont = font.get();
    if (state.currentBuffer != nullptr) state.currentBuffer->setFont(font.get());
}

void text(GraphicsState& state, int32_t x, int32_t y, StrArg text, int32_t centreX,
          int32_t centreY) {
    HostCanvas* canvas = state.currentBuffer;
    if (canvas == nullptr) return;
    // Halves truncate toward zero, as the program's integer division does; the sums wrap as
    // its 32-bit additions do.
    const auto add = [](int32_t a, int32_t b) {
        return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
    };
    if (centreX != 0 && state.currentFont != nullptr)
        x = add(x, state.currentFont->stringWidth(text.view()) / -2);
    if (centreY != 0) y = add(y, fontHeight(state) / -2);
    canvas->text(x, y, text.view());
}

}  // namespace tx
