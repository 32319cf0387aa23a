// Without any output device (no sound card, no OpenAL backend that opens) the engine mixes into
// nothing in real time: sounds and streams start, play for their length and end. Run in a
// process of its own, since OpenAL reads its configuration once per process.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "audio_fixtures.h"
#include "sound_engine.h"
#include "test_files.h"
#include "wait_until.h"

namespace tx {
namespace {

using namespace std::chrono_literals;

// Whether the channel plays, for more than 150 ms (mixed in real time, not at once), and ends
// within 2 s.
bool playsForAWhileAndEnds(const sound::SoundEngine& engine, int32_t channel) {
    const auto start = std::chrono::steady_clock::now();
    return channel >= 0 && test::waitUntil([&] { return !engine.isChannelPlaying(channel); }, 2s) &&
           std::chrono::steady_clock::now() - start > 150ms;
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
            const bool sampleOk = playsForAWhileAndEnds(*engine, engine->playSample(-1, sample));
            sound::Stream* stream = engine->openStream(dir / "tone.wav", 0);
            const bool streamOk = playsForAWhileAndEnds(*engine, engine->playStream(-1, stream));
            std::_Exit(sampleOk && streamOk ? 0 : 2);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace tx
