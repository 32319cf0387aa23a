// The generic stream commands: byte formats on a real file, reads past the end, strings with odd
// length prefixes, CopyStream's loop, the registry of live streams and the shared writer.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "command_registry.h"
#include "filesystem_commands.h"
#include "io_test_support.h"
#include "stream_commands.h"

namespace tx {
namespace {

using test::arg;
using test::fileBytes;
using test::take;

// Bytes in memory behind the stream interface, recording every read and write. As a connection
// it reports eof() 0 while open; `state` plays a peer that closed (1) or a failure (-1).
class MemoryStream final : public TxStream {
public:
    explicit MemoryStream(std::vector<uint8_t> data = {}) : bytes(std::move(data)) {}

    int32_t read(uint8_t* buffer, int32_t size) override {
        const auto n = static_cast<int32_t>(std::min<size_t>(size, bytes.size() - next));
        std::memcpy(buffer, bytes.data() + next, static_cast<size_t>(n));
        next += static_cast<size_t>(n);
        reads.push_back(size);
        return n;
    }
    int32_t write(const uint8_t* buffer, int32_t size) override {
        written.insert(written.end(), buffer, buffer + size);
        writes.push_back(size);
        return size;
    }
    int32_t avail() override { return static_cast<int32_t>(bytes.size() - next); }
    int32_t eof() override { return state != 0 ? state : (next == bytes.size() ? 1 : 0); }

    std::vector<uint8_t> bytes, written;
    size_t next = 0;
    int32_t state = 0;
    std::vector<int32_t> reads, writes;
};

// A connection that stays open whatever has been read: eof() is only the peer's state.
class Connection final : public TxStream {
public:
    int32_t read(uint8_t*, int32_t) override { return 0; }
    int32_t write(const uint8_t* buffer, int32_t size) override {
        received.insert(received.end(), buffer, buffer + size);
        writes.push_back(size);
        return size;
    }
    int32_t avail() override { return 0; }
    int32_t eof() override { return state; }

