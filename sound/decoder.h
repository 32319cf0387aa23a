// Audio decoders: a file turned into 16-bit interleaved PCM, pulled a block at a time. The engine
// reads samples whole and streams and songs block by block on its own thread, so a decoder is
// used by one thread at a time and never calls back into anything.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace tx::sound {

struct PcmFormat {
    int32_t rate = 0;      // frames per second
    int32_t channels = 0;  // 1 or 2 (files with more channels are mixed down to two)
};

class Decoder {
public:
    virtual ~Decoder() = default;

    const PcmFormat& format() const { return format_; }
    // Decodes up to out.size() / channels frames into out; returns the frames written, 0 at the
    // end (a repeating decoder never ends).
    virtual size_t read(std::span<int16_t> out) = 0;
    // Starts again from the beginning; false when the file cannot be read again.
    virtual bool rewind() = 0;

protected:
    PcmFormat format_;
};

// A whole sample in memory.
struct PcmSample {
    PcmFormat format;
    std::vector<int16_t> samples;  // interleaved, frames * channels values
};

// Sampled audio libsndfile reads (WAV, FLAC, Ogg Vorbis, Opus, MP3 and the rest it knows), or
// null when the file is missing or is not such audio.
std::unique_ptr<Decoder> openAudioFile(const std::filesystem::path& path);
// The whole file decoded; nothing when it cannot be opened, holds no frames, or ends before the
// frames its header promises.
std::optional<PcmSample> loadAudioFile(const std::filesystem::path& path);
// A tracker module (MOD, S3M, XM, IT and the other formats libopenmpt knows) rendered in stereo
// at `rate`; with `repeat` it plays forever, honouring the module's own restart position.
std::unique_ptr<Decoder> openTrackerModule(const std::filesystem::path& path, int32_t rate,
                                           bool repeat);
// A standard MIDI file rendered in stereo at `rate` with the General MIDI sound font; null
// without a sound font or when the file is not MIDI.
std::unique_ptr<Decoder> openMidiFile(const std::filesystem::path& path, int32_t rate, bool repeat);
// Whether MIDI files play here: FluidSynth loads and a General MIDI sound font is installed.
bool midiFilesPlayable();
// The General MIDI sound font to use: the largest of the installed ones, or empty.
std::filesystem::path generalMidiSoundFont();

}  // namespace tx::sound
