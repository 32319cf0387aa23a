// Music: streams (names holding ".wav", ".mp3" and the rest) and songs (everything else:
// tracker modules, MIDI files, and audio files such as ".ogg" or ".MP3", which the stream test
// does not match) play at their pitch, pause, resume, restart by name and keep playing while
// the program's thread stalls.
#include <fstream>
#include <span>

#include "audio_session.h"
#include "decoder.h"

namespace tx::test {
namespace {

struct MusicFile {
    const char* name;
    double hz;  // the pitch it must sound at
};

TEST_F(AudioCommands, MusicOfEveryKindPlaysAtItsPitch) {
    writeTone(dir / "tone.wav", kToneHz, 1.0);
    writeTone(dir / "tone.mp3", kToneHz, 1.0);
    std::filesystem::copy_file(dir / "tone.mp3", dir / "TONE.MP3");
    writeTone(dir / "tone.ogg", kToneHz, 1.0);
    std::filesystem::copy_file(TERVEX_TEST_DATA "/tone.mod", dir / "tone.mod");
    std::filesystem::copy_file(TERVEX_TEST_DATA "/tone.mid", dir / "tone.mid");
    const MusicFile files[] = {{"tone.wav", kToneHz},       {"tone.mp3", kToneHz},
                               {"TONE.MP3", kToneHz},       {"tone.ogg", kToneHz},
                               {"tone.mod", kToneModuleHz}, {"tone.mid", 440.0}};
    const size_t playable = sound::midiFilesPlayable() ? std::size(files) : std::size(files) - 1;
    for (const MusicFile& file : std::span(files, playable)) {
        const uint32_t channel = music(dir / file.name);
        ASSERT_NE(channel, 0u) << file.name;
        EXPECT_EQ(channelPlaying(channel), 1) << file.name;
        std::this_thread::sleep_for(300ms);
        stopChannel(channel);
        EXPECT_EQ(channelPlaying(channel), 0) << file.name;
        std::this_thread::sleep_for(150ms);
    }
    const Capture mix = hear();
    const std::vector<Burst> bursts = burstsOf(mix);
    ASSERT_EQ(bursts.size(), playable);
    for (size_t i = 0; i < playable; ++i) {
        const Burst& b = bursts[i];
        EXPECT_GT(mix.rms(0, b.at(50), b.at(250)), 0.02) << files[i].name;
        EXPECT_NEAR(mix.frequency(0, b.at(50), b.at(250)), files[i].hz, files[i].hz * 0.03)
            << files[i].name;
    }
}

// The same name again restarts the same channel from the beginning; a paused stream is still
// playing, silent, and resumes where it was; a half-second stall of the program's thread leaves
// no gap, since the engine's own thread refills the stream.
TEST_F(AudioCommands, StreamsRestartPauseAndOutlastAStalledProgram) {
    writeTone(dir / "short.wav", kToneHz, 0.3);
    const uint32_t channel = music(dir / "short.wav");
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(music(dir / "short.wav"), channel);
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(channelPlaying(channel), 1) << "restarted, so not yet at its end";
    for (int i = 0; i < 100 && channelPlaying(channel); ++i) std::this_thread::sleep_for(5ms);
    EXPECT_EQ(channelPlaying(channel), 0) << "a stream plays once";
    std::this_thread::sleep_for(150ms);

    writeTone(dir / "long.wav", kToneHz, 1.2);
    const uint32_t stream = music(dir / "long.wav");
    std::this_thread::sleep_for(150ms);
    pauseChannel(stream);
    EXPECT_EQ(channelPlaying(stream), 1);
    std::this_thread::sleep_for(200ms);
    resumeChannel(stream);
    std::this_thread::sleep_for(500ms);  // the program's thread stalls
    stopChannel(stream);

    const Capture mix = hear();
    const std::vector<Burst> bursts = burstsOf(mix);
    ASSERT_EQ(bursts.size(), 3u) << "short.wav, long.wav paused, long.wav resumed";
    EXPECT_GT(bursts[0].seconds(), 0.33) << "part of its 300 ms, then all of it again";
    const Burst& resumed = bursts[2];
    EXPECT_GT(resumed.seconds(), 0.3);
    EXPECT_LT(mix.longestSilence(resumed.begin, resumed.end, kSilence), 4u);
}

}  // namespace
}  // namespace tx::test
