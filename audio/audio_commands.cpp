#include "audio_commands.h"

#include "module_state.h"

namespace tx {
namespace {

HostAudio* runningAudio() {
    AudioState* state = ModuleState<AudioState>::find();
    return state != nullptr ? state->audio.get() : nullptr;
}

}  // namespace

HostSound* HandleKind<HostSound>::find(uint32_t handle) {
    HostAudio* audio = runningAudio();
    return audio != nullptr ? audio->findSound(handle) : nullptr;
}

HostChannel* HandleKind<HostChannel>::find(uint32_t handle) {
    HostAudio* audio = runningAudio();
    return audio != nullptr ? audio->findChannel(handle) : nullptr;
}

uint32_t loadSound(AudioState& state, StrArg file) {
    return state.audio != nullptr ? state.audio->loadSound(file.view(), false) : 0;
}

void freeSound(AudioState& state, Handle<HostSound, HandleCheck::Lenient> sound) {
    if (sound) state.audio->freeSound(sound.raw());
}

void loopSound(SoundHandle sound) {
    if (sound) sound->setLoop(true);
}

void soundPitch(SoundHandle sound, int32_t pitch) {
    if (sound) sound->setPitch(pitch);
}

void soundVolume(SoundHandle sound, float volume) {
    if (sound) sound->setVolume(volume);
}

void soundPan(SoundHandle sound, float pan) {
    if (sound) sound->setPan(pan);
}

uint32_t playSound(AudioState& state, SoundHandle sound) {
    return sound ? state.audio->play(*sound) : 0;
}

uint32_t playMusic(AudioState& state, StrArg file) {
    return state.audio != nullptr ? state.audio->playMusic(file.view(), 0) : 0;
}

uint32_t playCDTrack(AudioState& state, int32_t track, int32_t mode) {
    return state.audio != nullptr ? state.audio->playCDTrack(track, mode) : 0;
}

void stopChannel(ChannelHandle channel) {
    if (channel) channel->stop();
}

void pauseChannel(ChannelHandle channel) {
    if (channel) channel->setPaused(true);
}

void resumeChannel(ChannelHandle channel) {
    if (channel) channel->setPaused(false);
}

void channelPitch(ChannelHandle channel, int32_t pitch) {
    if (channel) channel->setPitch(pitch);
}

void channelVolume(ChannelHandle channel, float volume) {
    if (channel) channel->setVolume(volume);
}

void channelPan(ChannelHandle channel, float pan) {
    if (channel) channel->setPan(pan);
}

int32_t channelPlaying(ChannelHandle channel) {
    return channel && channel->isPlaying() ? 1 : 0;
}

}  // namespace tx
