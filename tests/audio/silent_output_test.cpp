// Without any output device (no sound card, no OpenAL backend that opens) the engine mixes into
// nothing in real time: sounds and streams start, play for their length and end. Run in a
// process of its own, since OpenAL reads its configuration once per process.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "audio_fixtures.h"
#include "sound_engine.h"
#include "test_files.h"

namespace tx {
namespace {

using namespace std::chrono_literals;

// How long the channel plays, in ms; -1 when it never started or never ended within 2 s.
int playingTime(const sound::SoundEngine& engine, int32_t channel) {
    if (channel < 0 || !engine.isChannelPlaying(channel)) return -1;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 400 && engine.isChannelPlaying(channel); ++i)
        std::this_thread::sleep_for(5ms);
    if (engine.isChannelPlaying(channel)) return -1;
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                std::chrono::steady_clock::now() - start)
                                .count());
}

TEST(SilentOutput, SoundsAndStreamsPlayForTheirLengthWithoutADevice) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const test::TempDir dir;
    test::writeTone(dir / "tone.wav", 441.0, 0.2);
    EXPECT_EXIT(
        {
            ::setenv("ALSOFT_DRIVERS", "no-such-backend", 1);
            auto engine = sound::SoundEngine::open(44100, 32);
            if (engine == nullptr || !engine->silent()) std::_Exit(1);
            sound::Sample* sample = engine->loadSample(-1, dir / "tone.wav", 0);
            const int sampleMs = playingTime(*engine, engine->playSample(-1, sample));
            sound::Stream* stream = engine->openStream(dir / "tone.wav", 0);
            const int streamMs = playingTime(*engine, engine->playStream(-1, stream));
            // Mixed in real time: neither ends at once; both end (within the 2 s cap).
            std::_Exit(sampleMs > 150 && streamMs > 150 ? 0 : 2);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace tx
