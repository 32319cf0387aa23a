// The game `tervex` carries on a real X server (Xvfb, skipped when it is not installed; a stand-in
// window manager grants full screen): its 640 x 480 window appears and is not blank, F12 writes
// its picture, Alt+Enter covers the screen and comes back, and closing the window as a window
// manager does ends the game with 0. That the picture is kept exactly is checked where it is
// made (tests/host/player_comforts_test.cpp).
// gtest before Xlib, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>
// clang-format off
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
// clang-format on
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "png_pixels.h"
#include "stand_in_window_manager.h"
#include "test_files.h"

namespace tx::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() > deadline) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

// A child process started here and ended (or reaped) by the owner.
class Child {
public:
    Child() = default;
    explicit Child(pid_t pid) : pid_(pid) {}
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    // Asked to end first, so that Xvfb removes its socket and lock file.
    ~Child() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        if (waitExit(2s) == -1 && pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    void adopt(pid_t pid) { pid_ = pid; }
    // The exit code once it ends within the limit; -1 when it did not (or a signal ended it).
    int waitExit(std::chrono::milliseconds limit) {
        int status = 0;
        const bool ended =
            waitUntil([&] { return ::waitpid(pid_, &status, WNOHANG) == pid_; }, limit);
        if (!ended) return -1;
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
};

// Xvfb on a display number it picks itself; the number, or -1.
int startXvfb(Child& server) {
    int fds[2];
    if (::pipe(fds) != 0) return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlives the test, however it ends
        ::close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24",
                 "-nolisten", "tcp", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(fds[1]);
    server.adopt(pid);
    std::string number;
    char c = 0;
    while (::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    ::close(fds[0]);
    return number.empty() ? -1 : std::stoi(number);
}

// Pictures as the X server and the screenshots give them.
struct Picture : PngPicture {
    Picture() = default;
    Picture(PngPicture png) : PngPicture(std::move(png)) {}
    size_t colours() const { return std::set<uint32_t>(pixels.begin(), pixels.end()).size(); }
};

class XvfbSmoke : public ::testing::Test {
protected:
    // Every connection closes before the server goes (Xlib ends the process on a lost one).
    void TearDown() override {
        if (x != nullptr) XCloseDisplay(x);
        windowManager.reset();
    }

    // The top-level window of that title, once mapped; 0 before.
    Window findWindow(const std::string& title) {
        Window root = DefaultRootWindow(x), parent = 0, *children = nullptr;
        unsigned count = 0;
        Window found = 0;
        if (XQueryTree(x, root, &root, &parent, &children, &count) == 0) return 0;
        for (unsigned i = 0; i < count && found == 0; ++i) {
            char* name = nullptr;
            XWindowAttributes attributes{};
            if (XFetchName(x, children[i], &name) != 0 && name != nullptr) {
                if (std::string(name) == title &&
                    XGetWindowAttributes(x, children[i], &attributes) != 0 &&
                    attributes.map_state == IsViewable)
                    found = children[i];
                XFree(name);
            }
        }
        if (children != nullptr) XFree(children);
        return found;
    }
    std::pair<int, int> sizeOf(Window w) {
        XWindowAttributes attributes{};
        XGetWindowAttributes(x, w, &attributes);
        return {attributes.width, attributes.height};
    }
    // What the X server shows of the window.
    Picture grab(Window w) {
        Picture picture;
        const auto [width, height] = sizeOf(w);
        XImage* image = XGetImage(x, w, 0, 0, width, height, AllPlanes, ZPixmap);
        if (image == nullptr) return picture;
        picture.width = width;
        picture.height = height;
        for (int py = 0; py < height; ++py)
            for (int px = 0; px < width; ++px)
                picture.pixels.push_back(static_cast<uint32_t>(XGetPixel(image, px, py)) &
                                         0xFFFFFF);
        XDestroyImage(image);
        return picture;
    }
    void sendKey(Window w, KeySym symbol, bool down, unsigned state) {
        XEvent event{};
        event.xkey.type = down ? KeyPress : KeyRelease;
        event.xkey.display = x;
        event.xkey.window = w;
        event.xkey.root = DefaultRootWindow(x);
        event.xkey.time = CurrentTime;
        event.xkey.same_screen = True;
        event.xkey.state = state;
        event.xkey.keycode = XKeysymToKeycode(x, symbol);
        XSendEvent(x, w, True, down ? KeyPressMask : KeyReleaseMask, &event);
        XFlush(x);
    }
    void press(Window w, KeySym symbol, unsigned state = 0) {
        sendKey(w, symbol, true, state);
        sendKey(w, symbol, false, state);
    }
    void altEnter(Window w) {
        sendKey(w, XK_Alt_L, true, 0);
        press(w, XK_Return, Mod1Mask);
        sendKey(w, XK_Alt_L, false, Mod1Mask);
    }
    // Presses F12 and reads the screenshot it writes into the game's directory.
    Picture screenshot(Window w) {
        const size_t before = pngs().size();
        press(w, XK_F12);
        if (!waitUntil([&] { return pngs().size() > before; }, 5s)) return {};
        std::vector<std::string> names = pngs();
        const auto newest = std::max_element(
            names.begin(), names.end(), [](const std::string& a, const std::string& b) {
                return std::filesystem::last_write_time(a) < std::filesystem::last_write_time(b);
            });
        // The name is claimed before the picture is written into it.
        Picture picture;
        waitUntil([&] { return (picture = loadPng(*newest)).width > 0; }, 5s);
        return picture;
    }
    std::vector<std::string> pngs() {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            if (entry.path().extension() == ".png") names.push_back(entry.path().string());
        return names;
    }

    // Xvfb and the window manager, and a connection to them; false when Xvfb cannot run.
    bool startServer() {
        const int number = startXvfb(server);
        if (number < 0) return false;
        display = ":" + std::to_string(number);
        windowManager = std::make_unique<StandInWindowManager>(display);
        x = XOpenDisplay(display.c_str());
        return windowManager->running() && x != nullptr;
    }
    // The executable at path, run in the test's directory on the X server.
    pid_t launch(const std::string& path) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (::chdir(dir.path().c_str()) != 0) ::_exit(126);
            ::setenv("DISPLAY", display.c_str(), 1);
            ::unsetenv("SDL_VIDEODRIVER");
            ::unsetenv("WAYLAND_DISPLAY");
            ::setenv("TERVEX_NO_DIALOGS", "1", 1);
            ::setenv("ALSOFT_DRIVERS", "null", 1);
            ::execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        return pid;
    }
    // Closes the window as a window manager closes windows.
    void closeWindow(Window w) {
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

    TempDir dir;
    std::string display;
    Child server;
    std::unique_ptr<StandInWindowManager> windowManager;
    ::Display* x = nullptr;
};

TEST_F(XvfbSmoke, TheGameShowsItsWindowTakesScreenshotsTogglesAndEndsWhenClosed) {
    if (std::system("command -v Xvfb >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "Xvfb is not installed";
    ASSERT_TRUE(startServer()) << "Xvfb did not start";
    // With its assets at hand the game stays in the test's directory, where F12 writes.
    std::filesystem::create_directory_symlink(std::string(TERVEX_BIN_DIR) + "/assets",
                                              dir.file("assets"));
    Child game(launch(std::string(TERVEX_BIN_DIR) + "/tervex"));

    Window w = 0;
    ASSERT_TRUE(waitUntil([&] { return (w = findWindow("Star Volley")) != 0; }, 20s))
        << "no window";
    // The window may show before Graphics gives it the game's size.
    EXPECT_TRUE(waitUntil([&] { return sizeOf(w) == std::pair(640, 480); }, 5s));
    // The title screen moves, so its picture is judged by how much it shows.
    EXPECT_TRUE(waitUntil([&] { return grab(w).colours() >= 8; }, 10s)) << "the window is blank";
    const Picture shot = screenshot(w);
    EXPECT_EQ(std::pair(shot.width, shot.height), std::pair(640, 480));
    EXPECT_GE(shot.colours(), 8u);

    altEnter(w);
    EXPECT_TRUE(waitUntil([&] { return sizeOf(w) == std::pair(1024, 768); }, 3s))
        << "the window did not cover the screen";
    EXPECT_TRUE(waitUntil([&] { return grab(w).colours() >= 8; }, 3s));
    EXPECT_EQ(screenshot(w).width, 640) << "a screenshot is of the picture, not the screen";
    altEnter(w);
    EXPECT_TRUE(waitUntil([&] { return sizeOf(w) == std::pair(640, 480); }, 3s));
    EXPECT_TRUE(waitUntil([&] { return grab(w).colours() >= 8; }, 3s));

    closeWindow(w);
    EXPECT_EQ(game.waitExit(10s), 0);
}

}  // namespace
}  // namespace tx::test
