// End-to-end check of the conversion: an image, linked at a base address the way the runtime
// links it, must hold exactly the bytes GNU ld produces for the same object when told to lay
// the sections out in the same order behind the same entry jump, with zeros between them as
// tximage pads. Objects are compiled with -fno-merge-constants because ld merges duplicate
// constants and tximage keeps them all. COMMON symbols, which the guest programs do not have, are
// placed by a test of their own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "../runtime/reference_link.h"
#include "module_image_builder.h"
#include "tools_test_support.h"

namespace {

constexpr uint32_t kBase = 0x00100000;
constexpr uint32_t kRuntimeBase = 0x00020000;

constexpr const char* kLinkerScript = R"(
SECTIONS {
    . = 0x00100000;
    .image : {
        BYTE(0xE9)
        LONG(__MAIN - (ABSOLUTE(.) + 4))
        *(.text .text.*)
        *(.rodata .rodata.*)
        *(.data .data.*)
        *(.bss .bss.*)
        *(COMMON)
    } =0
    /DISCARD/ : { *(.eh_frame) *(.note.*) *(.comment) }
}
)";

std::vector<uint8_t> linkWithLd(const txtest::TempDir& dir, const std::filesystem::path& object,
                                const std::map<std::string, uint32_t>& runtime) {
    const auto script = dir / "image.ld";
    txtest::writeText(script, kLinkerScript);
    std::string command = "ld -m elf_i386 -T " + txtest::quoted(script);
    for (const auto& [name, address] : runtime)
        command += " --defsym=" + name + "=" + std::to_string(address);
    const auto elf = dir / "linked.elf";
    const auto bin = dir / "linked.bin";
    command += " -o " + txtest::quoted(elf) + " " + txtest::quoted(object);
    const auto link = txtest::runCommand(command);
    if (link.exitCode != 0) throw std::runtime_error(command + "\n" + link.output);
    const auto copy = txtest::runCommand("objcopy -O binary -j .image " + txtest::quoted(elf) +
                                         " " + txtest::quoted(bin));
    if (copy.exitCode != 0) throw std::runtime_error(copy.output);
    return txtest::fileBytes(bin);
}

void expectSameAsLd(const txtest::TempDir& dir, const std::filesystem::path& object) {
    // Names the image does not define get made-up addresses, the same for both linkers.
    std::map<std::string, uint32_t> runtime;
    uint32_t next = kRuntimeBase;
    const auto image = tximage::buildModuleImage(txtest::fileBytes(object));
    const tx::test::ImageReading ours =
        tx::test::readImage(image, kBase, [&](const std::string& name) {
            return std::optional(runtime.try_emplace(name, next += 16).first->second);
        });
    ASSERT_TRUE(ours.linked);
    const auto theirs = linkWithLd(dir, object, runtime);
    // ld's binary may stop before trailing zero-filled data; everything beyond it is zero.
    ASSERT_LE(theirs.size(), ours.code.size());
    const auto mismatch = std::mismatch(theirs.begin(), theirs.end(), ours.code.begin());
    EXPECT_EQ(mismatch.first, theirs.end())
        << "first difference at offset " << (mismatch.first - theirs.begin());
    for (size_t i = theirs.size(); i < ours.code.size(); ++i) ASSERT_EQ(ours.code[i], 0) << i;
    const auto parsed = tx::readModuleImage(image);
    EXPECT_FALSE(parsed->relativeFixups.empty());
    EXPECT_FALSE(parsed->absoluteFixups.empty());
}

// Two of the guest programs (tables of strings and function pointers, floats, structures, static
// and global data) at -O1 and at -O2 with a section per function and object, then their -O2
// objects joined by ld -r, the second one's entry made local: sections of the same name coming
// from two files.
TEST(GnuLdComparison, GuestProgramsAloneAndJoined) {
    txtest::TempDir dir;
    const std::string programs = TERVEX_TEST_DATA "/../guest/";
    for (const char* flags : {"", "-O2 -ffunction-sections -fdata-sections"}) {
        for (const char* program : {"language.c", "math.c"}) {
            SCOPED_TRACE(std::string(program) + " " + flags);
            const std::string source = tx::test::fileText(programs + "programs/" + program);
            expectSameAsLd(dir, txtest::compileGuest(dir, program, source,
                                                     std::string("-fno-merge-constants -I") +
                                                         programs + " " + flags));
        }
    }
    const auto joined = dir / "joined.o";
    const auto link = txtest::runCommand("objcopy -L __MAIN " + txtest::quoted(dir / "math.o") +
                                         " && ld -m elf_i386 -r -o " + txtest::quoted(joined) +
                                         " " + txtest::quoted(dir / "language.o") + " " +
                                         txtest::quoted(dir / "math.o"));
    ASSERT_EQ(link.exitCode, 0) << link.output;
    expectSameAsLd(dir, joined);
}

TEST(ImageLayout, CommonSymbolsFollowBssAtTheirAlignment) {
    txtest::TempDir dir;
    const auto object = txtest::compileGuest(dir, "common.s", R"(
        .text
        .globl __MAIN
__MAIN: ret
        .bss
        .globl buffer
buffer: .skip 3
        .comm flag, 1, 1
        .comm pool, 40, 16
        .comm last, 4, 4
)");
    const auto image = tx::readModuleImage(tximage::buildModuleImage(txtest::fileBytes(object)));
    ASSERT_TRUE(image);
    // .text at 5 (1 byte), .bss at 6 (3 bytes), then flag 9, pool 16..56, last 56..60.
    const std::vector<tx::ImageRecord> symbols{
        {"__MAIN", 0}, {"buffer", 6}, {"flag", 9}, {"last", 56}, {"pool", 16}};
    EXPECT_EQ(image->symbols, symbols);
    EXPECT_EQ(image->code.size(), 60u);
}

}  // namespace
