// The little of a window manager that full screen needs on a bare X server: windows are mapped
// and configured as they ask, and the EWMH request to add or remove _NET_WM_STATE_FULLSCREEN
// makes a window cover the screen or gives it its geometry back. On a thread of its own with a
// connection of its own, from construction to destruction.
#pragma once

// gtest before Xlib, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>
// clang-format off
#include <X11/Xatom.h>
#include <X11/Xlib.h>
// clang-format on
#include <poll.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>

namespace tx::test {

class StandInWindowManager {
public:
    explicit StandInWindowManager(const std::string& display) : x_(XOpenDisplay(display.c_str())) {
        if (x_ == nullptr) return;
        root_ = DefaultRootWindow(x_);
        XSelectInput(x_, root_, SubstructureRedirectMask | SubstructureNotifyMask);
        state_ = XInternAtom(x_, "_NET_WM_STATE", False);
        fullscreen_ = XInternAtom(x_, "_NET_WM_STATE_FULLSCREEN", False);
        Atom supported[] = {state_, fullscreen_};
        XChangeProperty(x_, root_, XInternAtom(x_, "_NET_SUPPORTED", False), XA_ATOM, 32,
                        PropModeReplace, reinterpret_cast<unsigned char*>(supported), 2);
        XSync(x_, False);
        thread_ = std::thread([this] { run(); });
    }
    ~StandInWindowManager() {
        stop_.store(true);
        if (thread_.joinable()) thread_.join();
        if (x_ != nullptr) XCloseDisplay(x_);
    }
    StandInWindowManager(const StandInWindowManager&) = delete;
    StandInWindowManager& operator=(const StandInWindowManager&) = delete;

    bool running() const { return x_ != nullptr; }

private:
    void run() {
        pollfd fd{ConnectionNumber(x_), POLLIN, 0};
        while (!stop_.load()) {
            if (XPending(x_) == 0) {
                ::poll(&fd, 1, 20);
                continue;
            }
            XEvent event;
            XNextEvent(x_, &event);
            handle(event);
        }
    }

    void handle(const XEvent& event) {
        switch (event.type) {
            case MapRequest:
                XMapWindow(x_, event.xmaprequest.window);
                break;
            case ConfigureRequest: {
                const XConfigureRequestEvent& r = event.xconfigurerequest;
                XWindowChanges changes{r.x,     r.y,     r.width, r.height, r.border_width,
                                       r.above, r.detail};
                XConfigureWindow(x_, r.window, static_cast<unsigned>(r.value_mask), &changes);
                break;
            }
            case ClientMessage:
                if (event.xclient.message_type == state_ &&
                    static_cast<Atom>(event.xclient.data.l[1]) == fullscreen_)
                    setFullscreen(event.xclient.window, event.xclient.data.l[0]);
                break;
            default:
                break;
        }
        XFlush(x_);
    }

    // action: 0 remove, 1 add, 2 toggle.
    void setFullscreen(Window window, long action) {
        const bool covering = saved_.count(window) != 0;
        const bool cover = action == 2 ? !covering : action == 1;
        if (cover == covering) return;
        if (cover) {
            XGetWindowAttributes(x_, window, &saved_[window]);
            const int screen = DefaultScreen(x_);
            XMoveResizeWindow(x_, window, 0, 0, static_cast<unsigned>(DisplayWidth(x_, screen)),
                              static_cast<unsigned>(DisplayHeight(x_, screen)));
            XChangeProperty(x_, window, state_, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<unsigned char*>(&fullscreen_), 1);
        } else {
            const XWindowAttributes g = saved_[window];
            saved_.erase(window);
            XMoveResizeWindow(x_, window, g.x, g.y, static_cast<unsigned>(g.width),
                              static_cast<unsigned>(g.height));
            XChangeProperty(x_, window, state_, XA_ATOM, 32, PropModeReplace, nullptr, 0);
        }
    }

    ::Display* x_;
    Window root_ = 0;
    Atom state_ = 0;
    Atom fullscreen_ = 0;
    std::map<Window, XWindowAttributes> saved_;  // the geometry a covering window had
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace tx::test
