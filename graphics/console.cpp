#include "console.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <optional>

#include "graphics_commands.h"
#include "graphics_state.h"
#include "input_state.h"
#include "typed_keys.h"

namespace tx {
namespace {

// The caret shows for 320 ms, then hides for as long. Input looks for keys every 20 ms.
constexpr uint32_t kBlinkPhaseMs = 320;
constexpr int32_t kKeyPollMs = 20;

// Input's editing codes (what asciiOfKey gives for the keys).
constexpr int32_t kHome = 1, kEnd = 2, kDelete = 4, kBackspace = 8, kEnter = 13, kEscape = 27,
                  kRight = 30, kLeft = 31;

// One console operation on the front buffer: opens the 400 x 300 window first when the program
// never set a mode, draws with origin and handle (0, 0) over the whole buffer in the current
// font and colour, and scrolls up what the next line needs. The destructor puts the buffer's
// own state back; finish() then pumps.
class ConsoleSession {
public:
    explicit ConsoleSession(GraphicsState& state) : state_(state) {
        if (!state.modeSetByProgram) graphics(state, kStartupWidth, kStartupHeight, 0, 2);
        HostCanvas& front = state.graphics->frontBuffer();
        canvas_ = &front;
        drawColor_ = state.currentBuffer->colorARGB();
        clsColor_ = state.currentBuffer->clsColorARGB();
        savedOrigin_ = front.getOrigin();
        savedHandle_ = front.getHandle();
        savedViewport_ = front.getViewport();
        front.setOrigin(0, 0);
        front.setHandle(0, 0);
        front.setViewport(0, 0, front.getWidth(), front.getHeight());
        if (&front != state.currentBuffer) {
            front.setFont(state.currentFont);
            front.setColor(drawColor_);
        }
        scroll();
    }
    ~ConsoleSession() {
        const Rect& v = savedViewport_;
        canvas_->setViewport(v.x0, v.y0, v.x1 - v.x0, v.y1 - v.y0);
        canvas_->setHandle(savedHandle_.x, savedHandle_.y);
        canvas_->setOrigin(savedOrigin_.x, savedOrigin_.y);
        if (canvas_ == state_.currentBuffer) canvas_->setColor(drawColor_);
    }
    ConsoleSession(const ConsoleSession&) = delete;
    ConsoleSession& operator=(const ConsoleSession&) = delete;

    HostCanvas& canvas() { return *canvas_; }
    HostFont& font() { return *state_.currentFont; }
    int32_t lineHeight() { return font().getHeight(); }
    uint32_t drawColor() const { return drawColor_; }
    uint32_t clsColor() const { return clsColor_; }

private:
    // Moves the picture up by what the next line needs below the bottom, and clears the strip
    // freed at the bottom in the clear colour.
    void scroll() {
        HostCanvas& c = *canvas_;
        ConsoleState& console = state_.console;
        const int32_t overflow = console.cursorY + lineHeight() - c.getHeight();
        if (overflow < 1) return;
        console.cursorY = c.getHeight() - lineHeight();
        c.blit(0, 0, c, 0, overflow, c.getWidth(), c.getHeight() - overflow, true);
        c.setColor(clsColor_);
        c.rect(0, c.getHeight() - overflow, c.getWidth(), overflow, true);
        c.setColor(drawColor_);
    }

