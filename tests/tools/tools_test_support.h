// Shared helpers of the tximage tests: a scratch directory, running commands, compiling guest
// snippets with the guest compiler, and module images taken apart.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "module_image.h"
#include "test_files.h"

namespace txtest {

using TempDir = tx::test::TempDir;

struct CommandResult {
    int exitCode;
    std::string output;  // standard output and standard error together
};

CommandResult runCommand(const std::string& command);

using tx::test::fileBytes;
inline void writeText(const std::filesystem::path& path, std::string_view text) {
    std::ofstream(path) << text;
}

// The flags guest programs are built with.
inline constexpr const char* kGuestCFlags =
    "-m32 -O1 -ffreestanding -fno-pic -fno-pie -fno-stack-protector "
    "-fno-asynchronous-unwind-tables -fno-builtin -mno-sse -std=gnu11 -Wall -Werror";

// Writes `source` to dir/name and compiles it (C for *.c, assembly for *.s) into an object.
// C gets the guest flags and the guest include directory. Throws if the compiler fails.
std::filesystem::path compileGuest(const TempDir& dir, std::string_view name,
                                   std::string_view source, std::string_view extraFlags = "");

// Quotes a path for the shell.
std::string quoted(const std::filesystem::path& path);

// tximage's conversion applied to an object file, taken apart.
tx::ModuleImage imageOf(const std::filesystem::path& object);

}  // namespace txtest
