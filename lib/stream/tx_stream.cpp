// The registry of live streams: a handle table that every stream enters when it is constructed
// and leaves when it is destroyed, so handles name streams of any kind and never addresses.
#include "tx_stream.h"

#include <memory>

#include "handle_table.h"
#include "stream_registry.h"

namespace tx {
namespace {

// Made on first use, so streams can exist outside a program run (tests, tools); the stream
// module drops it at its destruction once it is empty.
std::unique_ptr<HandleTable<TxStream>>& liveSet() {
    static std::unique_ptr<HandleTable<TxStream>> set;
    return set;
}

HandleTable<TxStream>& liveStreams() {
    auto& set = liveSet();
    if (set == nullptr) set = std::make_unique<HandleTable<TxStream>>(handle_kind::kStream);
    return *set;
}

}  // namespace

TxStream::TxStream() : handle_(liveStreams().insert(this)) {}

TxStream::~TxStream() {
    if (auto& set = liveSet(); set != nullptr && handle_ != 0) set->remove(handle_);
}

TxStream* findStream(uint32_t handle) {
    const auto& set = liveSet();
    return set != nullptr ? set->find(handle) : nullptr;
}

int32_t liveStreamCount() {
    const auto& set = liveSet();
    return set != nullptr ? static_cast<int32_t>(set->size()) : 0;
}

void openStreamRegistry() {
    liveStreams();
}

bool closeStreamRegistry() {
    auto& set = liveSet();
    if (set == nullptr) return true;
    if (set->size() != 0) return false;
    set.reset();
    return true;
}

}  // namespace tx
