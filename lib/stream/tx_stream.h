// The byte stream behind files, TCP and UDP connections, and the registry of live streams.
#pragma once

#include <cstdint>

#include "handle.h"
#include "handle_table.h"

namespace tx {

class TxStream {
public:
    virtual ~TxStream();
    TxStream(const TxStream&) = delete;
    TxStream& operator=(const TxStream&) = delete;

    // Copies up to size bytes into buffer; returns how many it placed (0..size).
    virtual int32_t read(uint8_t* buffer, int32_t size) = 0;
    // Writes size bytes; returns how many were written.
    virtual int32_t write(const uint8_t* buffer, int32_t size) = 0;
    // Bytes that can be read now without waiting.
    virtual int32_t avail() = 0;
    // 0 while more data may come, 1 once the stream has ended, -1 after a failure.
    virtual int32_t eof() = 0;
    // Whether a copy may go on writing to this stream. By default while eof() is 0: a connection
    // that has ended or failed takes no more bytes. Kinds that always take bytes override it.
    virtual bool writable() { return eof() == 0; }

    // The handle the program sees; stays valid while the stream exists.
    uint32_t handle() const { return handle_; }

protected:
    // Registers the stream in the live set and gives it a handle.
    TxStream();

private:
    uint32_t handle_ = 0;
};

// The live stream a handle names, or null.
TxStream* findStream(uint32_t handle);
// Number of live streams of every kind.
int32_t liveStreamCount();

// Files, TCP streams and UDP streams share one handle space; a command that needs one of them
// takes a handle of that subtype, which names only live streams of that subtype.
template <>
struct HandleKind<TxStream> {
    static constexpr HandleKindInfo info{"Stream", handle_kind::kStream, "Stream does not exist"};
    static TxStream* find(uint32_t handle) { return findStream(handle); }
};

template <typename S>
struct StreamSubtypeKind {
    static S* find(uint32_t handle) { return dynamic_cast<S*>(findStream(handle)); }
};

using StreamHandle = Handle<TxStream>;

}  // namespace tx
