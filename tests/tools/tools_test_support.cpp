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
        command += std::string(kGuestCFlags) + " -I" + quoted(TERVEX_GUEST_INCLUDE) + " ";
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

namespace {

class Cursor {
public:
    explicit Cursor(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    uint32_t u32() {
        need(4);
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= uint32_t{bytes_[pos_ + i]} << (8 * i);
        pos_ += 4;
        return v;
    }

    std::string name() {
        std::string s;
        for (;;) {
            need(1);
            const uint8_t c = bytes_[pos_++];
            if (c == 0) return s;
            s.push_back(static_cast<char>(c));
        }
    }

    std::vector<uint8_t> take(size_t n) {
        need(n);
        std::vector<uint8_t> v(bytes_.begin() + pos_, bytes_.begin() + pos_ + n);
        pos_ += n;
        return v;
    }

    std::vector<ParsedImage::Record> records() {
        const auto count = static_cast<int32_t>(u32());
        std::vector<ParsedImage::Record> result;
        for (int32_t i = 0; i < count; ++i) {
            std::string n = name();
            result.push_back({std::move(n), u32()});
        }
        return result;
    }

    bool atEnd() const { return pos_ == bytes_.size(); }

private:
    void need(size_t n) const {
        if (bytes_.size() - pos_ < n) throw std::runtime_error("module image is truncated");
    }

    std::span<const uint8_t> bytes_;
    size_t pos_ = 0;
};

}  // namespace

ParsedImage parseImage(std::span<const uint8_t> image) {
    Cursor cursor(image);
    ParsedImage parsed;
    parsed.code = cursor.take(cursor.u32());
    parsed.symbols = cursor.records();
    parsed.relativeFixups = cursor.records();
    parsed.absoluteFixups = cursor.records();
    if (!cursor.atEnd()) throw std::runtime_error("bytes after the last record");
    return parsed;
}

std::optional<uint32_t> ParsedImage::symbol(std::string_view name) const {
    for (const Record& r : symbols) {
        if (r.name == name) return r.offset;
    }
    return std::nullopt;
}

int32_t ParsedImage::wordAt(uint32_t offset) const {
    if (offset + 4 > code.size()) throw std::runtime_error("word outside the code block");
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= uint32_t{code[offset + i]} << (8 * i);
    return static_cast<int32_t>(v);
}

ParsedImage imageOf(const std::filesystem::path& object) {
    return parseImage(tximage::buildModuleImage(readBytes(object)));
}

}  // namespace txtest
