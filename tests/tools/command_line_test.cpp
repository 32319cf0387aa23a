// tximage and txrun as programs, case by case: the command line, the exit code, what they say
// (standard output and error together) and whether an image is left behind. tximage writes its
// image only on success; txrun exits 64 on a usage error and 255, saying why, on an image file
// it cannot read.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "image_file.h"
#include "module_image_builder.h"
#include "tools_test_support.h"

namespace {

namespace fs = std::filesystem;

// A virtual memory limit leaves no room for the address sanitizer's shadow memory.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMemoryLimitWorks = false;
#else
constexpr bool kMemoryLimitWorks = true;
#endif

struct Case {
    const char* command;  // @ is replaced by the scratch directory, TX by the tools directory
    int exitCode;
    const char* says;  // a part of the output; "" for none at all, null for anything
    bool needsMemoryLimit = false;
};

const Case kCases[] = {
    // tximage
    {"TX/tximage @/ok.o -o @/out.tmi", 0, ""},
    {"TX/tximage @/nomain.o -o @/out.tmi", 1, "no global __MAIN"},
    {"TX/tximage @/missing.o -o @/out.tmi", 1,
     "cannot open '@/missing.o': No such file or directory"},
    {"TX/tximage @ -o @/out.tmi", 1, "cannot read '@': Is a directory"},
    {"TX/tximage", 2, "usage: tximage INPUT.o -o OUTPUT.tmi"},
    {"TX/tximage @/ok.o", 2, "usage"},
    {"TX/tximage @/ok.o @/ok.o -o @/out.tmi", 2, "usage"},
    {"TX/tximage --help", 0, "usage: tximage INPUT.o -o OUTPUT.tmi"},
    // Under about 190 MiB of address space: less than any image near the size limit needs.
    {"ulimit -v 190000 && TX/tximage @/huge.o -o @/out.tmi", 1, "zero-filled data (.bss) included",
     true},
    // txrun
    {"TX/txrun", 64, "usage: txrun IMAGE [ARGS...]"},
    {"TX/txrun --bogus", 64, "usage: txrun IMAGE [ARGS...]"},
    {"TX/txrun --signatures extra", 64, "usage: txrun IMAGE [ARGS...]"},
    {"TX/txrun --bogus 2>/dev/null", 64, ""},  // nothing on standard output
    {"TX/txrun --help 2>/dev/null", 0, "usage: txrun IMAGE [ARGS...]"},
    {"TX/txrun @/missing.tmi", 255,
     "Can't read @/missing.tmi: No such file or directory\nUnable to run Tervex Basic module\n"},
    {"TX/txrun @", 255, "Can't read @: Is a directory\nUnable to run"},
    {"TX/txrun /dev/zero", 255, "Can't read /dev/zero: not a regular file or a pipe\nUnable"},
    {"TX/txrun @/oversized.tmi", 255,
     "Can't read @/oversized.tmi: larger than the limit of 256 MiB\nUnable"},
    // Reading the process's memory from address 0 fails with an I/O error.
    {"TX/txrun /proc/self/mem", 255, "Can't read /proc/self/mem: Input/output error\nUnable"},
    {"TX/tximage @/ok.o -o @/ok.tmi && cat @/ok.tmi | TX/txrun /dev/stdin", 0, nullptr},
    // txrun --attach: exit 1 on a failure, with nothing written (TX/../tervex is the runtime)
    {"TX/txrun --attach", 64, "usage: txrun IMAGE [ARGS...]"},
    {"TX/txrun --attach TX/../tervex @/ok.o @/out.tmi", 64, "txrun --attach RUNTIME IMAGE -o GAME"},
    {"TX/txrun --attach TX/../tervex @/missing.tmi -o @/out.tmi", 1,
     "txrun: cannot read '@/missing.tmi': No such file or directory"},
    {"printf '' | TX/txrun --attach TX/../tervex /dev/stdin -o @/out.tmi", 1,
     "txrun: the module image is empty"},
    {"TX/txrun --attach @/missing -o @/ok.o -o @/out.tmi", 64, "usage"},
    {"TX/txrun --attach @/missing @/ok.o -o @/out.tmi", 1,
     "txrun: cannot open '@/missing': No such file or directory"},
    {"TX/txrun --attach @ @/ok.o -o @/out.tmi", 1, "txrun: '@' is not a regular file"},
    {"TX/txrun --attach TX/../tervex @/ok.o -o @/none/out.tmi", 1,
     "txrun: cannot create a file beside '@/none/out.tmi': No such file or directory"},
    {"TX/txrun --attach TX/../tervex @/ok.o -o @", 1, "txrun: cannot write '@': Is a directory"},
    // A write that fails half way (the file size limit) leaves neither the output nor a
    // temporary file.
    {"trap '' XFSZ && ulimit -f 2000 && TX/txrun --attach TX/../tervex @/ok.o -o @/out.tmi", 1,
     "txrun: cannot write '@/out.tmi': File too large"},
};

std::string expand(std::string text, const std::string& dir) {
    const std::string tools = (fs::path(TERVEX_BIN_DIR) / "tools").string();
    for (size_t at; (at = text.find("TX/")) != std::string::npos;) text.replace(at, 2, tools);
    for (size_t at = 0; (at = text.find('@', at)) != std::string::npos; at += dir.size())
        text.replace(at, 1, dir);
    return text;
}

TEST(ToolCommands, ExitAndSayWhatTheTableSays) {
    txtest::TempDir dir;
    const auto ok = txtest::compileGuest(dir, "ok.c", R"(
        #include "tervex.h"
        TX_MAIN { if (MilliSecs() < 0) Delay(1); End(); }
    )");
    txtest::compileGuest(dir, "nomain.c", "int main(void) { return 0; }\n");
    const std::string bss = "#include \"tervex.h\"\nTX_MAIN { big[0] = 1; }\n";
    txtest::compileGuest(dir, "huge.c",
                         "char big[" + std::to_string(tx::kMaxImageFileBytes) + "];\n" + bss);
    // Larger than the limit by one byte, without taking the disk space.
    txtest::writeText(dir / "oversized.tmi", "");
    fs::resize_file(dir / "oversized.tmi", tx::kMaxImageFileBytes + 1);

    for (const Case& c : kCases) {
        if (c.needsMemoryLimit && !kMemoryLimitWorks) continue;
        const std::string command = expand(c.command, dir.path());
        SCOPED_TRACE(command);
        fs::remove(dir / "out.tmi");
        const auto run = txtest::runCommand("(" + command + ")");
        EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
        if (c.says != nullptr && *c.says == '\0') {
            EXPECT_EQ(run.output, "");
        } else if (c.says != nullptr) {
            EXPECT_NE(run.output.find(expand(c.says, dir.path())), std::string::npos) << run.output;
        }
        // A failed conversion leaves no image and no temporary file.
        EXPECT_EQ(fs::exists(dir / "out.tmi"),
                  c.exitCode == 0 && command.find("out.tmi") != std::string::npos);
    }
    EXPECT_EQ(txtest::fileBytes(dir / "ok.tmi"), tximage::buildModuleImage(txtest::fileBytes(ok)));
    EXPECT_EQ(txtest::fileCount(dir),
              8u);  // three sources, three objects, ok.tmi and oversized.tmi
}

}  // namespace
