// The guest ABI has one source, the registry: `txrun --signatures` prints it and must match the
// golden copy in tests/data, and the generated C header declares every entry under its link key:
// a strict C program that refers to each by the name its signature gives it links to exactly
// the registry's keys.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "../tools/tools_test_support.h"
#include "guest_layout.h"
#include "guest_runner.h"
#include "module_image.h"
#include "runtime_interface.h"
#include "signature.h"
#include "test_files.h"

namespace tx {
namespace {

TEST(GuestAbi, SignaturesMatchTheGoldenFileAndTheGeneratedHeader) {
    std::string registry, routines, data;
    std::set<std::string> keys;
    RuntimeInterface& runtime = runtimeGetRuntime();
    while (const char* signature = runtime.nextSymbol()) {
        registry += signature + std::string("\n");
        const auto parsed = parseSignature(signature);
        ASSERT_TRUE(parsed) << signature;
        keys.insert(linkKey(signature));
        const uint32_t address = runtime.symbolValue(signature);
        if (address >= layout::kThunkBase && address < layout::kThunkBase + layout::kThunkAreaSize)
            routines += "    (txRoutine)" + parsed->name + ",\n";
        else
            data += "    " + parsed->name + ",\n";
    }
    test::TempDir dir;
    const std::string bin = TERVEX_BIN_DIR "/tools/";
    auto run = txtest::runCommand(bin + "txrun --signatures >" + dir.file("sig.txt"));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(test::fileText(dir.file("sig.txt")), registry) << "txrun prints the registry";
    // On a difference gtest shows a line diff (- golden, + registry).
    EXPECT_EQ(test::fileText(TERVEX_TEST_DATA "/signatures.txt"), registry)
        << "Guest programs see every signature, its position and its link key. If the change is "
           "intended, regenerate the file from the build directory:\n"
           "  tools/txrun --signatures > ../tests/data/signatures.txt";

    const std::string source =
        "#include \"tervex.h\"\ntypedef void (*txRoutine)(void);\n"
        "const txRoutine routines[] = {\n" +
        routines + "};\nconst void* const data[] = {\n" + data + "};\nTX_MAIN {}\n";
    const auto object = txtest::compileGuest(dir, "all.c", source, "-std=c11 -pedantic -Wextra");
    run = txtest::runCommand(bin + "tximage " + object.string() + " -o " + dir.file("all.tmi"));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const auto image = readModuleImage(test::fileBytes(dir.file("all.tmi")));
    ASSERT_TRUE(image);
    std::set<std::string> referenced;
    for (const ImageRecord& fixup : image->absoluteFixups) referenced.insert(fixup.name);
    for (const ImageRecord& symbol : image->symbols) referenced.erase(symbol.name);
    EXPECT_EQ(referenced, keys);
}

}  // namespace
}  // namespace tx
