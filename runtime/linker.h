// Links a module image into a guest: copies its code and patches every fixup.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "guest_machine.h"
#include "runtime_interface.h"

namespace tx {

struct LinkResult {
    enum class Status { Linked, UnusableImage, MissingSymbol };
    Status status = Status::Linked;
    std::string message;  // the text to show when linking failed
    GuestAddr entry = 0;  // the code block, whose first byte is the entry point
};

inline constexpr const char* kUnusableImageMessage = "Unable to run Tervex Basic module";

// Builds the runtime symbols from the runtime interface's registry, then reads the image. An
// image that is truncated, lies about its counts, or puts a symbol or fixup outside the code
// block is refused; nothing outside the image or the code block is ever read or written.
LinkResult link(RuntimeInterface& runtime, std::span<const uint8_t> image, GuestMachine& machine);

}  // namespace tx
