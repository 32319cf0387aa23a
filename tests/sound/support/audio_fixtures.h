// Audio for sound tests: tone files written in every format the engine reads, and analysis of
// what came out (a capture file the audio device wrote, or decoded PCM).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace tx::test {

// A sine tone; the format follows the extension: .wav (16-bit PCM), .flac, .ogg (Vorbis),
// .opus (Ogg Opus, always at 48000 Hz), .mp3 (MPEG layer III, which needs a libsndfile built with
// LAME, as Debian's 1.2 is). Every channel carries the same tone. Throws std::runtime_error when
// the file cannot be written.
void writeTone(const std::filesystem::path& path, double hz, double seconds, int channels = 1,
               int rate = 44100, double amplitude = 0.5);

// The pitch of writeToneModule's tone: a 32-byte single-cycle sine played at Amiga period 428
// (C-2) on a PAL machine, 7093789.2 / (428 * 2) / 32 Hz.
inline constexpr double kToneModuleHz = 7093789.2 / (428.0 * 2.0) / 32.0;  // ~258.97 Hz

// A 4-channel ProTracker (M.K.) module: its one looped sample, at kToneModuleHz on channels 1
// (left) and 2 (right), sounds from the first row to the end of the song, which lasts `seconds`
// rounded up to whole rows at the default speed 6 and tempo 125 (0.12 s a row); libopenmpt
// renders a tenth of a second more before it reports the end.
void writeToneModule(const std::filesystem::path& path, double seconds);
inline constexpr double kToneModuleRowSeconds = 0.12;

// A format-0 standard MIDI file at 120 beats a minute: one flute note (General MIDI program 74)
// held for `seconds`, then the end of the track.
void writeToneMidi(const std::filesystem::path& path, int note, double seconds);
double midiNoteHz(int note);  // 440 * 2^((note - 69) / 12)

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
