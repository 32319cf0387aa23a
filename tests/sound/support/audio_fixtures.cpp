#include "audio_fixtures.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <stdexcept>
#include <string>

namespace tx::test {

namespace fs = std::filesystem;

namespace {

struct SndfileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};

int formatFor(const fs::path& path) {
    const std::string ext = path.extension().string();
    if (ext == ".wav") return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    if (ext == ".flac") return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    if (ext == ".ogg") return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    if (ext == ".opus") return SF_FORMAT_OGG | SF_FORMAT_OPUS;
    if (ext == ".mp3") return SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    throw std::runtime_error("no tone format for " + path.string());
}

}  // namespace

void writeTone(const fs::path& path, double hz, double seconds, int channels, int rate,
               double amplitude) {
    SF_INFO info{};
    info.format = formatFor(path);
    info.channels = channels;
    info.samplerate = (info.format & SF_FORMAT_SUBMASK) == SF_FORMAT_OPUS ? 48000 : rate;
    if (!sf_format_check(&info))
        throw std::runtime_error("libsndfile cannot write " + path.string());
    std::unique_ptr<SNDFILE, SndfileCloser> file(sf_open(path.c_str(), SFM_WRITE, &info));
    if (!file) throw std::runtime_error(std::string("cannot write tone: ") + sf_strerror(nullptr));
    const auto frames = static_cast<size_t>(std::llround(seconds * info.samplerate));
    std::vector<float> block;
    for (size_t done = 0; done < frames;) {
        const size_t count = std::min<size_t>(4096, frames - done);
        block.resize(count * channels);
        for (size_t f = 0; f < count; ++f) {
            const double t = static_cast<double>(done + f) / info.samplerate;
            const auto x = static_cast<float>(amplitude * std::sin(2 * std::numbers::pi * hz * t));
            std::fill_n(block.begin() + f * channels, channels, x);
        }
        if (sf_writef_float(file.get(), block.data(), static_cast<sf_count_t>(count)) !=
            static_cast<sf_count_t>(count)) {
            throw std::runtime_error("short write to " + path.string());
        }
        done += count;
    }
}

double midiNoteHz(int note) {
    return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

double Capture::rms(int channel, size_t from, size_t to) const {
    to = std::min(to, frames());
    if (from >= to || channel < 0 || channel >= channels) return 0;
    double sum = 0;
    for (size_t f = from; f < to; ++f) {
        const double x = samples[f * channels + channel];
        sum += x * x;
    }
    return std::sqrt(sum / static_cast<double>(to - from));
}

// The mean period between the first and the last rising zero crossing, each interpolated
// between samples; after a crossing the signal must fall below -rms/2 before the next counts,
// so harmonics that cross zero within a cycle are not taken for cycles.
double Capture::frequency(int channel, size_t from, size_t to) const {
    to = std::min(to, frames());
    const double hysteresis = rms(channel, from, to) / 2;
    double first = 0, last = 0;
    int crossings = 0;
    bool armed = false;
    for (size_t f = from + 1; f < to; ++f) {
        const double a = samples[(f - 1) * channels + channel], b = samples[f * channels + channel];
        armed = armed || b < -hysteresis;
        if (!armed || a >= 0 || b < 0) continue;
        last = static_cast<double>(f - 1) + a / (a - b);
        if (crossings++ == 0) first = last;
        armed = false;
    }
    return crossings > 1 ? rate * (crossings - 1) / (last - first) : 0;
}

size_t Capture::longestSilence(size_t from, size_t to, double threshold) const {
    to = std::min(to, frames());
    size_t longest = 0, run = 0;
    for (size_t f = from; f < to; ++f) {
        const float* frame = samples.data() + f * channels;
        const bool quiet =
            std::all_of(frame, frame + channels, [&](float x) { return std::abs(x) < threshold; });
        run = quiet ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

Capture readCapture(const fs::path& path) {
    SF_INFO info{};
    std::unique_ptr<SNDFILE, SndfileCloser> file(sf_open(path.c_str(), SFM_READ, &info));
    if (!file) throw std::runtime_error(path.string() + ": " + sf_strerror(nullptr));
    Capture capture{info.samplerate, info.channels,
                    std::vector<float>(static_cast<size_t>(info.frames * info.channels))};
    capture.samples.resize(
        static_cast<size_t>(sf_readf_float(file.get(), capture.samples.data(), info.frames)) *
        info.channels);
    return capture;
}

Capture captureFromPcm(int rate, int channels, std::span<const int16_t> pcm) {
    Capture capture{rate, channels, std::vector<float>(pcm.size())};
    std::transform(pcm.begin(), pcm.end(), capture.samples.begin(),
                   [](int16_t x) { return x / 32768.0f; });
    return capture;
}

}  // namespace tx::test
