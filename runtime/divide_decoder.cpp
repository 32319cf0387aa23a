// Reads the divisor of the div/idiv instruction that raised a divide error, so a zero divisor can
// be told apart from a quotient overflow.
#include <cstring>

#include "guest_machine.h"

namespace tx {
namespace {

class CodeReader {
public:
    CodeReader(GuestMemory& memory, GuestAddr pc) : memory_(memory), pc_(pc) {}
    bool byte(uint8_t& out) {
        if (!GuestMemory::isMapped(pc_, 1)) return false;
        out = *memory_.bytes(pc_++, 1);
        return true;
    }
    bool dword(uint32_t& out) {
        if (!GuestMemory::isMapped(pc_, 4)) return false;
        std::memcpy(&out, memory_.bytes(pc_, 4), 4);
        pc_ += 4;
        return true;
    }

private:
    GuestMemory& memory_;
    GuestAddr pc_;
};

constexpr CpuReg kReg32[] = {CpuReg::Eax, CpuReg::Ecx, CpuReg::Edx, CpuReg::Ebx,
                             CpuReg::Esp, CpuReg::Ebp, CpuReg::Esi, CpuReg::Edi};

uint32_t registerOperand(Cpu& cpu, uint8_t index, unsigned bytes) {
    if (bytes == 1) {  // AL CL DL BL AH CH DH BH
        const uint32_t value = cpu.reg(kReg32[index & 3]);
        return index < 4 ? value & 0xFF : (value >> 8) & 0xFF;
    }
    const uint32_t value = cpu.reg(kReg32[index]);
    return bytes == 2 ? value & 0xFFFF : value;
}

// The effective address of a 32-bit ModRM memory operand.
bool effectiveAddress(CodeReader& code, Cpu& cpu, uint8_t modrm, uint32_t& address) {
    const uint8_t mod = modrm >> 6, rm = modrm & 7;
    uint32_t base = 0;
    if (rm == 4) {
        uint8_t sib;
        if (!code.byte(sib)) return false;
        const uint8_t scale = sib >> 6, index = (sib >> 3) & 7, baseReg = sib & 7;
        if (baseReg == 5 && mod == 0) {
            if (!code.dword(base)) return false;
        } else {
            base = cpu.reg(kReg32[baseReg]);
        }
        if (index != 4) base += cpu.reg(kReg32[index]) << scale;
    } else if (rm == 5 && mod == 0) {
        if (!code.dword(base)) return false;
    } else {
        base = cpu.reg(kReg32[rm]);
    }
    if (mod == 1) {
        uint8_t d;
        if (!code.byte(d)) return false;
        base += static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(d)));
    } else if (mod == 2) {
        uint32_t d;
        if (!code.dword(d)) return false;
        base += d;
    }
    address = base;
    return true;
}

}  // namespace

bool readDivisor(GuestMemory& memory, Cpu& cpu, GuestAddr pc, uint32_t& divisor) {
    CodeReader code(memory, pc);
    uint8_t op;
    bool operand16 = false;
    for (int prefixes = 0;; ++prefixes) {
        if (prefixes > 14 || !code.byte(op)) return false;
        if (op == 0x66) {
            operand16 = true;
        } else if (op == 0x67) {
            return false;  // 16-bit addressing: not produced by the compiler
        } else if (op != 0xF2 && op != 0xF3 && op != 0x2E && op != 0x36 && op != 0x3E &&
                   op != 0x26 && op != 0x64 && op != 0x65 && op != 0xF0) {
            break;
        }
    }
    if (op != 0xF6 && op != 0xF7) return false;
    uint8_t modrm;
    if (!code.byte(modrm)) return false;
    const uint8_t group = (modrm >> 3) & 7;
    if (group != 6 && group != 7) return false;
    const unsigned bytes = op == 0xF6 ? 1 : (operand16 ? 2 : 4);
    if ((modrm >> 6) == 3) {
        divisor = registerOperand(cpu, modrm & 7, bytes);
        return true;
    }
    uint32_t address;
    if (!effectiveAddress(code, cpu, modrm, address) || !GuestMemory::isMapped(address, bytes))
        return false;
    divisor = 0;
    std::memcpy(&divisor, memory.bytes(address, bytes), bytes);
    return true;
}

}  // namespace tx
