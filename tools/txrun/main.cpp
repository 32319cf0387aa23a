// txrun IMAGE [ARGS...]: runs a module image file; everything after IMAGE is its command line.
// TERVEX_DEBUG=1 turns on the commands' validity checks.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "program_entry.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: txrun IMAGE [ARGS...]\n");
        return 2;
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
