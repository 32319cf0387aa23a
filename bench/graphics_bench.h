// The graphics module on a headless runtime (SDL's offscreen window), in a 640 x 480
// full-screen mode of a depth, drawing into the back buffer: the setting of the graphics
// benchmarks.
#pragma once

#include <stdlib.h>

#include <cstdint>
#include <memory>

#include "graphics_commands.h"
#include "graphics_state.h"
#include "host_runtime.h"
#include "string_pool.h"

namespace tx {

class GraphicsBench {
public:
    static constexpr int32_t kScreenW = 640, kScreenH = 480;

    explicit GraphicsBench(int32_t depth) {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        stringsCreate();
        runtime_ = HostRuntime::open("", nullptr, 0);
        if (runtime_ == nullptr || !openGraphicsModule(*runtime_)) return;
        GraphicsState& module = *graphicsState();
        graphics(module, kScreenW, kScreenH, depth, 1);
        setBuffer(module, backBuffer(module));
        ready_ = true;
    }
    ~GraphicsBench() {
        closeGraphicsModule();
        runtime_.reset();
        stringsDestroy();
    }
    GraphicsBench(const GraphicsBench&) = delete;
    GraphicsBench& operator=(const GraphicsBench&) = delete;

    bool ready() const { return ready_; }

private:
    std::unique_ptr<HostRuntime> runtime_;
    bool ready_ = false;
};

}  // namespace tx
