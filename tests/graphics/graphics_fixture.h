// The graphics module on a runtime of its own over the null video device, for tests that call
// the graphics commands directly (with the debug flag clear, as outside a run).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>

#include "graphics_commands.h"
#include "graphics_state.h"
#include "host_runtime.h"
#include "null_video.h"
#include "string_pool.h"
#include "tx_error.h"
#include "tx_string.h"

namespace tx::test {

class GraphicsTest : public ::testing::Test {
protected:
    void SetUp() override {
        stringsCreate();
        HostBackend backend = openNullBackend();
        video = static_cast<NullVideo*>(backend.video.get());
        runtime = HostRuntime::open("", nullptr, std::move(backend));
        ASSERT_NE(runtime, nullptr);
        ASSERT_TRUE(openGraphicsModule(*runtime));
    }
    void TearDown() override {
        closeGraphicsModule();
        runtime.reset();
        EXPECT_EQ(liveStrings(), 0) << "a command leaked a string";
        stringsDestroy();
    }

    static GraphicsState& state() { return *graphicsState(); }
    // The display's width, height and depth as the commands answer them.
    static std::tuple<int32_t, int32_t, int32_t> size() {
        return {graphicsWidth(state()), graphicsHeight(state()), graphicsDepth(state())};
    }
    // The drawing colour as the commands answer it, 0xRRGGBB.
    static uint32_t colour() {
        return static_cast<uint32_t>(colorRed() << 16 | colorGreen() << 8 | colorBlue());
    }
    // A canvas of the display, as images will make them.
    static uint32_t newCanvas(int32_t width, int32_t height) {
        return state().graphics->createCanvas(width, height).handle;
    }
    static StrArg arg(std::string_view text) { return StrArg(strNew(text).handle); }
    static std::string take(Str s) {
        std::string text(strText(s.handle));
        strRelease(s.handle);
        return text;
    }
    // The message of the runtime error a call raises ("" when it raises none).
    template <typename F>
    static std::string errorOf(F&& call) {
        try {
            call();
        } catch (const TxEx& ex) {
            return ex.message != nullptr ? ex.message : "(quiet end)";
        }
        return "";
    }
    // The colour the display last presented at a point of the picture, 0x00RRGGBB.
    uint32_t shownAt(int32_t x, int32_t y) const { return video->shownAt(x, y); }

    std::unique_ptr<HostRuntime> runtime;
    NullVideo* video = nullptr;  // owned by the runtime
};

}  // namespace tx::test
