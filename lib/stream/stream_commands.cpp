#include "stream_commands.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "basic_module.h"
#include "tx_error.h"

namespace tx {
namespace {

// Reads up to width bytes into the low bytes of a zeroed cell: bytes that do not arrive read 0.
uint32_t readCell(const StreamHandle& stream, int32_t width) {
    if (!stream) return 0;
    uint8_t bytes[4] = {};
    stream->read(bytes, width);
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

// Writes the low width bytes of value, low byte first.
void writeCell(const StreamHandle& stream, uint32_t value, int32_t width) {
    if (!stream) return;
    const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                              static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    stream->write(bytes, width);
}

void writeText(TxStream& stream, std::string_view text) {
    if (!text.empty())
        stream.write(reinterpret_cast<const uint8_t*>(text.data()),
                     static_cast<int32_t>(text.size()));
}

// A string's bytes arrive in chunks of at most this size, so a length prefix larger than what the
// stream holds never makes the command allocate more than what actually arrived plus one chunk.
constexpr int32_t kStringChunk = 64 * 1024;

}  // namespace

int32_t streamEof(StreamHandle stream) {
    // A stream that does not exist has nothing more to give, so read loops end.
    return stream ? stream->eof() : 1;
}

int32_t streamReadAvail(StreamHandle stream) {
    return stream ? stream->avail() : 0;
}

int32_t readByte(StreamHandle stream) {
    return static_cast<int32_t>(readCell(stream, 1));
}
int32_t readShort(StreamHandle stream) {
    return static_cast<int32_t>(readCell(stream, 2));
}
int32_t readInt(StreamHandle stream) {
    return static_cast<int32_t>(readCell(stream, 4));
}
float readFloat(StreamHandle stream) {
    return std::bit_cast<float>(readCell(stream, 4));
}

// The string is the text of the bytes that arrive after the length, up to the first zero byte
// (all of them are consumed). An incomplete length or a negative one gives the empty string; a
// length larger than what follows gives the bytes that did follow, read in chunks so that a
// lying length never allocates more than the stream delivers.
Str readString(StreamHandle stream) {
    if (!stream) return strNew({});
    uint8_t prefix[4] = {};
    if (stream->read(prefix, 4) != 4) return strNew({});
    const auto length = static_cast<int32_t>(
        static_cast<uint32_t>(prefix[0]) | static_cast<uint32_t>(prefix[1]) << 8 |
        static_cast<uint32_t>(prefix[2]) << 16 | static_cast<uint32_t>(prefix[3]) << 24);
    std::string text;
    int32_t missing = length;
    while (missing > 0) {
        const int32_t chunk = std::min(missing, kStringChunk);
        const size_t at = text.size();
        text.resize(at + static_cast<size_t>(chunk));
        const int32_t got =
            std::clamp(stream->read(reinterpret_cast<uint8_t*>(text.data() + at), chunk), 0, chunk);
        text.resize(at + static_cast<size_t>(got));
        if (got < chunk) break;
        missing -= chunk;
    }
    return strNew(std::string_view(text.data(), std::strlen(text.c_str())));
}

// Reads up to LF; CR bytes are dropped wherever they stand, so CR LF and LF end lines alike.
Str readLine(StreamHandle stream) {
    if (!stream) return strNew({});
    std::string line;
    uint8_t byte = 0;
    while (stream->read(&byte, 1) == 1 && byte != '\n') {
        if (byte != '\r') line.push_back(static_cast<char>(byte));
    }
    return strNew(line);
}

void writeByte(StreamHandle stream, int32_t value) {
    writeCell(stream, static_cast<uint32_t>(value), 1);
}
void writeShort(StreamHandle stream, int32_t value) {
    writeCell(stream, static_cast<uint32_t>(value), 2);
}
void writeInt(StreamHandle stream, int32_t value) {
    writeCell(stream, static_cast<uint32_t>(value), 4);
}

void writeString(StreamHandle stream, StrArg text) {
    if (!stream) return;
    const std::string_view bytes = text.view();
    const auto length = static_cast<uint32_t>(bytes.size());
    const uint8_t prefix[4] = {static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8),
                               static_cast<uint8_t>(length >> 16),
                               static_cast<uint8_t>(length >> 24)};
    stream->write(prefix, 4);
    writeText(*stream, bytes);
}

void writeLine(StreamHandle stream, StrArg text) {
    if (!stream) return;
    writeText(*stream, text.view());
    static constexpr uint8_t kCrLf[2] = {'\r', '\n'};
    stream->write(kCrLf, 2);
}

// Copies until the source ends, the destination takes no more bytes, or a read comes back short.
void copyStream(StreamHandle sourceStream, StreamHandle destinationStream, int32_t bufferSize) {
    TxStream* source = sourceStream.get();
    TxStream* destination = destinationStream.get();
    const bool sizeOk = bufferSize >= 1 && bufferSize <= kMaxCopyBuffer;
    if (!sizeOk && debugEnabled()) runtimeError("Illegal buffer size");
    if (source == nullptr || destination == nullptr || !sizeOk) return;

    const auto buffer = std::make_unique_for_overwrite<uint8_t[]>(static_cast<size_t>(bufferSize));
    for (;;) {
        if (source->eof() != 0 || !destination->writable()) break;
        const int32_t n = std::clamp(source->read(buffer.get(), bufferSize), 0, bufferSize);
        if (n > 0) destination->write(buffer.get(), n);
        if (n < bufferSize) break;
    }
}

}  // namespace tx
