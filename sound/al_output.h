// Where the engine's mix goes: the default OpenAL device (a sound card, or whatever backend the
// user's OpenAL configuration names, such as the wave-file writer), or, on a machine without any,
// a silent output that renders the mix in real time and throws it away, so sounds still start,
// play for their length and end.
#pragma once

#include <AL/alc.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

namespace tx::sound {

class AlOutput {
public:
    // The output with its context current; null when OpenAL can open neither.
    static std::unique_ptr<AlOutput> open(int32_t mixRate);
    ~AlOutput();
    AlOutput(const AlOutput&) = delete;
    AlOutput& operator=(const AlOutput&) = delete;

    bool silent() const { return render_ != nullptr; }
    // For the silent output: mixes up to the present moment. Called by the engine thread.
    void keepTime();

private:
    using RenderSamples = void(ALC_APIENTRY*)(ALCdevice*, ALCvoid*, ALCsizei);
    AlOutput(ALCdevice* device, ALCcontext* context, RenderSamples render, int32_t rate);

    ALCdevice* device_;
    ALCcontext* context_;
    RenderSamples render_;
    int32_t rate_;
    std::chrono::steady_clock::time_point start_;
    int64_t framesRendered_ = 0;
    std::vector<float> scratch_;
};

}  // namespace tx::sound
