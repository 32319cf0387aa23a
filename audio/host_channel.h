// Channel handles: what a program controls a playing sound, stream, song or the CD through.
// Channel objects live until the audio driver closes; a sound channel whose sound has ended is
// handed out again by a later PlaySound, so an old handle may then control the newer sound.
#pragma once

#include <cstdint>

#include "handle.h"
#include "sound_engine.h"

namespace tx {

// Program values to engine units, truncated toward zero and clamped to 0..255 (NaN gives 0).
int32_t engineVolume(float volume);  // 0.0 silent .. 1.0 full
int32_t enginePan(float pan);        // -1.0 left, 0.0 centre, +1.0 right

class HostChannel {
public:
    explicit HostChannel(sound::SoundEngine& engine) : engine_(engine) {}
    virtual ~HostChannel() = default;
    HostChannel(const HostChannel&) = delete;
    HostChannel& operator=(const HostChannel&) = delete;

    virtual void stop() = 0;
    virtual void setPaused(bool paused) = 0;
    virtual void setPitch(int32_t /*hz*/) {}
    virtual void setVolume(float /*volume*/) {}
    virtual void setPan(float /*pan*/) {}
    virtual bool isPlaying() const = 0;
    // Plays a stream or song again from its beginning.
    virtual void restart() {}

    uint32_t handle = 0;  // its handle, for as long as the driver lives

protected:
    sound::SoundEngine& engine_;
};

template <>
struct HandleKind<HostChannel> {
    // Channel handles are never checked: a bad one names nothing and the command does nothing.
    static constexpr HandleKindInfo info{"Channel", handle_kind::kChannel, nullptr};
    static HostChannel* find(uint32_t handle);
};

// A sample playing on one of the engine's channels.
class SoundChannel final : public HostChannel {
public:
    SoundChannel(sound::SoundEngine& engine, int32_t index) : HostChannel(engine), index(index) {}
    void stop() override { engine_.stopChannel(index); }
    void setPaused(bool paused) override { engine_.setChannelPaused(index, paused); }
    void setPitch(int32_t hz) override { engine_.setChannelFrequency(index, hz); }
    void setVolume(float volume) override { engine_.setChannelVolume(index, engineVolume(volume)); }
    void setPan(float pan) override { engine_.setChannelPan(index, enginePan(pan)); }
    bool isPlaying() const override { return engine_.isChannelPlaying(index); }

    int32_t index;
};

// A stream, on whichever channel it was last started on (-1 once stopped). Closes its stream.
class StreamChannel final : public HostChannel {
public:
    StreamChannel(sound::SoundEngine& engine, sound::Stream* stream)
        : HostChannel(engine), stream_(stream), index_(engine.playStream(-1, stream)) {}
    ~StreamChannel() override { engine_.closeStream(stream_); }
    void stop() override {
        engine_.stopStream(stream_);
        index_ = -1;
    }
    void setPaused(bool paused) override { engine_.setStreamPaused(stream_, paused); }
    void setPitch(int32_t hz) override { engine_.setChannelFrequency(index_, hz); }
    void setVolume(float volume) override {
        engine_.setChannelVolume(index_, engineVolume(volume));
    }
    void setPan(float pan) override { engine_.setChannelPan(index_, enginePan(pan)); }
    bool isPlaying() const override { return engine_.isChannelPlaying(index_); }
    void restart() override {
        stop();
        index_ = engine_.playStream(-1, stream_);
    }

private:
    sound::Stream* stream_;
    int32_t index_;
};

// A song, played as soon as it is made. Frees its song.
class MusicChannel final : public HostChannel {
public:
    MusicChannel(sound::SoundEngine& engine, sound::Song* song) : HostChannel(engine), song_(song) {
        engine.playSong(song);
    }
    ~MusicChannel() override { engine_.freeSong(song_); }
    void stop() override { engine_.stopSong(song_); }
    void setPaused(bool paused) override { engine_.setSongPaused(song_, paused); }
    void setVolume(float volume) override { engine_.setSongVolume(song_, engineVolume(volume)); }
    bool isPlaying() const override { return engine_.isSongPlaying(song_); }
    void restart() override { engine_.playSong(song_); }

private:
    sound::Song* song_;
};

// The CD drive: one for the driver's life, always reported as playing.
class CdChannel final : public HostChannel {
public:
    using HostChannel::HostChannel;
    void stop() override { engine_.cdStop(); }
    void setPaused(bool paused) override { engine_.cdSetPaused(paused); }
    void setVolume(float volume) override { engine_.cdSetVolume(engineVolume(volume)); }
    bool isPlaying() const override { return true; }
};

}  // namespace tx
