// Banks: capacity growth, zeroing, values at offsets, overlapping copies, stream transfers, and
// calls that stay inside the bank when the debug flag is clear.
#include <gtest/gtest.h>

#include <vector>

#include "bank_commands.h"
#include "filesystem_commands.h"
#include "io_test_support.h"
#include "stream_commands.h"

namespace tx {
namespace {

using test::arg;

using BankTest = test::IoTest;

const Bank& bankOf(uint32_t handle) {
    return *test::banks().banks.find(handle);
}

TEST_F(BankTest, CapacityGrowsByHalfInStepsOfSixteen) {
    const uint32_t bank = createBank(test::banks(), 100);
    EXPECT_EQ(bankSize(bank), 100);
    EXPECT_EQ(bankOf(bank).capacity(), 112);
    resizeBank(bank, 113);
    EXPECT_EQ(bankOf(bank).capacity(), 176) << "112 * 3 / 2 = 168, rounded up";
    resizeBank(bank, 1000);
    EXPECT_EQ(bankOf(bank).capacity(), 1008) << "the new size is larger than 1.5 times";
    resizeBank(bank, 10);
    EXPECT_EQ(bankSize(bank), 10);
    EXPECT_EQ(bankOf(bank).capacity(), 1008) << "shrinking keeps the block";

    EXPECT_EQ(bankOf(createBank(test::banks(), 0)).capacity(), 0);
    EXPECT_EQ(bankOf(createBank(test::banks(), 16)).capacity(), 16);
    EXPECT_EQ(bankOf(createBank(test::banks(), 17)).capacity(), 32);
    EXPECT_EQ(bankSize(createBank(test::banks(), -5)), 0) << "a negative size makes an empty bank";
}

TEST_F(BankTest, BytesThatJoinTheBankReadZero) {
    const uint32_t bank = createBank(test::banks(), 10);
    for (int32_t i = 0; i < 10; ++i) pokeByte(bank, i, 0xA0 + i);
    resizeBank(bank, 4);
    resizeBank(bank, 10);  // within the capacity: the regained bytes are cleared
    for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(peekByte(bank, i), 0xA0 + i);
    for (int32_t i = 4; i < 10; ++i) EXPECT_EQ(peekByte(bank, i), 0) << i;

    for (int32_t i = 0; i < 16; ++i) pokeByte(bank, i % 10, 0xFF);
    resizeBank(bank, 16);   // the rest of the capacity
    resizeBank(bank, 500);  // a new block
    EXPECT_EQ(peekByte(bank, 9), 0xFF);
    bool zeros = true;
    for (int32_t i = 10; i < 500; ++i) zeros = zeros && peekByte(bank, i) == 0;
    EXPECT_TRUE(zeros);
}

TEST_F(BankTest, ValuesAreLittleEndianAndZeroExtended) {
    const uint32_t bank = createBank(test::banks(), 10);
    pokeInt(bank, 0, -1);
    EXPECT_EQ(peekByte(bank, 0), 255);
    EXPECT_EQ(peekShort(bank, 0), 65535);
    pokeInt(bank, 0, 258);
    EXPECT_EQ(peekByte(bank, 0), 2);
    EXPECT_EQ(peekByte(bank, 1), 1);
    pokeFloat(bank, 0, 1.0f);
    EXPECT_EQ(peekInt(bank, 0), 1065353216);
    EXPECT_EQ(peekFloat(bank, 0), 1.0f);
    pokeShort(bank, 8, 0x12345);
    EXPECT_EQ(peekShort(bank, 8), 0x2345);
    pokeByte(bank, 5, 300);
    EXPECT_EQ(peekByte(bank, 5), 44);
    pokeInt(bank, 6, 0x0A0B0C0D);
    EXPECT_EQ(peekInt(bank, 6), 0x0A0B0C0D) << "the last int that fits";
}

TEST_F(BankTest, OverlappingCopiesActAsIfThroughATemporaryBuffer) {
    const uint32_t bank = createBank(test::banks(), 10);
    for (int32_t i = 0; i < 10; ++i) pokeByte(bank, i, i);
    copyBank(bank, 0, bank, 1, 9);
    std::vector<int32_t> bytes;
    for (int32_t i = 0; i < 10; ++i) bytes.push_back(peekByte(bank, i));
    EXPECT_EQ(bytes, (std::vector<int32_t>{0, 0, 1, 2, 3, 4, 5, 6, 7, 8}));
    copyBank(bank, 1, bank, 0, 9);
    bytes.clear();
    for (int32_t i = 0; i < 10; ++i) bytes.push_back(peekByte(bank, i));
    EXPECT_EQ(bytes, (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 8}));

