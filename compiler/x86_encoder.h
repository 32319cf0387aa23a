// Machine code for 32-bit x86, built one instruction at a time. Branches to labels take the short
// form wherever the distance allows, decided when the code is finished; references to symbols
// outside the code become fixups by name, as module images record them; every instruction keeps
// its Intel-syntax text for listings.
//
//     Encoder e;
//     Label loop = e.newLabel();
//     e.bind(loop);
//     e.add(Reg::eax, dword(Reg::ebp, 8));
//     e.dec(Reg::ecx);
//     e.jcc(Cond::ne, loop);
//     e.call("_fcls");
//     EncodedCode code = e.finish();
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "x86_encoded_code.h"
#include "x86_operands.h"

namespace txc::x86 {

// The group-1 arithmetic operations, numbered as their opcodes number them.
enum class AluOp : uint8_t { add, or_, adc, sbb, and_, sub, xor_, cmp };
// Shifts and rotations, numbered as the /digit of their opcodes.
enum class ShiftOp : uint8_t { rol, ror, rcl, rcr, shl, shr, sar = 7 };
// x87 arithmetic, numbered as the /digit of the memory forms.
enum class FpuOp : uint8_t { add, mul, sub = 4, subr, div, divr };

class Encoder {
public:
    // Labels. A named label is also a symbol of the image (and may be the target of absolute
    // references); an unnamed one is known only inside this code. Names are unique.
    Label newLabel();
    Label newLabel(std::string name);
    void bind(Label label);
    // A named label bound here.
    Label defineSymbol(std::string name);
    const std::string& labelName(Label label) const;

    // General instructions. Invalid operand combinations throw std::invalid_argument.
    void mov(const Operand& dst, const Operand& src);
    void movzx(Reg dst, const Operand& src);  // from a byte or word register or memory
    void movsx(Reg dst, const Operand& src);
    void lea(Reg dst, const Mem& src);
    void alu(AluOp op, const Operand& dst, const Operand& src);
    void add(const Operand& d, const Operand& s) { alu(AluOp::add, d, s); }
    void or_(const Operand& d, const Operand& s) { alu(AluOp::or_, d, s); }
    void adc(const Operand& d, const Operand& s) { alu(AluOp::adc, d, s); }
    void sbb(const Operand& d, const Operand& s) { alu(AluOp::sbb, d, s); }
    void and_(const Operand& d, const Operand& s) { alu(AluOp::and_, d, s); }
    void sub(const Operand& d, const Operand& s) { alu(AluOp::sub, d, s); }
    void xor_(const Operand& d, const Operand& s) { alu(AluOp::xor_, d, s); }
    void cmp(const Operand& d, const Operand& s) { alu(AluOp::cmp, d, s); }
    void test(const Operand& a, const Operand& b);
    void inc(const Operand& op);
    void dec(const Operand& op);
    void neg(const Operand& op) { unary(3, "neg", op); }
    void not_(const Operand& op) { unary(2, "not", op); }
    void mul(const Operand& op) { unary(4, "mul", op); }  // edx:eax = eax * op
    void idiv(const Operand& op) { unary(7, "idiv", op); }
    void div(const Operand& op) { unary(6, "div", op); }
    void imul(Reg dst, const Operand& src);  // dst *= src (src may be an immediate)
    void imul(Reg dst, const Operand& src, int32_t factor);
    // Shift by an immediate count or by cl (pass Reg8::cl).
    void shift(ShiftOp op, const Operand& dst, const Operand& count);
    void shl(const Operand& d, const Operand& c) { shift(ShiftOp::shl, d, c); }
    void shr(const Operand& d, const Operand& c) { shift(ShiftOp::shr, d, c); }
    void sar(const Operand& d, const Operand& c) { shift(ShiftOp::sar, d, c); }
    void setcc(Cond cond, const Operand& dst);  // a byte register or byte memory
    void cdq() { simple({0x99}, "cdq"); }
    void leave() { simple({0xC9}, "leave"); }
    void nop() { simple({0x90}, "nop"); }
    void int3() { simple({0xCC}, "int3"); }

    // Control flow.
    void jmp(Label target);
    void jmp(std::string symbol);
    void jmp(const Operand& indirect);
    void jcc(Cond cond, Label target);
    void jcc(Cond cond, std::string symbol);
    void call(Label target);
    void call(std::string symbol);
    void call(const Operand& indirect);
    void ret(uint16_t popBytes = 0);
    void push(const Operand& op);
    void pop(const Operand& op);
    // Pads up to the next multiple of `boundary` (a power of two): with no-operation
    // instructions as few as possible (a short jump over those of a long padding), or with
    // `fill` bytes when one is given (alignment of data).
    void align(uint32_t boundary, std::optional<uint8_t> fill = std::nullopt);

    // Data inside the code block.
    void db(std::span<const uint8_t> bytes);
    void dd(const Imm& value);  // a word, or an address by absolute fixup
    void asciz(std::string_view text);

