#include "host_runtime.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <utility>

#include "open_display.h"
#include "presenter.h"

namespace tx {

namespace {

// Private requests posted to the pump, carried in the user code of the runtime's own event.
constexpr int32_t kStopRequest = 1025;
constexpr int32_t kRunRequest = 1026;
constexpr int32_t kEndRequest = 1027;

// While suspended the pump waits in slices so that an end request lost to a full queue still
// ends the program.
constexpr int32_t kWaitSliceMs = 100;
constexpr int32_t kDelaySliceMs = 100;

constexpr const char* kWindowTitle = "Tervex Runtime Window";

std::atomic<bool> instanceOpen{false};
std::atomic<bool> headlessReported{false};

// SDL never gives user event types back, so the type is registered once per process and every
// runtime opened later reuses it.
uint32_t requestEventType() {
    static const uint32_t type = SDL_RegisterEvents(1);
    return type;
}

// Releases what open acquired when it cannot finish.
struct OpenGuard {
    ~OpenGuard() {
        if (window != nullptr) SDL_DestroyWindow(window);
        if (subsystems != 0) SDL_QuitSubSystem(subsystems);
        if (holdsInstance) instanceOpen.store(false);
    }
    void release() {
        window = nullptr;
        subsystems = 0;
        holdsInstance = false;
    }

    bool holdsInstance = false;
    uint32_t subsystems = 0;
    SDL_Window* window = nullptr;
};

bool driverWithoutDisplay() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr &&
           (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

void reportNoDisplay(const std::string& reason) {
    if (headlessReported.exchange(true)) return;
    std::fprintf(stderr, "Tervex: no display available%s%s%s; the runtime runs without one\n",
                 reason.empty() ? "" : " (", reason.c_str(), reason.empty() ? "" : ")");
}

// Starts video on the display, or on the offscreen driver when there is none. Returns whether
// video runs on a driver without a display.
std::optional<bool> initVideo(OpenGuard& guard) {
    const char* requested = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    const std::string requestedDriver = requested != nullptr ? requested : "";
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
        guard.subsystems |= SDL_INIT_VIDEO;
        if (!driverWithoutDisplay()) return false;
        // SDL itself settles on a driver without a display when none of the others finds one;
        // say so unless that driver is the one that was asked for.
        if (requestedDriver.find(SDL_GetCurrentVideoDriver()) == std::string::npos)
            reportNoDisplay("");
        return true;
    }
    const std::string reason = SDL_GetError();
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "offscreen", SDL_HINT_OVERRIDE);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return std::nullopt;
    guard.subsystems |= SDL_INIT_VIDEO;
    reportNoDisplay(reason);
    return true;
}

}  // namespace

std::unique_ptr<HostRuntime> HostRuntime::open(std::string_view commandLine, Debugger* debugger,
                                               uint32_t flags) {
    if (instanceOpen.exchange(true)) return nullptr;
    OpenGuard guard;
    guard.holdsInstance = true;

    if (SDL_InitSubSystem(SDL_INIT_TIMER | SDL_INIT_EVENTS) != 0) return nullptr;
    guard.subsystems |= SDL_INIT_TIMER | SDL_INIT_EVENTS;
    const std::optional<bool> headless = initVideo(guard);
    if (!headless) return nullptr;

    const uint32_t eventType = requestEventType();
    if (eventType == static_cast<uint32_t>(-1)) return nullptr;

    // Closing the window must reach the pump only as a window close event; SDL would otherwise
    // add a quit event for the same click and the close prompt would be asked twice.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    uint32_t windowFlags = SDL_WINDOW_HIDDEN;
    if ((flags & kFlagTopmost) != 0) windowFlags |= SDL_WINDOW_ALWAYS_ON_TOP;
    guard.window = SDL_CreateWindow(kWindowTitle, 0, 0, 1, 1, windowFlags);
    if (guard.window == nullptr) return nullptr;

    auto runtime = std::make_unique<HostRuntime>(Key(), commandLine, debugger, guard.window,
                                                 *headless, guard.subsystems, eventType);
    guard.release();
    return runtime;
}

