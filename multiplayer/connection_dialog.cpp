#include "connection_dialog.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "connection_dialog_model.h"
#include "dialog_layout.h"
#include "dialog_painter.h"
#include "graphics_commands.h"
#include "graphics_state.h"
#include "input_state.h"
#include "typed_keys.h"

namespace tx::net {
namespace {

using Control = ConnectionDialogModel::Control;
using Focus = DialogView::Focus;

constexpr int32_t kFrameMs = 20;
constexpr uint32_t kCaretPhaseMs = 500;
constexpr int32_t kEnter = 13, kEscape = 27, kSpace = 32;
constexpr int32_t kLeftButton = 1;
constexpr int32_t kWheelUnitsPerNotch = 120;

// The whole of one canvas's pixels into another of the same size and format.
void copyPixels(CanvasPixels& to, const CanvasPixels& from) {
    const auto rowBytes =
        static_cast<size_t>(from.getWidth()) * static_cast<size_t>(from.format().bytesPerPixel());
    for (int32_t y = 0; y < from.getHeight(); ++y)
        std::memcpy(to.pixelAddress(0, y), from.pixelAddress(0, y), rowBytes);
    to.markDrawn(to.bounds());
}

// One showing of the dialog on the front buffer: the program's picture kept aside and put
// back, the user's input turned into the model's actions, a frame drawn every 20 ms.
class DialogRun {
public:
    DialogRun(GraphicsState& graphics, HostInput& input, const SessionService& service)
        : graphics_(graphics),
          input_(input),
          front_(graphics.graphics->frontBuffer()),
          font_(graphics.graphics->defaultFont()),
          layout_(front_.getWidth(), front_.getHeight(), font_),
          model_(service),
          keys_(input),
          pointerWasVisible_(graphics.runtime.display().pointerVisible()) {
        picture_ = HostCanvas::create(front_.getWidth(), front_.getHeight(), front_.format());
        if (picture_ != nullptr) copyPixels(*picture_, front_);
        graphics.runtime.display().setPointerVisible(true);
        // Presses from before the dialog are not the dialog's.
        input_.keyboardAsFed().flush();
        input_.mouseAsFed().flush();
        wheel_ = input_.mouseAsFed().axis(2);
        model_.open();
    }
    ~DialogRun() {
        if (picture_ != nullptr) copyPixels(front_, *picture_);
        Display& display = graphics_.runtime.display();
        display.setPointerVisible(pointerWasVisible_);
        display.flip(false);
        input_.keyboardAsFed().flush();
        input_.mouseAsFed().flush();
    }
    DialogRun(const DialogRun&) = delete;
    DialogRun& operator=(const DialogRun&) = delete;

    ConnectionDialogModel& model() { return model_; }

    // One frame's input and timer, then the frame.
    void step(uint32_t now) {
        InputDevice& mouse = input_.mouseAsFed();
        for (int32_t button; (button = mouse.takeQueued()) != 0;)
            if (button == kLeftButton && !model_.result()) click(now);
        scrollList(mouse.axis(2));
        for (int32_t code; !model_.result() && (code = keys_.next(now)) != 0;) {
            caretEpoch_ = now;
            key(code, now);
        }
        if (!model_.result()) model_.tick(now);
        if (model_.addressWanted()) {
            view_.focus = Focus::Address;
        } else if (view_.focus == Focus::Address || !model_.enabled(Control::Name)) {
            view_.focus = model_.enabled(Control::Name) ? Focus::Name : Focus::None;
        }
        clampListTop();
    }

