// A disk file read and written through one 4096-byte buffer with one position for both.
//
// The buffer holds either bytes read ahead (reads consume them) or bytes written and not yet in
// the file, never both. Written bytes reach a regular file when the buffer fills, on a seek,
// before any read or look-ahead, and when the object is destroyed; anything else (a terminal, a
// pipe, a socket, the process's standard streams) gets them before each write returns, so they
// come out in order with what other writers send there.
//
// /dev/stdin, /dev/stdout and /dev/stderr name the process's own standard streams: they are
// shared (duplicated, never reopened, truncated or moved by position), so writes land where the
// stream stands, after what the process wrote there before.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "unique_fd.h"

namespace tx {

class BufferedFile {
public:
    static constexpr int32_t kBufferSize = 4096;

    enum class Mode {
        Read,       // read only; the file must exist
        Write,      // write only; created, or emptied when it exists
        ReadWrite,  // read and write; the file must exist and keeps its contents
    };

    // Opens a host path in binary mode. Null when it cannot be opened or names a directory.
    static std::unique_ptr<BufferedFile> open(const std::string& hostPath, Mode mode);

    // shared: the descriptor's position belongs to others too (a standard stream), so bytes go
    // through plain reads and writes at wherever it stands.
    BufferedFile(UniqueFd fd, Mode mode, bool shared = false);
    ~BufferedFile();
    BufferedFile(const BufferedFile&) = delete;
    BufferedFile& operator=(const BufferedFile&) = delete;

    // Up to size bytes from the position; fewer at the end of the file.
    int32_t read(uint8_t* buffer, int32_t size);
    // Puts size bytes at the position (the file grows as needed); returns how many were taken.
    int32_t write(const uint8_t* buffer, int32_t size);
    // Bytes read ahead into the buffer and not yet consumed.
    int32_t readAhead() const { return readEnd_ - readNext_; }
    // True when no byte can be read at the position. Reads ahead to find out.
    bool atEnd();
    // Writes pending bytes out, drops the read-ahead and moves to pos bytes from the start (the
    // end of the file may lie before it). False, with the position unchanged, when pos is
    // negative or the file cannot move there (a pipe, which keeps its read-ahead).
    bool seek(int64_t pos);
    int64_t position() const { return position_; }
    // Writes pending bytes to the file; false when the system refused some of them.
    bool flush();

    bool canRead() const { return mode_ != Mode::Write; }
    bool canWrite() const { return mode_ != Mode::Read; }

private:
    // Reads ahead from the position; false at the end of the file or on an error.
    bool fill();
    int64_t readAt(uint8_t* buffer, int64_t size, int64_t offset);
    bool writeAllAt(const uint8_t* buffer, int64_t size, int64_t offset);

    UniqueFd fd_;
    Mode mode_;
    bool seekable_ = true;     // false for pipes and terminals: plain reads and writes
    bool holdsWrites_ = true;  // false unless a regular file: written out by every write
    int64_t position_ = 0;     // where the next read or write happens
    int32_t readNext_ = 0;  // read-ahead: buffer_[readNext_, readEnd_) are the bytes at position_
    int32_t readEnd_ = 0;
    int32_t pending_ = 0;  // written: buffer_[0, pending_) belong at position_ - pending_
    std::array<uint8_t, kBufferSize> buffer_;
};

}  // namespace tx
