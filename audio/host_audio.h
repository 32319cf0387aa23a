// The audio driver: the loaded sounds and every channel ever handed out, over the sound engine.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "handle.h"
#include "handle_table.h"
#include "host_channel.h"
#include "object_table.h"
#include "sound_engine.h"

namespace tx {

// One loaded sample and the defaults the next PlaySound gives it. Tuning is kept here until it
// is played, so channels already playing keep their sound.
class HostSound {
public:
    HostSound(sound::SoundEngine& engine, sound::Sample* sample);
    ~HostSound();
    HostSound(const HostSound&) = delete;
    HostSound& operator=(const HostSound&) = delete;

    void setLoop(bool loop);
    void setPitch(int32_t hz);
    void setVolume(float volume);
    void setPan(float pan);
    // Hands the stored defaults to the engine if they changed, then plays; the engine channel,
    // or -1 when no channel is free.
    int32_t playOnEngine();

private:
    sound::SoundEngine& engine_;
    sound::Sample* sample_;
    sound::SampleDefaults defaults_;
    bool defaultsClean_ = true;
};

template <>
struct HandleKind<HostSound> {
    static constexpr HandleKindInfo info{"Sound", handle_kind::kSound, "Sound does not exist"};
    static HostSound* find(uint32_t handle);
};

class HostAudio {
public:
    explicit HostAudio(std::unique_ptr<sound::SoundEngine> engine);
    // Destroys every channel, the newest first, then every sound, then closes the engine.
    ~HostAudio();
    HostAudio(const HostAudio&) = delete;
    HostAudio& operator=(const HostAudio&) = delete;

    // Handles: 0 when the file cannot be loaded or opened.
    uint32_t loadSound(std::string_view file, bool flag);
    void freeSound(uint32_t sound);
    HostSound* findSound(uint32_t sound) const { return sounds_.find(sound); }
    // A channel for the sound: the first sound channel that no longer plays, else a new one; 0
    // when the engine has no free channel.
    uint32_t play(HostSound& sound);
    // The same channel, restarted, for a name played before (names compared byte for byte).
    uint32_t playMusic(std::string_view file, int32_t flag);
    uint32_t playCDTrack(int32_t track, int32_t mode);
    HostChannel* findChannel(uint32_t channel) const { return channelHandles_.find(channel); }

    const sound::SoundEngine& engine() const { return *engine_; }

private:
    HostChannel& adopt(std::unique_ptr<HostChannel> channel);

    std::unique_ptr<sound::SoundEngine> engine_;
    ObjectTable<HostSound> sounds_{handle_kind::kSound};
    HandleTable<HostChannel> channelHandles_{handle_kind::kChannel};
    std::vector<std::unique_ptr<HostChannel>> allChannels_;  // in creation order
    std::vector<SoundChannel*> soundChannels_;               // in creation order, for reuse
    std::map<std::string, HostChannel*, std::less<>> musicByName_;
    CdChannel* cdChannel_ = nullptr;
};

}  // namespace tx
