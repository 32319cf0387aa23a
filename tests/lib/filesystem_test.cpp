// Directories, listings and file names: separators, case, the current directory, and the
// operations that fail silently.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "filesystem_commands.h"
#include "filesystem_state.h"
#include "host_file_system.h"
#include "io_test_support.h"
#include "path_lookup.h"
#include "stream_commands.h"

namespace tx {
namespace {

using test::arg;
using test::fileBytes;
using test::putFile;
using test::take;

class FilesystemTest : public test::IoTest {
protected:
    // Commands that change the process's directory get it back afterwards.
    void TearDown() override {
        std::filesystem::current_path(startDir);
        test::IoTest::TearDown();
    }
    std::filesystem::path startDir = std::filesystem::current_path();
};

TEST_F(FilesystemTest, AListingGivesTheDotsThenEveryEntryOnceThenNothing) {
    std::filesystem::create_directory(dir.file("one"));
    putFile(dir.file("one/a.txt"), {1});
    const uint32_t listing = readDir(test::files(), arg(dir.file("one")));
    ASSERT_NE(listing, 0u);
    std::vector<std::string> names;
    for (int i = 0; i < 6; ++i) names.push_back(take(nextFile(listing)));
    EXPECT_EQ(names, (std::vector<std::string>{".", "..", "a.txt", "", "", ""}));
    closeDir(test::files(), listing);
    EXPECT_EQ(take(nextFile(listing)), "") << "a closed listing gives nothing";
    closeDir(test::files(), listing);
    closeDir(test::files(), 0);
    closeDir(test::files(), 0x30000005u);  // never opened: ignored

    putFile(dir.file("one/b.bin"), {});
    std::filesystem::create_directory(dir.file("one/sub"));
    const uint32_t again = readDir(test::files(), arg(dir.file("one") + "\\"));
    std::vector<std::string> entries;
    for (std::string name = take(nextFile(again)); !name.empty(); name = take(nextFile(again)))
        entries.push_back(name);
    std::sort(entries.begin() + 2, entries.end());
    EXPECT_EQ(entries, (std::vector<std::string>{".", "..", "a.txt", "b.bin", "sub"}));
    closeDir(test::files(), again);

    EXPECT_EQ(readDir(test::files(), arg(dir.file("missing"))), 0u);
    EXPECT_EQ(readDir(test::files(), arg(dir.file("one/a.txt"))), 0u) << "a file is not listed";
    const uint32_t root = readDir(test::files(), arg(""));
    ASSERT_NE(root, 0u) << "an empty name lists the root directory";
    EXPECT_EQ(take(nextFile(root)), ".");
    EXPECT_EQ(filesystemModule()->fileSystem.openDirCount(), 1u);
}

TEST_F(FilesystemTest, FileTypeAndFileSize) {
    std::filesystem::create_directory(dir.file("d"));
    putFile(dir.file("f.txt"), std::vector<uint8_t>(1234, 'x'));
    EXPECT_EQ(fileType(test::files(), arg(dir.file("d"))), 2);
    EXPECT_EQ(fileType(test::files(), arg(dir.file("d/"))), 2);
    EXPECT_EQ(fileType(test::files(), arg(dir.file("d\\"))), 2);
    EXPECT_EQ(fileType(test::files(), arg(dir.file("f.txt"))), 1);
    EXPECT_EQ(fileType(test::files(), arg(dir.file("f.txt/"))), 0) << "a file is no directory";
    EXPECT_EQ(fileType(test::files(), arg(dir.file("nothing"))), 0);
    EXPECT_EQ(fileType(test::files(), arg("")), 0);

    EXPECT_EQ(fileSize(test::files(), arg(dir.file("f.txt"))), 1234);
    EXPECT_EQ(fileSize(test::files(), arg(dir.file("d"))), 0);
    EXPECT_EQ(fileSize(test::files(), arg(dir.file("nothing"))), 0);
    EXPECT_EQ(fileSize(test::files(), arg(dir.file("*.TXT"))), 1234)
        << "a wildcard takes the first match";
    EXPECT_EQ(fileSize(test::files(), arg(dir.file("f?txt"))), 1234);
    EXPECT_EQ(fileSize(test::files(), arg(dir.file("*.none"))), 0);

    // Sizes beyond 32 bits give their low 32 bits (a sparse file takes no space).
    std::filesystem::resize_file(dir.file("f.txt"), (uint64_t{1} << 32) + 5);
    EXPECT_EQ(fileSize(test::files(), arg(dir.file("f.txt"))), 5);
}

TEST_F(FilesystemTest, PathsWithBackslashesAndAnotherCaseFindTheFile) {
    std::filesystem::create_directories(dir.file("Data/Levels"));
    putFile(dir.file("Data/Levels/One.lvl"), {7, 8, 9});
    const std::string spelled = dir.path() + "\\DATA\\levels\\ONE.LVL";
    const uint32_t in = readFile(test::files(), arg(spelled));
    ASSERT_NE(in, 0u);
    EXPECT_EQ(readByte(in), 7);
    closeFile(test::files(), in);
    EXPECT_EQ(fileType(test::files(), arg(spelled)), 1);
    EXPECT_EQ(fileSize(test::files(), arg(spelled)), 3);

    // A new file goes into the existing directory under the spelling it was given.
    const uint32_t out = writeFile(test::files(), arg(dir.path() + "\\data\\LEVELS\\Two.lvl"));
    ASSERT_NE(out, 0u);
    closeFile(test::files(), out);
    EXPECT_TRUE(std::filesystem::exists(dir.file("Data/Levels/Two.lvl")));

    // An exact match wins; among case-only differences the first in byte order does.
    putFile(dir.file("Mixed"), {1});
    putFile(dir.file("mixed"), {2});
    EXPECT_EQ(hostPath(dir.path() + "/mixed"), dir.file("mixed"));
    EXPECT_EQ(hostPath(dir.path() + "/MIXED"), dir.file("Mixed"));
    EXPECT_EQ(hostPath(dir.path() + "\\data\\"), dir.file("Data/"));
    EXPECT_EQ(hostPath(dir.path() + "/Nope/Deeper/x"), dir.file("Nope/Deeper/x"));
    EXPECT_EQ(hostPath(""), "");
}

TEST_F(FilesystemTest, CurrentDirEndsWithASeparatorAndFollowsChangeDir) {
    std::filesystem::create_directory(dir.file("Work"));
    const std::string before = take(currentDir(test::files()));
    ASSERT_FALSE(before.empty());
    EXPECT_EQ(before.back(), '/');

    changeDir(test::files(), arg(dir.path() + "\\work"));
    const std::string now = take(currentDir(test::files()));
    EXPECT_EQ(now, std::filesystem::canonical(dir.file("Work")).string() + "/");
    putFile("relative.bin", {5});
    EXPECT_EQ(fileType(test::files(), arg("RELATIVE.BIN")), 1)
        << "relative names start at the current dir";

    changeDir(test::files(), arg(dir.file("missing")));
    EXPECT_EQ(take(currentDir(test::files())), now) << "a failed change keeps the directory";
    changeDir(test::files(), arg("/"));
    EXPECT_EQ(take(currentDir(test::files())), "/") << "the root keeps its single separator";
}

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