    const uint32_t other = createBank(test::banks(), 4);
    copyBank(bank, 6, other, 0, 4);
    EXPECT_EQ(peekInt(other, 0), 0x08080706);
}

TEST_F(BankTest, OutsideTheBankNothingIsReadOrWritten) {
    // With the debug flag clear a bad offset, count or handle leaves every bank as it was.
    const uint32_t bank = createBank(test::banks(), 10);
    const uint32_t other = createBank(test::banks(), 10);
    for (int32_t i = 0; i < 10; ++i) pokeByte(other, i, 0x55);
    pokeInt(bank, 7, -1);
    pokeInt(bank, -2, -1);  // the last byte would lie inside
    pokeShort(bank, 9, -1);
    pokeByte(bank, 10, -1);
    pokeByte(bank, 0x7FFFFFFF, -1);
    copyBank(bank, 0, other, 5, 6);
    copyBank(bank, -4, other, 0, 5);
    copyBank(bank, 0, other, 0, -3);
    for (int32_t i = 0; i < 10; ++i) EXPECT_EQ(peekByte(bank, i), 0) << i;
    for (int32_t i = 0; i < 10; ++i) EXPECT_EQ(peekByte(other, i), 0x55) << i;
    EXPECT_EQ(peekInt(other, 7), 0);
    EXPECT_EQ(peekInt(other, -1), 0);
    EXPECT_EQ(peekShort(other, 0x7FFFFFFF), 0);
    EXPECT_EQ(peekFloat(other, 9), 0.0f);

    const uint32_t gone = createBank(test::banks(), 8);
    freeBank(test::banks(), gone);
    freeBank(test::banks(), gone);
    freeBank(test::banks(), 0);
    EXPECT_EQ(bankSize(gone), 0);
    EXPECT_EQ(peekByte(gone, 0), 0);
    pokeByte(gone, 0, 1);
    resizeBank(gone, 100);
    copyBank(gone, 0, bank, 0, 4);
    copyBank(other, 0, gone, 0, 4);
    EXPECT_EQ(peekInt(bank, 0), 0);
    EXPECT_EQ(test::banks().banks.size(), 2u);
}

TEST_F(BankTest, TransfersWithStreams) {
    const uint32_t bank = createBank(test::banks(), 8);
    for (int32_t i = 0; i < 8; ++i) pokeByte(bank, i, 0x10 + i);
    const uint32_t out = writeFile(test::files(), arg(dir.file("bank.bin")));
    EXPECT_EQ(writeBytes(bank, out, 2, 6), 6);
    EXPECT_EQ(writeBytes(bank, out, 4, 5), 0) << "past the end of the bank";
    EXPECT_EQ(writeBytes(bank, out, 0, 0), 0);
    closeFile(test::files(), out);
    EXPECT_EQ(test::fileBytes(dir.file("bank.bin")),
              (std::vector<uint8_t>{0x12, 0x13, 0x14, 0x15, 0x16, 0x17}));

    const uint32_t target = createBank(test::banks(), 10);
    for (int32_t i = 0; i < 10; ++i) pokeByte(target, i, 0xEE);
    const uint32_t in = readFile(test::files(), arg(dir.file("bank.bin")));
    EXPECT_EQ(readBytes(target, in, 1, 8), 6) << "only what the file holds arrives";
    EXPECT_EQ(peekByte(target, 0), 0xEE);
    EXPECT_EQ(peekByte(target, 1), 0x12);
    EXPECT_EQ(peekByte(target, 6), 0x17);
    EXPECT_EQ(peekByte(target, 7), 0xEE) << "bytes that did not arrive keep their values";
    EXPECT_EQ(readBytes(target, in, 0, 4), 0) << "at the end of the file";
    EXPECT_EQ(peekInt(target, 0), static_cast<int32_t>(0x141312EE));
    EXPECT_EQ(readBytes(target, in, 8, 4), 0) << "past the end of the bank";
    closeFile(test::files(), in);
    EXPECT_EQ(readBytes(target, in, 0, 4), 0) << "a closed stream";
    EXPECT_EQ(writeBytes(target, in, 0, 4), 0);
}

TEST_F(BankTest, TheModuleFreesEveryBank) {
    for (int32_t i = 0; i < 100; ++i) createBank(test::banks(), i * 10);
    EXPECT_EQ(test::banks().banks.size(), 100u);
    const uint32_t last = createBank(test::banks(), 4);
    bankDestroy();
    EXPECT_EQ(ModuleState<BankModule>::find(), nullptr);
    EXPECT_EQ(bankSize(last), 0) << "no module, no banks";
    ASSERT_TRUE(bankCreate());
    EXPECT_EQ(test::banks().banks.size(), 0u);
}

}  // namespace
}  // namespace tx
