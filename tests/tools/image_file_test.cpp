// Reading image files with a size limit: a file within the limit comes back whole; one past it
// is refused without being read (a regular file) or after limit + 1 bytes (a pipe); every other
// failure comes back as a reason.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "image_file.h"
#include "tools_test_support.h"

namespace {

constexpr uint64_t kLimit = 1 << 20;

std::vector<uint8_t> pattern(size_t size) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 251);
    return bytes;
}

// A regular file past the limit is refused unread; a pipe is read to one byte past the limit.
TEST(ImageFile, FilesAndPipesUpToTheLimit) {
    txtest::TempDir dir;
    for (const bool pipe : {false, true}) {
        for (const uint64_t size :
             {uint64_t{0}, uint64_t{1000}, kLimit, kLimit + 1, kLimit + 200000}) {
            SCOPED_TRACE(::testing::Message() << (pipe ? "pipe of " : "file of ") << size);
            const std::vector<uint8_t> bytes = pattern(size);
            std::string path = (dir / "file").string();
            int ends[2] = {-1, -1};
            std::thread writer;
            if (pipe) {
                ASSERT_EQ(::pipe(ends), 0);
                path = "/proc/self/fd/" + std::to_string(ends[0]);
                writer = std::thread([&] {
                    for (size_t done = 0; done < bytes.size();) {
                        const ssize_t n =
                            ::write(ends[1], bytes.data() + done, bytes.size() - done);
                        if (n <= 0) break;
                        done += static_cast<size_t>(n);
                    }
                    ::close(ends[1]);
                });
            } else {
                txtest::writeBytes(path, bytes);
            }
            const tx::LimitedFileRead read = tx::readLimitedFile(path, kLimit);
            uint64_t left = 0;  // what the reader left in the pipe
            if (pipe) {
                uint8_t buffer[65536];
                for (ssize_t n; (n = ::read(ends[0], buffer, sizeof buffer)) > 0;) left += n;
                writer.join();
                ::close(ends[0]);
            }
            if (size <= kLimit) {
                EXPECT_EQ(read.error, "");
                EXPECT_EQ(read.bytes, bytes);
            } else {
                EXPECT_EQ(read.error, "larger than the limit of 1 MiB");
                EXPECT_TRUE(read.bytes.empty());
                EXPECT_EQ(left, pipe ? size - (kLimit + 1) : 0);
            }
        }
    }
}

}  // namespace
