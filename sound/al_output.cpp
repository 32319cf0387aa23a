#include "al_output.h"

#include <AL/al.h>
#include <AL/alext.h>
#include <dlfcn.h>

#include <algorithm>
#include <cstdlib>

namespace tx::sound {
namespace {

// The silent output renders stereo float frames, at most this many at a time.
constexpr int32_t kRenderBlock = 4096;

void ignoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

// A machine without a sound card is normal for a game's player (a server, a container): OpenAL
// Soft's log and the ALSA library's error printer would fill the program's standard error with
// the backends it tried. Both are quietened before OpenAL first looks for a device; a log level
// the user set is kept.
void quietenAudioLibraries() {
    static const bool done = [] {
        setenv("ALSOFT_LOGLEVEL", "0", 0);
        using ErrorHandler = void (*)(const char*, int, const char*, int, const char*, ...);
        if (void* alsa = dlopen("libasound.so.2", RTLD_LAZY | RTLD_LOCAL)) {
            // Kept loaded: OpenAL uses the same library and its handler stays set.
            if (auto setHandler = reinterpret_cast<int (*)(ErrorHandler)>(
                    dlsym(alsa, "snd_lib_error_set_handler")))
                setHandler(&ignoreAlsaError);
        }
        return true;
    }();
    (void)done;
}

ALCcontext* makeCurrentContext(ALCdevice* device, const ALCint* attributes) {
    ALCcontext* context = alcCreateContext(device, attributes);
    if (context == nullptr) return nullptr;
    if (alcMakeContextCurrent(context) == ALC_FALSE) {
        alcDestroyContext(context);
        return nullptr;
    }
    // Sounds are placed by their pan alone: no distance, no doppler.
    alDistanceModel(AL_NONE);
    return context;
}

}  // namespace

std::unique_ptr<AlOutput> AlOutput::open(int32_t mixRate) {
    quietenAudioLibraries();
    const ALCint attributes[] = {ALC_FREQUENCY, mixRate, 0};
    if (ALCdevice* device = alcOpenDevice(nullptr)) {
        if (ALCcontext* context = makeCurrentContext(device, attributes))
            return std::unique_ptr<AlOutput>(new AlOutput(device, context, nullptr, mixRate));
        alcCloseDevice(device);
    }
    if (alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback") == ALC_FALSE) return nullptr;
    const auto openLoopback = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(
        alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
    const auto render =
        reinterpret_cast<RenderSamples>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
    if (openLoopback == nullptr || render == nullptr) return nullptr;
    ALCdevice* device = openLoopback(nullptr);
    if (device == nullptr) return nullptr;
    const ALCint loopbackAttributes[] = {ALC_FORMAT_CHANNELS_SOFT,
                                         ALC_STEREO_SOFT,
                                         ALC_FORMAT_TYPE_SOFT,
                                         ALC_FLOAT_SOFT,
                                         ALC_FREQUENCY,
                                         mixRate,
                                         0};
    if (ALCcontext* context = makeCurrentContext(device, loopbackAttributes))
        return std::unique_ptr<AlOutput>(new AlOutput(device, context, render, mixRate));
    alcCloseDevice(device);
    return nullptr;
}

AlOutput::AlOutput(ALCdevice* device, ALCcontext* context, RenderSamples render, int32_t rate)
    : device_(device),
      context_(context),
      render_(render),
      rate_(rate),
      start_(std::chrono::steady_clock::now()) {
    if (render_ != nullptr) scratch_.resize(2 * kRenderBlock);
}

AlOutput::~AlOutput() {
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(context_);
    alcCloseDevice(device_);
}

void AlOutput::keepTime() {
    if (render_ == nullptr) return;
    const auto elapsed = std::chrono::steady_clock::now() - start_;
    const int64_t due =
        std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count() * rate_ / 1'000'000;
    // After a long stall the lost time is skipped rather than mixed in a burst.
    framesRendered_ = std::max(framesRendered_, due - rate_);
    while (framesRendered_ < due) {
        const auto frames =
            static_cast<ALCsizei>(std::min<int64_t>(due - framesRendered_, kRenderBlock));
        render_(device_, scratch_.data(), frames);
        framesRendered_ += frames;
    }
}

}  // namespace tx::sound
