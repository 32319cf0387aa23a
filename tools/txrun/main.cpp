// txrun IMAGE [ARGS...]: runs a module image file; everything after IMAGE is its command line.
// TERVEX_DEBUG=1 turns on the commands' validity checks.
// txrun --signatures: prints the command registry, one signature per line.
// txrun --c-header [FILE]: prints (or writes to FILE) C declarations of the registry for guest
// programs written in C.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "guest_header.h"
#include "program_entry.h"
#include "runtime_interface.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: txrun IMAGE [ARGS...]\n");
        return 2;
    }
    if (argc == 2 && std::strcmp(argv[1], "--signatures") == 0) {
        tx::writeSignatures(tx::runtimeGetRuntime(), std::cout);
        return std::cout.flush() ? 0 : 1;
    }
    if ((argc == 2 || argc == 3) && std::strcmp(argv[1], "--c-header") == 0) {
        std::ostringstream header;
        tx::writeGuestHeader(tx::runtimeGetRuntime(), header);
        if (argc == 2) return std::cout << header.str() << std::flush ? 0 : 1;
        // An unchanged header keeps its time stamp, so that what includes it is not rebuilt.
        if (std::ifstream old(argv[2], std::ios::binary); old) {
            const std::string text((std::istreambuf_iterator<char>(old)),
                                   std::istreambuf_iterator<char>());
            if (text == header.str()) return 0;
        }
        std::ofstream file(argv[2], std::ios::binary | std::ios::trunc);
        if (!(file << header.str() << std::flush)) {
            std::fprintf(stderr, "txrun: cannot write %s\n", argv[2]);
            return 1;
        }
        return 0;
    }
    std::vector<uint8_t> image;
    if (std::ifstream file(argv[1], std::ios::binary); file) {
        image.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    const char* debugVar = std::getenv("TERVEX_DEBUG");
    const bool debug = debugVar != nullptr && std::strcmp(debugVar, "1") == 0;
    // The image path stands in for the program name.
    const std::string commandLine = tx::joinCommandLine(argc - 1, argv + 1);
    return tx::processEntry(image, commandLine, debug);
}
