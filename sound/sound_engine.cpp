#include "sound_engine.h"

#include <AL/al.h>
#include <AL/alext.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "al_output.h"
#include "decoder.h"
#include "feed.h"

namespace tx::sound {

struct Sample {
    AlBuffer buffer;
    int32_t channels = 1;
    int32_t rate = 44100;  // of the decoded file
    SampleDefaults defaults;
    int32_t loopMode = kLoopOff;
};

struct Stream {
    explicit Stream(std::unique_ptr<Decoder> decoder) : feed(std::move(decoder)) {}
    Feed feed;
    int32_t channel = -1;  // while it holds one
};

struct Song {
    explicit Song(std::unique_ptr<Decoder> decoder) : feed(std::move(decoder)) {}
    AlSource source;
    Feed feed;
};

namespace {

// How often the engine thread refills buffers (and mixes, for the silent output).
constexpr auto kServicePeriod = std::chrono::milliseconds(10);

float gainOf(int32_t volume) {
    return static_cast<float>(std::clamp(volume, 0, 255)) / 255.0f;
}

// Pan 0..255 to -1..+1 with 127 at the centre, placed on a half circle in front of the listener:
// -1 far left, +1 far right.
void placeByPan(ALuint source, int32_t pan) {
    const int32_t clamped = std::clamp(pan, 0, 255);
    const float p = clamped < 127 ? (clamped - 127) / 127.0f : (clamped - 127) / 128.0f;
    const float angle = p * std::numbers::pi_v<float> / 2;
    alSource3f(source, AL_POSITION, std::sin(angle), 0.0f, -std::cos(angle));
}

void setPitch(ALuint source, int32_t hz, int32_t rate) {
    const float pitch = static_cast<float>(std::max(hz, 0)) / static_cast<float>(rate);
    alSourcef(source, AL_PITCH, std::min(pitch, 255.0f));
}

template <typename T>
void eraseOwned(std::vector<std::unique_ptr<T>>& owned, const T* object) {
    std::erase_if(owned, [object](const std::unique_ptr<T>& p) { return p.get() == object; });
}

}  // namespace

std::unique_ptr<SoundEngine> SoundEngine::open(int32_t mixRate, int32_t channelCount) {
    std::unique_ptr<AlOutput> output = AlOutput::open(mixRate);
    if (output == nullptr) return nullptr;
    return std::unique_ptr<SoundEngine>(new SoundEngine(std::move(output), channelCount));
}

SoundEngine::SoundEngine(std::unique_ptr<AlOutput> output, int32_t channelCount)
    : output_(std::move(output)), channels_(static_cast<size_t>(std::max(channelCount, 0))) {
    for (Channel& channel : channels_) alSourcei(channel.source.get(), AL_SOURCE_RELATIVE, AL_TRUE);
    thread_ = std::thread([this] { serve(); });
}

SoundEngine::~SoundEngine() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
    // Streams and songs first: they hold buffers queued on sources; then the sources, which
    // hold the samples' buffers; the output last.
    songs_.clear();
    streams_.clear();
    for (Channel& channel : channels_) {
        alSourceStop(channel.source.get());
        alSourcei(channel.source.get(), AL_BUFFER, 0);
    }
    channels_.clear();
    samples_.clear();
}

void SoundEngine::serve() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        for (const auto& stream : streams_) stream->feed.service();
        for (const auto& song : songs_) song->feed.service();
        lock.unlock();
        output_->keepTime();
        lock.lock();
        wake_.wait_for(lock, kServicePeriod, [this] { return stopping_; });
    }
}

bool SoundEngine::silent() const {
    return output_->silent();
}

SoundEngine::Channel* SoundEngine::channelAt(int32_t channel) {
    return channel >= 0 && static_cast<size_t>(channel) < channels_.size() ? &channels_[channel]
                                                                           : nullptr;
}

const SoundEngine::Channel* SoundEngine::channelAt(int32_t channel) const {
    return const_cast<SoundEngine*>(this)->channelAt(channel);
}

bool SoundEngine::busy(const Channel& channel) const {
    if (channel.stream != nullptr && channel.stream->feed.active()) return true;
    ALint state = 0;
    alGetSourcei(channel.source.get(), AL_SOURCE_STATE, &state);
    return state == AL_PLAYING || state == AL_PAUSED;
}

