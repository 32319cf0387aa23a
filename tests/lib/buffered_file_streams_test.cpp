// Writes to anything but a regular file leave the buffer before the write returns, so a reader
// at the other end, or another writer to the same place, sees them in order.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "buffered_file.h"

namespace tx {
namespace {

// What the pipe holds now, without waiting.
std::string drain(int fd) {
    std::string text;
    char buffer[8192];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, n);
    return text;
}

TEST(BufferedFileStreams, APipeGetsEveryWriteAtOnce) {
    int ends[2];
    ASSERT_EQ(::pipe2(ends, O_NONBLOCK), 0);
    // Opened by name, as the file commands do.
    auto file =
        BufferedFile::open("/proc/self/fd/" + std::to_string(ends[1]), BufferedFile::Mode::Write);
    ::close(ends[1]);
    ASSERT_NE(file, nullptr);
    const std::string small = "one line\r\n";
    const std::string large(BufferedFile::kBufferSize + 10, 'x');
    for (const std::string& text : {small, large, small}) {
        EXPECT_EQ(file->write(reinterpret_cast<const uint8_t*>(text.data()),
                              static_cast<int32_t>(text.size())),
                  static_cast<int32_t>(text.size()));
        EXPECT_EQ(drain(ends[0]), text);
    }
    file.reset();
    ::close(ends[0]);
}

}  // namespace
}  // namespace tx
