#include "audio_fixtures.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <initializer_list>
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

void putBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

void putBig(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
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

void writeToneModule(const fs::path& path, double seconds) {
    constexpr int kRowsPerPattern = 64, kChannels = 4, kSampleBytes = 32, kPeriod = 428;
    constexpr int kSample = 1;  // numbered from 1
    const int rows = std::clamp(static_cast<int>(std::ceil(seconds / kToneModuleRowSeconds - 1e-9)),
                                1, 128 * kRowsPerPattern);
    const int patterns = (rows + kRowsPerPattern - 1) / kRowsPerPattern;

    std::vector<uint8_t> mod(20, 0);  // title
    for (int s = 0; s < 31; ++s) {
        mod.insert(mod.end(), 22, 0);  // name
        const bool used = s + 1 == kSample;
        putBig(mod, used ? kSampleBytes / 2 : 0, 2);  // length in words
        mod.push_back(0);                             // finetune
        mod.push_back(used ? 64 : 0);                 // volume
        putBig(mod, 0, 2);                            // loop start in words
        putBig(mod, used ? kSampleBytes / 2 : 1, 2);  // loop length in words (1: no loop)
    }
    mod.push_back(static_cast<uint8_t>(patterns));  // song length
    mod.push_back(0);                               // restart position
    for (int i = 0; i < 128; ++i) mod.push_back(static_cast<uint8_t>(i < patterns ? i : 0));
    mod.insert(mod.end(), {'M', '.', 'K', '.'});

    const size_t patternStart = mod.size();
    mod.resize(patternStart + static_cast<size_t>(patterns) * kRowsPerPattern * kChannels * 4, 0);
    auto cell = [&](int row, int channel) {
        return mod.data() + patternStart + (static_cast<size_t>(row) * kChannels + channel) * 4;
    };
    for (int channel : {0, 1}) {  // Amiga panning: channel 1 left, channel 2 right
        uint8_t* note = cell(0, channel);
        note[0] = static_cast<uint8_t>((kSample & 0xF0) | (kPeriod >> 8));
        note[1] = static_cast<uint8_t>(kPeriod & 0xFF);
        note[2] = static_cast<uint8_t>((kSample & 0x0F) << 4);
    }
    if (rows % kRowsPerPattern != 0) {
        uint8_t* last = cell(rows - 1, 3);  // rows counted across patterns
        last[2] = 0x0D;                     // pattern break: the song ends after this row
    }
    for (int i = 0; i < kSampleBytes; ++i) {
        const double x = std::sin(2 * std::numbers::pi * i / kSampleBytes);
        mod.push_back(static_cast<uint8_t>(static_cast<int8_t>(std::lround(100 * x))));
    }
    putBytes(path, mod);
}

double midiNoteHz(int note) {
    return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

void writeToneMidi(const fs::path& path, int note, double seconds) {
    constexpr uint32_t kTicksPerBeat = 480, kMicrosPerBeat = 500000;  // 120 beats a minute
    const auto ticks =
        static_cast<uint32_t>(std::lround(seconds * 1e6 / kMicrosPerBeat * kTicksPerBeat));
    std::vector<uint8_t> track;
    auto delta = [&](uint32_t value) {  // variable-length quantity
        uint8_t groups[5];
        int count = 0;
        do {
            groups[count++] = value & 0x7F;
            value >>= 7;
        } while (value);
        while (count-- > 0) {
            track.push_back(static_cast<uint8_t>(groups[count] | (count ? 0x80 : 0)));
        }
    };
    auto event = [&](uint32_t ticksBefore, std::initializer_list<uint8_t> bytes) {
        delta(ticksBefore);
        track.insert(track.end(), bytes);
    };
    const auto key = static_cast<uint8_t>(note);
    event(0, {0xFF, 0x51, 0x03, kMicrosPerBeat >> 16, (kMicrosPerBeat >> 8) & 0xFF,
              kMicrosPerBeat & 0xFF});
    event(0, {0xC0, 73});  // program 74, flute, counted from 0
    event(0, {0x90, key, 100});
    event(ticks, {0x80, key, 64});
    event(0, {0xFF, 0x2F, 0x00});

    std::vector<uint8_t> smf = {'M', 'T', 'h', 'd'};
    putBig(smf, 6, 4);
    putBig(smf, 0, 2);  // format 0
    putBig(smf, 1, 2);  // one track
    putBig(smf, kTicksPerBeat, 2);
    smf.insert(smf.end(), {'M', 'T', 'r', 'k'});
    putBig(smf, static_cast<uint32_t>(track.size()), 4);
    smf.insert(smf.end(), track.begin(), track.end());
    putBytes(path, smf);
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
// threshold is the period (robust to strong harmonics), refined between samples by a parabola.
double Capture::frequency(int channel, size_t from, size_t to) const {
    to = std::min(to, frames());
    if (from >= to || channel < 0 || channel >= channels || rate <= 0) return 0;
    const size_t available = to - from;
    const size_t minLag = std::max<size_t>(2, rate / 5000);
    const size_t maxLag = std::min<size_t>(rate / 30, available / 2);
    if (maxLag <= minLag + 2) return 0;
    const size_t window = std::min<size_t>(available - maxLag, rate / 4);
    std::vector<double> x(window + maxLag + 1);
    for (size_t i = 0; i < x.size() && from + i < to; ++i) {
        x[i] = samples[(from + i) * channels + channel];
    }
    std::vector<double> d(maxLag + 2, 1.0);
    double running = 0;
    for (size_t lag = 1; lag <= maxLag + 1 && lag + window <= x.size(); ++lag) {
        double sum = 0;
        for (size_t j = 0; j < window; ++j) {
            const double diff = x[j] - x[j + lag];
            sum += diff * diff;
        }
        running += sum;
        d[lag] = running > 0 ? sum * static_cast<double>(lag) / running : 1.0;
    }
    size_t best = 0;
    for (size_t lag = minLag; lag <= maxLag; ++lag) {
        if (d[lag] < 0.15) {
            while (lag + 1 <= maxLag && d[lag + 1] < d[lag]) ++lag;
            best = lag;
            break;
        }
    }
    if (best == 0) {
        best = static_cast<size_t>(std::min_element(d.begin() + minLag, d.begin() + maxLag + 1) -
                                   d.begin());
        if (d[best] > 0.5) return 0;
    }
    const double a = d[best - 1], b = d[best], c = d[best + 1];
    const double bend = a - 2 * b + c;
    const double shift = bend > 0 ? std::clamp(0.5 * (a - c) / bend, -0.5, 0.5) : 0.0;
    return rate / (static_cast<double>(best) + shift);
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
