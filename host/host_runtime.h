// The host runtime: the one window and its event pump, suspend and resume, delays, periodic
// timers and the small system services the commands need. One instance per process.
#pragma once

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "debugger.h"
#include "display_devices.h"
#include "display_frame.h"
#include "host_timer.h"
#include "vertical_blank.h"

namespace tx {

// Which graphics mode is open on the window; the display side of the runtime sets it.
enum class GraphicsMode : int32_t {
    None = 0,
    WindowedScaled = 1,
    WindowedFixed = 2,
    Fullscreen = 3
};

class Presenter;

class HostRuntime {
public:
    // Window flag bit 0: the window stays above all other windows.
    static constexpr uint32_t kFlagTopmost = 1;

    // Opens the runtime: null when one is already open (a process runs one program at a time)
    // or the window cannot be created.
    static std::unique_ptr<HostRuntime> open(std::string_view commandLine, Debugger* debugger,
                                             uint32_t flags);

private:
    struct Key {
        explicit Key() = default;
    };

public:
    // Made by open only (Key is private): one instance per process.
    HostRuntime(Key, std::string_view commandLine, Debugger* debugger, SDL_Window* window,
                bool headless, uint32_t sdlSubsystems, uint32_t requestEventType);
    // Closing: frees every remaining timer, then the window.
    ~HostRuntime();
    HostRuntime(const HostRuntime&) = delete;
    HostRuntime& operator=(const HostRuntime&) = delete;

    // Event loop. False means the program must end.
    bool idle();
    bool delay(int32_t milliseconds);

    // From any thread: post a stop, run or end request to the pump.
    void asyncStop();
    void asyncRun();
    void asyncEnd();
    // Suspends the program from its own thread; the caller then calls idle.
    void stop();

    // Debugger relay. debugInfo and debugError detach the debugger and end the program when
    // one is attached; without one they do nothing.
    void debugStmt(int32_t position, const char* file);
    void debugEnter(uint32_t frame, uint32_t environment, uint32_t function);
    void debugLeave();
    void debugLog(const char* message);
    void debugInfo(const char* message);
    void debugError(const char* message);
    bool hasDebugger() const { return debugger_ != nullptr; }

    // Services.
    void setPointerVisible(bool visible);
    bool pointerVisible() const { return pointerVisible_; }
    void setTitle(std::string_view title, std::string_view closePrompt);
    const std::string& title() const { return title_; }
    const std::string& closePrompt() const { return closePrompt_; }
    bool execFile(std::string_view command);
    std::string systemProperty(std::string_view name) const;
    const std::string& commandLine() const { return commandLine_; }

    // Periodic timers, owned by the runtime until freed or until it closes.
    HostTimer* createTimer(int32_t hertz);
    void freeTimer(HostTimer* timer);

    // ---- Display side (display.cpp)
    // openGraphics flags.
    static constexpr uint32_t kGraphicsWindowed = 1;
    static constexpr uint32_t kGraphicsScaled = 2;  // windowed only: the picture stretches
    static constexpr uint32_t kGraphics3D = 4;      // never asked for by the graphics commands
    // Largest width or height of a mode.
    static constexpr int32_t kMaxGraphicsSide = 32768;

    // Display devices, indices 0-based (callers validate them; out of range gives 0 or empty).
    // The first count lists every display; until then only the primary one is known.
    int32_t countGraphicsDrivers();
    std::string graphicsDriverName(int32_t driver);
    int32_t countGraphicsModes(int32_t driver);
    DisplayModeInfo graphicsModeInfo(int32_t driver, int32_t mode);

