// A decoder played through a source by a queue of buffers: the first buffers are decoded when
// it starts, so sound begins at once, and the engine thread refills each buffer as it is played.
#pragma once

#include <AL/al.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "al_objects.h"
#include "decoder.h"

namespace tx::sound {

class Feed {
public:
    // Frames per buffer and buffers in the queue: together about half a second at 44.1 kHz,
    // far more than the engine thread's period.
    static constexpr size_t kBlockFrames = 4096;
    static constexpr size_t kBufferCount = 6;

    explicit Feed(std::unique_ptr<Decoder> decoder);
    ~Feed();
    Feed(const Feed&) = delete;
    Feed& operator=(const Feed&) = delete;

    const PcmFormat& format() const { return decoder_->format(); }
    ALuint source() const { return source_; }
    // Started, not stopped and not yet played to its end; a paused feed is active.
    bool active() const { return state_ == State::Playing || state_ == State::Paused; }

    // Plays from the beginning on `source`, stopping whatever it played before.
    void start(ALuint source);
    // Stops the sound and lets go of the source.
    void stop();
    void setPaused(bool paused);
    // Engine thread: refills the buffers played since the last call, resumes after an underrun
    // and notices the end of the sound.
    void service();

private:
    enum class State : uint8_t { Idle, Playing, Paused, Ended };

    // Decodes the next block into `buffer` and queues it; false when the decoder has ended.
    bool queueNextBlock(ALuint buffer);

    std::unique_ptr<Decoder> decoder_;
    std::array<AlBuffer, kBufferCount> buffers_;
    std::vector<int16_t> block_;
    ALuint source_ = 0;
    State state_ = State::Idle;
    bool decoderEnded_ = false;
    bool decoderFresh_ = true;
};

}  // namespace tx::sound
