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

TEST(ImageFile, RegularFilesUpToTheLimit) {
    txtest::TempDir dir;
    struct Case {
        uint64_t size;
        bool accepted;
    };
    for (const Case c :
         {Case{0, true}, Case{1000, true}, Case{kLimit, true}, Case{kLimit + 1, false}}) {
        SCOPED_TRACE(c.size);
        const auto path = dir / "file";
        const std::vector<uint8_t> bytes = pattern(c.size);
        txtest::writeBytes(path, bytes);
        const tx::LimitedFileRead read = tx::readLimitedFile(path.string(), kLimit);
        if (c.accepted) {
            EXPECT_EQ(read.error, "");
            EXPECT_EQ(read.bytes, bytes);
        } else {
            EXPECT_EQ(read.error, "larger than the limit of 1 MiB");
            EXPECT_TRUE(read.bytes.empty());
        }
    }
}

TEST(ImageFile, PipesAreReadAtMostOnePastTheLimit) {
    struct Case {
        uint64_t size;
        bool accepted;
    };
    for (const Case c : {Case{1000, true}, Case{kLimit, true}, Case{kLimit + 1, false},
                         Case{kLimit + 200000, false}}) {
        SCOPED_TRACE(c.size);
        int ends[2];
        ASSERT_EQ(::pipe(ends), 0);
        const std::vector<uint8_t> bytes = pattern(c.size);
        std::thread writer([&] {
            size_t done = 0;
            while (done < bytes.size()) {
                const ssize_t n = ::write(ends[1], bytes.data() + done, bytes.size() - done);
                if (n <= 0) break;
                done += static_cast<size_t>(n);
            }
            ::close(ends[1]);
        });
        const tx::LimitedFileRead read =
            tx::readLimitedFile("/proc/self/fd/" + std::to_string(ends[0]), kLimit);
        // What the reader left in the pipe.
        uint64_t left = 0;
        uint8_t buffer[65536];
        for (ssize_t n; (n = ::read(ends[0], buffer, sizeof buffer)) > 0;) left += n;
        writer.join();
        ::close(ends[0]);
        if (c.accepted) {
            EXPECT_EQ(read.error, "");
            EXPECT_EQ(read.bytes, bytes);
        } else {
            EXPECT_EQ(read.error, "larger than the limit of 1 MiB");
            EXPECT_EQ(left, c.size - (kLimit + 1));
        }
    }
}

}  // namespace