    // Opens a mode on the window and shows the window. Windowed modes use the primary display
    // in the desktop's depth: fixed sizes the client area to width x height and centres it,
    // scaled keeps a resizable window and stretches the picture over it. Full screen covers
    // the driver's display, the picture as large as fits with its aspect ratio kept; the mode
    // must be one the driver lists (depth 0 takes the first depth of 16, 24 and 32 that it
    // has). Returns the depth the frames must have, or none (nothing changed) when a mode is
    // already open or this one cannot be set. Nothing is shown until showFrames.
    std::optional<int32_t> openGraphics(int32_t width, int32_t height, int32_t depth,
                                        int32_t driverIndex, uint32_t flags);
    // The front and back buffer of the open mode; they must outlive it (or be replaced). In
    // windowed modes they share their pixels. The window is painted at the next idle.
    void showFrames(const FrameSource* front, const FrameSource* back);
    // Closes the open mode; a full-screen window gets its placement back. The window stays.
    void closeGraphics();
    bool graphicsOpen() const { return display_ != nullptr; }

    // Presents the front buffer if it or the back buffer changed since the last presentation.
    // vwait: present at the display's vertical blank (without vsync when false).
    void flip(bool vwait);
    // Returns at the start of the next vertical blank.
    void vwait();
    // The line the display is scanning; 0 in the vertical blank or without a mode.
    int32_t scanLine() const;
    // Places the pointer at a position of the open mode's picture (screen coordinates without
    // a mode).
    void moveMouse(int32_t x, int32_t y);

    // The window's renderer while a mode has been opened (tests read back what was presented).
    SDL_Renderer* renderer() const;

    SDL_Window* window() const { return window_; }
    GraphicsMode graphicsMode() const { return graphicsMode_; }
    bool paused() const { return paused_; }
    bool running() const { return running_.load(); }
    // True when SDL runs on a video driver without a display (offscreen or dummy): chosen by
    // the environment, or the fallback when no display was available. Nobody can answer a
    // dialog then.
    bool headless() const { return headless_; }

    // Handles a request to close the window exactly as a click on its close button would
    // (including the close prompt). Exposed for tests.
    void requestClose();
    // Replaces the OK/Cancel close prompt dialog (tests answer it without a display).
    using PromptAnswer = bool (*)(const std::string& title, const std::string& prompt);
    void setClosePromptAnswer(PromptAnswer answer) { promptAnswer_ = answer; }

private:
    void suspend();
    void resume();
    void handleStop();
    void handleRun();
    void postRequest(int32_t code);
    void handleEvent(const SDL_Event& event);

    bool askClosePrompt() const;

    struct OpenDisplay;
    std::optional<int32_t> openWindowed(int32_t width, int32_t height, uint32_t flags);
    std::optional<int32_t> openFullscreen(int32_t width, int32_t height, int32_t depth,
                                          int32_t driverIndex, uint32_t flags);
    bool ensurePresenter();
    const std::vector<GraphicsDriverInfo>& drivers();
    // Uploads and presents the front buffer; false when the upload failed.
    bool paint();
    // The front buffer was drawn without a flip: show it (at most every 100 ms, from idle).
    void repaintIfDrawn();
    void onWindowEvent(const SDL_WindowEvent& event);

    SDL_Window* window_ = nullptr;
    uint32_t windowId_ = 0;
    bool headless_ = false;
    // SDL subsystems this runtime initialised and quits when it closes.
    uint32_t sdlSubsystems_ = 0;
    // A debugger thread may clear it (asyncEnd) while the program's thread reads it.
    std::atomic<Debugger*> debugger_{nullptr};
    std::string commandLine_;
    std::string title_;
    std::string closePrompt_;
    bool pointerVisible_ = true;
    GraphicsMode graphicsMode_ = GraphicsMode::None;
    std::atomic<bool> running_{true};
    bool paused_ = false;
    bool switching_ = false;
    uint32_t requestEventType_ = 0;
    PromptAnswer promptAnswer_ = nullptr;
    std::vector<std::unique_ptr<HostTimer>> timers_;

    // Display side.
    std::vector<GraphicsDriverInfo> drivers_;
    bool allDriversEnumerated_ = false;
    std::unique_ptr<Presenter> presenter_;  // made by the first mode, kept for the window's life
    std::unique_ptr<OpenDisplay> display_;  // the open mode
    bool windowSized_ = false;              // a mode has given the window a size
};

}  // namespace tx
