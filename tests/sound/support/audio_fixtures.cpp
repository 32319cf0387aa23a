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

void writeTone(const fs::path& path, double hz, double seconds, int channels) {
    SF_INFO info{};
    info.format = formatFor(path);
    info.channels = channels;
    info.samplerate = (info.format & SF_FORMAT_SUBMASK) == SF_FORMAT_OPUS ? 48000 : 44100;
    std::unique_ptr<SNDFILE, SndfileCloser> file(sf_open(path.c_str(), SFM_WRITE, &info));
    if (!file) throw std::runtime_error(std::string("cannot write tone: ") + sf_strerror(nullptr));
    const auto frames = std::llround(seconds * info.samplerate);
    std::vector<float> pcm(static_cast<size_t>(frames * channels));
    for (size_t f = 0; f < pcm.size() / channels; ++f) {
        const double t = static_cast<double>(f) / info.samplerate;
        const auto x = static_cast<float>(0.5 * std::sin(2 * std::numbers::pi * hz * t));
        std::fill_n(pcm.begin() + f * channels, channels, x);
    }
    if (sf_writef_float(file.get(), pcm.data(), frames) != frames)
        throw std::runtime_error("short write to " + path.string());
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

// The YIN estimator: the lag whose cumulative-mean-normalized difference first dips under a
// threshold is the period (robust to strong harmonics), refined between samples by a parabola;
// without such a dip there is no clear period.
double Capture::frequency(int channel, size_t from, size_t to) const {
    to = std::min(to, frames());
    if (from >= to || channel < 0 || channel >= channels || rate <= 0) return 0;
    const size_t available = to - from;
    const size_t minLag = std::max<size_t>(2, rate / 5000);
    const size_t maxLag = std::min<size_t>(rate / 30, available / 2);
    if (maxLag <= minLag + 2) return 0;
    const size_t window = std::min<size_t>(available - maxLag - 1, rate / 4);
    const auto x = [&](size_t i) { return double{samples[(from + i) * channels + channel]}; };
    std::vector<double> d(maxLag + 2, 1.0);
    double running = 0;
    for (size_t lag = 1; lag <= maxLag + 1; ++lag) {
        double sum = 0;
        for (size_t j = 0; j < window; ++j) {
            const double diff = x(j) - x(j + lag);
            sum += diff * diff;
        }
        running += sum;
        d[lag] = running > 0 ? sum * static_cast<double>(lag) / running : 1.0;
    }
    for (size_t lag = minLag; lag <= maxLag; ++lag) {
        if (d[lag] >= 0.15) continue;
        while (lag + 1 <= maxLag && d[lag + 1] < d[lag]) ++lag;
        const double a = d[lag - 1], b = d[lag], c = d[lag + 1], bend = a - 2 * b + c;
        const double shift = bend > 0 ? std::clamp(0.5 * (a - c) / bend, -0.5, 0.5) : 0.0;
        return rate / (static_cast<double>(lag) + shift);
    }
    return 0;
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
