// Pipes and other files that are not regular: writes leave the buffer before the write returns,
// so a reader at the other end sees them in order, and reads keep their order across seeks.
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

TEST(BufferedFile, APipeIsReadInOrderAndLosesNothingToSeeks) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const uint8_t sent[] = {1, 2, 3, 4};
    ASSERT_EQ(::write(fds[1], sent, 4), 4);
    ::close(fds[1]);
    BufferedFile pipeEnd(UniqueFd(fds[0]), BufferedFile::Mode::Read);
    uint8_t got[4] = {};
    EXPECT_EQ(pipeEnd.read(got, 2), 2);
    EXPECT_EQ(got[1], 2);
    EXPECT_FALSE(pipeEnd.seek(0)) << "a pipe cannot go back";
    EXPECT_TRUE(pipeEnd.seek(2)) << "asking for the position (FilePos) works";
    EXPECT_EQ(pipeEnd.readAhead(), 2) << "and keeps what was read ahead";
    EXPECT_EQ(pipeEnd.read(got, 4), 2);
    EXPECT_EQ(got[1], 4);
    EXPECT_TRUE(pipeEnd.atEnd());
}

}  // namespace
}  // namespace tx
