// Labels, symbols and fixups as a module image carries them (GNU as checks the fixups of every
// instruction form); misuse of the encoder is refused; the listing reads as expected.
#include "gnu_as.h"

namespace txc::x86::test {
namespace {

// The image holds the code, its symbols sorted by name (one at the very end of the code pads it
// to lie inside) and a fixup for every reference to a symbol; a call to a label of the same code
// needs none, and an addend stays in the word that refers.
TEST(LabelsAndFixups, ImageCarriesSymbolsAndFixups) {
    Encoder e;
    e.defineSymbol("_fz");
    const Label text = e.newLabel("_7");
    const Label local = e.newLabel();
    e.push(addressOf(text, 3));
    e.call("_fcls");
    e.call(text);
    e.bind(local);
    e.jmp(local);
    e.bind(text);
    e.ret();
    e.defineSymbol("_fa");
    const EncodedCode code = e.finish();
    const tx::ModuleImage image = code.moduleImage();
    EXPECT_EQ(image.code, (std::vector<uint8_t>{0x68, 3, 0, 0, 0, 0xE8, 0xFC, 0xFF, 0xFF, 0xFF,
                                                0xE8, 2, 0, 0, 0, 0xEB, 0xFE, 0xC3, 0x00}));
    EXPECT_EQ(image.symbols, (std::vector<tx::ImageRecord>{{"_7", 17}, {"_fa", 18}, {"_fz", 0}}));
    EXPECT_EQ(image.absoluteFixups, (std::vector<tx::ImageRecord>{{"_7", 1}}));
    EXPECT_EQ(image.relativeFixups, (std::vector<tx::ImageRecord>{{"_fcls", 6}}));
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
