#include "tools_test_support.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
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

tx::ModuleImage imageOf(const std::filesystem::path& object) {
    std::optional<tx::ModuleImage> parsed =
        tx::readModuleImage(tximage::buildModuleImage(fileBytes(object)));
    if (!parsed) throw std::runtime_error("not exactly one module image");
    return std::move(*parsed);
}

}  // namespace txtest