SoundEngine::Channel* SoundEngine::claimChannel(int32_t channel) {
    Channel* claimed = nullptr;
    if (channel == kAnyChannel) {
        for (Channel& candidate : channels_)
            if (!busy(candidate)) {
                claimed = &candidate;
                break;
            }
    } else {
        claimed = channelAt(channel);
    }
    if (claimed == nullptr) return nullptr;
    if (Stream* previous = std::exchange(claimed->stream, nullptr)) {
        // A stream that ended lets go of its channel; a playing one is stopped.
        previous->feed.stop();
        previous->channel = -1;
    }
    return claimed;
}

// Samples.

Sample* SoundEngine::loadSample(int32_t /*channel*/, const std::filesystem::path& file,
                                uint32_t flags) {
    std::optional<PcmSample> pcm = loadAudioFile(file);
    if (!pcm) return nullptr;
    auto sample = std::make_unique<Sample>();
    alGetError();
    alBufferData(sample->buffer.get(),
                 pcm->format.channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16,
                 pcm->samples.data(), static_cast<ALsizei>(pcm->samples.size() * sizeof(int16_t)),
                 pcm->format.rate);
    if (alGetError() != AL_NO_ERROR) return nullptr;
    sample->channels = pcm->format.channels;
    sample->rate = pcm->format.rate;
    sample->defaults.frequency = pcm->format.rate;
    sample->loopMode =
        (flags & kLoopNormal) != 0 && (flags & kLoopOff) == 0 ? kLoopNormal : kLoopOff;
    std::lock_guard lock(mutex_);
    return samples_.emplace_back(std::move(sample)).get();
}

SampleDefaults SoundEngine::sampleDefaults(const Sample* sample) const {
    return sample->defaults;
}

void SoundEngine::setSampleDefaults(Sample* sample, const SampleDefaults& defaults) {
    sample->defaults = defaults;
}

void SoundEngine::setSampleLoopMode(Sample* sample, int32_t mode) {
    sample->loopMode = mode == kLoopNormal ? kLoopNormal : kLoopOff;
}

void SoundEngine::freeSample(Sample* sample) {
    for (Channel& channel : channels_) {
        ALint buffer = 0;
        alGetSourcei(channel.source.get(), AL_BUFFER, &buffer);
        if (channel.stream == nullptr && static_cast<ALuint>(buffer) == sample->buffer.get()) {
            alSourceStop(channel.source.get());
            alSourcei(channel.source.get(), AL_BUFFER, 0);
        }
    }
    std::lock_guard lock(mutex_);
    eraseOwned(samples_, sample);
}

int32_t SoundEngine::playSample(int32_t channel, Sample* sample) {
    std::lock_guard lock(mutex_);
    Channel* target = claimChannel(channel);
    if (target == nullptr) return -1;
    const ALuint source = target->source.get();
    const SampleDefaults& defaults = sample->defaults;
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, static_cast<ALint>(sample->buffer.get()));
    alSourcei(source, AL_LOOPING, sample->loopMode == kLoopNormal ? AL_TRUE : AL_FALSE);
    alSourcei(source, AL_DIRECT_CHANNELS_SOFT, sample->channels == 2 ? AL_TRUE : AL_FALSE);
    alSourcef(source, AL_GAIN, gainOf(defaults.volume));
    placeByPan(source, defaults.pan);
    target->rate = sample->rate;
    setPitch(source, defaults.frequency, sample->rate);
    alSourcePlay(source);
    return static_cast<int32_t>(target - channels_.data());
}

// Channels.

void SoundEngine::stopChannel(int32_t channel) {
    std::lock_guard lock(mutex_);
    Channel* target = channelAt(channel);
    if (target == nullptr) return;
    if (target->stream != nullptr)
        target->stream->feed.stop();
    else
        alSourceStop(target->source.get());
}

void SoundEngine::setChannelPaused(int32_t channel, bool paused) {
    std::lock_guard lock(mutex_);
    Channel* target = channelAt(channel);
    if (target == nullptr) return;
    if (target->stream != nullptr) {
        target->stream->feed.setPaused(paused);
        return;
    }
    ALint state = 0;
    alGetSourcei(target->source.get(), AL_SOURCE_STATE, &state);
    if (paused && state == AL_PLAYING) alSourcePause(target->source.get());
    if (!paused && state == AL_PAUSED) alSourcePlay(target->source.get());
}

