// System properties and launching programs and documents.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "exec_command.h"
#include "host_runtime.h"

namespace tx {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class SystemServices : public ::testing::Test {
protected:
    void SetUp() override {
        runtime = HostRuntime::open("", nullptr, openNullBackend());
        ASSERT_NE(runtime, nullptr);
        folder = fs::temp_directory_path() /
                 ("tervex_host_test_" + std::to_string(getpid()) + "_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    std::unique_ptr<HostRuntime> runtime;
    fs::path folder;
};

// Launched programs run on their own; give them a moment to leave their trace.
bool eventuallyExists(const fs::path& path) {
    for (int i = 0; i < 200 && !fs::exists(path); ++i) std::this_thread::sleep_for(5ms);
    return fs::exists(path);
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST_F(SystemServices, PropertyNamesIgnoreCase) {
    const std::string os = runtime->systemProperty("os");
    EXPECT_FALSE(os.empty());
    EXPECT_EQ(runtime->systemProperty("OS"), os);
    EXPECT_EQ(runtime->systemProperty("Os"), os);
    EXPECT_EQ(runtime->systemProperty("CPU"), runtime->systemProperty("cpu"));
    EXPECT_FALSE(runtime->systemProperty("cpu").empty());
    EXPECT_EQ(runtime->systemProperty("TempDir"), runtime->systemProperty("tempdir"));
}

TEST_F(SystemServices, FolderPropertiesAreExistingFoldersEndingInSlash) {
    for (const char* name : {"appdir", "windowsdir", "systemdir", "tempdir"}) {
        const std::string value = runtime->systemProperty(name);
        ASSERT_FALSE(value.empty()) << name;
        EXPECT_EQ(value.back(), '/') << name;
        EXPECT_NE(value.substr(0, value.size() - 1).back(), '/') << name;
        EXPECT_TRUE(fs::is_directory(value)) << name;
    }
    EXPECT_TRUE(fs::is_regular_file(runtime->systemProperty("appdir") + "tervex_host_tests"));
}

TEST(ExecCommandParsing, SplitsFileAndParameters) {
    EXPECT_FALSE(parseExecCommand(""));
    EXPECT_FALSE(parseExecCommand("    "));
    EXPECT_FALSE(parseExecCommand("\"\" args"));

    auto plain = parseExecCommand("   notepad.exe   readme.txt  ");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->file, "notepad.exe");
    EXPECT_EQ(plain->parameters, "readme.txt");

    auto quoted = parseExecCommand("\"my program\"  -a b ");
    ASSERT_TRUE(quoted);
    EXPECT_EQ(quoted->file, "my program");
    EXPECT_EQ(quoted->parameters, "-a b");

    auto alone = parseExecCommand("game");
    ASSERT_TRUE(alone);
    EXPECT_EQ(alone->file, "game");
    EXPECT_EQ(alone->parameters, "");

    auto unclosed = parseExecCommand("\"my program -a");
    ASSERT_TRUE(unclosed);
    EXPECT_EQ(unclosed->file, "my program -a");
    EXPECT_EQ(unclosed->parameters, "");
}

TEST(ExecCommandParsing, ParametersSplitAtSpacesAndKeepQuotedText) {
    using Args = std::vector<std::string>;
    EXPECT_EQ(splitParameters(""), Args{});
    EXPECT_EQ(splitParameters("  a  b\tc "), (Args{"a", "b", "c"}));
    EXPECT_EQ(splitParameters("-f \"my file.txt\" x\"y z\""), (Args{"-f", "my file.txt", "xy z"}));
    EXPECT_EQ(splitParameters("\"\" a"), (Args{"", "a"}));
}

TEST_F(SystemServices, ExecFileRunsProgramsWithTheirParameters) {
    EXPECT_FALSE(runtime->execFile(""));
    EXPECT_FALSE(runtime->execFile("   "));
    EXPECT_TRUE(runtime->execFile("/bin/true"));
    EXPECT_TRUE(runtime->execFile("  true  "));  // found on PATH

    const fs::path marker = folder / "made by touch";
    EXPECT_TRUE(runtime->execFile("touch \"" + marker.string() + "\""));
    EXPECT_TRUE(eventuallyExists(marker));

    // A quoted file name may contain spaces.
    const fs::path link = folder / "my touch";
    fs::create_symlink(fs::canonical("/usr/bin/touch"), link);
    const fs::path second = folder / "second";
    EXPECT_TRUE(runtime->execFile("  \"" + link.string() + "\"   " + second.string() + "  "));
    EXPECT_TRUE(eventuallyExists(second));
}

TEST_F(SystemServices, ExecFileOfSomethingThatDoesNotExistFails) {
    EXPECT_FALSE(runtime->execFile("tervex_no_such_program_anywhere"));
    EXPECT_FALSE(runtime->execFile((folder / "missing.exe").string() + " -x"));
    EXPECT_FALSE(runtime->execFile("\"" + (folder / "missing file.txt").string() + "\""));
}

TEST_F(SystemServices, ExecFileOpensDocumentsAndUrlsWithTheDesktopHandler) {
    // A stand-in for xdg-open that records what it was asked to open.
    const fs::path opener = folder / "xdg-open";
    const fs::path record = folder / "opened";
    {
        std::ofstream script(opener);
        script << "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" << record.string() << ".tmp\"\n"
               << "mv \"" << record.string() << ".tmp\" \"" << record.string() << "\"\n";
    }
    fs::permissions(opener, fs::perms::owner_all);
    const std::string savedPath = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
    setenv("PATH", (folder.string() + ":" + savedPath).c_str(), 1);

    const fs::path document = folder / "read me.txt";
    std::ofstream(document) << "text";
    EXPECT_TRUE(runtime->execFile("\"" + document.string() + "\" ignored"));
    EXPECT_TRUE(eventuallyExists(record));
    EXPECT_EQ(readFile(record), document.string() + "\n");

    fs::remove(record);
    EXPECT_TRUE(runtime->execFile("https://example.com/page?x=1"));
    EXPECT_TRUE(eventuallyExists(record));
    EXPECT_EQ(readFile(record), "https://example.com/page?x=1\n");

    setenv("PATH", folder.c_str(), 1);
    fs::remove(opener);  // no desktop handler at all
    EXPECT_FALSE(runtime->execFile(document.string()));
    setenv("PATH", savedPath.c_str(), 1);
}

}  // namespace
}  // namespace tx
