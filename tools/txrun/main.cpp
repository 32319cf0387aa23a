// txrun IMAGE [ARGS...]: runs a module image file; everything after IMAGE is its command line.
// TERVEX_DEBUG=1 turns on the commands' validity checks and writes DebugLog lines to standard
// error; TERVEX_LOG=FILE writes them to FILE instead.
// txrun --signatures: prints the command registry, one signature per line.
// txrun --c-header [FILE]: prints (or writes to FILE) C declarations of the registry for guest
// programs written in C.
// txrun --attach RUNTIME IMAGE -o GAME: writes GAME, a copy of the game executable RUNTIME with
// the module image file IMAGE attached (replacing any image RUNTIME carries), which runs IMAGE
// on its own; exit 1, saying why, when it cannot.
// A usage error exits with 64; an image file that cannot be read, or is larger than the image
// size limit, is an unusable image (255) and says why first.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "game_executable.h"
#include "guest_header.h"
#include "image_file.h"
#include "program_entry.h"
#include "runtime_interface.h"

namespace {

constexpr int kExitUsage = 64;

constexpr const char* kUsage =
    "usage: txrun IMAGE [ARGS...] | txrun --signatures | txrun --c-header [FILE]\n"
    "       txrun --attach RUNTIME IMAGE -o GAME\n";

int attach(const char* runtime, const char* imagePath, const char* output) {
    const tx::LimitedFileRead image = tx::readLimitedFile(imagePath, tx::kMaxImageFileBytes);
    if (!image.error.empty()) {
        std::fprintf(stderr, "txrun: cannot read '%s': %s\n", imagePath, image.error.c_str());
        return 1;
    }
    const std::string error = tx::writeGameExecutable(runtime, image.bytes, output);
    if (!error.empty()) {
        std::fprintf(stderr, "txrun: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--signatures") == 0) {
        tx::writeSignatures(tx::runtimeGetRuntime(), std::cout);
        return std::cout.flush() ? 0 : 1;
    }
    if ((argc == 2 || argc == 3) && std::strcmp(argv[1], "--c-header") == 0) {
        std::ostringstream header;
        tx::writeGuestHeader(tx::runtimeGetRuntime(), header);
        if (argc == 2) return std::cout << header.str() << std::flush ? 0 : 1;
        // An unchanged header keeps its time stamp, so that what includes it is not rebuilt.
        const tx::LimitedFileRead old = tx::readLimitedFile(argv[2], tx::kMaxImageFileBytes);
        if (old.error.empty() && std::string_view(reinterpret_cast<const char*>(old.bytes.data()),
                                                  old.bytes.size()) == header.str()) {
            return 0;
        }
        std::ofstream file(argv[2], std::ios::binary | std::ios::trunc);
        if (!(file << header.str() << std::flush)) {
            std::fprintf(stderr, "txrun: cannot write %s\n", argv[2]);
            return 1;
        }
        return 0;
    }
    if (argc == 6 && std::strcmp(argv[1], "--attach") == 0 && std::strcmp(argv[4], "-o") == 0)
        return attach(argv[2], argv[3], argv[5]);
    // Any other option, or an option with the wrong arguments: an image name never starts with
    // '-' (a file of such a name is given as ./-name).
    if (argv[1][0] == '-') {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    const tx::LimitedFileRead file = tx::readLimitedFile(argv[1], tx::kMaxImageFileBytes);
    if (!file.error.empty()) {
        std::fprintf(stderr, "Can't read %s: %s\n", argv[1], file.error.c_str());
        return tx::reportUnusableImage();
    }
    const std::vector<uint8_t>& image = file.bytes;
    const char* debugVar = std::getenv("TERVEX_DEBUG");
    const bool debug = debugVar != nullptr && std::strcmp(debugVar, "1") == 0;
    // The image path stands in for the program name.
    const std::string commandLine = tx::joinCommandLine(argc - 1, argv + 1);
    return tx::processEntry(image, commandLine, debug);
}
