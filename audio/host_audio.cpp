#include "host_audio.h"

#include <algorithm>
#include <cmath>

namespace tx {

int32_t engineVolume(float volume) {
    const float units = volume * 255.0f;
    return std::isnan(units) ? 0 : static_cast<int32_t>(std::clamp(units, 0.0f, 255.0f));
}

int32_t enginePan(float pan) {
    const float units = (pan + 1.0f) * 127.5f;
    return std::isnan(units) ? 127 : static_cast<int32_t>(std::clamp(units, 0.0f, 255.0f));
}

HostSound::HostSound(sound::SoundEngine& engine, sound::Sample* sample)
    : engine_(engine), sample_(sample), defaults_(engine.sampleDefaults(sample)) {}

HostSound::~HostSound() {
    engine_.freeSample(sample_);
}

void HostSound::setLoop(bool loop) {
    engine_.setSampleLoopMode(sample_, loop ? sound::kLoopNormal : sound::kLoopOff);
}

void HostSound::setPitch(int32_t hz) {
    defaults_.frequency = hz;
    defaultsClean_ = false;
}

void HostSound::setVolume(float volume) {
    defaults_.volume = engineVolume(volume);
    defaultsClean_ = false;
}

void HostSound::setPan(float pan) {
    defaults_.pan = enginePan(pan);
    defaultsClean_ = false;
}

int32_t HostSound::playOnEngine() {
    if (!defaultsClean_) {
        engine_.setSampleDefaults(sample_, defaults_);
        defaultsClean_ = true;
    }
    return engine_.playSample(sound::SoundEngine::kAnyChannel, sample_);
}

HostAudio::HostAudio(std::unique_ptr<sound::SoundEngine> engine) : engine_(std::move(engine)) {
    cdChannel_ = static_cast<CdChannel*>(&adopt(std::make_unique<CdChannel>(*engine_)));
}

HostAudio::~HostAudio() {
    while (!allChannels_.empty()) {
        channelHandles_.remove(allChannels_.back()->handle);
        allChannels_.pop_back();
    }
    sounds_.clear();
}

HostChannel& HostAudio::adopt(std::unique_ptr<HostChannel> channel) {
    channel->handle = channelHandles_.insert(channel.get());
    return *allChannels_.emplace_back(std::move(channel));
}

uint32_t HostAudio::loadSound(std::string_view file, bool flag) {
    sound::Sample* sample =
        engine_->loadSample(sound::SoundEngine::kAnyChannel, std::string(file), flag ? 41 : 8233);
    if (sample == nullptr) return 0;
    return sounds_.insert(std::make_unique<HostSound>(*engine_, sample));
}

void HostAudio::freeSound(uint32_t sound) {
    sounds_.erase(sound);
}

uint32_t HostAudio::play(HostSound& sound) {
    // The channel to reuse is chosen before the sound starts: afterwards the channel whose
    // engine channel the new sound took would read as playing, and every PlaySound after a
    // sound ended would make another channel, without end.
    auto reusable = std::ranges::find_if(soundChannels_,
                                         [](const SoundChannel* c) { return !c->isPlaying(); });
    const int32_t index = sound.playOnEngine();
    if (index < 0) return 0;
    if (reusable != soundChannels_.end()) {
        (*reusable)->index = index;
        return (*reusable)->handle;
    }
    auto channel = std::make_unique<SoundChannel>(*engine_, index);
    soundChannels_.push_back(channel.get());
    return adopt(std::move(channel)).handle;
}

uint32_t HostAudio::playMusic(std::string_view file, int32_t flag) {
    if (auto known = musicByName_.find(file); known != musicByName_.end()) {
        known->second->restart();
        return known->second->handle;
    }
    std::unique_ptr<HostChannel> channel;
    constexpr std::string_view kStreamed[] = {".raw", ".wav", ".mp2", ".mp3", ".wma", ".asf"};
    const bool streamed = std::ranges::any_of(kStreamed, [file](std::string_view ext) {
        return file.find(ext) != std::string_view::npos;
    });
    if (streamed) {
        sound::Stream* stream = engine_->openStream(std::string(file), flag);
        if (stream == nullptr) return 0;
        channel = std::make_unique<StreamChannel>(*engine_, stream);
    } else {
        sound::Song* song = engine_->loadSong(std::string(file));
        if (song == nullptr) return 0;
        channel = std::make_unique<MusicChannel>(*engine_, song);
    }
    HostChannel& adopted = adopt(std::move(channel));
    musicByName_.emplace(std::string(file), &adopted);
    return adopted.handle;
}

uint32_t HostAudio::playCDTrack(int32_t track, int32_t mode) {
    cdChannel_->stop();
    engine_->setCDPlayMode(mode == 2 ? 2 : mode == 3 ? 0 : 1);
    engine_->cdPlay(track);
    return cdChannel_->handle;
}

}  // namespace tx
