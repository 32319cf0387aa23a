// Labels, symbols and fixups as a module image and the listing show them (GNU as checks the bytes,
// text and fixups of every instruction form); misuse of the encoder is refused.
#include "gnu_as.h"

namespace txc::x86::test {
namespace {

// The image holds the code, its symbols sorted by name (one at the very end of the code pads it
// to lie inside) and a fixup for every reference to a symbol; a call to a label of the same code
// needs none, and an addend stays in the word that refers.
TEST(LabelsAndFixups, ImageAndListingShowSymbolsAndFixups) {
    Encoder e;
    e.defineSymbol("_fz");
    const Label text = e.newLabel("_7");
    const Label local = e.newLabel();
    e.push(addressOf(text, 3));
    e.mov(Reg::eax, ptrLabel(Width::dword, text, 1));
    e.fld(ptrSym(Width::qword, "_fcls", Reg::ecx, 8, 16));
    e.call("_fcls");
    e.call(text);
    e.bind(local);
    e.jmp(local);
    e.bind(text);
    e.ret();
    e.defineSymbol("_fa");
    const EncodedCode code = e.finish();
    const tx::ModuleImage image = code.moduleImage();
    std::vector<uint8_t> padded = code.code;  // the bytes the listing shows, and one for _fa
    padded.push_back(0);
    EXPECT_EQ(image.code, padded);
    EXPECT_EQ(code.symbols, (std::vector<CodeSymbol>{{"_fz", 0}, {"_7", 29}, {"_fa", 30}}));
    EXPECT_EQ(image.symbols, (std::vector<tx::ImageRecord>{{"_7", 29}, {"_fa", 30}, {"_fz", 0}}));
    EXPECT_EQ(image.absoluteFixups,
              (std::vector<tx::ImageRecord>{{"_7", 1}, {"_7", 6}, {"_fcls", 13}}));
    EXPECT_EQ(image.relativeFixups, (std::vector<tx::ImageRecord>{{"_fcls", 18}}));
    // The listing: label lines, then address, bytes and text of each instruction.
    EXPECT_EQ(code.listingText(),
              "_fz:\n"
              "00000000  68 03 00 00 00           push OFFSET _7+0x3\n"
              "00000005  a1 01 00 00 00           mov eax, DWORD PTR [_7+0x1]\n"
              "0000000a  dd 04 cd 10 00 00 00     fld QWORD PTR [_fcls+ecx*8+0x10]\n"
              "00000011  e8 fc ff ff ff           call _fcls\n"
              "00000016  e8 02 00 00 00           call _7\n"
              ".L2:\n"
              "0000001b  eb fe                    jmp .L2\n"
              "_7:\n"
              "0000001d  c3                       ret\n"
              "_fa:\n");
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

}  // namespace
}  // namespace txc::x86::test
