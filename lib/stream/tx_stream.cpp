// Streams enter the stream module's registry when constructed and leave it when destroyed.
#include "tx_stream.h"

#include "stream_registry.h"

namespace tx {

// Without the stream module a stream gets no handle, and whoever made it drops it at once.
TxStream::TxStream() {
    if (StreamModule* module = ModuleState<StreamModule>::find()) {
        handle_ = module->streams.insert(this);
    }
}

TxStream::~TxStream() {
    StreamModule* module = ModuleState<StreamModule>::find();
    if (module != nullptr && handle_ != 0) module->streams.remove(handle_);
}

TxStream* findStream(uint32_t handle) {
    const StreamModule* module = ModuleState<StreamModule>::find();
    return module != nullptr ? module->streams.find(handle) : nullptr;
}

int32_t liveStreamCount() {
    const StreamModule* module = ModuleState<StreamModule>::find();
    return module != nullptr ? static_cast<int32_t>(module->streams.size()) : 0;
}

}  // namespace tx
