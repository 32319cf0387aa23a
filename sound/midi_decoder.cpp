// Standard MIDI files played by FluidSynth's player and rendered by its synthesizer in 16-bit
// stereo. Rendering drives the player (its clock counts samples), so a song plays as fast as it
// is read and needs no audio driver.
#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#include "decoder.h"
#include "fluid_library.h"

namespace tx::sound {

namespace {

// Deleters through the loaded library.
template <auto Member>
struct FluidDeleter {
    template <typename T>
    void operator()(T* object) const {
        (FluidLibrary::get()->*Member)(object);
    }
};
using SettingsPtr = std::unique_ptr<fluid_settings_t, FluidDeleter<&FluidLibrary::deleteSettings>>;
using SynthPtr = std::unique_ptr<fluid_synth_t, FluidDeleter<&FluidLibrary::deleteSynth>>;
using PlayerPtr = std::unique_ptr<fluid_player_t, FluidDeleter<&FluidLibrary::deletePlayer>>;

// A note's release may ring on after the song's last event, up to this long.
constexpr double kMaxTailSeconds = 3.0;
// FluidSynth counts frames in an int; larger reads are served a block of this many at a time.
constexpr size_t kMaxBlockFrames = size_t{1} << 16;

std::vector<char> readWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t bigEndian(const std::vector<char>& bytes, size_t at, int count) {
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
    return value;
}

// A MIDI file whose header is sound and whose track chunks are all there in full; FluidSynth's
// player would otherwise skip a cut or broken file silently while playing.
bool isWholeMidiFile(const std::vector<char>& bytes) {
    if (bytes.size() < 14 || std::memcmp(bytes.data(), "MThd", 4) != 0) return false;
    const uint32_t headerLength = bigEndian(bytes, 4, 4);
    const uint32_t tracks = bigEndian(bytes, 10, 2);
    if (headerLength < 6 || headerLength > bytes.size() - 8 || tracks == 0 ||
        bigEndian(bytes, 12, 2) == 0) {
        return false;
    }
    size_t at = 8 + headerLength;
    uint32_t found = 0;
    while (found < tracks && bytes.size() - at >= 8) {
        const uint32_t length = bigEndian(bytes, at + 4, 4);
        if (length > bytes.size() - at - 8) return false;
        if (std::memcmp(bytes.data() + at, "MTrk", 4) == 0) ++found;
        at += 8 + length;
    }
    return found == tracks;
}

class MidiDecoder final : public Decoder {
public:
    MidiDecoder(const FluidLibrary& fluid, SettingsPtr settings, std::filesystem::path font,
                std::vector<char> song, int32_t rate, bool repeat)
        : fluid_(&fluid),
          settings_(std::move(settings)),
          font_(std::move(font)),
          song_(std::move(song)),
          repeat_(repeat) {
        format_ = {rate, 2};
    }

    // A synthesizer and player of their own for each run through the song, so a rewound song
    // sounds exactly as it did the first time (no voice or reverb left over).
    bool start() {
        player_.reset();
        synth_.reset(fluid_->newSynth(settings_.get()));
        tailFrames_ = 0;
        if (!synth_ || fluid_->loadSoundFont(synth_.get(), font_.c_str(), 1) == FLUID_FAILED) {
            synth_.reset();
            return false;
        }
        player_.reset(fluid_->newPlayer(synth_.get()));
        return player_ && fluid_->addSong(player_.get(), song_.data(), song_.size()) == FLUID_OK &&
               fluid_->setLoop(player_.get(), repeat_ ? -1 : 1) == FLUID_OK &&
               fluid_->play(player_.get()) == FLUID_OK;
    }

    size_t read(std::span<int16_t> out) override {
        const size_t frames = std::min<size_t>(out.size() / 2, kMaxBlockFrames);
        if (frames == 0 || !player_) return 0;
        if (songIsOver()) {
            // The song is over: what still rings plays out, then the decoder ends.
            if (fluid_->activeVoices(synth_.get()) == 0 ||
                tailFrames_ >= static_cast<size_t>(kMaxTailSeconds * format_.rate)) {
                return 0;
            }
            tailFrames_ += frames;
        }
        if (fluid_->writeS16(synth_.get(), static_cast<int>(frames), out.data(), 0, 2, out.data(),
                             1, 2) != FLUID_OK) {
            return 0;
        }
        return frames;
    }

    bool rewind() override { return start(); }

private:
    // The player reports the end only seconds after the last event; the ticks tell it at once.
    bool songIsOver() {
        fluid_player_t* player = player_.get();
        if (fluid_->status(player) == FLUID_PLAYER_DONE) return true;
        const int total = fluid_->totalTicks(player);
        return !repeat_ && total > 0 && fluid_->currentTick(player) >= total;
    }

    const FluidLibrary* fluid_;
    SettingsPtr settings_;
    std::filesystem::path font_;
    std::vector<char> song_;
    bool repeat_;
    SynthPtr synth_;    // after the settings it reads, so destroyed before them
    PlayerPtr player_;  // destroyed before the synthesizer it drives
    size_t tailFrames_ = 0;
};

}  // namespace

bool midiFilesPlayable() {
    return FluidLibrary::get() != nullptr && !generalMidiSoundFont().empty();
}

std::unique_ptr<Decoder> openMidiFile(const std::filesystem::path& path, int32_t rate,
                                      bool repeat) {
    // FluidSynth synthesizes at 8 to 96 kHz.
    if (rate < 8000 || rate > 96000) return nullptr;
    std::vector<char> song = readWholeFile(path);
    if (!isWholeMidiFile(song)) return nullptr;
    const std::filesystem::path font = generalMidiSoundFont();
    if (font.empty()) return nullptr;

    const FluidLibrary* fluid = FluidLibrary::get();
    if (fluid == nullptr) return nullptr;
    SettingsPtr settings(fluid->newSettings());
    if (!settings) return nullptr;
    fluid->setNumber(settings.get(), "synth.sample-rate", rate);
    fluid->setString(settings.get(), "player.timing-source", "sample");
    fluid->setInteger(settings.get(), "synth.lock-memory", 0);
    // Loud enough for a lone instrument; FluidSynth's own default (0.2) is for dense songs.
    fluid->setNumber(settings.get(), "synth.gain", 0.5);
    auto decoder = std::make_unique<MidiDecoder>(*fluid, std::move(settings), font, std::move(song),
                                                 rate, repeat);
    if (!decoder->start()) return nullptr;
    return decoder;
}

}  // namespace tx::sound
