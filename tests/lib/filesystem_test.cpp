// Wildcard matching (the file and directory commands are checked by the guest I/O program).
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tx
