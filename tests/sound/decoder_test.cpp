// Every decoder against tone files of its formats: pitch, length, rewinding, repeating, and
// broken files of every kind.
#include <stdlib.h>

#include <gtest/gtest.h>

#include <cmath>
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
    const char* file;  // its extension names the format
    int toneChannels;  // of the tone written with libsndfile; 0 for a song fixture of tests/data
    double hz;
    int channels;
    int32_t rate;
    double tail;  // seconds decoded past the song's length at most (a MIDI note's release)
    int slack;    // the largest sample difference after a rewind (resampler state aside)
    bool sampled() const { return toneChannels > 0; }  // read by libsndfile; also loads whole
};

const Format kFormats[] = {
    {"WavMono", "t.wav", 1, 440, 1, 44100, 0.06, 0},
    {"WavStereo", "t.wav", 2, 440, 2, 44100, 0.06, 0},
    // More than two channels fold into stereo.
    {"WavSurround", "t.wav", 6, 440, 2, 44100, 0.06, 0},
    {"Flac", "t.flac", 1, 440, 1, 44100, 0.06, 0},
    {"Vorbis", "t.ogg", 2, 440, 2, 44100, 0.06, 0},
    {"Opus", "t.opus", 1, 440, 1, 48000, 0.06, 0},
    {"Mp3", "t.mp3", 1, 440, 1, 44100, 0.06, 0},
    {"Module", "tone.mod", 0, test::kToneModuleHz, 2, kRate, 0.15, 4},
    {"Midi", "tone.mid", 0, 440, 2, kRate, 1.5, 0},  // note 69
};

// The format's file in dir: its tone written, or its fixture copied.
std::filesystem::path write(const Format& f, const std::filesystem::path& dir) {
    const auto path = dir / f.file;
    if (f.sampled()) {
        test::writeTone(path, 440, kSeconds, f.toneChannels);
    } else {
        std::filesystem::copy_file(std::filesystem::path(TERVEX_TEST_DATA) / f.file, path,
                                   std::filesystem::copy_options::overwrite_existing);
    }
    return path;
}

std::unique_ptr<Decoder> open(const Format& f, const std::filesystem::path& path, bool repeat) {
    if (f.sampled()) return openAudioFile(path);
    if (path.extension() == ".mod") return openTrackerModule(path, kRate, repeat);
    return openMidiFile(path, kRate, repeat);
}

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

class DecoderTest : public ::testing::TestWithParam<Format> {};

TEST_P(DecoderTest, DecodesTheToneAtItsPitchEndsAndRewinds) {
    const Format& format = GetParam();
    // MIDI needs FluidSynth, which sanitizer builds do not load.
    if (format.file == std::string_view("tone.mid") && !midiFilesPlayable())
        GTEST_SKIP() << "MIDI files do not play in this build";
    const TempDir dir;
    const auto path = write(format, dir.path());
    auto decoder = open(format, path, false);
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
        if (format.sampled()) {
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
    if (format.sampled()) {
        const auto whole = loadAudioFile(path);
        ASSERT_TRUE(whole.has_value());
        EXPECT_EQ(whole->format.rate, format.rate);
        EXPECT_EQ(whole->format.channels, format.channels);
        EXPECT_EQ(whole->samples, pcm);
        return;
    }
    // Songs played with repeat go on past their end for as long as they are read, still
    // sounding.
    auto repeating = open(format, path, true);
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
        const auto good = write(format, dir.path());
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
            auto decoder = open(format, path, false);
            if (format.sampled()) EXPECT_FALSE(loadAudioFile(path).has_value());
            if (!format.sampled() || !broken.cut) EXPECT_EQ(decoder, nullptr);
            if (decoder) readAll(*decoder, 10 * format.rate);
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
    const auto midi = write(kFormats[std::size(kFormats) - 1], dir.path());

    ::setenv("TERVEX_SOUNDFONT", (dir / "missing.sf2").c_str(), 1);
    EXPECT_EQ(generalMidiSoundFont(), installed);
    ::setenv("TERVEX_SOUNDFONT", fake.c_str(), 1);
    EXPECT_EQ(generalMidiSoundFont(), fake);
    EXPECT_EQ(openMidiFile(midi, kRate, false), nullptr);
    ::unsetenv("TERVEX_SOUNDFONT");
}

INSTANTIATE_TEST_SUITE_P(Formats, DecoderTest, ::testing::ValuesIn(kFormats),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tx::sound
