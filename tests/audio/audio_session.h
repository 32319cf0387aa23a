// Audio tests hear the mix: OpenAL Soft's wave-file writer, a fixture with the audio driver on
// it, and the capture cut into bursts of sound.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "audio_commands.h"
#include "audio_fixtures.h"
#include "module_state.h"
#include "test_files.h"

namespace tx::test {

using namespace std::chrono_literals;

// The engine's mix rate: fixtures are written at it, so a sound's own frequency is 44100.
inline constexpr int kRate = 44100;
inline constexpr double kToneHz = 441.0;  // 100 frames a cycle
inline constexpr double kSilence = 0.002;

// The process's capture file. Its first use, before anything opens a device, configures OpenAL
// (read once per process) to send the mix to the wave-file writer: written in real time while a
// device is open, complete once it closes.
inline const std::filesystem::path& waveFile() {
    static const TempDir dir;
    static const std::filesystem::path file = [] {
        std::ofstream(dir / "alsoft.conf")
            << "[general]\nchannels=stereo\nsample-type=int16\nfrequency=44100\n"
            << "[wave]\nfile=" << (dir / "mix.wav").string() << "\n";
        ::setenv("ALSOFT_CONF", (dir / "alsoft.conf").c_str(), 1);
        ::setenv("ALSOFT_DRIVERS", "wave", 1);
        return dir / "mix.wav";
    }();
    return file;
}

// A run of sound in the capture: its first frame and one past its last.
struct Burst {
    size_t begin = 0;
    size_t end = 0;
    // The frame `ms` milliseconds in.
    size_t at(int ms) const { return begin + static_cast<size_t>(ms) * kRate / 1000; }
    double seconds() const { return static_cast<double>(end - begin) / kRate; }
    // Whether some 60 ms window of the burst (stepped by 10 ms) satisfies holds(from, to): a
    // change made while it plays shows wherever the mixer placed it, however late a loaded
    // machine made the call.
    template <typename F>
    bool someWindow(F&& holds) const {
        constexpr size_t kWindow = kRate * 60 / 1000, kStep = kRate / 100;
        for (size_t from = begin; from + kWindow <= end; from += kStep)
            if (holds(from, from + kWindow)) return true;
        return false;
    }
};

// The runs of sound separated by at least 40 ms of silence.
inline std::vector<Burst> burstsOf(const Capture& capture) {
    std::vector<Burst> bursts;
    const size_t minGap = kRate * 40 / 1000;
    size_t quiet = minGap;
    for (size_t frame = 0; frame < capture.frames(); ++frame) {
        bool loud = false;
        for (int c = 0; c < capture.channels; ++c)
            loud = loud || std::abs(capture.samples[frame * capture.channels + c]) >= kSilence;
        if (!loud) {
            ++quiet;
            continue;
        }
        if (quiet >= minGap) bursts.push_back({frame, frame});
        bursts.back().end = frame + 1;
        quiet = 0;
    }
    return bursts;
}

class AudioCommands : public ::testing::Test {
protected:
    void SetUp() override {
        waveFile();
        auto engine = sound::SoundEngine::open(kRate, 32);
        ASSERT_NE(engine, nullptr);
        ASSERT_FALSE(engine->silent()) << "the wave writer did not open";
        auto audio = std::make_unique<AudioState>();
        audio->audio = std::make_unique<HostAudio>(std::move(engine));
        state = &ModuleState<AudioState>::open(std::move(audio));
    }
    void TearDown() override { ModuleState<AudioState>::close(); }

    static StrArg text(const std::filesystem::path& path) {
        return StrArg(strNew(path.string()).handle);
    }
    uint32_t load(const std::filesystem::path& file) { return loadSound(*state, text(file)); }
    uint32_t music(const std::filesystem::path& file) { return playMusic(*state, text(file)); }
    // Closes the driver (the wave file is complete once its device closes) and reads the mix.
    Capture hear() {
        ModuleState<AudioState>::close();
        return readCapture(waveFile());
    }

    TempDir dir;
    AudioState* state = nullptr;
};

}  // namespace tx::test