    GraphicsState& state_;
    HostCanvas* canvas_ = nullptr;
    uint32_t drawColor_ = 0;
    uint32_t clsColor_ = 0;
    Point savedOrigin_;
    Point savedHandle_;
    Rect savedViewport_;
};

// Applies an editing code to the line; false when editing is over.
bool edit(std::string& text, size_t& position, int32_t code, const HostFont& font) {
    switch (code) {
        case 0:  // the program must end
            text.clear();
            return false;
        case kHome:
            position = 0;
            return true;
        case kEnd:
            position = text.size();
            return true;
        case kDelete:
            if (position < text.size()) text.erase(position, 1);
            return true;
        case kBackspace:
            if (position > 0) text.erase(--position, 1);
            return true;
        case kEnter:
            return false;
        case kEscape:
            text.clear();
            position = 0;
            return true;
        case kRight:
            if (position < text.size()) ++position;
            return true;
        case kLeft:
            if (position > 0) --position;
            return true;
        default:
            if (font.hasChar(static_cast<uint8_t>(code)))
                text.insert(position++, 1, static_cast<char>(code));
            return true;
    }
}

}  // namespace

uint32_t ConsoleTiming::steadyMilliseconds() {
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

bool ConsoleTiming::pauseAndPump(HostRuntime& runtime, int32_t milliseconds) {
    return runtime.delay(milliseconds) && runtime.idle();
}

void consoleWrite(GraphicsState& state, std::string_view text) {
    {
        ConsoleSession session(state);
        session.canvas().text(state.console.cursorX, state.console.cursorY, text);
        state.console.cursorX += session.font().stringWidth(text);
    }
    pumpOrEnd(state);  // a program that must end ends quietly here
}

void consolePrint(GraphicsState& state, std::string_view text) {
    {
        ConsoleSession session(state);
        session.canvas().text(state.console.cursorX, state.console.cursorY, text);
        state.console.cursorX = 0;
        state.console.cursorY += session.lineHeight();
    }
    pumpOrEnd(state);  // a program that must end ends quietly here
}

void consoleLocate(GraphicsState& state, int32_t x, int32_t y) {
    const HostCanvas& front = state.graphics->frontBuffer();
    state.console.cursorX = std::clamp(x, 0, front.getWidth());
    state.console.cursorY = std::clamp(y, 0, front.getHeight());
}

namespace {

// Input's editing, inside its console session: the prompt, then rounds of waiting for a key
// with the caret blinking, applying it, and drawing the line again.
std::string editLine(GraphicsState& state, ConsoleSession& session, std::string_view prompt) {
    ConsoleState& console = state.console;
    HostCanvas& c = session.canvas();
    HostFont& font = session.font();
    const int32_t h = font.getHeight();

    // Row 0 of the scratch canvas keeps the line as the prompt left it; row 1 is where the
    // edited line is composed.
    std::unique_ptr<HostCanvas>& scratch = console.inputCanvas;
    if (scratch == nullptr || scratch->getWidth() < c.getWidth() || scratch->getHeight() < 2 * h)
        scratch = HostCanvas::create(c.getWidth(), 2 * h, c.format());
    if (scratch == nullptr) return {};

    c.text(console.cursorX, console.cursorY, prompt);
    console.cursorX += font.stringWidth(prompt);
    scratch->setFont(&font);
    scratch->setColor(session.drawColor());
    scratch->blit(0, 0, c, 0, console.cursorY, c.getWidth(), h, true);

    const ConsoleTiming& timing = console.timing;
    InputState* input = ModuleState<InputState>::find();
    std::optional<TypedKeys> keys;
    if (input != nullptr) keys.emplace(input->input);
    std::string text;
    size_t position = 0;
    for (bool editing = true; editing;) {
        const std::string_view before = std::string_view(text).substr(0, position);
        const std::string_view atCaret =
            position < text.size() ? std::string_view(text).substr(position, 1) : "";
        const int32_t caretX = console.cursorX + font.stringWidth(before);
        const int32_t caretWidth = font.stringWidth(atCaret.empty() ? "X" : atCaret);

        int32_t code = 0;
        if (keys.has_value() && state.runtime.idle()) {
            const uint32_t start = timing.now();
            uint32_t shownPhase = UINT32_MAX;
            for (;;) {
                const uint32_t now = timing.now();
                if (const uint32_t phase = (now - start) / kBlinkPhaseMs; phase != shownPhase) {
                    shownPhase = phase;
                    if (phase % 2 == 0) {  // shown: a block in the inverted clear colour
                        c.setColor(session.clsColor() ^ 0xFFFFFFu);
                        c.rect(caretX, console.cursorY, caretWidth, h, true);
                        c.setColor(session.clsColor());
                    } else {  // hidden: the cell as the prompt left it
                        c.blit(caretX, console.cursorY, *scratch, caretX, 0, caretWidth, h, true);
                        c.setColor(session.drawColor());
                    }
                    c.text(caretX, console.cursorY, atCaret);
                }
                if ((code = keys->next(now)) != 0) break;
                if (!timing.pause(state.runtime, kKeyPollMs)) break;
            }
        }
        editing = edit(text, position, code, font);

        // The line again: the saved row, the text over it, then into the buffer.
        scratch->blit(0, h, *scratch, 0, 0, c.getWidth(), h, true);
        scratch->text(console.cursorX, h, text);
        c.blit(0, console.cursorY, *scratch, 0, h, c.getWidth(), h, true);
    }
    console.cursorX = 0;
    console.cursorY += h;
    return text;
}

}  // namespace

std::string consoleInput(GraphicsState& state, std::string_view prompt) {
    std::string text;
    {
        ConsoleSession session(state);
        text = editLine(state, session, prompt);
    }
    pumpOrEnd(state);  // a program that must end ends quietly here
    return text;
}

}  // namespace tx
