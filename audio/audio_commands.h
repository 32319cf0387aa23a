// The audio commands: sounds, channels, music and the CD, over the module's audio driver.
// Sound handles are checked with the debug flag ("Sound does not exist"); channel handles never
// are, and one that names no channel (0 among them) makes a command do nothing.
#pragma once

#include <cstdint>
#include <memory>

#include "host_audio.h"
#include "tx_string.h"

namespace tx {

// The audio module's state: the driver, or none when no sound output could be opened.
struct AudioState {
    static constexpr const char* kModuleName = "audio";
    std::unique_ptr<HostAudio> audio;
};

using SoundHandle = Handle<HostSound>;
using ChannelHandle = Handle<HostChannel, HandleCheck::Lenient>;

uint32_t loadSound(AudioState& state, StrArg file);
void freeSound(AudioState& state, Handle<HostSound, HandleCheck::Lenient> sound);
void loopSound(SoundHandle sound);
void soundPitch(SoundHandle sound, int32_t pitch);
void soundVolume(SoundHandle sound, float volume);
void soundPan(SoundHandle sound, float pan);
uint32_t playSound(AudioState& state, SoundHandle sound);
uint32_t playMusic(AudioState& state, StrArg file);
uint32_t playCDTrack(AudioState& state, int32_t track, int32_t mode);

void stopChannel(ChannelHandle channel);
void pauseChannel(ChannelHandle channel);
void resumeChannel(ChannelHandle channel);
void channelPitch(ChannelHandle channel, int32_t pitch);
void channelVolume(ChannelHandle channel, float volume);
void channelPan(ChannelHandle channel, float pan);
int32_t channelPlaying(ChannelHandle channel);

}  // namespace tx
