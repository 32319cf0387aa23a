// The input module: registers its 31 commands after the graphics module's; creating it opens
// the input driver on the running program's runtime.
#include "input_module.h"

#include <memory>

#include "command.h"
#include "input_commands.h"

namespace tx {
namespace {

constexpr CommandDef kKeyboardAndMouse[] = {
    command<keyDown>("%KeyDown%key"),
    command<keyHit>("%KeyHit%key"),
    command<getKey>("%GetKey"),
    command<waitKey>("%WaitKey"),
    command<flushKeys>("FlushKeys"),
    command<mouseDown>("%MouseDown%button"),
    command<mouseHit>("%MouseHit%button"),
    command<getMouse>("%GetMouse"),
};

constexpr CommandDef kWaitMouse = command<waitMouse>("%WaitMouse");

constexpr CommandDef kMouseAndJoystick[] = {
    command<mouseX>("%MouseX"),
    command<mouseY>("%MouseY"),
    command<mouseZ>("%MouseZ"),
    command<mouseXSpeed>("%MouseXSpeed"),
    command<mouseYSpeed>("%MouseYSpeed"),
    command<mouseZSpeed>("%MouseZSpeed"),
    command<flushMouse>("FlushMouse"),
    command<moveMouse>("MoveMouse%x%y"),
    command<joyType>("%JoyType%port=0"),
    command<joyDown>("%JoyDown%button%port=0"),
    command<joyHit>("%JoyHit%button%port=0"),
    command<getJoy>("%GetJoy%port=0"),
};

constexpr CommandDef kWaitJoy = command<waitJoy>("%WaitJoy%port=0");

constexpr CommandDef kJoystickAxes[] = {
    command<joyX>("#JoyX%port=0"),       command<joyY>("#JoyY%port=0"),
    command<joyZ>("#JoyZ%port=0"),       command<joyXDir>("%JoyXDir%port=0"),
    command<joyYDir>("%JoyYDir%port=0"), command<joyZDir>("%JoyZDir%port=0"),
    command<flushJoy>("FlushJoy"),
};

}  // namespace

void linkInput(CommandRegistrar& registrar) {
    registrar.add(kKeyboardAndMouse);
    registrar.add(kWaitMouse);
    registrar.alias(kWaitMouse, "%MouseWait");
    registrar.add(kMouseAndJoystick);
    registrar.add(kWaitJoy);
    registrar.alias(kWaitJoy, "%JoyWait%port=0");
    registrar.add(kJoystickAxes);
}

bool inputCreate() {
    ModuleState<InputState>::open(std::make_unique<InputState>(theRuntime()));
    return true;
}

void inputDestroy() {
    ModuleState<InputState>::close();
}

}  // namespace tx
