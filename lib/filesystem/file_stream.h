// A disk file as a stream: the stream operations over a buffered file that the stream owns.
#pragma once

#include <cstdint>
#include <memory>

#include "buffered_file.h"
#include "tx_stream.h"

namespace tx {

class FileStream final : public TxStream {
public:
    explicit FileStream(std::unique_ptr<BufferedFile> file) : file_(std::move(file)) {}
    // Closing writes out what is still buffered; then the stream leaves the live set.
    ~FileStream() override = default;

    int32_t read(uint8_t* buffer, int32_t size) override { return file_->read(buffer, size); }
    int32_t write(const uint8_t* buffer, int32_t size) override {
        return file_->write(buffer, size);
    }
    // What is read ahead into the buffer, never what is left in the file.
    int32_t avail() override { return file_->readAhead(); }
    // 1 when no byte can be read at the position; always 1 for a file opened only for writing.
    int32_t eof() override { return file_->atEnd() ? 1 : 0; }
    // A file opened for writing takes bytes wherever its position stands, at its end included.
    bool writable() override { return file_->canWrite(); }

    BufferedFile& file() { return *file_; }

private:
    std::unique_ptr<BufferedFile> file_;
};

}  // namespace tx
