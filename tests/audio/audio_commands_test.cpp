// The audio commands over the sound engine, heard through OpenAL Soft's wave-file writer: each
// test (or the compiled program of the last) plays its sounds and music a short while apart,
// closes the driver and measures the mix by bursts of sound (volume, left and right, pitch, gaps).
#include <fstream>
#include <set>

#include "audio_session.h"
#include "guest_runner.h"
#include "wait_until.h"

namespace tx::test {
namespace {

// Volume and pan reach the mix as engine units (0.5 is 127 of 255; -1 is the left channel
// alone); a sound's pitch changes for its next PlaySound and leaves its playing channels alone.
TEST_F(AudioCommands, SoundsPlayAtTheirVolumePanAndPitch) {
    writeTone(dir / "tone.wav", kToneHz, 0.15);
    writeTone(dir / "long.wav", kToneHz, 0.4);
    const uint32_t tone = load(dir / "tone.wav"), tune = load(dir / "long.wav");
    ASSERT_NE(tone, 0u);
    const auto playAndWait = [&](uint32_t sound, auto wait) {
        EXPECT_NE(playSound(*state, sound), 0u);
        std::this_thread::sleep_for(wait);
    };
    playAndWait(tone, 330ms);  // centre
    soundPan(tone, -1.0f);
    playAndWait(tone, 330ms);
    soundVolume(tone, 0.5f);
    playAndWait(tone, 330ms);
    soundPan(tune, -1.0f);
    EXPECT_NE(playSound(*state, tune), 0u);
    soundPitch(tune, kRate / 2);
    soundPan(tune, 1.0f);
    playAndWait(tune, 850ms);  // the second plays for twice its length, an octave down

    const Capture mix = hear();
    const std::vector<Burst> bursts = burstsOf(mix);
    ASSERT_EQ(bursts.size(), 4u);
    const auto rms = [&](const Burst& b, int channel) {
        return mix.rms(channel, b.at(30), b.at(120));
    };
    const double centre = rms(bursts[0], 0), left = rms(bursts[1], 0);
    EXPECT_GT(centre, 0.05);
    EXPECT_NEAR(rms(bursts[0], 1), centre, centre * 0.02) << "centre: both sides equal";
    EXPECT_LT(rms(bursts[1], 1), left * 0.01) << "pan -1: the left side alone";
    EXPECT_NEAR(rms(bursts[2], 0) / left, 127.0 / 255.0, 0.02) << "volume 0.5";
    EXPECT_NEAR(mix.frequency(0, bursts[3].at(50), bursts[3].at(350)), kToneHz, kToneHz * 0.02)
        << "the playing channel keeps its pitch";
    EXPECT_NEAR(mix.frequency(1, bursts[3].at(50), bursts[3].at(750)), kToneHz / 2, kToneHz * 0.01)
        << "the next PlaySound is pitched";
}

// A looped sound plays on without a gap at its loop point while its channel is panned, pitched,
// paused (still playing, silent), resumed and stopped.
TEST_F(AudioCommands, ChannelsLoopSeamlesslyAndAreTunedWhilePlaying) {
    writeTone(dir / "cycles.wav", kToneHz, 4400.0 / kRate);  // 44 whole cycles
    const uint32_t sound = load(dir / "cycles.wav");
    loopSound(sound);
    const uint32_t channel = playSound(*state, sound);
    ASSERT_NE(channel, 0u);
    std::this_thread::sleep_for(150ms);
    channelPan(channel, -1.0f);
    std::this_thread::sleep_for(150ms);
    channelPitch(channel, kRate * 2);
    std::this_thread::sleep_for(150ms);
    pauseChannel(channel);
    EXPECT_EQ(channelPlaying(channel), 1) << "a paused channel counts as playing";
    std::this_thread::sleep_for(200ms);
    resumeChannel(channel);
    std::this_thread::sleep_for(150ms);
    stopChannel(channel);
    EXPECT_EQ(channelPlaying(channel), 0);

    const Capture mix = hear();
    const std::vector<Burst> bursts = burstsOf(mix);
    ASSERT_EQ(bursts.size(), 2u) << "one burst before the pause, one after";
    const Burst& b = bursts[0];
    EXPECT_TRUE(b.someWindow([&](size_t from, size_t to) {
        return mix.rms(1, from, to) < 0.001 && mix.rms(0, from, to) > 0.05 &&
               std::abs(mix.frequency(0, from, to) - kToneHz) < kToneHz * 0.02;
    })) << "panned left";
    const auto octaveUp = [&](size_t from, size_t to) {
        return mix.rms(1, from, to) < 0.001 &&
               std::abs(mix.frequency(0, from, to) - 2 * kToneHz) < kToneHz * 0.04;
    };
    EXPECT_TRUE(b.someWindow(octaveUp)) << "pitched an octave up";
    EXPECT_LT(mix.longestSilence(b.begin, b.end, kSilence), 4u) << "a gap at the loop point";
    EXPECT_TRUE(bursts[1].someWindow(octaveUp)) << "resumed as it was";
}

// A channel whose sound has ended is handed out again, a paused one is not, and the engine's
// 32 channels are all there is. The CD channel is one, always playing; handle 0 and bad files
// do nothing.
TEST_F(AudioCommands, ChannelsAreReusedOnlyOnceTheirSoundHasEnded) {
    writeTone(dir / "blip.wav", kToneHz, 0.03);
    const uint32_t blip = load(dir / "blip.wav");
    const uint32_t first = playSound(*state, blip), second = playSound(*state, blip);
    EXPECT_NE(first, second);
    EXPECT_EQ(channelPlaying(first), 1);
    waitUntil([&] { return !channelPlaying(first) && !channelPlaying(second); }, 1s);
    EXPECT_EQ(playSound(*state, blip), first) << "the first channel no longer playing";
    stopChannel(first);
    loopSound(blip);
    std::set<uint32_t> channels;
    for (int i = 0; i < 32; ++i) channels.insert(playSound(*state, blip));
    EXPECT_FALSE(channels.contains(0u));
    EXPECT_EQ(playSound(*state, blip), 0u) << "all 32 engine channels busy";
    pauseChannel(first);
    stopChannel(second);
    EXPECT_EQ(playSound(*state, blip), second) << "the stopped channel, not the paused one";

    const uint32_t cd = playCDTrack(*state, 1, 1);
    EXPECT_EQ(playCDTrack(*state, 2, 3), cd);
    channelPitch(cd, 100);
    channelPan(cd, 1.0f);
    EXPECT_EQ(channelPlaying(cd), 1);
    stopChannel(0);
    EXPECT_EQ(channelPlaying(0), 0);

    std::ofstream(dir / "garbage.wav") << "RIFF this is not audio";
    std::ofstream(dir / "empty.mod");
    for (const char* bad : {"garbage.wav", "empty.mod", "missing.ogg"}) {
        EXPECT_EQ(load(dir / bad), 0u) << bad;
        EXPECT_EQ(music(dir / bad), 0u) << bad;
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
    waitUntil([&] { return !channelPlaying(channel); }, 500ms);
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

// A compiled program makes sound: what it plays is heard in the mix.
TEST(GuestAudio, ProgramPlaysAPannedPitchedSoundThenMusic) {
    waveFile();
    const TempDir dir;
    writeTone(dir / "tone.wav", kToneHz, 0.15);
    std::filesystem::copy_file(TERVEX_TEST_DATA "/tone.mod", dir / "tone.mod");
    ::setenv("TX_DIR", dir.path().c_str(), 1);
    const GuestRun run = runGuest("audio");
    ASSERT_EQ(run.link.status, LinkResult::Status::Linked) << run.link.message;
    EXPECT_EQ(firstError(run), "");
    EXPECT_EQ(run.outcome, RunOutcome::Ended);

    const Capture mix = readCapture(waveFile());
    const std::vector<Burst> bursts = burstsOf(mix);
    ASSERT_EQ(bursts.size(), 2u);
    const Burst& tone = bursts[0];
    EXPECT_NEAR(tone.seconds(), 0.3, 0.02);
    EXPECT_LT(mix.rms(1, tone.at(50), tone.at(250)), 0.001) << "panned left";
    EXPECT_NEAR(mix.frequency(0, tone.at(50), tone.at(250)), kToneHz / 2, 3.0);
    EXPECT_NEAR(mix.frequency(1, bursts[1].at(50), bursts[1].at(250)), kToneModuleHz,
                kToneModuleHz * 0.03);
}

}  // namespace
}  // namespace tx::test
