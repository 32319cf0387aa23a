// The game `tervex` carries on a real X server (Xvfb, skipped when it is not installed; a stand-in
// window manager grants full screen): its 640 x 480 window appears and is not blank, F12 writes
// its picture, Alt+Enter covers the screen and comes back, and closing the window as a window
// manager does ends the game with 0. The exact picture of a screenshot is checked where it is
// made (tests/host/player_comforts_test.cpp).
// gtest before Xlib, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>
// clang-format off
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
// clang-format on
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <thread>

#include "child_process.h"
#include "png_pixels.h"
#include "stand_in_window_manager.h"
#include "test_files.h"

namespace tx::test {
namespace {

using namespace std::chrono_literals;

bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

// The mapped top-level window of that title, or 0.
Window findWindow(::Display* x, const std::string& title) {
    Window root = DefaultRootWindow(x), parent = 0, *children = nullptr, found = 0;
    unsigned count = 0;
    if (XQueryTree(x, root, &root, &parent, &children, &count) == 0) return 0;
    for (unsigned i = 0; i < count && found == 0; ++i) {
        char* name = nullptr;
        XWindowAttributes attributes{};
        if (XFetchName(x, children[i], &name) != 0 && name != nullptr) {
            if (std::string(name) == title && XGetWindowAttributes(x, children[i], &attributes) &&
                attributes.map_state == IsViewable)
                found = children[i];
            XFree(name);
        }
    }
    if (children != nullptr) XFree(children);
    return found;
}

std::pair<int, int> sizeOf(::Display* x, Window w) {
    XWindowAttributes attributes{};
    XGetWindowAttributes(x, w, &attributes);
    return {attributes.width, attributes.height};
}

// How many colours the X server shows in the window.
size_t colours(::Display* x, Window w) {
    const auto [width, height] = sizeOf(x, w);
    XImage* image = XGetImage(x, w, 0, 0, width, height, AllPlanes, ZPixmap);
    if (image == nullptr) return 0;
    std::set<unsigned long> seen;
    for (int py = 0; py < height; ++py)
        for (int px = 0; px < width; ++px) seen.insert(XGetPixel(image, px, py) & 0xFFFFFF);
    XDestroyImage(image);
    return seen.size();
}

void sendKey(::Display* x, Window w, KeySym symbol, bool down, unsigned state) {
    XEvent event{};
    event.xkey.type = down ? KeyPress : KeyRelease;
    event.xkey.display = x;
    event.xkey.window = w;
    event.xkey.root = DefaultRootWindow(x);
    event.xkey.same_screen = True;
    event.xkey.state = state;
    event.xkey.keycode = XKeysymToKeycode(x, symbol);
    XSendEvent(x, w, True, down ? KeyPressMask : KeyReleaseMask, &event);
    XFlush(x);
}

void pressF12(::Display* x, Window w) {
    sendKey(x, w, XK_F12, true, 0);
    sendKey(x, w, XK_F12, false, 0);
}

void altEnter(::Display* x, Window w) {
    sendKey(x, w, XK_Alt_L, true, 0);
    sendKey(x, w, XK_Return, true, Mod1Mask);
    sendKey(x, w, XK_Return, false, Mod1Mask);
    sendKey(x, w, XK_Alt_L, false, Mod1Mask);
}

// Closes the window as a window manager closes windows.
void closeWindow(::Display* x, Window w) {
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = w;
    close.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(x, "WM_DELETE_WINDOW", False));
    close.xclient.data.l[1] = CurrentTime;
    XSendEvent(x, w, False, NoEventMask, &close);
    XFlush(x);
}

TEST(XvfbSmoke, TheGameShowsItsWindowTakesAScreenshotTogglesAndEndsWhenClosed) {
    if (std::system("command -v Xvfb >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "Xvfb is not installed";
    // Xvfb picks a free display number and writes it to the pipe.
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const ChildProcess server({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                               "1024x768x24", "-nolisten", "tcp"},
                              gameEnvironment({}));
    ::close(fds[1]);
    std::string display = ":";
    for (char c = 0; ::read(fds[0], &c, 1) == 1 && c != '\n';) display += c;
    ::close(fds[0]);
    ASSERT_GT(display.size(), 1u) << "Xvfb did not start";
    const StandInWindowManager windowManager(display);
    ASSERT_TRUE(windowManager.running());

    // With its assets at hand the game stays in the test's directory, where F12 writes.
    const TempDir dir;
    std::filesystem::create_directory_symlink(TERVEX_BIN_DIR "/assets", dir.file("assets"));
    ChildProcess game({TERVEX_BIN_DIR "/tervex"}, gameEnvironment({"DISPLAY=" + display}),
                      dir.path());
    // Closed before the server goes: Xlib ends the process on a lost connection.
    const std::unique_ptr<::Display, int (*)(::Display*)> x(XOpenDisplay(display.c_str()),
                                                            XCloseDisplay);
    ASSERT_NE(x, nullptr);

    Window w = 0;
    ASSERT_TRUE(waitUntil([&] { return (w = findWindow(x.get(), "Star Volley")) != 0; }, 20s))
        << "no window";
    // The window may show before Graphics gives it the game's size.
    EXPECT_TRUE(waitUntil([&] { return sizeOf(x.get(), w) == std::pair(640, 480); }, 5s));
    // The title screen moves, so its picture is judged by how much it shows.
    EXPECT_TRUE(waitUntil([&] { return colours(x.get(), w) >= 8; }, 10s)) << "the window is blank";

    pressF12(x.get(), w);
    std::string png;
    waitUntil(
        [&] {
            for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
                if (entry.path().extension() == ".png") png = entry.path();
            return !png.empty();
        },
        5s);
    ASSERT_FALSE(png.empty()) << "F12 wrote no picture";
    // The name is claimed before the picture is written into it.
    PngPicture shot;
    waitUntil([&] { return (shot = loadPng(png)).width > 0; }, 5s);
    EXPECT_EQ(std::pair(shot.width, shot.height), std::pair(640, 480));
    EXPECT_GE(std::set<uint32_t>(shot.pixels.begin(), shot.pixels.end()).size(), 8u);

    altEnter(x.get(), w);
    EXPECT_TRUE(waitUntil([&] { return sizeOf(x.get(), w) == std::pair(1024, 768); }, 3s))
        << "the window did not cover the screen";
    EXPECT_TRUE(waitUntil([&] { return colours(x.get(), w) >= 8; }, 3s));
    altEnter(x.get(), w);
    EXPECT_TRUE(waitUntil([&] { return sizeOf(x.get(), w) == std::pair(640, 480); }, 3s));
    EXPECT_TRUE(waitUntil([&] { return colours(x.get(), w) >= 8; }, 3s));

    closeWindow(x.get(), w);
    EXPECT_EQ(game.wait(10s), 0);
}

}  // namespace
}  // namespace tx::test
