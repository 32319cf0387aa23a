// Shared helpers of the tximage tests: a scratch directory, running commands, and compiling guest
// snippets with the guest compiler.
#pragma once

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "test_files.h"

namespace txtest {

using TempDir = tx::test::TempDir;
using tx::test::fileBytes;

struct CommandResult {
    int exitCode;
    std::string output;  // standard output and standard error together
};

inline CommandResult runCommand(const std::string& command) {
    struct PipeCloser {
        void operator()(FILE* f) const {
            if (f != nullptr) ::pclose(f);
        }
    };
    std::unique_ptr<FILE, PipeCloser> pipe(::popen((command + " 2>&1").c_str(), "r"));
    if (!pipe) throw std::runtime_error("cannot run: " + command);
    CommandResult result{-1, {}};
    std::array<char, 4096> buffer;
    for (size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0;)
        result.output.append(buffer.data(), n);
    const int status = ::pclose(pipe.release());
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

inline void writeText(const std::filesystem::path& path, std::string_view text) {
    std::ofstream(path) << text;
}

// The files (not directories) under `dir`, at any depth.
inline size_t fileCount(const TempDir& dir) {
    size_t count = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path()))
        count += !entry.is_directory();
    return count;
}

// Quotes a path for the shell.
inline std::string quoted(const std::filesystem::path& path) {
    return "'" + path.string() + "'";
}

// Writes `source` to dir/name and compiles it (C for *.c, assembly for *.s) into an object.
// C gets the guest flags and the guest include directories. Throws if the compiler fails.
inline std::filesystem::path compileGuest(const TempDir& dir, std::string_view name,
                                          std::string_view source,
                                          std::string_view extraFlags = "") {
    const auto sourcePath = dir / name;
    const auto objectPath = std::filesystem::path(sourcePath).replace_extension(".o");
    writeText(sourcePath, source);
    std::string command = std::string(TERVEX_GUEST_CC) + " -m32 ";
    if (sourcePath.extension() == ".c") {
        command +=
            "-O1 -ffreestanding -fno-pic -fno-pie -fno-stack-protector "
            "-fno-asynchronous-unwind-tables -fno-builtin -mno-sse -std=gnu11 -Wall "
            "-Werror -I" +
            quoted(TERVEX_GUEST_INCLUDE) + " -I" + quoted(TERVEX_GUEST_GENERATED_INCLUDE) + " ";
    }
    command += std::string(extraFlags) + " -c " + quoted(sourcePath) + " -o " + quoted(objectPath);
    const CommandResult result = runCommand(command);
    if (result.exitCode != 0)
        throw std::runtime_error("guest compile failed: " + command + "\n" + result.output);
    return objectPath;
}

}  // namespace txtest
