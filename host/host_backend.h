// The platform under a host runtime: its video device and event source. SDL's drives a real
// window (or SDL's offscreen one); the null backend needs no platform at all and keeps what it
// was asked to show, for tests.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "event_source.h"
#include "video_device.h"

namespace tx {

struct HostBackend {
    std::unique_ptr<VideoDevice> video;
    std::unique_ptr<EventSource> events;
};

// Starts SDL's video and events and makes the hidden window (kept above all others when
// topmost); none when that cannot be done. Video falls back to SDL's offscreen driver when no
// display is available.
std::optional<HostBackend> openSdlBackend(bool topmost);

// The null video device (see null_video.h) and a queue of events of its own.
HostBackend openNullBackend();

}  // namespace tx
