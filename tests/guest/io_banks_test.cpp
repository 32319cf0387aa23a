// Banks from real 32-bit code.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "io_guest_support.h"

namespace tx {
namespace {

using test::env;
using test::fileBytes;
using test::firstError;
using test::runGuest;
using IoBanks = test::IoGuestTest;

TEST_F(IoBanks, BankCommandsFromCompiledCode) {
    const auto run = runGuest("io_banks");
    ASSERT_EQ(run.outcome, RunOutcome::Ended) << firstError(run);
    EXPECT_EQ(env("TX_IO_BANK_SIZE"), "1000");
    EXPECT_EQ(env("TX_IO_KEPT"), "7");
    EXPECT_EQ(env("TX_IO_GROWN_ZERO"), "1000");
    EXPECT_EQ(env("TX_IO_PEEK_BYTE"), "255");
    EXPECT_EQ(env("TX_IO_PEEK_SHORT"), "65535");
    EXPECT_EQ(env("TX_IO_PEEK_INT"), "1065353216");
    EXPECT_EQ(env("TX_IO_POKE_SHORT"), std::to_string(0x2345));
    EXPECT_EQ(env("TX_IO_POKE_BYTE"), "44");
    EXPECT_EQ(env("TX_IO_PEEK_FLOAT"), std::to_string(0x3FC00000));
    EXPECT_EQ(env("TX_IO_OVERLAP"), "0012345678");
    EXPECT_EQ(env("TX_IO_WRITTEN"), "10");
    EXPECT_EQ(fileBytes(file("bank.bin")), (std::vector<uint8_t>{0, 0, 1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(env("TX_IO_EMPTY_SIZE"), "1000");
    EXPECT_EQ(env("TX_IO_READ"), "10");
    EXPECT_EQ(env("TX_IO_READ_AT_END"), "1000");
    EXPECT_EQ(env("TX_IO_READ_BYTES"), "00000001234567800000");
    EXPECT_EQ(env("TX_IO_FREED_SIZE"), "1000");
}

}  // namespace
}  // namespace tx
