// Writing a self-contained game: a copy of the game executable with a module image attached
// (the layout is in attached_image.h).
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace tx {

// Writes outputPath: the executable at runtimeExecutable without any image already attached to
// it, then `image`, then the trailer; mode 0755. The file is written under a temporary name in
// the same directory and renamed into place, so a failure leaves outputPath as it was and no
// temporary file behind. outputPath may be runtimeExecutable itself (its image is replaced).
// Returns "" on success, otherwise what went wrong, naming the file.
std::string writeGameExecutable(const std::string& runtimeExecutable,
                                std::span<const uint8_t> image, const std::string& outputPath);

}  // namespace tx
