// File and directory operations that fail silently, and wildcard matching. Listings, separators,
// case and the current directory are checked by the guest I/O program.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "filesystem_commands.h"
#include "filesystem_state.h"
#include "host_file_system.h"
#include "io_test_support.h"
#include "path_lookup.h"

namespace tx {
namespace {

using test::arg;
using test::fileBytes;
using test::putFile;

using FilesystemTest = test::IoTest;

TEST_F(FilesystemTest, DirectoryAndFileOperationsFailSilently) {
    createDir(test::files(), arg(dir.file("made")));
    EXPECT_EQ(fileType(test::files(), arg(dir.file("made"))), 2);
    createDir(test::files(), arg(dir.file("no/parents")));
    EXPECT_EQ(fileType(test::files(), arg(dir.file("no"))), 0) << "parents are not created";

    putFile(dir.file("made/inside.txt"), {1, 2});
    deleteDir(test::files(), arg(dir.file("made")));
    EXPECT_EQ(fileType(test::files(), arg(dir.file("made"))), 2) << "a directory with files stays";
    deleteFile(test::files(), arg(dir.file("MADE\\Inside.TXT")));
    EXPECT_EQ(fileType(test::files(), arg(dir.file("made/inside.txt"))), 0);
    deleteFile(test::files(), arg(dir.file("made")));
    EXPECT_EQ(fileType(test::files(), arg(dir.file("made"))), 2)
        << "DeleteFile leaves directories alone";
    deleteDir(test::files(), arg(dir.file("made")));
    EXPECT_EQ(fileType(test::files(), arg(dir.file("made"))), 0);

    putFile(dir.file("from.bin"), {1, 2, 3});
    putFile(dir.file("to.bin"), {9, 9, 9, 9, 9});
    copyFile(test::files(), arg(dir.file("FROM.bin")), arg(dir.file("to.bin")));
    EXPECT_EQ(fileBytes(dir.file("to.bin")), (std::vector<uint8_t>{1, 2, 3})) << "overwritten";
    copyFile(test::files(), arg(dir.file("from.bin")), arg(dir.file("new.bin")));
    EXPECT_EQ(fileBytes(dir.file("new.bin")), (std::vector<uint8_t>{1, 2, 3}));
    copyFile(test::files(), arg(dir.file("from.bin")), arg(dir.file("From.BIN")));
    EXPECT_EQ(fileBytes(dir.file("from.bin")), (std::vector<uint8_t>{1, 2, 3}))
        << "a copy onto itself loses nothing";
    copyFile(test::files(), arg(dir.file("missing")), arg(dir.file("never.bin")));
    EXPECT_EQ(fileType(test::files(), arg(dir.file("never.bin"))), 0);
}

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
