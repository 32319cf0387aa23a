// File streams: open modes, the shared 4096-byte buffer, positions, and data reaching the disk.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "bank_commands.h"
#include "buffered_file.h"
#include "file_stream.h"
#include "filesystem_commands.h"
#include "filesystem_state.h"
#include "io_test_support.h"
#include "stream_commands.h"

namespace tx {
namespace {

using test::arg;
using test::fileBytes;
using test::patternBytes;
using test::putFile;

using FileStreamTest = test::IoTest;

TEST_F(FileStreamTest, OpenModes) {
    EXPECT_EQ(readFile(test::files(), arg(dir.file("missing"))), 0u);
    EXPECT_EQ(openFile(test::files(), arg(dir.file("missing"))), 0u) << "OpenFile does not create";
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing")));
    EXPECT_EQ(readFile(test::files(), arg(dir.path())), 0u) << "a directory is not a file";
    EXPECT_EQ(openFile(test::files(), arg(dir.path())), 0u);
    EXPECT_EQ(writeFile(test::files(), arg(dir.path())), 0u);
    EXPECT_EQ(readFile(test::files(), arg("")), 0u);

    putFile(dir.file("old.bin"), {1, 2, 3, 4, 5});
    const uint32_t emptied = writeFile(test::files(), arg(dir.file("old.bin")));
    ASSERT_NE(emptied, 0u);
    EXPECT_EQ(std::filesystem::file_size(dir.file("old.bin")), 0u) << "WriteFile empties";
    closeFile(test::files(), emptied);

    putFile(dir.file("kept.bin"), {1, 2, 3, 4, 5});
    const uint32_t both = openFile(test::files(), arg(dir.file("kept.bin")));
    ASSERT_NE(both, 0u);
    writeInt(both, 1);
    EXPECT_EQ(seekFile(both, 0), 0);
    EXPECT_EQ(readInt(both), 1);
    EXPECT_EQ(readByte(both), 5) << "OpenFile keeps the rest of the contents";
    closeFile(test::files(), both);
    EXPECT_EQ(fileBytes(dir.file("kept.bin")), (std::vector<uint8_t>{1, 0, 0, 0, 5}));

    const uint32_t readOnly = readFile(test::files(), arg(dir.file("kept.bin")));
    writeInt(readOnly, 7);
    EXPECT_EQ(filePos(readOnly), 0) << "a read-only stream takes no bytes";
    closeFile(test::files(), readOnly);
    EXPECT_EQ(fileBytes(dir.file("kept.bin")), (std::vector<uint8_t>{1, 0, 0, 0, 5}));
}

TEST_F(FileStreamTest, ReadAvailCountsOnlyTheReadAhead) {
    putFile(dir.file("big.bin"), patternBytes(10000));
    const uint32_t in = readFile(test::files(), arg(dir.file("big.bin")));
    EXPECT_EQ(streamReadAvail(in), 0) << "nothing is read ahead before the first read";
    readByte(in);
    EXPECT_EQ(streamReadAvail(in), 4095);
    EXPECT_EQ(filePos(in), 1);
    EXPECT_EQ(streamReadAvail(in), 0) << "a seek drops the read-ahead";
    EXPECT_EQ(seekFile(in, 9000), 9000);
    EXPECT_EQ(streamEof(in), 0);
    EXPECT_EQ(streamReadAvail(in), 1000) << "Eof looked ahead; the byte is still to be read";
    EXPECT_EQ(filePos(in), 9000);
    closeFile(test::files(), in);

    putFile(dir.file("empty.bin"), {});
    const uint32_t empty = readFile(test::files(), arg(dir.file("empty.bin")));
    EXPECT_EQ(streamReadAvail(empty), 0);
    EXPECT_EQ(streamEof(empty), 1);
    closeFile(test::files(), empty);
}

TEST_F(FileStreamTest, PositionsAndSeeks) {
    const uint32_t out = writeFile(test::files(), arg(dir.file("pos.bin")));
    EXPECT_EQ(streamEof(out), 1) << "a fresh WriteFile stream has nothing to read";
    writeInt(out, 1);
    EXPECT_EQ(filePos(out), 4);
    EXPECT_EQ(seekFile(out, -1), -1);
    EXPECT_EQ(filePos(out), 4) << "a failed seek leaves the position";
    EXPECT_EQ(seekFile(out, 10), 10) << "beyond the end is allowed";
    writeByte(out, 9);
    closeFile(test::files(), out);
    EXPECT_EQ(fileBytes(dir.file("pos.bin")),
              (std::vector<uint8_t>{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9}))
        << "the gap reads as zeros";

    // FilePos and SeekFile put buffered bytes on disk before the stream is closed.
    const uint32_t open = writeFile(test::files(), arg(dir.file("flushed.bin")));
    writeInt(open, 0x04030201);
    EXPECT_EQ(fileBytes(dir.file("flushed.bin")).size(), 0u) << "still in the buffer";
    EXPECT_EQ(filePos(open), 4);
    EXPECT_EQ(fileBytes(dir.file("flushed.bin")), (std::vector<uint8_t>{1, 2, 3, 4}));
    writeShort(open, 0x0605);
    EXPECT_EQ(seekFile(open, 0), 0);
    EXPECT_EQ(fileBytes(dir.file("flushed.bin")), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
    closeFile(test::files(), open);
}

TEST_F(FileStreamTest, RefusedWritesAreNotCountedAndOddNamesOpenNothing) {
    // /dev/full takes no byte: a device is written at every write, which reports what did not
    // reach it.
    const uint32_t full = openFile(test::files(), arg("/dev/full"));
    if (full != 0) {
        const uint32_t bank = createBank(test::banks(), 5000);
        EXPECT_EQ(writeBytes(bank, full, 0, 100), 0) << "a small write was refused";
        EXPECT_EQ(writeBytes(bank, full, 0, 5000), 0) << "a direct write was refused";
        freeBank(test::banks(), bank);
        closeFile(test::files(), full);
    }

    // A name with a zero byte inside does not open the file its first part names.
    putFile(dir.file("a.bin"), {1, 2, 3});
    const std::string withZero = dir.file("a.bin") + std::string(1, '\0') + "x";
    EXPECT_EQ(readFile(test::files(), arg(withZero)), 0u);
    EXPECT_EQ(openFile(test::files(), arg(withZero)), 0u);
    EXPECT_EQ(fileType(test::files(), arg(withZero)), 0);
    deleteFile(test::files(), arg(withZero));
    EXPECT_TRUE(std::filesystem::exists(dir.file("a.bin")));
}

TEST_F(FileStreamTest, ReadsAndWritesMixWithoutSeeks) {
    putFile(dir.file("mix.bin"), {10, 11, 12, 13, 14, 15, 16, 17});
    const uint32_t s = openFile(test::files(), arg(dir.file("mix.bin")));
    EXPECT_EQ(readByte(s), 10);
    writeByte(s, 99);  // lands at position 1, after the byte read
    EXPECT_EQ(readByte(s), 12) << "reading after writing continues after the written byte";
    EXPECT_EQ(streamEof(s), 0);
    writeShort(s, 0x4241);
    EXPECT_EQ(filePos(s), 5);
    closeFile(test::files(), s);
    EXPECT_EQ(fileBytes(dir.file("mix.bin")),
              (std::vector<uint8_t>{10, 99, 12, 0x41, 0x42, 15, 16, 17}));
}

TEST_F(FileStreamTest, BufferBoundariesKeepEveryByteInPlace) {
    // Values of every width written across the 4096-byte buffer, mixed with bank transfers
    // larger than the buffer, then read back the same way.
    const std::vector<uint8_t> block = patternBytes(10000, 7);
    const uint32_t bank = createBank(test::banks(), 10000);
    for (int32_t i = 0; i < 10000; ++i) pokeByte(bank, i, block[static_cast<size_t>(i)]);

    const uint32_t out = writeFile(test::files(), arg(dir.file("bounds.bin")));
    std::vector<uint8_t> expected;
    for (int32_t i = 0; i < 1500; ++i) {
        writeByte(out, i);
        writeShort(out, i * 3);
        expected.push_back(static_cast<uint8_t>(i));
        expected.push_back(static_cast<uint8_t>(i * 3));
        expected.push_back(static_cast<uint8_t>((i * 3) >> 8));
    }
    EXPECT_EQ(writeBytes(bank, out, 0, 10000), 10000);
    expected.insert(expected.end(), block.begin(), block.end());
    writeInt(out, 0x01020304);
    for (const uint8_t b : {4, 3, 2, 1}) expected.push_back(b);
    closeFile(test::files(), out);
    ASSERT_EQ(fileBytes(dir.file("bounds.bin")), expected);

    const uint32_t in = readFile(test::files(), arg(dir.file("bounds.bin")));
    bool valuesMatch = true;
    for (int32_t i = 0; i < 1500; ++i)
        valuesMatch =
            valuesMatch && readByte(in) == (i & 0xFF) && readShort(in) == ((i * 3) & 0xFFFF);
    EXPECT_TRUE(valuesMatch);
    const uint32_t copy = createBank(test::banks(), 10000);
    EXPECT_EQ(readBytes(copy, in, 0, 10000), 10000);
    bool blockMatches = true;
    for (int32_t i = 0; i < 10000; ++i)
        blockMatches = blockMatches && peekByte(copy, i) == block[static_cast<size_t>(i)];
    EXPECT_TRUE(blockMatches);
    EXPECT_EQ(readInt(in), 0x01020304);
    EXPECT_EQ(streamEof(in), 1);
    EXPECT_EQ(readBytes(copy, in, 0, 100), 0) << "at the end nothing arrives";
    EXPECT_EQ(peekByte(copy, 0), block[0]) << "and the bank keeps its bytes";
    closeFile(test::files(), in);
}

TEST_F(FileStreamTest, EveryWrittenByteReachesTheDiskWhenTheModuleGoes) {
    const uint32_t out = writeFile(test::files(), arg(dir.file("pending.bin")));
    for (int32_t i = 0; i < 5000; ++i) writeByte(out, i);
    ASSERT_LT(std::filesystem::file_size(dir.file("pending.bin")), 5000u) << "some still buffered";
    const uint32_t listing = readDir(test::files(), arg(dir.path()));
    ASSERT_NE(listing, 0u);

    filesystemDestroy();  // what a run does after End or a runtime error
    EXPECT_EQ(liveStreamCount(), 0);
    EXPECT_EQ(findStream(out), nullptr);
    const std::vector<uint8_t> bytes = fileBytes(dir.file("pending.bin"));
    ASSERT_EQ(bytes.size(), 5000u);
    for (size_t i = 0; i < bytes.size(); ++i)
        ASSERT_EQ(bytes[i], static_cast<uint8_t>(i)) << "at " << i;

    ASSERT_TRUE(filesystemCreate());
    EXPECT_EQ(filesystemModule()->openFiles.size(), 0u);
    EXPECT_EQ(filesystemModule()->fileSystem.openDirCount(), 0u);
    EXPECT_EQ(filesystemModule()->fileSystem.verifyDir(listing), nullptr);
}

TEST_F(FileStreamTest, OneFileSystemServiceAtATime) {
    EXPECT_EQ(filesystemCreate(), false);
}

TEST_F(FileStreamTest, ANamedPipeWithNobodyAtTheOtherEndDoesNotHang) {
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
    EXPECT_EQ(writeFile(test::files(), arg(dir.file("pipe"))), 0u)
        << "no reader: the open fails at once";
    const uint32_t in = readFile(test::files(), arg(dir.file("pipe")));
    ASSERT_NE(in, 0u);
    EXPECT_EQ(streamEof(in), 1) << "no writer: nothing to read";
    closeFile(test::files(), in);
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