    std::vector<uint8_t> received;
    std::vector<int32_t> writes;
    int32_t state = 0;
};

using StreamCommandsTest = test::IoTest;

TEST_F(StreamCommandsTest, ValuesHaveTheirExactByteFormatsOnAFile) {
    const std::string path = dir.file("formats.bin");
    const uint32_t out = writeFile(test::files(), arg(path));
    ASSERT_NE(out, 0u);
    writeByte(out, 300);
    writeByte(out, -1);
    writeShort(out, -1);
    writeShort(out, 0x12345);
    writeInt(out, 1);
    writeInt(out, -2);
    writeInt(out, std::bit_cast<int32_t>(1.0f));  // what the guest's WriteFloat hands over
    writeString(out, arg("abc"));
    writeString(out, arg(""));
    writeLine(out, arg("abc"));
    writeLine(out, arg(""));
    closeFile(test::files(), out);

    const std::vector<uint8_t> expected{
        44,  255,                                  // bytes: low 8 bits
        255, 255, 0x45, 0x23,                      // shorts: low 16 bits, low byte first
        1,   0,   0,    0,    254, 255, 255, 255,  // ints
        0,   0,   128,  63,                        // 1.0f
        3,   0,   0,    0,    97,  98,  99,        // length-prefixed string
        0,   0,   0,    0,                         // the empty string: its length only
        97,  98,  99,   13,   10,                  // line
        13,  10};
    EXPECT_EQ(fileBytes(path), expected);

    const uint32_t in = readFile(test::files(), arg(path));
    ASSERT_NE(in, 0u);
    EXPECT_EQ(readByte(in), 44);
    EXPECT_EQ(readByte(in), 255) << "no sign extension";
    EXPECT_EQ(readShort(in), 65535) << "no sign extension";
    EXPECT_EQ(readShort(in), 0x2345);
    EXPECT_EQ(readInt(in), 1);
    EXPECT_EQ(readInt(in), -2);
    EXPECT_EQ(readFloat(in), 1.0f);
    EXPECT_EQ(take(readString(in)), "abc");
    EXPECT_EQ(take(readString(in)), "");
    EXPECT_EQ(take(readLine(in)), "abc");
    EXPECT_EQ(streamEof(in), 0) << "an empty line is still there";
    EXPECT_EQ(take(readLine(in)), "");
    EXPECT_EQ(streamEof(in), 1);
    EXPECT_EQ(readInt(in), 0);
    EXPECT_EQ(readFloat(in), 0.0f);
    EXPECT_EQ(take(readString(in)), "");
    EXPECT_EQ(take(readLine(in)), "");
    EXPECT_EQ(streamEof(in), 1);
    closeFile(test::files(), in);
}

TEST_F(StreamCommandsTest, ShortReadsFillTheLowBytes) {
    MemoryStream two({0x34, 0x12});
    EXPECT_EQ(readInt(two.handle()), 0x1234) << "the bytes that arrived, the rest 0";
    EXPECT_EQ(two.reads, std::vector<int32_t>{4}) << "one read of the full width";
    MemoryStream one({0x80});
    EXPECT_EQ(readShort(one.handle()), 0x80);
}

TEST_F(StreamCommandsTest, LinesEndAtLineFeedAndDropEveryCarriageReturn) {
    MemoryStream s({97, 13, 98, 10, 'x', 13, 'y', 13, 13, 10, 0, 'z', 10, 'e', 'n', 'd'});
    EXPECT_EQ(take(readLine(s.handle())), "ab");
    EXPECT_EQ(take(readLine(s.handle())), "xy") << "a bare CR does not end a line";
    EXPECT_EQ(take(readLine(s.handle())), std::string("\0z", 2)) << "zero bytes are kept";
    EXPECT_EQ(take(readLine(s.handle())), "end") << "the end of the stream ends the last line";
    EXPECT_EQ(streamEof(s.handle()), 1);
}

TEST_F(StreamCommandsTest, ReadStringReturnsExactlyTheBytesThatArrive) {
    // A string with a zero byte inside reads back cut at that byte; the rest is consumed.
    MemoryStream zeros;
    writeString(zeros.handle(), StrArg(strNew(std::string_view("a\0b", 3)).handle));
    zeros.bytes = zeros.written;
    writeInt(zeros.handle(), 9);
    zeros.bytes = zeros.written;
    EXPECT_EQ(take(readString(zeros.handle())), "a");
    EXPECT_EQ(readInt(zeros.handle()), 9);

    // A length larger than what follows: the bytes that did follow, and no huge allocation.
    MemoryStream longer({0xFF, 0xFF, 0xFF, 0x7F, 'h', 'i'});
    EXPECT_EQ(take(readString(longer.handle())), "hi");
    EXPECT_EQ(longer.reads.front(), 4);
    EXPECT_LE(*std::max_element(longer.reads.begin(), longer.reads.end()), 64 * 1024)
        << "data is asked for in bounded chunks";

    // A negative length reads nothing more.
    MemoryStream negative({0xFE, 0xFF, 0xFF, 0xFF, 'x'});
    EXPECT_EQ(take(readString(negative.handle())), "");
    EXPECT_EQ(readByte(negative.handle()), 'x');

    // An incomplete length gives the empty string.
    MemoryStream partial({3, 0});
    EXPECT_EQ(take(readString(partial.handle())), "");

    // A string longer than one chunk arrives whole.
    std::vector<uint8_t> big = test::patternBytes(200'000);
    for (uint8_t& byte : big) byte |= 1;  // no zero byte to cut the text at
    MemoryStream large;
    writeString(
        large.handle(),
        StrArg(strNew(std::string_view(reinterpret_cast<const char*>(big.data()), big.size()))
                   .handle));
    large.bytes = large.written;
    const std::string back = take(readString(large.handle()));
    EXPECT_EQ(std::vector<uint8_t>(back.begin(), back.end()), big);
}

TEST_F(StreamCommandsTest, CopyStreamReadsFullBuffersUntilAShortOne) {
    const std::vector<uint8_t> data = test::patternBytes(40000);
    test::putFile(dir.file("source.bin"), data);
    const uint32_t source = readFile(test::files(), arg(dir.file("source.bin")));
    Connection peer;
    copyStream(source, peer.handle(), 16384);
    EXPECT_EQ(peer.writes, (std::vector<int32_t>{16384, 16384, 7232}));
    EXPECT_EQ(peer.received, data);
    EXPECT_EQ(filePos(source), 40000);
    closeFile(test::files(), source);

    // A source that ends exactly at a buffer boundary stops on its eof() before a third read.
    MemoryStream exact(test::patternBytes(32768));
    Connection second;
    copyStream(exact.handle(), second.handle(), 16384);
    EXPECT_EQ(exact.reads, (std::vector<int32_t>{16384, 16384}));
    EXPECT_EQ(second.writes, (std::vector<int32_t>{16384, 16384}));
}

TEST_F(StreamCommandsTest, CopyStreamStopsAtADestinationThatTakesNoMoreBytes) {
    for (const int32_t state : {1, -1}) {
        MemoryStream source(test::patternBytes(100));
        Connection closed;
        closed.state = state;
        copyStream(source.handle(), closed.handle(), 16384);
        EXPECT_TRUE(source.reads.empty()) << "state " << state;
        EXPECT_TRUE(closed.writes.empty());
    }
}

TEST_F(StreamCommandsTest, CopyStreamIntoANewFileCopiesEverything) {
    const std::vector<uint8_t> data = test::patternBytes(40000);
    MemoryStream source(data);
    const uint32_t target = writeFile(test::files(), arg(dir.file("copy.bin")));
    ASSERT_EQ(streamEof(target), 1) << "nothing can be read from a write-only file";
    copyStream(source.handle(), target, 1000);
    closeFile(test::files(), target);
    EXPECT_EQ(fileBytes(dir.file("copy.bin")), data);

    // A file open only for reading takes nothing, and the source is not consumed.
    test::putFile(dir.file("readonly.bin"), {1, 2, 3});
    const uint32_t readOnly = readFile(test::files(), arg(dir.file("readonly.bin")));
    MemoryStream untouched(data);
    copyStream(untouched.handle(), readOnly, 1000);
    EXPECT_TRUE(untouched.reads.empty());
    closeFile(test::files(), readOnly);
}

TEST_F(StreamCommandsTest, CopyStreamWithABufferSizeOutsideTheRangeDoesNothing) {
    for (const int32_t size : {0, -5, kMaxCopyBuffer + 1}) {
        MemoryStream source(test::patternBytes(10));
        Connection peer;
        copyStream(source.handle(), peer.handle(), size);
        EXPECT_TRUE(source.reads.empty()) << size;
    }
    MemoryStream source(test::patternBytes(10));
    Connection peer;
    copyStream(source.handle(), peer.handle(), kMaxCopyBuffer);
    EXPECT_EQ(peer.received.size(), 10u);
}

TEST_F(StreamCommandsTest, ACopyWithADeadEndReadsNothing) {
    uint32_t dead;
    {
        MemoryStream gone({1, 2, 3, 4});
        dead = gone.handle();
    }
    MemoryStream live({1, 2, 3});
    copyStream(dead, live.handle(), 16);
    copyStream(live.handle(), dead, 16);
    EXPECT_TRUE(live.reads.empty());
}

TEST_F(StreamCommandsTest, EveryStreamHasItsOwnHandleWhileItLives) {
    const int32_t before = liveStreamCount();
    uint32_t first;
    {
        MemoryStream a, b;
        first = a.handle();
        EXPECT_NE(a.handle(), 0u);
        EXPECT_NE(a.handle(), b.handle());
        EXPECT_EQ(findStream(a.handle()), &a);
        EXPECT_EQ(findStream(b.handle()), &b);
        EXPECT_EQ(liveStreamCount(), before + 2);
    }
    EXPECT_EQ(liveStreamCount(), before);
    MemoryStream c;
    EXPECT_NE(c.handle(), first) << "a reused slot gives a new handle";
    EXPECT_EQ(findStream(first), nullptr);
}

TEST(StreamRegistration, WriteIntAndWriteFloatShareOneRoutine) {
    const CommandTable table(&linkStream);
    CommandRegistry registry(&linkStream, table);
    registry.fill();
    const uint32_t writeIntAddress = registry.symbolValue("WriteInt%stream%int");
    EXPECT_NE(writeIntAddress, 0xFFFFFFFFu);
    EXPECT_EQ(registry.symbolValue("WriteFloat%stream#float"), writeIntAddress);
}

void writeBits(uint32_t, int32_t) {}
constexpr CommandDef kWriteBits = command<writeBits>("WriteBits%stream%bits");
void aliasWithStringParameter(CommandRegistrar& r) {
    r.alias(kWriteBits, "WriteText%stream$text");
}
void aliasWithResult(CommandRegistrar& r) {
    r.alias(kWriteBits, "%WriteBits2%stream%bits");
}
void aliasWithExtraParameter(CommandRegistrar& r) {
    r.alias(kWriteBits, "WriteBits3%s%a%b");
}
void aliasMalformed(CommandRegistrar& r) {
    r.alias(kWriteBits, "Write Bits");
}
void aliasOfRawWords(CommandRegistrar& r) {
    r.add(kWriteBits);
    r.alias(kWriteBits, "WriteBitsF#stream#bits");
}

TEST(StreamRegistration, AnAliasMayDifferOnlyInRawWordParameters) {
    EXPECT_THROW(CommandTable{&aliasWithStringParameter}, std::logic_error);
    EXPECT_THROW(CommandTable{&aliasWithResult}, std::logic_error);
    EXPECT_THROW(CommandTable{&aliasWithExtraParameter}, std::logic_error);
    EXPECT_THROW(CommandTable{&aliasMalformed}, std::logic_error);
    const CommandTable table(&aliasOfRawWords);
    EXPECT_EQ(table.slotCount(), 2u);
}

}  // namespace
}  // namespace tx
