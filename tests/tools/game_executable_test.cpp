// Game executables: a guest image attached to a copy of `tervex` (by `txrun --attach` or by
// writeGameExecutable) runs on its own from anywhere, attaching again replaces the image (a game
// given as the runtime carries the new image only), and a damaged trailer ends as an unusable
// image without falling back to the carried program.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game_executable.h"
#include "image_file.h"
#include "tools_test_support.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

const std::string kTervex = TERVEX_BIN_DIR "/tervex";
const std::string kTxrun = TERVEX_BIN_DIR "/tools/txrun";
const std::string kHeadless = "SDL_VIDEODRIVER=offscreen ALSOFT_DRIVERS=null TERVEX_NO_DIALOGS=1 ";

std::string guestImage(const char* name) {
    return std::string(TERVEX_GUEST_DIR) + "/" + name + ".tmi";
}

// The trailer written out by hand: "TXIMAGE1" and the size as a little-endian u64.
Bytes trailer(uint64_t size) {
    Bytes bytes = {'T', 'X', 'I', 'M', 'A', 'G', 'E', '1'};
    for (int i = 0; i < 8; ++i) bytes.push_back(static_cast<uint8_t>(size >> (8 * i)));
    return bytes;
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

txtest::CommandResult attach(const fs::path& runtime, const std::string& image,
                             const fs::path& output) {
    return txtest::runCommand(kTxrun + " --attach " + txtest::quoted(runtime) + " " +
                              txtest::quoted(image) + " -o " + txtest::quoted(output));
}

// Attaching onto the game itself replaces its image in place, leaving no temporary file; the game
// runs its new image through a link from another directory. (Running a fresh game with its
// command line is checked with the compiler's --exe.)
TEST(GameExecutable, AttachingAgainReplacesTheImageInPlace) {
    txtest::TempDir dir;
    fs::create_directories(dir / "bin");
    fs::create_directories(dir / "work");
    const auto attached = attach(kTervex, guestImage("basic"), dir / "bin/game");
    ASSERT_EQ(attached.exitCode, 0) << attached.output;
    EXPECT_EQ(attached.output, "");

    const Bytes math = txtest::fileBytes(guestImage("math"));
    ASSERT_EQ(tx::writeGameExecutable(dir / "bin/game", math, dir / "bin/game"), "");
    EXPECT_EQ(txtest::fileBytes(dir / "bin/game"),
              txtest::fileBytes(kTervex) + math + trailer(math.size()));
    EXPECT_EQ(fs::status(dir / "bin/game").permissions() & fs::perms::all,
              static_cast<fs::perms>(0755));
    fs::create_symlink("../bin/game", dir / "work/link");
    // A case the basic program does not know.
    const auto run = txtest::runCommand("cd " + txtest::quoted(dir / "work") + " && " + kHeadless +
                                        "./link values");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(txtest::fileCount(dir), 2u);
}

TEST(GameExecutable, DamagedTrailersAreUnusableImagesAndNeverCrash) {
    txtest::TempDir dir;
    const Bytes basic = txtest::fileBytes(guestImage("basic"));
    const uint64_t executable = fs::file_size(kTervex);
    const Bytes truncated(basic.begin(), basic.end() - 100);

    const struct {
        const char* what;
        uint64_t zeros;  // zero bytes after the executable, before `tail`
        Bytes tail;
        int exitCode;        // of `game -quick`; 0 means the carried program ran
        std::string says;    // why the trailer is refused, when it is
        bool attachRefused;  // txrun --attach refuses the file as a runtime
    } cases[] = {
        {"the plain executable", 0, {}, 0, "", false},
        {"another magic", 0, Bytes{'T', 'X', 'I', 'M', 'A', 'G', 'E', '2'} + Bytes(8, 1), 0, "",
         false},
        {"an absurd size", 0, trailer(uint64_t{1} << 63), 255,
         "the trailer gives 9223372036854775808 image bytes, the file holds", true},
        {"size 0", 0, trailer(0), 255, "the trailer gives an empty image", true},
        {"a size one past the file", 5, trailer(executable + 6), 255,
         "the trailer gives " + std::to_string(executable + 6) + " image bytes, the file holds " +
             std::to_string(executable + 5) + " in front of it",
         true},
        {"a size over the limit", tx::kMaxImageFileBytes + 1, trailer(tx::kMaxImageFileBytes + 1),
         255, "the trailer gives an image larger than the limit of 256 MiB", true},
        {"a truncated image", 0, truncated + trailer(basic.size()), 255, "", false},
    };
    const std::string game = (dir / "game").string();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::copy_file(kTervex, game, fs::copy_options::overwrite_existing);
        fs::resize_file(game, executable + c.zeros);  // sparse: no disk space taken
        std::ofstream(game, std::ios::binary | std::ios::app)
            .write(reinterpret_cast<const char*>(c.tail.data()),
                   static_cast<std::streamsize>(c.tail.size()));

        const auto run = txtest::runCommand(kHeadless + txtest::quoted(game) + " -quick");
        EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
        if (c.exitCode == 0) {
            EXPECT_EQ(run.output, "");
        } else {
            EXPECT_NE(run.output.find("Unable to run Tervex Basic module\n"), std::string::npos)
                << run.output;
            if (!c.says.empty()) {
                EXPECT_NE(
                    run.output.find(std::string("Can't read the attached module image: ") + c.says),
                    std::string::npos)
                    << run.output;
            }
        }

        // As the runtime of a new game: refused, leaving the earlier output as it was, or its
        // image replaced so that the new game runs.
        txtest::writeText(dir / "out", "earlier");
        const auto attached = attach(game, guestImage("basic"), dir / "out");
        EXPECT_EQ(attached.exitCode, c.attachRefused ? 1 : 0) << attached.output;
        if (c.attachRefused) {
            EXPECT_NE(attached.output.find("txrun: '" + game + "' carries a damaged module image"),
                      std::string::npos)
                << attached.output;
            EXPECT_EQ(txtest::fileBytes(dir / "out"), (Bytes{'e', 'a', 'r', 'l', 'i', 'e', 'r'}));
        } else {
            const auto rerun = txtest::runCommand(kHeadless + txtest::quoted(dir / "out") + " end");
            EXPECT_EQ(rerun.exitCode, 0) << rerun.output;
        }
        EXPECT_EQ(txtest::fileCount(dir), 2u);
    }
}

}  // namespace
