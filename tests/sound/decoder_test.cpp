// Every decoder against tone files of its formats: pitch, length, rewinding, repeating, and
// broken files of every kind.
#include <stdlib.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>
#include <random>

#include "audio_fixtures.h"
#include "decoder.h"
#include "test_files.h"

namespace tx::sound {
namespace {

using test::Capture;
using test::TempDir;

constexpr int32_t kRate = 44100;
constexpr double kSeconds = test::kSongSeconds;  // every fixture's length

struct Format {
    const char* name;
    const char* file;
    std::function<void(const std::filesystem::path&)> write;
    std::function<std::unique_ptr<Decoder>(const std::filesystem::path&, bool repeat)> open;
    double hz;
    int channels;
    int32_t rate;
    bool sampled;  // read by libsndfile; also loads whole
    double tail;   // seconds decoded past the song's length at most (a MIDI note's release)
    int slack;     // the largest sample difference after a rewind (resampler state aside)
};

std::unique_ptr<Decoder> openSampled(const std::filesystem::path& path, bool) {
    return openAudioFile(path);
}

std::function<void(const std::filesystem::path&)> tone(int channels) {
    return [channels](const auto& path) { test::writeTone(path, 440, kSeconds, channels); };
}

std::function<void(const std::filesystem::path&)> copyOf(const char* fixture) {
    return [fixture](const auto& path) {
        std::filesystem::copy_file(std::filesystem::path(TERVEX_TEST_DATA) / fixture, path,
                                   std::filesystem::copy_options::overwrite_existing);
    };
}

const Format kFormats[] = {
    {"WavMono", "t.wav", tone(1), openSampled, 440, 1, 44100, true, 0.06, 0},
    {"WavStereo", "t.wav", tone(2), openSampled, 440, 2, 44100, true, 0.06, 0},
    // More than two channels fold into stereo.
    {"WavSurround", "t.wav", tone(6), openSampled, 440, 2, 44100, true, 0.06, 0},
    {"Flac", "t.flac", tone(1), openSampled, 440, 1, 44100, true, 0.06, 0},
    {"Vorbis", "t.ogg", tone(2), openSampled, 440, 2, 44100, true, 0.06, 0},
    {"Opus", "t.opus", tone(1), openSampled, 440, 1, 48000, true, 0.06, 0},
    {"Mp3", "t.mp3", tone(1), openSampled, 440, 1, 44100, true, 0.06, 0},
    {"Module", "t.mod", copyOf("tone.mod"),
     [](const auto& path, bool repeat) { return openTrackerModule(path, kRate, repeat); },
     test::kToneModuleHz, 2, kRate, false, 0.15, 4},
    {"Midi", "t.mid", copyOf("tone.mid"),
     [](const auto& path, bool repeat) { return openMidiFile(path, kRate, repeat); },
     test::midiNoteHz(69), 2, kRate, false, 1.5, 0},
};

// Everything the decoder gives, up to `limit` frames.
std::vector<int16_t> readAll(Decoder& decoder, size_t limit) {
    std::vector<int16_t> pcm;
    std::vector<int16_t> block(4096 * decoder.format().channels);
    while (pcm.size() / decoder.format().channels < limit) {
        const size_t frames = decoder.read(block);
        if (frames == 0) break;
        pcm.insert(pcm.end(), block.begin(), block.begin() + frames * decoder.format().channels);
    }
    return pcm;
}

// MIDI needs FluidSynth, which sanitizer builds do not load.
bool playable(const Format& format) {
    return std::string_view(format.name) != "Midi" || midiFilesPlayable();
}

class DecoderTest : public ::testing::TestWithParam<Format> {
protected:
    void SetUp() override {
        if (!playable(GetParam())) GTEST_SKIP() << "MIDI files do not play in this build";
    }
    std::filesystem::path written() {
        const auto path = dir_ / GetParam().file;
        GetParam().write(path);
        return path;
    }
    TempDir dir_;
};

TEST_P(DecoderTest, DecodesTheToneAtItsPitchEndsAndRewinds) {
    const Format& format = GetParam();
    const auto path = written();
    auto decoder = format.open(path, false);
    ASSERT_NE(decoder, nullptr);
    EXPECT_EQ(decoder->format().rate, format.rate);
    ASSERT_EQ(decoder->format().channels, format.channels);
    const std::vector<int16_t> pcm = readAll(*decoder, 10 * format.rate);
    const Capture capture = test::captureFromPcm(format.rate, format.channels, pcm);

    const double seconds = static_cast<double>(capture.frames()) / format.rate;
    EXPECT_GE(seconds, kSeconds - 0.01);
    EXPECT_LE(seconds, kSeconds + format.tail);
    for (int c = 0; c < format.channels; ++c) {
        SCOPED_TRACE(c);
        // Sampled files hold the tone at amplitude 0.5, each side of a fold-down too.
        const double rms = capture.rms(c, format.rate / 4, format.rate);
        if (format.sampled) {
            EXPECT_NEAR(rms, 0.5 / std::sqrt(2.0), 0.02);
        } else {
            EXPECT_GT(rms, 0.02);
        }
        EXPECT_NEAR(capture.frequency(c, format.rate / 4, format.rate), format.hz,
                    format.hz * 0.01);
    }
    // Rewound, it starts again with the same samples.
    ASSERT_TRUE(decoder->rewind());
    std::vector<int16_t> again(4096 * format.channels);
    ASSERT_EQ(decoder->read(again), 4096u);
    for (size_t i = 0; i < again.size(); ++i)
        ASSERT_LE(std::abs(pcm[i] - again[i]), format.slack) << "sample " << i;
    if (format.sampled) {
        const auto whole = loadAudioFile(path);
        ASSERT_TRUE(whole.has_value());
        EXPECT_EQ(whole->format.rate, format.rate);
        EXPECT_EQ(whole->format.channels, format.channels);
        EXPECT_EQ(whole->samples, pcm);
        return;
    }
    // Songs played with repeat go on past their end for as long as they are read, still
    // sounding.
    auto repeating = format.open(path, true);
    ASSERT_NE(repeating, nullptr);
    const auto frames = static_cast<size_t>(4 * kSeconds * format.rate);
    const Capture looped = test::captureFromPcm(format.rate, 2, readAll(*repeating, frames));
    ASSERT_GE(looped.frames(), frames);
    const auto last = static_cast<size_t>(3.25 * kSeconds * format.rate);
    EXPECT_NEAR(looped.frequency(0, last, frames), format.hz, format.hz * 0.01);
}

// Missing, empty, garbage and cut files of every kind: none loads, and whatever a streaming
// decoder accepts reads to its end without harm.
TEST(BrokenFilesTest, AreRefusedByEveryDecoder) {
    TempDir dir;
    std::mt19937 random(7);
    std::vector<uint8_t> noise(4096);
    for (auto& byte : noise) byte = static_cast<uint8_t>(random());
    for (const Format& format : kFormats) {
        const auto good = dir / format.file;
        format.write(good);
        const std::vector<uint8_t> whole = test::fileBytes(good.string());
        auto prefix = [&](size_t size) {
            return std::vector<uint8_t>(whole.begin(), whole.begin() + size);
        };
        auto headerThenNoise = prefix(std::min<size_t>(whole.size() / 4, 64));
        headerThenNoise.insert(headerThenNoise.end(), noise.begin(), noise.end());
        const struct {
            const char* name;
            std::optional<std::vector<uint8_t>> bytes;
            bool cut;  // a real start: a streaming decoder may play what is there
        } cases[] = {
            {"missing", std::nullopt, false},
            {"empty", std::vector<uint8_t>{}, false},
            {"garbage", noise, false},
            {"header then garbage", headerThenNoise, true},
            {"cut in half", prefix(whole.size() / 2), true},
            {"last byte missing", prefix(whole.size() - 1), true},
        };
        for (const auto& broken : cases) {
            SCOPED_TRACE(std::string(format.name) + ": " + broken.name);
            const auto path = dir / (std::string("broken-") + format.file);
            std::filesystem::remove(path);
            if (broken.bytes) test::putFile(path.string(), *broken.bytes);
            auto decoder = format.open(path, false);
            if (format.sampled) {
                EXPECT_FALSE(loadAudioFile(path).has_value());
                if (!broken.cut) {
                    EXPECT_EQ(decoder, nullptr);
                }
                if (decoder) readAll(*decoder, 10 * format.rate);
            } else {
                EXPECT_EQ(decoder, nullptr);
            }
        }
    }
}

// TERVEX_SOUNDFONT chooses the font when it names a file; a font FluidSynth cannot load leaves
// MIDI without a decoder.
TEST(SoundFontTest, TheEnvironmentChoosesTheFont) {
    TempDir dir;
    const auto installed = generalMidiSoundFont();
    const auto fake = dir / "fake.sf2";
    test::putFile(fake.string(), {'R', 'I', 'F', 'F', 0, 0, 0, 0});
    copyOf("tone.mid")(dir / "t.mid");

    ::setenv("TERVEX_SOUNDFONT", (dir / "missing.sf2").c_str(), 1);
    EXPECT_EQ(generalMidiSoundFont(), installed);
    ::setenv("TERVEX_SOUNDFONT", fake.c_str(), 1);
    EXPECT_EQ(generalMidiSoundFont(), fake);
    EXPECT_EQ(openMidiFile(dir / "t.mid", kRate, false), nullptr);
    ::unsetenv("TERVEX_SOUNDFONT");
}

INSTANTIATE_TEST_SUITE_P(Formats, DecoderTest, ::testing::ValuesIn(kFormats),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tx::sound
