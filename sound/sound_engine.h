// The sound engine: samples played on a fixed set of channels, streams decoded as they play,
// songs (tracker modules, MIDI files, any audio file), and the CD operations. OpenAL Soft mixes;
// a thread of the engine's own refills the buffers of streams and songs, so the music keeps
// playing while the program's thread is busy. Every operation is called from the program's
// thread; the engine thread never calls out of the engine.
//
// Units: volume 0..255 (gain), pan 0..255 (0 left, 127 centre, 255 right; mono sounds only),
// frequency in Hz (the playback rate, so a sample's own rate plays it at its pitch). Values
// outside these ranges are clamped.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "al_objects.h"

namespace tx::sound {

class AlOutput;
class Feed;

// A sample's playback defaults, in engine units.
struct SampleDefaults {
    int32_t frequency = 44100;
    int32_t volume = 255;
    int32_t pan = 127;
    int32_t priority = 128;
};

// Loop modes of a sample.
inline constexpr int32_t kLoopOff = 1;
inline constexpr int32_t kLoopNormal = 2;

struct Sample;
struct Stream;
struct Song;

class SoundEngine {
public:
    static constexpr int32_t kAnyChannel = -1;

    // Opens the output at `mixRate` with `channelCount` channels for samples and streams; null
    // when no output can be opened at all.
    static std::unique_ptr<SoundEngine> open(int32_t mixRate, int32_t channelCount);
    ~SoundEngine();
    SoundEngine(const SoundEngine&) = delete;
    SoundEngine& operator=(const SoundEngine&) = delete;

    // Whether the mix is thrown away (no output device).
    bool silent() const;
    int32_t channelCount() const { return static_cast<int32_t>(channels_.size()); }

    // Samples. Load flags: kLoopOff or kLoopNormal set the loop mode (off when neither is set).
    Sample* loadSample(int32_t channel, const std::filesystem::path& file, uint32_t flags);
    SampleDefaults sampleDefaults(const Sample* sample) const;
    void setSampleDefaults(Sample* sample, const SampleDefaults& defaults);
    void setSampleLoopMode(Sample* sample, int32_t mode);
    // Stops the channels playing the sample, then frees it.
    void freeSample(Sample* sample);
    // The channel the sample plays on (the first free one for kAnyChannel); -1 when none is free.
    int32_t playSample(int32_t channel, Sample* sample);

    // Channels; an index outside 0..channelCount-1 is ignored.
    void stopChannel(int32_t channel);
    void setChannelPaused(int32_t channel, bool paused);
    void setChannelFrequency(int32_t channel, int32_t hz);
    void setChannelVolume(int32_t channel, int32_t volume);
    void setChannelPan(int32_t channel, int32_t pan);
    // Playing or paused: a sound not yet ended, or a stream not yet stopped or ended.
    bool isChannelPlaying(int32_t channel) const;

    // Streams: sampled audio decoded while it plays, once through. The mode is not used.
    Stream* openStream(const std::filesystem::path& file, int32_t mode);
    // Plays the stream from its beginning; the channel index, or -1 when none is free.
    int32_t playStream(int32_t channel, Stream* stream);
    void stopStream(Stream* stream);
    void setStreamPaused(Stream* stream, bool paused);
    void closeStream(Stream* stream);

    // Songs: tracker modules and MIDI files, which repeat, or sampled audio, played once. A song
    // plays on a voice of its own, outside the channels.
    Song* loadSong(const std::filesystem::path& file);
    // Plays the song from its beginning.
    void playSong(Song* song);
    void stopSong(Song* song);
    void setSongPaused(Song* song, bool paused);
    void setSongVolume(Song* song, int32_t volume);
    bool isSongPlaying(const Song* song) const;
    void freeSong(Song* song);

    // The CD: audio CDs are not played (no drive is driven), so these do nothing.
    void setCDPlayMode(int32_t mode);
    void cdPlay(int32_t track);
    void cdStop();
    void cdSetPaused(bool paused);
    void cdSetVolume(int32_t volume);

private:
    struct Channel {
        AlSource source;
        int32_t rate = 44100;      // of what it plays: frequency / rate is its pitch
        Stream* stream = nullptr;  // the stream that holds it, if any
    };

    SoundEngine(std::unique_ptr<AlOutput> output, int32_t channelCount);
    void serve();
    Channel* channelAt(int32_t channel);
    const Channel* channelAt(int32_t channel) const;
    // The channel to play on: the requested one, or the first free one; null when none is free.
    Channel* claimChannel(int32_t channel);
    bool busy(const Channel& channel) const;

    std::unique_ptr<AlOutput> output_;
    std::vector<Channel> channels_;
    std::vector<std::unique_ptr<Sample>> samples_;
    std::vector<std::unique_ptr<Stream>> streams_;
    std::vector<std::unique_ptr<Song>> songs_;

    // Guards the streams and songs against the engine thread.
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace tx::sound
