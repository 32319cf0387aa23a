#include <memory>

#include "host_backend.h"
#include "null_events.h"
#include "null_joysticks.h"
#include "null_video.h"

namespace tx {

HostBackend openNullBackend() {
    return {std::make_unique<NullVideo>(), std::make_unique<NullEvents>(),
            std::make_unique<NullJoysticks>()};
}

}  // namespace tx