    // x87.
    void fld(const Mem& src);  // m32, m64
    void fld(St src);
    void fst(const Mem& dst);
    void fst(St dst);
    void fstp(const Mem& dst);
    void fstp(St dst);
    void fild(const Mem& src);   // m16, m32, m64 integers
    void fist(const Mem& dst);   // m16, m32
    void fistp(const Mem& dst);  // m16, m32, m64
    // st(0) op= m32/m64
    void fpu(FpuOp op, const Mem& src);
    // dst op= src, where one of the two is st(0).
    void fpu(FpuOp op, St dst, St src);
    // st(i) op= st(0), then pop.
    void fpuPop(FpuOp op, St dst);
    void fadd(const Mem& m) { fpu(FpuOp::add, m); }
    void fsub(const Mem& m) { fpu(FpuOp::sub, m); }
    void fsubr(const Mem& m) { fpu(FpuOp::subr, m); }
    void fmul(const Mem& m) { fpu(FpuOp::mul, m); }
    void fdiv(const Mem& m) { fpu(FpuOp::div, m); }
    void fdivr(const Mem& m) { fpu(FpuOp::divr, m); }
    void faddp(St d = st(1)) { fpuPop(FpuOp::add, d); }
    void fsubp(St d = st(1)) { fpuPop(FpuOp::sub, d); }
    void fsubrp(St d = st(1)) { fpuPop(FpuOp::subr, d); }
    void fmulp(St d = st(1)) { fpuPop(FpuOp::mul, d); }
    void fdivp(St d = st(1)) { fpuPop(FpuOp::div, d); }
    void fdivrp(St d = st(1)) { fpuPop(FpuOp::divr, d); }
    void fcom(const Mem& m);   // compare st(0) with m32/m64
    void fcomp(const Mem& m);  // the same, then pop
    void fxch(St other);
    void fcomi(St other);
    void fcomip(St other);
    void fucomi(St other);
    void fucomip(St other);
    void ffree(St reg);
    void fnstcw(const Mem& dst);
    void fldcw(const Mem& src);
    void fnstswAx() { simple({0xDF, 0xE0}, "fnstsw ax"); }
    void sahf() { simple({0x9E}, "sahf"); }
    void fld1() { simple({0xD9, 0xE8}, "fld1"); }
    void fldz() { simple({0xD9, 0xEE}, "fldz"); }
    void fldpi() { simple({0xD9, 0xEB}, "fldpi"); }
    void fchs() { simple({0xD9, 0xE0}, "fchs"); }
    void fabs() { simple({0xD9, 0xE1}, "fabs"); }
    void fsqrt() { simple({0xD9, 0xFA}, "fsqrt"); }
    void fsin() { simple({0xD9, 0xFE}, "fsin"); }
    void fcos() { simple({0xD9, 0xFF}, "fcos"); }
    void fpatan() { simple({0xD9, 0xF3}, "fpatan"); }
    void fptan() { simple({0xD9, 0xF2}, "fptan"); }
    void frndint() { simple({0xD9, 0xFC}, "frndint"); }
    void fprem() { simple({0xD9, 0xF8}, "fprem"); }
    void fscale() { simple({0xD9, 0xFD}, "fscale"); }
    void ftst() { simple({0xD9, 0xE4}, "ftst"); }
    void fcompp() { simple({0xDE, 0xD9}, "fcompp"); }
    void fucompp() { simple({0xDA, 0xE9}, "fucompp"); }
    void fninit() { simple({0xDB, 0xE3}, "fninit"); }

    // Lays the code out: branch sizes, alignment, label offsets, and the fixups. Throws
    // std::logic_error for a label that is used but never bound. The encoder may be finished
    // more than once and keeps accepting instructions.
    EncodedCode finish() const;

private:
    void incOrDec(const Operand& op, uint8_t digit);
    struct Insn {
        enum class Kind : uint8_t { code, jump, align };
        Kind kind = Kind::code;
        uint8_t cond = kNoCond;  // of a jump to a label; kNoCond for jmp
        uint32_t start = 0;      // draft bytes of a code instruction
        uint32_t length = 0;
        Label target;           // of a jump
        uint32_t boundary = 1;  // of an alignment
        std::optional<uint8_t> fill;
        std::string text;
    };
    // A 32-bit word inside an instruction that refers to a symbol or a label.
    struct Use {
        uint32_t insn;
        uint32_t at;  // draft offset of the word
        Target target;
        bool relative;  // the word is a rel32 displacement
    };
    static constexpr uint8_t kNoCond = 0xFF;

    // Instruction building: begin() opens one, end() closes it with its text.
    void begin();
    void end(std::string text);
    void byte(uint8_t b) { draft_.push_back(b); }
    void bytes(std::initializer_list<uint8_t> b) { draft_.insert(draft_.end(), b); }
    void word32(uint32_t v);
    void word16(uint16_t v);
    // A 32-bit word that refers to target plus value.
    void absoluteWord(const Target& target, int32_t value);
    // An immediate as 1, 2 or 4 bytes (only 4 may refer to a symbol).
    void immediateOfSize(const Imm& value, int size);
    void modrm(uint8_t reg, const Operand& rm);
    void memory(uint8_t reg, const Mem& m);
    void simple(std::initializer_list<uint8_t> b, std::string text);
    void unary(uint8_t digit, const char* name, const Operand& op);
    void branch(uint8_t cond, Label target, std::string text);
    void relCall(uint8_t opcode, std::initializer_list<uint8_t> prefix, std::string symbol,
                 std::string text);
    void fpuMem(uint8_t op32, uint8_t op64, uint8_t digit, const char* name, const Mem& m);
    void fpuReg(uint8_t first, uint8_t second, const char* name, St reg, bool withSt0);
    void checkLabel(Label label) const;
    std::string text(const Operand& op) const;
    std::string labelText(Label label) const;

    struct LabelInfo {
        std::string name;
        uint32_t insn = UINT32_MAX;  // the instruction it precedes once bound
    };

    std::vector<uint8_t> draft_;  // instruction bytes, branches to labels left out
    std::vector<Insn> insns_;
    std::vector<Use> uses_;  // words inside instructions that refer to something
    std::vector<LabelInfo> labels_;
    std::unordered_set<std::string> names_;  // of the named labels
    uint32_t open_ = 0;                      // draft offset of the instruction being built
};

}  // namespace txc::x86
