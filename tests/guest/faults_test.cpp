// Hardware faults raised by real guest instructions, in-process and as a whole process.
#include <gtest/gtest.h>

#include <string>

#include "guest_runner.h"

namespace tx {
namespace {

using test::env;
using test::runGuest;

struct Fault {
    const char* argument;
    const char* message;
};

constexpr Fault kFaults[] = {
    {"null", "Illegal memory address"},          {"wild-jump", "Illegal memory address"},
    {"write-thunk", "Illegal memory address"},   {"store-thunk", "Illegal memory address"},
    {"illegal", "Illegal instruction"},          {"divide", "Integer divide by zero"},
    {"overflow", "Unknown runtime exception"},   {"stack", "Stack overflow!"},
    {"breakpoint", "Unknown runtime exception"},
};

TEST(GuestFaults, EachFaultEndsTheProgramWithItsMessage) {
    for (const Fault& fault : kFaults) {
        SCOPED_TRACE(fault.argument);
        unsetenv("TX_FAULT_SURVIVED");
        const auto run = runGuest("faults", fault.argument);
        EXPECT_EQ(run.outcome, RunOutcome::RuntimeError);
        ASSERT_EQ(run.debugger.errors.size(), 1u);
        EXPECT_EQ(run.debugger.errors[0], fault.message);
        EXPECT_EQ(env("TX_FAULT_SURVIVED"), "<unset>");
    }
    runGuest("faults", "none");
    EXPECT_EQ(env("TX_FAULT_SURVIVED"), "none");
}

std::string txrun(const std::string& arguments) {
    return std::string(TERVEX_BIN_DIR) + "/tools/txrun " + arguments;
}

TEST(GuestProcess, ExitCodesTellHowTheProgramEnded) {
    auto divide = test::runProcess(txrun(test::guestImagePath("faults") + " divide"));
    EXPECT_EQ(divide.exitCode, 1);
    EXPECT_NE(divide.standardError.find("Integer divide by zero"), std::string::npos);

    auto stack = test::runProcess(txrun(test::guestImagePath("faults") + " stack"));
    EXPECT_EQ(stack.exitCode, 1);
    EXPECT_NE(stack.standardError.find("Stack overflow!"), std::string::npos);

    EXPECT_EQ(test::runProcess(txrun(test::guestImagePath("returns"))).exitCode, 0);
    EXPECT_EQ(test::runProcess(txrun(test::guestImagePath("end_first"))).exitCode, 0);

    auto missing = test::runProcess(txrun("/nonexistent/image.tmi"));
    EXPECT_EQ(missing.exitCode, 255);
    EXPECT_NE(missing.standardError.find("Unable to run Tervex Basic module"), std::string::npos);

    auto game = test::runProcess(std::string(TERVEX_BIN_DIR) + "/tervex -quick");
    EXPECT_EQ(game.exitCode, 0) << game.standardError;
}

}  // namespace
}  // namespace tx
