// tximage INPUT.o -o OUTPUT.tmi: converts one ELF32 i386 relocatable object into a module image.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "error.h"
#include "image_file.h"
#include "module_image_builder.h"

namespace {

constexpr int kExitError = 1;
constexpr int kExitUsage = 2;

void printUsage(std::ostream& out) {
    out << "usage: tximage INPUT.o -o OUTPUT.tmi\n"
           "Converts one ELF32 i386 relocatable object (gcc -m32 -c, as --32, or\n"
           "ld -m elf_i386 -r) into a module image.\n";
}

// An object larger than the largest image is refused before it is read.
std::vector<uint8_t> readFile(const std::string& path) {
    tx::LimitedFileRead file = tx::readLimitedFile(path, tx::kMaxImageFileBytes);
    if (!file.error.empty()) {
        throw tximage::Error((file.openFailed ? "cannot open '" : "cannot read '") + path +
                             "': " + file.error);
    }
    return std::move(file.bytes);
}

// Writes through a temporary file and renames it, so a failed write leaves no partial image.
void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    const std::string temporary = path + ".tmp" + std::to_string(::getpid());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (out) {
            out.write(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<std::streamsize>(bytes.size()));
            out.close();
        }
        if (!out) {
            const std::string reason = std::strerror(errno);
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            throw tximage::Error("cannot write '" + path + "': " + reason);
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        throw tximage::Error("cannot write '" + path + "': " + error.message());
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::string input;
    std::string output;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            printUsage(std::cout);
            return 0;
        }
        if (arg == "-o" && i + 1 < argc && output.empty()) {
            output = argv[++i];
        } else if (!arg.empty() && arg[0] != '-' && input.empty()) {
            input = arg;
        } else {
            printUsage(std::cerr);
            return kExitUsage;
        }
    }
    if (input.empty() || output.empty()) {
        printUsage(std::cerr);
        return kExitUsage;
    }
    try {
        writeFile(output, tximage::buildModuleImage(readFile(input)));
        return 0;
    } catch (const std::bad_alloc&) {
        std::cerr << "tximage: " << input
                  << ": error: not enough memory to build the module image\n";
    } catch (const std::exception& e) {
        std::cerr << "tximage: " << input << ": error: " << e.what() << '\n';
    }
    // An image left from an earlier run must not pass for the result of this one.
    std::error_code ignored;
    std::filesystem::remove(output, ignored);
    return kExitError;
}
