// The x87 instructions of the encoder.
#include <stdexcept>

#include "x86_encoder.h"
#include "x86_intel_text.h"

namespace txc::x86 {
namespace {

// The register forms that write st(i) name subtraction and division the other way round.
uint8_t reversedForm(FpuOp op) {
    const uint8_t n = static_cast<uint8_t>(op);
    return n >= 4 ? n ^ 1 : n;
}

const char* fpuName(FpuOp op) {
    static const char* const names[] = {"fadd", "fmul", "", "", "fsub", "fsubr", "fdiv", "fdivr"};
    return names[static_cast<uint8_t>(op) & 7];
}

void checkSt(St s) {
    if (s.index > 7) throw std::invalid_argument("x87 registers are st(0) to st(7)");
}

}  // namespace

void Encoder::fpuMem(uint8_t op32, uint8_t op64, uint8_t digit, const char* name, const Mem& m) {
    if (m.width != Width::dword && m.width != Width::qword) {
        throw std::invalid_argument(std::string(name) + " takes a dword or qword operand");
    }
    begin();
    byte(m.width == Width::dword ? op32 : op64);
    memory(digit, m);
    end(std::string(name) + " " + text(m));
}

void Encoder::fpuReg(uint8_t first, uint8_t second, const char* name, St reg, bool withSt0) {
    checkSt(reg);
    begin();
    bytes({first, static_cast<uint8_t>(second + reg.index)});
    end(std::string(name) + (withSt0 ? " st(0), " : " ") + stName(reg));
}

void Encoder::fld(const Mem& src) {
    fpuMem(0xD9, 0xDD, 0, "fld", src);
}
void Encoder::fld(St src) {
    fpuReg(0xD9, 0xC0, "fld", src, false);
}
void Encoder::fst(const Mem& dst) {
    fpuMem(0xD9, 0xDD, 2, "fst", dst);
}
void Encoder::fst(St dst) {
    fpuReg(0xDD, 0xD0, "fst", dst, false);
}
void Encoder::fstp(const Mem& dst) {
    fpuMem(0xD9, 0xDD, 3, "fstp", dst);
}
void Encoder::fstp(St dst) {
    fpuReg(0xDD, 0xD8, "fstp", dst, false);
}
void Encoder::fcom(const Mem& m) {
    fpuMem(0xD8, 0xDC, 2, "fcom", m);
}
void Encoder::fcomp(const Mem& m) {
    fpuMem(0xD8, 0xDC, 3, "fcomp", m);
}
void Encoder::fxch(St other) {
    fpuReg(0xD9, 0xC8, "fxch", other, false);
}
void Encoder::fcomi(St other) {
    fpuReg(0xDB, 0xF0, "fcomi", other, true);
}
void Encoder::fcomip(St other) {
    fpuReg(0xDF, 0xF0, "fcomip", other, true);
}
void Encoder::fucomi(St other) {
    fpuReg(0xDB, 0xE8, "fucomi", other, true);
}
void Encoder::fucomip(St other) {
    fpuReg(0xDF, 0xE8, "fucomip", other, true);
}
void Encoder::ffree(St reg) {
    fpuReg(0xDD, 0xC0, "ffree", reg, false);
}

void Encoder::fild(const Mem& src) {
    begin();
    switch (src.width) {
        case Width::word:
            bytes({0xDF});
            memory(0, src);
            break;
        case Width::dword:
            bytes({0xDB});
            memory(0, src);
            break;
        case Width::qword:
            bytes({0xDF});
            memory(5, src);
            break;
        default:
            throw std::invalid_argument("fild reads a word, dword or qword");
    }
    end("fild " + text(src));
}

void Encoder::fist(const Mem& dst) {
    begin();
    switch (dst.width) {
        case Width::word:
            bytes({0xDF});
            memory(2, dst);
            break;
        case Width::dword:
            bytes({0xDB});
            memory(2, dst);
            break;
        default:
            throw std::invalid_argument("fist writes a word or dword");
    }
    end("fist " + text(dst));
}

void Encoder::fistp(const Mem& dst) {
    begin();
    switch (dst.width) {
        case Width::word:
            bytes({0xDF});
            memory(3, dst);
            break;
        case Width::dword:
            bytes({0xDB});
            memory(3, dst);
            break;
        case Width::qword:
            bytes({0xDF});
            memory(7, dst);
            break;
        default:
            throw std::invalid_argument("fistp writes a word, dword or qword");
    }
    end("fistp " + text(dst));
}

void Encoder::fpu(FpuOp op, const Mem& src) {
    fpuMem(0xD8, 0xDC, static_cast<uint8_t>(op), fpuName(op), src);
}

void Encoder::fpu(FpuOp op, St dst, St src) {
    checkSt(dst);
    checkSt(src);
    const uint8_t n = static_cast<uint8_t>(op);
    begin();
    if (dst.index == 0) {
        bytes({0xD8, static_cast<uint8_t>(0xC0 | n << 3 | src.index)});
    } else if (src.index == 0) {
        bytes({0xDC, static_cast<uint8_t>(0xC0 | reversedForm(op) << 3 | dst.index)});
    } else {
        throw std::invalid_argument("one operand of x87 arithmetic must be st(0)");
    }
    end(std::string(fpuName(op)) + " " + stName(dst) + ", " + stName(src));
}

void Encoder::fpuPop(FpuOp op, St dst) {
    checkSt(dst);
    begin();
    bytes({0xDE, static_cast<uint8_t>(0xC0 | reversedForm(op) << 3 | dst.index)});
    end(std::string(fpuName(op)) + "p " + stName(dst) + ", st(0)");
}

void Encoder::fnstcw(const Mem& dst) {
    if (dst.width != Width::word) throw std::invalid_argument("fnstcw writes a word");
    begin();
    byte(0xD9);
    memory(7, dst);
    end("fnstcw " + text(dst));
}

void Encoder::fldcw(const Mem& src) {
    if (src.width != Width::word) throw std::invalid_argument("fldcw reads a word");
    begin();
    byte(0xD9);
    memory(5, src);
    end("fldcw " + text(src));
}

}  // namespace txc::x86
