// Sampled audio through libsndfile, as 16-bit PCM in at most two channels.
#include <sndfile.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <string_view>

#include "decoder.h"

namespace tx::sound {

namespace {

struct SndfileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndfilePtr = std::unique_ptr<SNDFILE, SndfileCloser>;

struct OpenFile {
    SndfilePtr file;
    SF_INFO info{};
    bool lengthKnown() const { return info.frames != SF_COUNT_MAX; }
};

std::optional<OpenFile> openForReading(const std::filesystem::path& path) {
    OpenFile open;
    open.file.reset(sf_open(path.c_str(), SFM_READ, &open.info));
    if (!open.file || open.info.channels < 1 || open.info.samplerate < 1 || open.info.frames <= 0) {
        return std::nullopt;
    }
    // Decoded floating-point formats can overshoot full scale; clip instead of wrapping.
    sf_command(open.file.get(), SFC_SET_CLIPPING, nullptr, SF_TRUE);
    return open;
}

// Weights that fold any number of channels into left and right, from the file's channel map when
// it has one (centre to both, LFE dropped), else alternately left and right; each side's weights
// add up to one so the mix cannot clip.
class DownMix {
public:
    DownMix(SNDFILE* file, int channels) : channels_(channels), left_(channels), right_(channels) {
        std::vector<int> map(channels, SF_CHANNEL_MAP_INVALID);
        const bool mapped = sf_command(file, SFC_GET_CHANNEL_MAP_INFO, map.data(),
                                       static_cast<int>(map.size() * sizeof(int))) == SF_TRUE;
        for (int c = 0; c < channels; ++c) {
            const auto [l, r] = mapped ? weights(map[c]) : std::pair{-1.0f, -1.0f};
            left_[c] = l >= 0 ? l : (c % 2 == 0 ? 1.0f : 0.0f);
            right_[c] = r >= 0 ? r : (c % 2 == 0 ? 0.0f : 1.0f);
        }
        normalize(left_);
        normalize(right_);
    }

    void apply(const int16_t* in, size_t frames, int16_t* out) const {
        for (size_t f = 0; f < frames; ++f, in += channels_, out += 2) {
            float l = 0, r = 0;
            for (int c = 0; c < channels_; ++c) {
                l += left_[c] * in[c];
                r += right_[c] * in[c];
            }
            out[0] = static_cast<int16_t>(std::clamp(std::lround(l), -32768L, 32767L));
            out[1] = static_cast<int16_t>(std::clamp(std::lround(r), -32768L, 32767L));
        }
    }

    // Reads up to `frames` frames from the file mixed into out; returns the frames read.
    size_t read(SNDFILE* file, int16_t* out, size_t frames) {
        scratch_.resize(kBlockFrames * channels_);
        size_t done = 0;
        while (done < frames) {
            const auto want = static_cast<sf_count_t>(std::min(kBlockFrames, frames - done));
            const sf_count_t got = sf_readf_short(file, scratch_.data(), want);
            if (got <= 0) break;
            apply(scratch_.data(), static_cast<size_t>(got), out + done * 2);
            done += static_cast<size_t>(got);
            if (got < want) break;
        }
        return done;
    }

private:
    static constexpr size_t kBlockFrames = 1024;

    static std::pair<float, float> weights(int position) {
        switch (position) {
            case SF_CHANNEL_MAP_LEFT:
            case SF_CHANNEL_MAP_FRONT_LEFT:
            case SF_CHANNEL_MAP_REAR_LEFT:
            case SF_CHANNEL_MAP_SIDE_LEFT:
            case SF_CHANNEL_MAP_FRONT_LEFT_OF_CENTER:
            case SF_CHANNEL_MAP_TOP_FRONT_LEFT:
            case SF_CHANNEL_MAP_TOP_REAR_LEFT:
                return {1.0f, 0.0f};
            case SF_CHANNEL_MAP_RIGHT:
            case SF_CHANNEL_MAP_FRONT_RIGHT:
            case SF_CHANNEL_MAP_REAR_RIGHT:
            case SF_CHANNEL_MAP_SIDE_RIGHT:
            case SF_CHANNEL_MAP_FRONT_RIGHT_OF_CENTER:
            case SF_CHANNEL_MAP_TOP_FRONT_RIGHT:
            case SF_CHANNEL_MAP_TOP_REAR_RIGHT:
                return {0.0f, 1.0f};
            case SF_CHANNEL_MAP_MONO:
            case SF_CHANNEL_MAP_CENTER:
            case SF_CHANNEL_MAP_REAR_CENTER:
            case SF_CHANNEL_MAP_TOP_CENTER:
            case SF_CHANNEL_MAP_TOP_FRONT_CENTER:
            case SF_CHANNEL_MAP_TOP_REAR_CENTER:
                return {0.7071f, 0.7071f};
            case SF_CHANNEL_MAP_LFE:
                return {0.0f, 0.0f};
            default:
                return {-1.0f, -1.0f};
        }
    }

