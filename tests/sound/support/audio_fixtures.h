// Audio for sound tests: tone files written in every format the engine reads, and analysis of
// what came out (a capture file the audio device wrote, or decoded PCM).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace tx::test {

// A sine tone at amplitude 0.5 and 44100 Hz; the format follows the extension: .wav (16-bit PCM),
// .flac, .ogg (Vorbis), .opus (Ogg Opus, always at 48000 Hz), .mp3 (MPEG layer III, which needs a
// libsndfile built with LAME, as Debian's 1.2 is). Every channel carries the same tone. Throws
// std::runtime_error when the file cannot be written.
void writeTone(const std::filesystem::path& path, double hz, double seconds, int channels = 1);

// Song fixtures in tests/data, each 1.2 s long: tone.mod, a four-channel ProTracker module
// whose one looped 32-byte sine cycle plays at Amiga period 428 on channels 1 (left) and 2
// (right) for ten rows, and tone.mid, one flute note (General MIDI program 74) 69 (440 Hz) held
// at 120 beats a minute.
inline constexpr double kToneModuleHz = 7093789.2 / (428.0 * 2.0) / 32.0;  // ~258.97 Hz
inline constexpr double kSongSeconds = 1.2;

// Interleaved samples from -1 to 1 and what can be measured in them. Frame ranges are clamped
// to the samples there are.
struct Capture {
    int rate = 0;
    int channels = 0;
    std::vector<float> samples;

    size_t frames() const { return channels > 0 ? samples.size() / channels : 0; }
    double rms(int channel, size_t fromFrame, size_t toFrame) const;
    // The fundamental frequency in Hz of one channel over the range (at most its first quarter
    // second is looked at), 0 when nothing periodic between 30 Hz and 5 kHz is found there.
    double frequency(int channel, size_t fromFrame, size_t toFrame) const;
    // The longest run of frames in [from, to) in which every channel stays below |threshold|.
    size_t longestSilence(size_t fromFrame, size_t toFrame, double threshold) const;
};

// A sound file read back whole (the wave-file writer's output, once its device has closed).
Capture readCapture(const std::filesystem::path& path);
// Decoded 16-bit PCM as a capture.
Capture captureFromPcm(int rate, int channels, std::span<const int16_t> samples);

}  // namespace tx::test
