// Streams and files from real 32-bit code: byte formats on disk, file streams, directories, and
// written bytes surviving the end of the program.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "io_guest_support.h"

namespace tx {
namespace {

using test::env;
using test::fileBytes;
using test::firstError;
using test::putFile;
using test::runGuest;
using IoFiles = test::IoGuestTest;

TEST_F(IoFiles, ValueFormatsOnDiskAndBack) {
    const auto run = runGuest("io_formats");
    ASSERT_EQ(run.outcome, RunOutcome::Ended) << firstError(run);
    const std::vector<uint8_t> expected{
        44, 255, 255, 255,              // WriteByte 300, WriteByte -1, WriteShort -1
        1,  0,   0,   0,                // WriteInt 1
        0,  0,   128, 63,               // WriteFloat 1.0
        0,  0,   32,  192,              // WriteFloat -2.5
        3,  0,   0,   0,   97, 98, 99,  // WriteString "abc"
        97, 98,  99,  13,  10};         // WriteLine "abc"
    EXPECT_EQ(fileBytes(file("formats.bin")), expected);
    EXPECT_EQ(env("TX_IO_BYTE1"), "44");
    EXPECT_EQ(env("TX_IO_BYTE2"), "255");
    EXPECT_EQ(env("TX_IO_SHORT"), "65535");
    EXPECT_EQ(env("TX_IO_INT"), "1");
    EXPECT_EQ(env("TX_IO_FLOAT"), "1065353216");
    EXPECT_EQ(env("TX_IO_FLOAT2"), std::to_string(0xC0200000u - 0x100000000LL));
    EXPECT_EQ(env("TX_IO_STRING"), "[abc]");
    EXPECT_EQ(env("TX_IO_LINE"), "[abc]");
    EXPECT_EQ(env("TX_IO_PAST_END"), "1000");
    EXPECT_EQ(env("TX_IO_EOF"), "1");
    EXPECT_EQ(env("TX_IO_LINES"), "ab+next");
}

TEST_F(IoFiles, FileStreamsFromCompiledCode) {
    std::vector<uint8_t> big(10000);
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<uint8_t>(i * 7);
    putFile(file("big.bin"), big);
    std::filesystem::create_directories(file("Data/Levels"));
    putFile(file("Data/Levels/One.lvl"), {42});
    std::vector<uint8_t> source(40000);
    for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<uint8_t>(i * 13 + (i >> 8));
    putFile(file("source.bin"), source);

    const auto run = runGuest("io_files");
    ASSERT_EQ(run.outcome, RunOutcome::Ended) << firstError(run);
    EXPECT_EQ(env("TX_IO_READ_MISSING"), "1000");
    EXPECT_EQ(env("TX_IO_OPEN_MISSING"), "1000");
    EXPECT_FALSE(std::filesystem::exists(file("missing.bin")));
    EXPECT_EQ(env("TX_IO_FRESH_EOF"), "1");
    EXPECT_EQ(env("TX_IO_POS"), "4");
    EXPECT_EQ(env("TX_IO_SEEK_NEGATIVE"), "-1");
    EXPECT_EQ(env("TX_IO_SEEK_START"), "1000");
    EXPECT_EQ(env("TX_IO_READ_BACK"), "77");
    EXPECT_EQ(env("TX_IO_AVAIL_FRESH"), "1000");
    EXPECT_EQ(env("TX_IO_AVAIL_AFTER_BYTE"), "4095");
    EXPECT_EQ(env("TX_IO_LEVEL_BYTE"), "42") << "backslashes and another case find the file";
    EXPECT_EQ(fileBytes(file("copy.bin")), source) << "CopyStream into a new file copies it all";
}

TEST_F(IoFiles, DirectoriesFromCompiledCode) {
    const auto run = runGuest("io_dirs");
    ASSERT_EQ(run.outcome, RunOutcome::Ended) << firstError(run);
    EXPECT_EQ(env("TX_IO_MADE_TYPE"), "2");
    EXPECT_EQ(env("TX_IO_MADE_TYPE_SEPARATOR"), "2");
    EXPECT_EQ(env("TX_IO_MISSING_TYPE"), "1000");
    EXPECT_EQ(env("TX_IO_FILE_TYPE"), "1");
    EXPECT_EQ(env("TX_IO_LIST"), ".|..|a.txt|||");
    EXPECT_EQ(env("TX_IO_READDIR_MISSING"), "1000");
    EXPECT_EQ(env("TX_IO_SIZE"), "7");
    EXPECT_EQ(env("TX_IO_DIR_SIZE"), "1000");
    EXPECT_EQ(env("TX_IO_COPY_SIZE"), "7");
    EXPECT_EQ(env("TX_IO_DELETED_TYPE"), "1000");
    EXPECT_EQ(env("TX_IO_CURRENT"), std::filesystem::canonical(dir).string() + "/Made/");
    EXPECT_EQ(env("TX_IO_GONE_TYPE"), "1000");
    EXPECT_FALSE(std::filesystem::exists(file("Made")));
}

TEST_F(IoFiles, WrittenBytesReachTheDiskHoweverTheProgramEnds) {
    for (const char* how : {"error", "end"}) {
        putFile(file("second.bin"), {9, 9, 9, 9, 9, 9, 9, 9});
        const auto run = runGuest("io_flush", how);
        if (std::string(how) == "error") {
            EXPECT_EQ(run.outcome, RunOutcome::RuntimeError);
            EXPECT_EQ(firstError(run), "stopped on purpose");
        } else {
            EXPECT_EQ(run.outcome, RunOutcome::Ended) << firstError(run);
        }
        std::vector<uint8_t> expected;
        for (int i = 0; i < 5000; ++i) expected.push_back(static_cast<uint8_t>(i));
        for (const char c : {'t', 'a', 'i', 'l', '\r', '\n'})
            expected.push_back(static_cast<uint8_t>(c));
        EXPECT_EQ(fileBytes(file("flushed.bin")), expected) << how;
        EXPECT_EQ(fileBytes(file("second.bin")), (std::vector<uint8_t>{1, 0, 0, 0, 'x', 9, 9, 9}))
            << how;
    }
}

}  // namespace
}  // namespace tx
