// Wildcard matching and reads from a pipe (the file and directory commands are checked by the
// guest I/O program, writes to pipes by the debug output runs).
#include <gtest/gtest.h>
#include <unistd.h>

#include "buffered_file.h"
#include "host_file_system.h"

namespace tx {
namespace {

TEST(Wildcards, StarAndQuestionMarkIgnoringCase) {
    EXPECT_TRUE(matchesWildcard("*.txt", "A.TXT"));
    EXPECT_TRUE(matchesWildcard("a?c", "abc"));
    EXPECT_TRUE(matchesWildcard("*", ""));
    EXPECT_TRUE(matchesWildcard("a*b*c", "aXbYbc"));
    EXPECT_FALSE(matchesWildcard("a*", "ba"));
    EXPECT_FALSE(matchesWildcard("a?c", "ac"));
    EXPECT_FALSE(matchesWildcard("*.txt", "a.txt.bak"));
}

// A pipe cannot seek back, but asking for the position works and keeps what was read ahead.
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