    static void normalize(std::vector<float>& weights) {
        float sum = 0;
        for (float w : weights) sum += w;
        if (sum > 1.0f) {
            for (float& w : weights) w /= sum;
        }
    }

    int channels_;
    std::vector<float> left_, right_;
    std::vector<int16_t> scratch_;
};

// Up to `frames` frames into out (channels() values each), mixed down when the file has more
// than two channels.
size_t readFrames(SNDFILE* file, DownMix* mix, int16_t* out, size_t frames) {
    if (mix) return mix->read(file, out, frames);
    const sf_count_t got = sf_readf_short(file, out, static_cast<sf_count_t>(frames));
    return got > 0 ? static_cast<size_t>(got) : 0;
}

// libsndfile adapts to a cut file rather than failing, and says so only in its log: a WAV or
// AIFF data chunk longer than what follows it, or an Ogg stream without its closing page.
bool logSaysCutShort(SNDFILE* file) {
    std::array<char, 8192> log{};
    sf_command(file, SFC_GET_LOG_INFO, log.data(), static_cast<int>(log.size()));
    std::string_view rest(log.data());
    while (!rest.empty()) {
        const size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (line.find("ended unexpectedly") != std::string_view::npos) return true;
        if (!line.starts_with("data :") && !line.starts_with("SSND :")) continue;
        const size_t should = line.find("(should be ");
        if (should == std::string_view::npos) continue;
        const unsigned long long stated = std::strtoull(line.data() + 6, nullptr, 10);
        const unsigned long long present = std::strtoull(line.data() + should + 11, nullptr, 10);
        // 0 and 0xFFFFFFFF are what writers that stream leave before they know the size.
        if (stated != 0 && stated != 0xFFFFFFFFull && stated > present) return true;
    }
    return false;
}

class SndfileDecoder final : public Decoder {
public:
    explicit SndfileDecoder(OpenFile open) : file_(std::move(open.file)) {
        format_ = {open.info.samplerate, std::min(open.info.channels, 2)};
        if (open.info.channels > 2) mix_.emplace(file_.get(), open.info.channels);
    }

    size_t read(std::span<int16_t> out) override {
        return readFrames(file_.get(), mix_ ? &*mix_ : nullptr, out.data(),
                          out.size() / format_.channels);
    }

    bool rewind() override { return sf_seek(file_.get(), 0, SEEK_SET) == 0; }

private:
    SndfilePtr file_;
    std::optional<DownMix> mix_;
};

}  // namespace

std::unique_ptr<Decoder> openAudioFile(const std::filesystem::path& path) {
    auto open = openForReading(path);
    if (!open) return nullptr;
    return std::make_unique<SndfileDecoder>(std::move(*open));
}

std::optional<PcmSample> loadAudioFile(const std::filesystem::path& path) {
    auto open = openForReading(path);
    if (!open) return std::nullopt;
    SNDFILE* file = open->file.get();
    std::optional<DownMix> mix;
    if (open->info.channels > 2) mix.emplace(file, open->info.channels);

    PcmSample sample;
    sample.format = {open->info.samplerate, std::min(open->info.channels, 2)};
    const auto channels = static_cast<size_t>(sample.format.channels);
    // A header's count is trusted for one exact allocation up to a sane size; beyond that (or
    // without a count) the buffer grows with what is really decoded, so a lying header cannot
    // make it reserve gigabytes.
    constexpr size_t kMaxUpfrontFrames = size_t{1} << 25;
    const auto promised = static_cast<size_t>(open->info.frames);
    size_t frames = 0;
    if (open->lengthKnown() && promised <= kMaxUpfrontFrames) {
        sample.samples.resize(promised * channels);
        frames = readFrames(file, mix ? &*mix : nullptr, sample.samples.data(), promised);
    } else {
        for (size_t block = size_t{1} << 16;; block = std::min(block * 2, kMaxUpfrontFrames)) {
            sample.samples.resize((frames + block) * channels);
            const size_t got = readFrames(file, mix ? &*mix : nullptr,
                                          sample.samples.data() + frames * channels, block);
            frames += got;
            if (got < block) break;
        }
    }
    if (frames == 0 || (open->lengthKnown() && frames < promised) || logSaysCutShort(file)) {
        return std::nullopt;
    }
    sample.samples.resize(frames * channels);
    return sample;
}

}  // namespace tx::sound
