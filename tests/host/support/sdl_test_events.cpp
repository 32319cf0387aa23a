#include "sdl_test_events.h"

#include <SDL.h>

namespace tx::test {

namespace {

bool push(SDL_Event event) {
    return SDL_WasInit(SDL_INIT_EVENTS) != 0 && SDL_PushEvent(&event) == 1;
}

SDL_Event emptyEvent(uint32_t type) {
    SDL_Event event{};
    event.type = type;
    return event;
}

}  // namespace

bool pushSdlQuit() {
    return push(emptyEvent(SDL_QUIT));
}

bool pushSdlKey(int scancode, bool down, bool repeat, int modifiers) {
    SDL_Event event = emptyEvent(down ? SDL_KEYDOWN : SDL_KEYUP);
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat ? 1 : 0;
    event.key.keysym.scancode = static_cast<SDL_Scancode>(scancode);
    event.key.keysym.mod = static_cast<uint16_t>(modifiers);
    return push(event);
}

bool pushSdlMouseButton(int button, bool down) {
    SDL_Event event = emptyEvent(down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP);
    event.button.button = static_cast<uint8_t>(button);
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    return push(event);
}

bool pushSdlMouseMotion(int x, int y, int dx, int dy) {
    SDL_Event event = emptyEvent(SDL_MOUSEMOTION);
    event.motion.x = x;
    event.motion.y = y;
    event.motion.xrel = dx;
    event.motion.yrel = dy;
    return push(event);
}

bool pushSdlWheel(int notches) {
    SDL_Event event = emptyEvent(SDL_MOUSEWHEEL);
    event.wheel.y = notches;
    event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    return push(event);
}

bool VirtualGamepad::plug() {
    if (device_ != nullptr) return true;
    if (SDL_WasInit(SDL_INIT_JOYSTICK) == 0) return false;
    const int index =
        flightStick_
            ? SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_FLIGHT_STICK, 2, 4, 0)
            : SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                        SDL_CONTROLLER_BUTTON_MAX, 0);
    if (index >= 0) device_ = SDL_JoystickOpen(index);
    return device_ != nullptr;
}

VirtualGamepad::~VirtualGamepad() {
    if (device_ == nullptr) return;
    auto* joystick = static_cast<SDL_Joystick*>(device_);
    const SDL_JoystickID id = SDL_JoystickInstanceID(joystick);
    SDL_JoystickClose(joystick);
    for (int index = 0; index < SDL_NumJoysticks(); ++index)
        if (SDL_JoystickGetDeviceInstanceID(index) == id) SDL_JoystickDetachVirtual(index);
}

void VirtualGamepad::setButton(int button, bool down) {
    if (device_ != nullptr)
        SDL_JoystickSetVirtualButton(static_cast<SDL_Joystick*>(device_), button, down ? 1 : 0);
}

void VirtualGamepad::setAxis(int axis, int value) {
    if (device_ != nullptr)
        SDL_JoystickSetVirtualAxis(static_cast<SDL_Joystick*>(device_), axis,
                                   static_cast<Sint16>(value));
}

std::vector<uint32_t> windowPixels(int& width, int& height) {
    // Window ids only grow within a process; the runtime's window is the one with a renderer.
    for (uint32_t id = 1; id < 65536; ++id) {
        SDL_Window* window = SDL_GetWindowFromID(id);
        SDL_Renderer* renderer = window != nullptr ? SDL_GetRenderer(window) : nullptr;
        if (renderer == nullptr || SDL_GetRendererOutputSize(renderer, &width, &height) != 0)
            continue;
        std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
        if (SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_RGB888, pixels.data(),
                                 width * 4) != 0)
            return {};
        for (uint32_t& p : pixels) p &= 0xFFFFFF;
        return pixels;
    }
    return {};
}

}  // namespace tx::test
