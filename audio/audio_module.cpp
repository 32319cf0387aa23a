// The audio module: registers its 16 commands after the input module's; creating it opens the
// sound engine at 44100 Hz with 32 channels. It starts with or without a sound output.
#include "audio_module.h"

#include "audio_commands.h"
#include "command.h"
#include "module_state.h"

namespace tx {
namespace {

constexpr CommandDef kAudioCommands[] = {
    command<loadSound>("%LoadSound$filename"),
    command<freeSound>("FreeSound%sound"),
    command<loopSound>("LoopSound%sound"),
    command<soundPitch>("SoundPitch%sound%pitch"),
    command<soundVolume>("SoundVolume%sound#volume"),
    command<soundPan>("SoundPan%sound#pan"),
    command<playSound>("%PlaySound%sound"),
    command<playMusic>("%PlayMusic$midifile"),
    command<playCDTrack>("%PlayCDTrack%track%mode=1"),
    command<stopChannel>("StopChannel%channel"),
    command<pauseChannel>("PauseChannel%channel"),
    command<resumeChannel>("ResumeChannel%channel"),
    command<channelPitch>("ChannelPitch%channel%pitch"),
    command<channelVolume>("ChannelVolume%channel#volume"),
    command<channelPan>("ChannelPan%channel#pan"),
    command<channelPlaying>("%ChannelPlaying%channel"),
};

constexpr int32_t kMixRate = 44100;
constexpr int32_t kChannels = 32;

}  // namespace

void linkAudio(CommandRegistrar& registrar) {
    registrar.add(kAudioCommands);
}

bool audioCreate() {
    auto state = std::make_unique<AudioState>();
    if (auto engine = sound::SoundEngine::open(kMixRate, kChannels))
        state->audio = std::make_unique<HostAudio>(std::move(engine));
    ModuleState<AudioState>::open(std::move(state));
    return true;
}

void audioDestroy() {
    ModuleState<AudioState>::close();
}

}  // namespace tx
