// The General MIDI sound font: the one TERVEX_SOUNDFONT names, else the largest installed one.
#include <array>
#include <cstdlib>
#include <system_error>

#include "decoder.h"

namespace tx::sound {

namespace fs = std::filesystem;

namespace {

bool isFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);  // follows symlinks
}

}  // namespace

fs::path generalMidiSoundFont() {
    if (const char* chosen = std::getenv("TERVEX_SOUNDFONT"); chosen && *chosen && isFile(chosen)) {
        return chosen;
    }
    static constexpr std::array<const char*, 2> kDirs = {"/usr/share/sounds/sf2",
                                                         "/usr/share/soundfonts"};
    static constexpr std::array<const char*, 3> kNames = {"FluidR3_GM.sf2", "TimGM6mb.sf2",
                                                          "default-GM.sf2"};
    fs::path best;
    uintmax_t bestSize = 0;
    for (const char* dir : kDirs) {
        for (const char* name : kNames) {
            std::error_code error;
            // Resolved, so a symlink to a font already seen is the same candidate.
            const fs::path font = fs::canonical(fs::path(dir) / name, error);
            if (error || !isFile(font)) continue;
            const uintmax_t size = fs::file_size(font, error);
            if (!error && size > bestSize) {
                best = font;
                bestSize = size;
            }
        }
    }
    return best;
}

}  // namespace tx::sound
