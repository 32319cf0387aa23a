// System properties and launching programs and documents.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "exec_command.h"
#include "host_runtime.h"
#include "test_files.h"
#include "wait_until.h"

namespace tx {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class SystemServices : public ::testing::Test {
protected:
    void SetUp() override {
        runtime = HostRuntime::open("", nullptr, openNullBackend());
        ASSERT_NE(runtime, nullptr);
    }

    std::unique_ptr<HostRuntime> runtime;
    test::TempDir dir;
    const fs::path folder = dir.path();
};

// Launched programs run on their own; give them a moment to leave their trace.
bool eventuallyExists(const fs::path& path) {
    return test::waitUntil([&] { return fs::exists(path); }, 1s);
}

TEST_F(SystemServices, PropertiesIgnoreCaseAndFoldersEndInSlash) {
    EXPECT_FALSE(runtime->systemProperty("cpu").empty());
    EXPECT_EQ(runtime->systemProperty("CPU"), runtime->systemProperty("cpu"));
    EXPECT_FALSE(runtime->systemProperty("os").empty());
    EXPECT_EQ(runtime->systemProperty("Os"), runtime->systemProperty("os"));
    for (const char* name : {"appdir", "windowsdir", "systemdir", "TempDir"}) {
        const std::string value = runtime->systemProperty(name);
        ASSERT_FALSE(value.empty()) << name;
        EXPECT_EQ(value.back(), '/') << name;
        EXPECT_NE(value.substr(0, value.size() - 1).back(), '/') << name;
        EXPECT_TRUE(fs::is_directory(value)) << name;
    }
    EXPECT_TRUE(fs::is_regular_file(runtime->systemProperty("appdir") + "tervex_host_tests"));
}

// A command line's file (none to run for the empty ones) and its parameters.
TEST(ExecCommandParsing, SplitsFileAndParameters) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"", nullptr, ""},
        {"    ", nullptr, ""},
        {"\"\" args", nullptr, ""},
        {"   notepad.exe   readme.txt  ", "notepad.exe", "readme.txt"},
        {"\"my program\"  -a b ", "my program", "-a b"},
        {"game", "game", ""},
        {"\"my program -a", "my program -a", ""},
    };
    for (const auto& [command, file, parameters] : cases) {
        const auto parsed = parseExecCommand(command);
        ASSERT_EQ(parsed.has_value(), file != nullptr) << command;
        if (!parsed) continue;
        EXPECT_EQ(parsed->file, file);
        EXPECT_EQ(parsed->parameters, parameters);
    }
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
    EXPECT_EQ(test::fileText(record), document.string() + "\n");

    fs::remove(record);
    EXPECT_TRUE(runtime->execFile("https://example.com/page?x=1"));
    EXPECT_TRUE(eventuallyExists(record));
    EXPECT_EQ(test::fileText(record), "https://example.com/page?x=1\n");

    setenv("PATH", folder.c_str(), 1);
    fs::remove(opener);  // no desktop handler at all
    EXPECT_FALSE(runtime->execFile(document.string()));
    setenv("PATH", savedPath.c_str(), 1);
}

}  // namespace
}  // namespace tx
