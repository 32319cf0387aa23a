// A feed whose refills come too late (a decoder stalled on a slow disk, a starved engine
// thread) lets its source run dry; the next refill queues the blocks left and starts it again.
#include <AL/al.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "al_objects.h"
#include "al_output.h"
#include "feed.h"

namespace tx::sound {
namespace {

using namespace std::chrono_literals;

// `blocks` full blocks of silence, then the end.
class CountingDecoder final : public Decoder {
public:
    explicit CountingDecoder(size_t blocks) : left(blocks) { format_ = {44100, 1}; }
    size_t read(std::span<int16_t> out) override {
        if (left == 0) return 0;
        --left;
        std::fill(out.begin(), out.end(), 0);
        return out.size();
    }
    bool rewind() override { return false; }
    size_t left;
};

TEST(Feed, ResumesAfterItsSourceRanDry) {
    auto output = AlOutput::open(44100);
    ASSERT_NE(output, nullptr);
    AlSource source;
    constexpr size_t kBlocks = Feed::kBufferCount + 4;
    auto decoder = std::make_unique<CountingDecoder>(kBlocks);
    const CountingDecoder& counter = *decoder;
    Feed feed(std::move(decoder));
    feed.start(source.get());
    EXPECT_EQ(counter.left, 4u) << "the queue filled";

    // The whole queue plays out (about 0.56 s) with no refill.
    const auto queueLength =
        std::chrono::milliseconds(1000 * Feed::kBufferCount * Feed::kBlockFrames / 44100);
    std::this_thread::sleep_for(queueLength + 150ms);
    if (output->silent()) output->keepTime();
    ALint state = 0;
    alGetSourcei(source.get(), AL_SOURCE_STATE, &state);
    ASSERT_EQ(state, AL_STOPPED) << "the source ran dry";

    feed.service();
    EXPECT_TRUE(feed.active()) << "a feed with blocks left has not ended";
    alGetSourcei(source.get(), AL_SOURCE_STATE, &state);
    EXPECT_EQ(state, AL_PLAYING);
    EXPECT_EQ(counter.left, 0u) << "the refill took the blocks left";
}

}  // namespace
}  // namespace tx::sound
