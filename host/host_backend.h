// The platform under a host runtime: its video device, event source and joysticks. SDL's drives a
// real window (or SDL's offscreen one); the null backend needs no platform at all and keeps what it
// was asked to show, for tests.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "event_source.h"
#include "joystick_devices.h"
#include "video_device.h"

namespace tx {

struct HostBackend {
    std::unique_ptr<VideoDevice> video;
    std::unique_ptr<EventSource> events;
    std::unique_ptr<JoystickDevices> joysticks;
};

// Starts SDL's video and events and makes the hidden window (kept above all others when
// topmost); none when that cannot be done. Video falls back to SDL's offscreen driver when no
// display is available.
std::optional<HostBackend> openSdlBackend(bool topmost);

// The null video device (see null_video.h), a queue of events of its own and joysticks that
// tests plug in (null_joysticks.h).
HostBackend openNullBackend();

}  // namespace tx
