#include "feed.h"

#include <AL/alext.h>

namespace tx::sound {

Feed::Feed(std::unique_ptr<Decoder> decoder)
    : decoder_(std::move(decoder)), block_(kBlockFrames * decoder_->format().channels) {}

Feed::~Feed() {
    stop();
}

void Feed::start(ALuint source) {
    stop();
    source_ = source;
    alSourceStop(source_);
    alSourcei(source_, AL_BUFFER, 0);
    alSourcei(source_, AL_LOOPING, AL_FALSE);
    alSourcei(source_, AL_DIRECT_CHANNELS_SOFT, format().channels == 2 ? AL_TRUE : AL_FALSE);
    decoderEnded_ = !decoderFresh_ && !decoder_->rewind();
    decoderFresh_ = false;
    size_t queued = 0;
    while (queued < kBufferCount && queueNextBlock(buffers_[queued].get())) ++queued;
    if (queued == 0) {
        state_ = State::Ended;
        return;
    }
    alSourcePlay(source_);
    state_ = State::Playing;
}

void Feed::stop() {
    if (source_ != 0) {
        alSourceStop(source_);
        alSourcei(source_, AL_BUFFER, 0);  // empties the queue of a stopped source
        source_ = 0;
    }
    state_ = State::Idle;
}

void Feed::setPaused(bool paused) {
    if (paused && state_ == State::Playing) {
        alSourcePause(source_);
        state_ = State::Paused;
    } else if (!paused && state_ == State::Paused) {
        alSourcePlay(source_);
        state_ = State::Playing;
    }
}

void Feed::service() {
    if (state_ != State::Playing) return;
    ALint processed = 0;
    alGetSourcei(source_, AL_BUFFERS_PROCESSED, &processed);
    while (processed-- > 0) {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(source_, 1, &buffer);
        if (!decoderEnded_) queueNextBlock(buffer);
    }
    ALint sourceState = 0, queued = 0;
    alGetSourcei(source_, AL_SOURCE_STATE, &sourceState);
    alGetSourcei(source_, AL_BUFFERS_QUEUED, &queued);
    if (sourceState != AL_STOPPED) return;
    if (queued > 0)
        alSourcePlay(source_);  // the queue ran dry before this refill: carry on
    else
        state_ = State::Ended;
}

bool Feed::queueNextBlock(ALuint buffer) {
    const size_t frames = decoder_->read(block_);
    if (frames == 0) {
        decoderEnded_ = true;
        return false;
    }
    const PcmFormat& pcm = format();
    alBufferData(buffer, pcm.channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16, block_.data(),
                 static_cast<ALsizei>(frames * pcm.channels * sizeof(int16_t)), pcm.rate);
    alSourceQueueBuffers(source_, 1, &buffer);
    return true;
}

}  // namespace tx::sound
