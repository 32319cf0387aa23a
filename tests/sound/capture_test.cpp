// The capture reader and its measurements, on WAV files as an audio device writes them: sizes
// not final yet, integer or float samples, plain or extensible headers.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>

#include "audio_fixtures.h"
#include "test_files.h"

namespace tx::test {
namespace {

constexpr int kRate = 8000;

void putLittle(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// Stereo WAV bytes: 0.1 s of silence, 0.3 s of 440 Hz at half scale, 0.2 s of silence.
std::vector<uint8_t> wav(bool floats, bool extensible, uint32_t statedDataSize) {
    const int bits = floats ? 32 : 16, tag = floats ? 3 : 1;
    std::vector<uint8_t> out = {'R', 'I', 'F', 'F', 0,   0,   0,   0,
                                'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
    putLittle(out, extensible ? 40 : 16, 4);
    putLittle(out, extensible ? 0xFFFE : tag, 2);
    putLittle(out, 2, 2);
    putLittle(out, kRate, 4);
    putLittle(out, kRate * 2 * bits / 8, 4);
    putLittle(out, 2 * bits / 8, 2);
    putLittle(out, bits, 2);
    if (extensible) {
        putLittle(out, 22, 2);
        putLittle(out, bits, 2);
        putLittle(out, 3, 4);  // front left and right
        putLittle(out, tag, 4);
        for (uint8_t b : {0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}) {
            out.push_back(b);
        }
    }
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    putLittle(out, statedDataSize, 4);
    for (int f = 0; f < kRate * 6 / 10; ++f) {
        const bool sounding = f >= kRate / 10 && f < kRate * 4 / 10;
        const float x = sounding ? 0.5f * std::sin(2 * std::numbers::pi * 440 * f / kRate) : 0;
        for (int c = 0; c < 2; ++c) {
            if (floats) {
                uint32_t word;
                std::memcpy(&word, &x, 4);
                putLittle(out, word, 4);
            } else {
                putLittle(out, static_cast<uint16_t>(std::lround(x * 32767)), 2);
            }
        }
    }
    return out;
}

TEST(CaptureTest, ReadsWavFilesWhateverTheirStatedSizes) {
    const size_t frames = kRate * 6 / 10;
    const struct {
        const char* name;
        bool floats, extensible;
        uint32_t size;
    } cases[] = {
        {"int16, size not written", false, false, 0},
        {"float, size still open", true, true, 0xFFFFFFFF},
        {"int16 extensible, exact size", false, true, static_cast<uint32_t>(frames * 4)},
        {"float, size past the end", true, false, static_cast<uint32_t>(frames * 16)},
    };
    TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto path = dir / "capture.wav";
        putFile(path.string(), wav(c.floats, c.extensible, c.size));
        const Capture capture = readCapture(path);
        EXPECT_EQ(capture.rate, kRate);
        ASSERT_EQ(capture.channels, 2);
        ASSERT_EQ(capture.frames(), frames);
        EXPECT_NEAR(capture.firstSoundFrame(0.01), kRate / 10, 1);
        EXPECT_NEAR(capture.longestSilence(0, frames, 0.01), kRate / 5, 2);
        EXPECT_NEAR(capture.longestSilence(kRate / 10, kRate * 4 / 10, 0.01), 1, 1);
        for (int channel = 0; channel < 2; ++channel) {
            EXPECT_NEAR(capture.rms(channel, kRate / 10, kRate * 4 / 10), 0.5 / std::sqrt(2.0),
                        0.005);
            EXPECT_NEAR(capture.frequency(channel, kRate / 10, kRate * 4 / 10), 440, 1);
            EXPECT_EQ(capture.frequency(channel, kRate * 4 / 10, frames), 0);
        }
    }
    putFile((dir / "text.wav").string(), {'n', 'o', 't', ' ', 'a', ' ', 'w', 'a', 'v', 'e'});
    EXPECT_THROW(readCapture(dir / "text.wav"), std::runtime_error);
}

}  // namespace
}  // namespace tx::test
