// Encoded code checked against GNU as: the listing, read back as Intel-syntax assembly, must
// assemble to the same bytes and the same relocations as the encoder's code and fixups.
#pragma once

#include <elf.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "../tools/tools_test_support.h"
#include "elf_object.h"
#include "x86_encoder.h"
#include "x86_intel_text.h"

namespace txc::x86::test {

// (offset, absolute, symbol)
using Relocation = std::tuple<uint32_t, bool, std::string>;

struct Assembled {
    std::vector<uint8_t> code;
    std::vector<Relocation> relocations;
};

// Assembles the listing of `code` with GNU as; named labels are global, so that references to
// them are relocations by name.
inline Assembled assembleWithGnu(const EncodedCode& code) {
    std::string source = ".intel_syntax noprefix\n.text\n";
    for (const CodeSymbol& symbol : code.symbols) source += ".globl " + symbol.name + "\n";
    for (const ListingLine& line : code.listing) source += line.text + "\n";
    txtest::TempDir dir;
    txtest::writeText(dir / "code.s", source);
    const auto result = txtest::runCommand("as --32 -o " + txtest::quoted(dir / "code.o") + " " +
                                           txtest::quoted(dir / "code.s"));
    if (result.exitCode != 0) throw std::runtime_error("as failed:\n" + result.output);
    const std::vector<uint8_t> file = txtest::fileBytes(dir / "code.o");
    const tximage::ElfObject object(file);
    Assembled out;
    uint32_t text = 0;
    while (object.sections().at(text).name != ".text") ++text;
    const auto& contents = object.sections()[text].contents;
    out.code.assign(contents.begin(), contents.end());
    for (const auto& section : object.relocationSections()) {
        if (section.targetIndex != text) continue;
        for (const auto& r : section.entries) {
            out.relocations.emplace_back(r.offset, r.type == R_386_32,
                                         object.symbols()[r.symbolIndex].name);
        }
    }
    std::sort(out.relocations.begin(), out.relocations.end());
    return out;
}

inline void expectSameAsGnu(const EncodedCode& code) {
    const Assembled gnu = assembleWithGnu(code);
    if (code.code != gnu.code) {
        size_t at = 0;  // the first byte that differs
        while (at < code.code.size() && at < gnu.code.size() && code.code[at] == gnu.code[at]) ++at;
        std::string line = "(past the end)";  // the listing line holding the byte at `at`
        for (const ListingLine& l : code.listing)
            if (l.size != 0 && at >= l.address && at < l.address + l.size) line = l.text;
        ADD_FAILURE() << "first difference at offset " << at << " in `" << line << "`; GNU has "
                      << (at < gnu.code.size() ? hexNumber(gnu.code[at]) : "nothing") << " there";
        return;
    }
    std::vector<Relocation> fixups;
    for (const CodeFixup& f : code.absoluteFixups) fixups.emplace_back(f.offset, true, f.symbol);
    for (const CodeFixup& f : code.relativeFixups) fixups.emplace_back(f.offset, false, f.symbol);
    std::sort(fixups.begin(), fixups.end());
    EXPECT_EQ(fixups, gnu.relocations);
}

}  // namespace txc::x86::test