    void draw(uint32_t now) {
        if (picture_ != nullptr) copyPixels(front_, *picture_);
        view_.caretShown = (now - caretEpoch_) / kCaretPhaseMs % 2 == 0;
        paintDialog(front_, font_, layout_, model_, view_);
        Display& display = graphics_.runtime.display();
        if (display.inputCaptured()) {  // full screen shows no pointer of its own
            const InputDevice& mouse = input_.mouseAsFed();
            paintPointer(front_, static_cast<int32_t>(mouse.axis(0)),
                         static_cast<int32_t>(mouse.axis(1)));
        }
        display.flip(false);
    }

private:
    void click(uint32_t now) {
        const InputDevice& mouse = input_.mouseAsFed();
        const auto x = static_cast<int32_t>(mouse.axis(0));
        const auto y = static_cast<int32_t>(mouse.axis(1));
        if (const auto& message = model_.message()) {
            if (messageBoxOf(layout_, font_, *message).ok.contains(x, y)) model_.dismissMessage();
            return;
        }
        if (model_.addressWanted()) {
            const OverlayBox box = addressBoxOf(layout_, font_);
            if (box.ok.contains(x, y)) model_.confirmAddress(now);
            if (box.cancel.contains(x, y)) model_.cancelAddress();
            return;
        }
        if (view_.dropOpen) {
            view_.dropOpen = false;
            const auto count = static_cast<int32_t>(model_.connections().size());
            for (int32_t i = 0; i < count; ++i)
                if (layout_.dropEntry(i).contains(x, y)) model_.chooseConnection(i);
            return;
        }
        if (layout_.closeBox().contains(x, y) || layout_.control(Control::Cancel).contains(x, y)) {
            model_.cancel();
        } else if (layout_.control(Control::Connections).contains(x, y)) {
            view_.dropOpen = true;
        } else if (layout_.control(Control::Games).contains(x, y)) {
            const int32_t row = (y - layout_.listRow(0).y) / layout_.listRowHeight();
            if (row >= 0 && row < layout_.visibleListRows())
                model_.clickGame(view_.listTop + row, now);
        } else if (layout_.control(Control::Name).contains(x, y)) {
            if (model_.enabled(Control::Name)) view_.focus = Focus::Name;
        } else if (layout_.control(Control::Create).contains(x, y)) {
            if (model_.enabled(Control::Create)) model_.create();
        }
    }

    void key(int32_t code, uint32_t now) {
        if (model_.message()) {
            if (code == kEnter || code == kEscape || code == kSpace) model_.dismissMessage();
            return;
        }
        if (model_.addressWanted()) {
            if (code == kEnter) {
                model_.confirmAddress(now);
            } else if (code == kEscape) {
                model_.cancelAddress();
            } else {
                edit(model_.address(), code);
            }
            return;
        }
        if (view_.dropOpen) {
            if (code == kEscape || code == kEnter) view_.dropOpen = false;
            return;
        }
        if (view_.focus == Focus::Name && model_.enabled(Control::Name)) edit(model_.name(), code);
    }

    // Printable characters the font cannot draw are not typed.
    void edit(TextField& field, int32_t code) {
        if (code >= kSpace && font_ != nullptr && !font_->hasChar(static_cast<uint8_t>(code)))
            return;
        field.apply(code);
    }

    // The wheel scrolls the games list by a row a notch (away from the user: up).
    void scrollList(float wheel) {
        const auto notches = static_cast<int32_t>((wheel - wheel_) / kWheelUnitsPerNotch);
        if (notches == 0) return;
        wheel_ += static_cast<float>(notches * kWheelUnitsPerNotch);
        view_.listTop -= notches;
    }

    void clampListTop() {
        const auto entries = static_cast<int32_t>(model_.gameEntries().size());
        view_.listTop =
            std::clamp(view_.listTop, 0, std::max(entries - layout_.visibleListRows(), 0));
    }

    GraphicsState& graphics_;
    HostInput& input_;
    HostCanvas& front_;
    HostFont* font_;
    DialogLayout layout_;
    ConnectionDialogModel model_;
    DialogView view_;
    TypedKeys keys_;
    std::unique_ptr<HostCanvas> picture_;
    bool pointerWasVisible_;
    float wheel_ = 0;
    uint32_t caretEpoch_ = 0;
};

}  // namespace

uint32_t DialogHooks::steadyMilliseconds() {
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

bool DialogHooks::pauseAndPump(HostRuntime& runtime, int32_t milliseconds) {
    return runtime.delay(milliseconds) && runtime.idle();
}

DialogOutcome runConnectionDialog(HostRuntime& runtime, const SessionService& service,
                                  const DialogHooks& hooks) {
    DialogOutcome outcome;
    GraphicsState* graphics = graphicsState();
    InputState* input = ModuleState<InputState>::find();
    if (graphics == nullptr || input == nullptr) return outcome;
    if (graphics->graphics == nullptr) tx::graphics(*graphics, kStartupWidth, kStartupHeight, 0, 2);

    DialogRun run(*graphics, input->input, service);
    ConnectionDialogModel& model = run.model();
    for (;;) {
        const uint32_t now = hooks.now();
        run.draw(now);
        if (hooks.frameShown) hooks.frameShown(model);
        if (!hooks.pause(runtime, kFrameMs)) {
            model.cancel();
            outcome.mustEnd = true;
            break;
        }
        run.step(hooks.now());
        if (model.result()) break;
    }
    outcome.result = model.result().value_or(ConnectionDialogModel::kCancelled);
    outcome.session = model.takeSession();
    outcome.joined = model.joinedGame();
    if (outcome.result == ConnectionDialogModel::kCreated)
        outcome.createdName = model.name().text();
    return outcome;
}

}  // namespace tx::net