void SoundEngine::setChannelFrequency(int32_t channel, int32_t hz) {
    if (Channel* target = channelAt(channel)) setPitch(target->source.get(), hz, target->rate);
}

void SoundEngine::setChannelVolume(int32_t channel, int32_t volume) {
    if (Channel* target = channelAt(channel))
        alSourcef(target->source.get(), AL_GAIN, gainOf(volume));
}

void SoundEngine::setChannelPan(int32_t channel, int32_t pan) {
    if (Channel* target = channelAt(channel)) placeByPan(target->source.get(), pan);
}

bool SoundEngine::isChannelPlaying(int32_t channel) const {
    std::lock_guard lock(mutex_);
    const Channel* target = channelAt(channel);
    return target != nullptr && busy(*target);
}

// Streams.

Stream* SoundEngine::openStream(const std::filesystem::path& file, int32_t /*mode*/) {
    std::unique_ptr<Decoder> decoder = openAudioFile(file);
    if (decoder == nullptr) return nullptr;
    auto stream = std::make_unique<Stream>(std::move(decoder));
    std::lock_guard lock(mutex_);
    return streams_.emplace_back(std::move(stream)).get();
}

int32_t SoundEngine::playStream(int32_t channel, Stream* stream) {
    std::lock_guard lock(mutex_);
    if (Channel* held = channelAt(stream->channel)) held->stream = nullptr;
    stream->feed.stop();
    stream->channel = -1;
    Channel* target = claimChannel(channel);
    if (target == nullptr) return -1;
    const ALuint source = target->source.get();
    alSourcef(source, AL_GAIN, 1.0f);
    alSourcef(source, AL_PITCH, 1.0f);
    placeByPan(source, 127);
    target->stream = stream;
    target->rate = stream->feed.format().rate;
    stream->channel = static_cast<int32_t>(target - channels_.data());
    stream->feed.start(source);
    return stream->channel;
}

void SoundEngine::stopStream(Stream* stream) {
    std::lock_guard lock(mutex_);
    stream->feed.stop();
}

void SoundEngine::setStreamPaused(Stream* stream, bool paused) {
    std::lock_guard lock(mutex_);
    stream->feed.setPaused(paused);
}

void SoundEngine::closeStream(Stream* stream) {
    std::lock_guard lock(mutex_);
    if (Channel* held = channelAt(stream->channel); held != nullptr && held->stream == stream)
        held->stream = nullptr;
    eraseOwned(streams_, stream);
}

// Songs.

Song* SoundEngine::loadSong(const std::filesystem::path& file) {
    constexpr int32_t kSongRate = 44100;
    std::unique_ptr<Decoder> decoder = openMidiFile(file, kSongRate, true);
    if (decoder == nullptr) decoder = openTrackerModule(file, kSongRate, true);
    if (decoder == nullptr) decoder = openAudioFile(file);
    if (decoder == nullptr) return nullptr;
    auto song = std::make_unique<Song>(std::move(decoder));
    const ALuint source = song->source.get();
    alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
    placeByPan(source, 127);
    std::lock_guard lock(mutex_);
    return songs_.emplace_back(std::move(song)).get();
}

void SoundEngine::playSong(Song* song) {
    std::lock_guard lock(mutex_);
    song->feed.start(song->source.get());
}

void SoundEngine::stopSong(Song* song) {
    std::lock_guard lock(mutex_);
    song->feed.stop();
}

void SoundEngine::setSongPaused(Song* song, bool paused) {
    std::lock_guard lock(mutex_);
    song->feed.setPaused(paused);
}

void SoundEngine::setSongVolume(Song* song, int32_t volume) {
    alSourcef(song->source.get(), AL_GAIN, gainOf(volume));
}

bool SoundEngine::isSongPlaying(const Song* song) const {
    std::lock_guard lock(mutex_);
    return song->feed.active();
}

void SoundEngine::freeSong(Song* song) {
    std::lock_guard lock(mutex_);
    eraseOwned(songs_, song);
}

// The CD: no drive is driven, so nothing plays.

void SoundEngine::setCDPlayMode(int32_t /*mode*/) {}
void SoundEngine::cdPlay(int32_t /*track*/) {}
void SoundEngine::cdStop() {}
void SoundEngine::cdSetPaused(bool /*paused*/) {}
void SoundEngine::cdSetVolume(int32_t /*volume*/) {}

}  // namespace tx::sound
