#include "buffered_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace tx {

namespace {

// The standard stream a path names, or -1.
int standardStream(const std::string& hostPath) {
    if (hostPath == "/dev/stdin") return STDIN_FILENO;
    if (hostPath == "/dev/stdout") return STDOUT_FILENO;
    if (hostPath == "/dev/stderr") return STDERR_FILENO;
    return -1;
}

}  // namespace

std::unique_ptr<BufferedFile> BufferedFile::open(const std::string& hostPath, Mode mode) {
    // Reopening a standard stream that is a regular file would start at its beginning (and
    // empty it for writing): what the process wrote there before would be overwritten.
    if (const int stream = standardStream(hostPath); stream >= 0) {
        UniqueFd copy(::fcntl(stream, F_DUPFD_CLOEXEC, 0));
        if (copy.valid()) return std::make_unique<BufferedFile>(std::move(copy), mode, true);
    }
    // Opening without waiting: a named pipe with nobody at the other end must not hang the
    // program. Regular files ignore the flag; it is cleared again for reads and writes.
    int flags = O_CLOEXEC | O_NONBLOCK;
    switch (mode) {
        case Mode::Read:
            flags |= O_RDONLY;
            break;
        case Mode::Write:
            flags |= O_WRONLY | O_CREAT | O_TRUNC;
            break;
        case Mode::ReadWrite:
            flags |= O_RDWR;
            break;
    }
    int fd;
    do {
        fd = ::open(hostPath.c_str(), flags, 0666);
    } while (fd < 0 && errno == EINTR);
    UniqueFd file(fd);
    if (!file.valid()) return nullptr;
    struct stat info {};
    if (::fstat(file.get(), &info) != 0 || S_ISDIR(info.st_mode)) return nullptr;
    const int status = ::fcntl(file.get(), F_GETFL);
    if (status < 0 || ::fcntl(file.get(), F_SETFL, status & ~O_NONBLOCK) != 0) return nullptr;
    return std::make_unique<BufferedFile>(std::move(file), mode);
}

BufferedFile::BufferedFile(UniqueFd fd, Mode mode, bool shared) : fd_(std::move(fd)), mode_(mode) {
    seekable_ = !shared && ::lseek(fd_.get(), 0, SEEK_CUR) >= 0;
    struct stat info {};
    holdsWrites_ = !shared && ::fstat(fd_.get(), &info) == 0 && S_ISREG(info.st_mode);
}

BufferedFile::~BufferedFile() {
    flush();
}

int64_t BufferedFile::readAt(uint8_t* buffer, int64_t size, int64_t offset) {
    for (;;) {
        const ssize_t n = seekable_ ? ::pread(fd_.get(), buffer, static_cast<size_t>(size), offset)
                                    : ::read(fd_.get(), buffer, static_cast<size_t>(size));
        if (n >= 0) return n;
        if (errno == EINTR) continue;
        if (errno == ESPIPE && seekable_) {
            seekable_ = false;
            continue;
        }
        return -1;
    }
}

bool BufferedFile::writeAllAt(const uint8_t* buffer, int64_t size, int64_t offset) {
    while (size > 0) {
        const ssize_t n = seekable_ ? ::pwrite(fd_.get(), buffer, static_cast<size_t>(size), offset)
                                    : ::write(fd_.get(), buffer, static_cast<size_t>(size));
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == ESPIPE && seekable_) {
                seekable_ = false;
                continue;
            }
            return false;
        }
        if (n == 0) return false;
        buffer += n;
        size -= n;
        offset += n;
    }
    return true;
}

bool BufferedFile::flush() {
    if (pending_ == 0) return true;
    const bool written = writeAllAt(buffer_.data(), pending_, position_ - pending_);
    // Bytes the system refused stay lost either way; keeping them would jam every later write.
    pending_ = 0;
    return written;
}

bool BufferedFile::fill() {
    readNext_ = readEnd_ = 0;
    const int64_t n = readAt(buffer_.data(), kBufferSize, position_);
    if (n <= 0) return false;
    readEnd_ = static_cast<int32_t>(n);
    return true;
}

int32_t BufferedFile::read(uint8_t* out, int32_t size) {
    if (size <= 0 || !canRead()) return 0;
    // Bytes written just before must be in the file before it is read.
    if (pending_ > 0) flush();
    int32_t done = 0;
    while (done < size) {
        if (readNext_ < readEnd_) {
            const int32_t n = std::min(readEnd_ - readNext_, size - done);
            std::memcpy(out + done, buffer_.data() + readNext_, static_cast<size_t>(n));
            readNext_ += n;
            position_ += n;
            done += n;
        } else if (size - done >= kBufferSize) {
            // Large reads go straight to the caller's memory.
            const int64_t n = readAt(out + done, size - done, position_);
            if (n <= 0) break;
            position_ += n;
            done += static_cast<int32_t>(n);
        } else if (!fill()) {
            break;
        }
    }
    return done;
}

int32_t BufferedFile::write(const uint8_t* in, int32_t size) {
    if (size <= 0 || !canWrite()) return 0;
    // Read-ahead describes the file before this write: drop it (the position stays).
    readNext_ = readEnd_ = 0;
    int32_t done = 0;
    int32_t buffered = 0;  // bytes of this call waiting in the buffer
    while (done < size) {
        if (pending_ == 0 && size - done >= kBufferSize) {
            // Large writes go straight to the file.
            if (!writeAllAt(in + done, size - done, position_)) break;
            position_ += size - done;
            done = size;
        } else {
            const int32_t n = std::min(kBufferSize - pending_, size - done);
            std::memcpy(buffer_.data() + pending_, in + done, static_cast<size_t>(n));
            pending_ += n;
            position_ += n;
            done += n;
            buffered += n;
            if (pending_ < kBufferSize) continue;
            if (!flush()) {
                // The file refused the buffer: this call's bytes in it were not written.
                done -= buffered;
                position_ -= buffered;
                break;
            }
            buffered = 0;
        }
    }
    if (!holdsWrites_ && pending_ > 0 && !flush()) {
        done -= buffered;
        position_ -= buffered;
    }
    return done;
}

bool BufferedFile::atEnd() {
    if (!canRead()) return true;
    if (pending_ > 0) flush();
    return readNext_ >= readEnd_ && !fill();
}

bool BufferedFile::seek(int64_t pos) {
    if (pos < 0) return false;
    flush();
    // A pipe or terminal cannot move, and it cannot give its read-ahead again: only a seek to
    // where it stands succeeds, and that keeps the read-ahead.
    if (!seekable_) return pos == position_;
    readNext_ = readEnd_ = 0;
    position_ = pos;
    return true;
}

}  // namespace tx
