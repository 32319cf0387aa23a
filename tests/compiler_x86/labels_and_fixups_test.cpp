// Labels, symbols and fixups as a module image carries them: the image the encoder produces,
// linked at a base address, must hold in every referring word the address or distance it names;
// misuse of the encoder is refused; the listing reads as expected.
#include <cstring>
#include <map>

#include "../runtime/reference_link.h"
#include "gnu_as.h"

namespace txc::x86::test {
namespace {

constexpr uint32_t kBase = 0x00400000;
const std::map<std::string, uint32_t> kRuntime = {
    {"_fcls", 0x1000}, {"__txStrConcat", 0x2000}, {"_fend", 0x3000}};

TEST(LabelsAndFixups, LinkedWordsHoldTheirTargets) {
    Encoder e;
    e.defineSymbol("__MAIN");
    const Label function = e.newLabel("_fdouble");
    const Label text = e.newLabel("_7");
    const Label global = e.newLabel("_vscore");
    const Label local = e.newLabel();
    // Each case: the instruction, whose last four bytes are the word that refers; what it
    // refers to; whether that word is a distance from the instruction's end; the addend.
    struct Case {
        std::function<void()> emit;
        std::string target;
        bool relative;
        int32_t addend;
    };
    const std::vector<Case> cases = {
        {[&] { e.call("_fcls"); }, "_fcls", true, 0},
        {[&] { e.jmp("_fend"); }, "_fend", true, 0},
        {[&] { e.jcc(Cond::le, "__txStrConcat"); }, "__txStrConcat", true, 0},
        {[&] { e.call(function); }, "_fdouble", true, 0},
        {[&] { e.call(local); }, "local", true, 0},
        {[&] { e.push(addressOf(text)); }, "_7", false, 0},
        {[&] { e.mov(Reg::esi, addressOf("__txStrConcat", 12)); }, "__txStrConcat", false, 12},
        {[&] { e.mov(Reg::eax, ptrLabel(Width::dword, global)); }, "_vscore", false, 0},
        {[&] { e.add(dword(Reg::ebx, 0x200), addressOf(global, -4)); }, "_vscore", false, -4},
        {[&] { e.fld(ptrSym(Width::qword, "_fcls", Reg::ecx, 8, 16)); }, "_fcls", false, 16},
        {[&] { e.dd(addressOf(function, 3)); }, "_fdouble", false, 3},
    };
    for (const Case& c : cases) c.emit();
    e.bind(function);
    e.bind(local);
    e.mov(Reg::eax, dword(Reg::esp, 4));
    e.add(Reg::eax, Reg::eax);
    e.ret();
    e.bind(global);
    e.dd(imm(0));
    e.bind(text);
    e.asciz("score: ");
    const EncodedCode code = e.finish();

    const std::vector<uint8_t> image = tx::writeModuleImage(code.moduleImage());
    const auto reading = tx::test::readImage(image, kBase, [](const std::string& name) {
        const auto found = kRuntime.find(name);
        return found == kRuntime.end() ? std::nullopt : std::optional(found->second);
    });
    ASSERT_TRUE(reading.linked) << reading.missing.value_or("");
    std::map<std::string, uint32_t> addresses(kRuntime.begin(), kRuntime.end());
    for (const CodeSymbol& s : code.symbols) addresses[s.name] = kBase + s.offset;
    addresses["local"] = kBase + code.labelOffsets[local.id];
    // The lines after the label line of __MAIN, one per case.
    for (size_t i = 0; i < cases.size(); ++i) {
        const ListingLine& line = code.listing[1 + i];
        SCOPED_TRACE(line.text);
        const uint32_t end = line.address + line.size;
        uint32_t word;
        std::memcpy(&word, reading.code.data() + end - 4, 4);
        const uint32_t target = addresses.at(cases[i].target) + cases[i].addend;
        EXPECT_EQ(word, cases[i].relative ? target - (kBase + end) : target);
    }
    EXPECT_EQ(code.symbols, (std::vector<CodeSymbol>{{"__MAIN", 0},
                                                     {"_fdouble", code.labelOffsets[function.id]},
                                                     {"_7", code.labelOffsets[text.id]},
                                                     {"_vscore", code.labelOffsets[global.id]}}));
    // Calls to labels need no fixup: 3 relative fixups, one per symbol reference.
    EXPECT_EQ(code.relativeFixups.size(), 3u);
    EXPECT_EQ(code.absoluteFixups.size(), 6u);
}

TEST(LabelsAndFixups, ImageSymbolsSortedAndInside) {
    Encoder e;
    e.defineSymbol("_fz");
    e.ret();
    e.defineSymbol("_fa");
    const tx::ModuleImage image = e.finish().moduleImage();
    EXPECT_EQ(image.code, (std::vector<uint8_t>{0xC3, 0x00}));
    EXPECT_EQ(image.symbols, (std::vector<tx::ImageRecord>{{"_fa", 1}, {"_fz", 0}}));
    EXPECT_TRUE(tx::readModuleImage(tx::writeModuleImage(image)).has_value());
}

TEST(LabelsAndFixups, MisuseIsRefused) {
    const std::vector<std::pair<const char*, std::function<void(Encoder&)>>> invalid = {
        {"memory to memory", [](Encoder& e) { e.mov(dword(Reg::eax), dword(Reg::ebx)); }},
        {"into an immediate", [](Encoder& e) { e.add(imm(1), Reg::eax); }},
        {"sizes differ", [](Encoder& e) { e.mov(Reg::eax, Reg8::bl); }},
        {"qword mov", [](Encoder& e) { e.mov(Mem{}.withWidth(Width::qword), imm(1)); }},
        {"no size", [](Encoder& e) { e.test(imm(1), imm(2)); }},
        {"byte too large", [](Encoder& e) { e.mov(Reg8::al, imm(256)); }},
        {"address in a byte", [](Encoder& e) { e.cmp(byte(Reg::eax), addressOf("_vx")); }},
        {"esp as index", [](Encoder& e) { e.lea(Reg::eax, dword(Reg::eax, Reg::esp, 1)); }},
        {"scale 3", [](Encoder& e) { e.lea(Reg::eax, dword(Reg::eax, Reg::ecx, 3)); }},
        {"shift by 32", [](Encoder& e) { e.shl(Reg::eax, imm(32)); }},
        {"shift by edx", [](Encoder& e) { e.shl(Reg::eax, Reg8::dl); }},
        {"setcc of a dword", [](Encoder& e) { e.setcc(Cond::e, Reg::eax); }},
        {"push a byte", [](Encoder& e) { e.push(Reg8::al); }},
        {"movzx of a dword", [](Encoder& e) { e.movzx(Reg::eax, Reg::ebx); }},
        {"fld of a word", [](Encoder& e) { e.fld(word(Reg::eax)); }},
        {"st(8)", [](Encoder& e) { e.fxch(st(8)); }},
        {"neither is st(0)", [](Encoder& e) { e.fpu(FpuOp::add, st(1), st(2)); }},
        {"address of an unnamed label", [](Encoder& e) { e.push(addressOf(e.newLabel())); }},
        {"label of another encoder", [](Encoder& e) { e.jmp(Label{5}); }},
        {"bound twice",
         [](Encoder& e) {
             const Label l = e.newLabel();
             e.bind(l);
             e.bind(l);
         }},
        {"alignment of 3", [](Encoder& e) { e.align(3); }},
        {"name used twice",
         [](Encoder& e) {
             e.newLabel("_fmain");
             e.defineSymbol("_fmain");
         }},
    };
    for (const auto& [what, misuse] : invalid) {
        Encoder e;
        EXPECT_THROW(misuse(e), std::invalid_argument) << what;
    }
    Encoder e;
    e.jmp(e.newLabel());
    EXPECT_THROW(e.finish(), std::logic_error);
}

TEST(LabelsAndFixups, ListingShowsAddressesBytesAndLabels) {
    Encoder e;
    const Label loop = e.newLabel();
    e.defineSymbol("_fcount");
    e.mov(Reg::ecx, imm(10));
    e.bind(loop);
    e.sub(dword(Reg::ebp, -8), imm(1));
    e.dec(Reg::ecx);
    e.jcc(Cond::ne, loop);
    e.mov(ptrSym(Width::dword, "_vtotal"), Reg::eax);
    e.asciz("a \"b\"\n");
    const EncodedCode code = e.finish();
    EXPECT_EQ(code.listingText(),
              "_fcount:\n"
              "00000000  b9 0a 00 00 00           mov ecx, 0xa\n"
              ".L0:\n"
              "00000005  83 6d f8 01              sub DWORD PTR [ebp-0x8], 0x1\n"
              "00000009  49                       dec ecx\n"
              "0000000a  75 f9                    jne .L0\n"
              "0000000c  a3 00 00 00 00           mov DWORD PTR [_vtotal], eax\n"
              "00000011  61 20 22 62 22 0a 00     .asciz \"a \\\"b\\\"\\012\"\n");
    expectSameAsGnu(code);
}

}  // namespace
}  // namespace txc::x86::test
