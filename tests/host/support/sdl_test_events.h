// SDL events (and the display's refresh rate) for tests above the host layer, which see no
// SDL header.
#pragma once

#include <cstdint>
#include <vector>

namespace tx::test {

// Pushes SDL's quit event (what a session or the window manager sends) from any thread; false
// when SDL's event queue is not running.
bool pushSdlQuit();

// SDL's keyboard and mouse events as the window would deliver them (scancode: SDL's, which is
// the key's USB usage code; modifiers: SDL's KMOD_ bits; button: SDL's, 1 left, 2 middle,
// 3 right). False when SDL's event queue is not running.
bool pushSdlKey(int scancode, bool down, bool repeat = false, int modifiers = 0);
bool pushSdlMouseButton(int button, bool down);
bool pushSdlMouseMotion(int x, int y, int dx, int dy);
bool pushSdlWheel(int notches);

// A game controller (or a flight stick of 2 axes and 4 buttons) plugged in as SDL's virtual
// device once SDL's joysticks run (plug() tries), unplugged when the object goes; until it is
// plugged in, it does nothing. A controller's buttons and axes are SDL's game-controller ones
// (0 the A button, 0 the left stick's x axis; axis values -32768 to 32767). An offscreen window
// never has the focus, so a test that reads the device through a window sets
// SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS=1 first.
class VirtualGamepad {
public:
    explicit VirtualGamepad(bool flightStick = false) : flightStick_(flightStick) {}
    ~VirtualGamepad();
    VirtualGamepad(const VirtualGamepad&) = delete;
    VirtualGamepad& operator=(const VirtualGamepad&) = delete;

    bool plug();  // true once plugged in
    void setButton(int button, bool down);
    void setAxis(int axis, int value);

private:
    bool flightStick_;
    void* device_ = nullptr;  // the SDL_Joystick opened on it
};

// What the runtime's window shows, read back from its renderer as 0x00RRGGBB words, rows top
// first; empty when no window with a renderer exists.
std::vector<uint32_t> windowPixels(int& width, int& height);

}  // namespace tx::test