HostRuntime::HostRuntime(Key, std::string_view commandLine, Debugger* debugger, SDL_Window* window,
                         bool headless, uint32_t sdlSubsystems, uint32_t requestEventType)
    : window_(window),
      windowId_(SDL_GetWindowID(window)),
      headless_(headless),
      sdlSubsystems_(sdlSubsystems),
      debugger_(debugger),
      commandLine_(commandLine),
      requestEventType_(requestEventType) {
    // Requests posted to an earlier runtime that never pumped them must not reach this one.
    SDL_FlushEvent(requestEventType_);
}

HostRuntime::~HostRuntime() {
    timers_.clear();
    closeGraphics();
    presenter_.reset();
    SDL_FlushEvent(requestEventType_);
    SDL_DestroyWindow(window_);
    SDL_QuitSubSystem(sdlSubsystems_);
    instanceOpen.store(false);
}

// ---- Event loop ----

bool HostRuntime::idle() {
    for (;;) {
        SDL_Event event;
        if (paused_ && running_.load()) {
            if (SDL_WaitEventTimeout(&event, kWaitSliceMs) == 0) continue;
        } else if (SDL_PollEvent(&event) == 0) {
            repaintIfDrawn();
            return running_.load();
        }
        handleEvent(event);
    }
}

void HostRuntime::handleEvent(const SDL_Event& event) {
    if (event.type == requestEventType_) {
        switch (event.user.code) {
            case kStopRequest:
                if (!paused_) handleStop();
                break;
            case kRunRequest:
                if (paused_) handleRun();
                break;
            default:  // the end request only wakes a blocked wait
                break;
        }
        return;
    }
    switch (event.type) {
        case SDL_QUIT:  // the session or a signal asks the process to quit
            requestClose();
            return;
        case SDL_WINDOWEVENT:
            if (event.window.windowID != windowId_) return;
            if (event.window.event == SDL_WINDOWEVENT_CLOSE)
                requestClose();
            else
                onWindowEvent(event.window);
            return;
        default:
            // Keyboard, mouse and wheel events feed the input driver here, in the windowed modes
            // while the program is not paused.
            return;
    }
}

bool HostRuntime::delay(int32_t milliseconds) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline =
        Clock::now() + std::chrono::milliseconds(std::max(milliseconds, 0));
    for (;;) {
        if (!idle()) return false;
        const auto remaining =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (remaining < 1) return true;
        SDL_Delay(static_cast<uint32_t>(std::min<int64_t>(remaining, kDelaySliceMs)));
    }
}

void HostRuntime::requestClose() {
    if (!running_.load()) return;  // already ending: nothing left to ask
    if (!closePrompt_.empty() && !askClosePrompt()) return;
    debugger_.store(nullptr);
    running_.store(false);
    postRequest(kEndRequest);
}

bool HostRuntime::askClosePrompt() const {
    if (promptAnswer_ != nullptr) return promptAnswer_(title_, closePrompt_);
    // Without a display nobody can answer, and a close request that can never be granted would
    // leave the process impossible to end short of killing it: the request stands.
    if (headless_) return true;
    const SDL_MessageBoxButtonData buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "OK"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "Cancel"},
    };
    const SDL_MessageBoxData data = {
        SDL_MESSAGEBOX_WARNING | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT,
        graphicsMode_ != GraphicsMode::None ? window_ : nullptr,
        title_.c_str(),
        closePrompt_.c_str(),
        static_cast<int>(std::size(buttons)),
        buttons,
        nullptr,
    };
    int answer = 0;
    // A dialog that cannot be shown is treated like the headless case, for the same reason.
    if (SDL_ShowMessageBox(&data, &answer) != 0) return true;
    return answer == 1;
}

// ---- Requests from any thread ----

void HostRuntime::postRequest(int32_t code) {
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = requestEventType_;
    event.user.code = code;
    // A full queue drops the request; an end still takes effect through running_.
    SDL_PushEvent(&event);
}

