// Streams one owner holds (a module, or a TCP server for the streams it accepted): each stream
// names itself in the shared stream table, and the set owns it by that handle. Closing a stream
// is erasing its handle; the set closes whatever is left, lowest handle first, when it goes.
#pragma once

#include <cstdint>
#include <map>
#include <memory>

namespace tx {

template <typename S>
class StreamSet {
public:
    StreamSet() = default;
    ~StreamSet() { clear(); }
    StreamSet(const StreamSet&) = delete;
    StreamSet& operator=(const StreamSet&) = delete;

    // Takes the stream and returns its handle; 0 (and the stream closes) when it got none.
    uint32_t insert(std::unique_ptr<S> stream) {
        const uint32_t handle = stream != nullptr ? stream->handle() : 0;
        if (handle != 0) streams_.emplace(handle, std::move(stream));
        return handle;
    }

    S* find(uint32_t handle) const {
        const auto found = streams_.find(handle);
        return found != streams_.end() ? found->second.get() : nullptr;
    }

    // Closes the stream with this handle; false when the set holds none.
    bool erase(uint32_t handle) { return streams_.erase(handle) != 0; }

    // Closes every stream, the lowest handle first.
    void clear() {
        while (!streams_.empty()) streams_.erase(streams_.begin());
    }

    size_t size() const { return streams_.size(); }

private:
    std::map<uint32_t, std::unique_ptr<S>> streams_;
};

}  // namespace tx
