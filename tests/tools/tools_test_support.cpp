#include "tools_test_support.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>

#include "module_image_builder.h"

namespace txtest {

CommandResult runCommand(const std::string& command) {
    struct PipeCloser {
        void operator()(FILE* f) const {
            if (f != nullptr) ::pclose(f);
        }
    };
    std::unique_ptr<FILE, PipeCloser> pipe(::popen((command + " 2>&1").c_str(), "r"));
    if (!pipe) throw std::runtime_error("cannot run: " + command);
    CommandResult result{-1, {}};
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0) {
        result.output.append(buffer.data(), n);
    }
    const int status = ::pclose(pipe.release());
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::vector<uint8_t> readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

void writeText(const std::filesystem::path& path, std::string_view text) {
    writeBytes(path, {reinterpret_cast<const uint8_t*>(text.data()), text.size()});
}

std::string quoted(const std::filesystem::path& path) {
    return "'" + path.string() + "'";
}

std::filesystem::path compileGuest(const TempDir& dir, std::string_view name,
                                   std::string_view source, std::string_view extraFlags) {
    const auto sourcePath = dir / name;
    auto objectPath = sourcePath;
    objectPath.replace_extension(".o");
    writeText(sourcePath, source);
    std::string command = std::string(TERVEX_GUEST_CC) + " ";
    if (sourcePath.extension() == ".c") {
        command += std::string(kGuestCFlags) + " -I" + quoted(TERVEX_GUEST_INCLUDE) + " -I" +
                   quoted(TERVEX_GUEST_GENERATED_INCLUDE) + " ";
    } else {
        command += "-m32 ";
    }
    command += std::string(extraFlags) + " -c " + quoted(sourcePath) + " -o " + quoted(objectPath);
    const CommandResult result = runCommand(command);
    if (result.exitCode != 0) {
        throw std::runtime_error("guest compile failed: " + command + "\n" + result.output);
    }
    return objectPath;
}

std::optional<uint32_t> ParsedImage::symbol(std::string_view name) const {
    for (const Record& r : symbols) {
        if (r.name == name) return r.offset;
    }
    return std::nullopt;
}

ParsedImage imageOf(const std::filesystem::path& object) {
    std::optional<tx::ModuleImage> parsed =
        tx::readModuleImage(tximage::buildModuleImage(readBytes(object)));
    if (!parsed) throw std::runtime_error("not exactly one module image");
    return ParsedImage{std::move(*parsed)};
}

}  // namespace txtest