void HostRuntime::asyncStop() {
    postRequest(kStopRequest);
}

void HostRuntime::asyncRun() {
    postRequest(kRunRequest);
}

void HostRuntime::asyncEnd() {
    debugger_.store(nullptr);
    running_.store(false);
    postRequest(kEndRequest);
}

// ---- Suspend and resume ----

void HostRuntime::stop() {
    if (!paused_) handleStop();
}

// Full screen gives the desktop back (the window is minimised) before suspending, and takes
// the display again before resuming. The focus change that follows finds the program already
// suspended or running; without a display manager it never comes.
void HostRuntime::handleStop() {
    if (graphicsMode_ == GraphicsMode::Fullscreen) SDL_MinimizeWindow(window_);
    suspend();
}

void HostRuntime::handleRun() {
    if (graphicsMode_ == GraphicsMode::Fullscreen) {
        SDL_RestoreWindow(window_);
        SDL_RaiseWindow(window_);
    }
    resume();
}

// Sounds keep playing while suspended. A full-screen display keeps every canvas's pixels: they
// live in host memory, so there is nothing to save, and resuming shows the front buffer again.
void HostRuntime::suspend() {
    switching_ = true;
    // Input is released here in full screen once the input driver exists.
    switching_ = false;
    paused_ = true;
    if (Debugger* debugger = debugger_.load()) debugger->debugStop();
}

void HostRuntime::resume() {
    switching_ = true;
    if (graphicsMode_ == GraphicsMode::Fullscreen && display_->front != nullptr) paint();
    paused_ = false;
    switching_ = false;
    if (Debugger* debugger = debugger_.load()) debugger->debugRun();
}

// ---- Debugger relay ----

void HostRuntime::debugStmt(int32_t position, const char* file) {
    if (Debugger* debugger = debugger_.load()) debugger->debugStmt(position, file);
}

void HostRuntime::debugEnter(uint32_t frame, uint32_t environment, uint32_t function) {
    if (Debugger* debugger = debugger_.load()) debugger->debugEnter(frame, environment, function);
}

void HostRuntime::debugLeave() {
    if (Debugger* debugger = debugger_.load()) debugger->debugLeave();
}

void HostRuntime::debugLog(const char* message) {
    if (Debugger* debugger = debugger_.load()) debugger->debugLog(message);
}

void HostRuntime::debugInfo(const char* message) {
    Debugger* debugger = debugger_.exchange(nullptr);
    if (debugger == nullptr) return;
    running_.store(false);
    postRequest(kEndRequest);
    if (!paused_) handleStop();
    debugger->debugInfo(message);
}

void HostRuntime::debugError(const char* message) {
    Debugger* debugger = debugger_.exchange(nullptr);
    if (debugger == nullptr) return;
    running_.store(false);
    postRequest(kEndRequest);
    if (!paused_) handleStop();
    debugger->debugError(message);
}

// ---- Window services ----

void HostRuntime::setPointerVisible(bool visible) {
    if (visible == pointerVisible_) return;
    pointerVisible_ = visible;
    // Full screen always hides the pointer; without a graphics mode the window is hidden.
    if (graphicsMode_ == GraphicsMode::WindowedScaled ||
        graphicsMode_ == GraphicsMode::WindowedFixed) {
        SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
    }
}

void HostRuntime::setTitle(std::string_view title, std::string_view closePrompt) {
    title_ = title;
    closePrompt_ = closePrompt;
    SDL_SetWindowTitle(window_, title_.c_str());
}

// ---- Timers ----

HostTimer* HostRuntime::createTimer(int32_t hertz) {
    try {
        timers_.push_back(std::make_unique<HostTimer>(hertz));
    } catch (const std::exception&) {  // no thread could be started, or no memory
        return nullptr;
    }
    return timers_.back().get();
}

void HostRuntime::freeTimer(HostTimer* timer) {
    const auto found = std::find_if(timers_.begin(), timers_.end(),
                                    [timer](const auto& owned) { return owned.get() == timer; });
    if (found != timers_.end()) timers_.erase(found);
}

}  // namespace tx
