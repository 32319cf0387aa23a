// The game `tervex` carries on a real X server (Xvfb, skipped when it is not installed; a stand-in
// window manager grants full screen): its 640 x 480 window appears and is not blank, Alt+Enter
// covers the screen and comes back, and closing the window as a window manager does ends the
// game with 0. What the player's keys do (F12's screenshot among them) is checked on SDL's
// offscreen driver (tests/host/player_comforts_test.cpp).
// gtest before Xlib, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>
// clang-format off
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
// clang-format on
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "child_process.h"
#include "stand_in_window_manager.h"
#include "test_files.h"

namespace tx::test {
namespace {

using namespace std::chrono_literals;

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

// Alt+Enter, pressed and released in the window.
void altEnter(::Display* x, Window w) {
    const auto send = [&](KeySym symbol, bool down, unsigned state) {
        XEvent event{};
        event.xkey.type = down ? KeyPress : KeyRelease;
        event.xkey.display = x;
        event.xkey.window = w;
        event.xkey.root = DefaultRootWindow(x);
        event.xkey.same_screen = True;
        event.xkey.state = state;
        event.xkey.keycode = XKeysymToKeycode(x, symbol);
        XSendEvent(x, w, True, down ? KeyPressMask : KeyReleaseMask, &event);
    };
    send(XK_Alt_L, true, 0);
    send(XK_Return, true, Mod1Mask);
    send(XK_Return, false, Mod1Mask);
    send(XK_Alt_L, false, Mod1Mask);
    XFlush(x);
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

TEST(XvfbSmoke, TheGameShowsItsWindowTogglesFullScreenAndEndsWhenClosed) {
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

    // The game runs in the test's directory, with its assets at hand.
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
