// A module image attached to the end of a copy of the game executable, so that one file is the
// whole game. The file is laid out as
//
//   the executable as built | the module image | trailer (16 bytes)
//
// and the trailer is the 8 bytes "TXIMAGE1" followed by the image size in bytes as a u64,
// little-endian. The image ends where the trailer begins. A file without the magic in its last
// 16 bytes carries no attached image. One with the magic but an image size of 0, larger than the
// bytes in front of the trailer, or above kMaxImageFileBytes is damaged: the game executable
// refuses to run it rather than fall back to the program it carries in its raw-data section.
//
// Anything that rewrites the executable (strip, objcopy) drops the attached image; attach it
// after such steps.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tx {

inline constexpr std::array<char, 8> kAttachedImageMagic = {'T', 'X', 'I', 'M', 'A', 'G', 'E', '1'};
inline constexpr uint64_t kAttachedTrailerBytes = 16;

// The trailer for an image of `imageBytes` bytes.
std::array<uint8_t, kAttachedTrailerBytes> attachedImageTrailer(uint64_t imageBytes);

enum class AttachedKind { None, Attached, Damaged };

// Where the parts of an executable file lie, judged by its trailer alone.
struct AttachedExtent {
    AttachedKind kind = AttachedKind::None;
    uint64_t executableBytes = 0;  // the file without any attached image and trailer
    uint64_t imageBytes = 0;
    std::string error;  // why a damaged trailer is refused, or why the file could not be read
};

// Reads the trailer of the open file `fd` (of `fileBytes` bytes). A read error is Damaged.
AttachedExtent findAttachedImage(int fd, uint64_t fileBytes);

struct AttachedImageRead {
    AttachedKind kind = AttachedKind::None;
    std::vector<uint8_t> bytes;  // the image, when Attached
    std::string error;           // the reason, when Damaged
};

// The image attached to the executable file at `path`. A file that cannot be opened or is not a
// regular file carries none (None); a damaged trailer, a short read or too little memory for
// the image is Damaged.
AttachedImageRead readAttachedImage(const std::string& path);

}  // namespace tx
