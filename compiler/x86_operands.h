// The operands of 32-bit x86 instructions as the code generator names them: registers, memory
// references [base + index*scale + disp] (the displacement may be a symbol's address), immediates
// (a number or a symbol's address) and labels inside the code being generated.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace txc::x86 {

// Numbered as the hardware numbers them.
enum class Reg : uint8_t { eax, ecx, edx, ebx, esp, ebp, esi, edi };
enum class Reg8 : uint8_t { al, cl, dl, bl, ah, ch, dh, bh };
enum class Reg16 : uint8_t { ax, cx, dx, bx, sp, bp, si, di };

// x87 stack register st(i).
struct St {
    uint8_t index = 0;
};
inline St st(uint8_t index) {
    return St{index};
}

// Condition codes, numbered as in the jcc and setcc opcodes.
enum class Cond : uint8_t { o, no, b, ae, e, ne, be, a, s, ns, p, np, l, ge, le, g };

// The condition that holds exactly when `c` does not.
inline Cond negate(Cond c) {
    return static_cast<Cond>(static_cast<uint8_t>(c) ^ 1);
}

// A place in the code, made by the encoder and bound to an offset later. Labels that carry a name
// also become symbols of the image, so that absolute references can reach them.
struct Label {
    uint32_t id = UINT32_MAX;
    bool valid() const { return id != UINT32_MAX; }
    bool operator==(const Label&) const = default;
};

// What an address refers to: nothing (a plain number), a symbol by name, or a label.
struct Target {
    std::string symbol;
    Label label;
    bool none() const { return symbol.empty() && !label.valid(); }
};

// The size of the data a memory operand designates.
enum class Width : uint8_t { byte = 1, word = 2, dword = 4, qword = 8 };

struct Mem {
    Width width = Width::dword;
    std::optional<Reg> base;
    std::optional<Reg> index;
    uint8_t scale = 1;  // 1, 2, 4 or 8
    int32_t disp = 0;
    Target target;  // when set, disp is added to the target's address

    Mem withWidth(Width w) const {
        Mem m = *this;
        m.width = w;
        return m;
    }
};

// [base + disp]
inline Mem ptr(Width w, Reg base, int32_t disp = 0) {
    return Mem{w, base, std::nullopt, 1, disp, {}};
}
// [base + index*scale + disp]
inline Mem ptr(Width w, Reg base, Reg index, uint8_t scale, int32_t disp = 0) {
    return Mem{w, base, index, scale, disp, {}};
}
// [index*scale + disp]
inline Mem ptrIndex(Width w, Reg index, uint8_t scale, int32_t disp = 0) {
    return Mem{w, std::nullopt, index, scale, disp, {}};
}
// [disp32]
inline Mem ptrAbs(Width w, int32_t address) {
    return Mem{w, std::nullopt, std::nullopt, 1, address, {}};
}
// [symbol + disp], optionally indexed.
inline Mem ptrSym(Width w, std::string symbol, int32_t disp = 0) {
    return Mem{w, std::nullopt, std::nullopt, 1, disp, {std::move(symbol), {}}};
}
inline Mem ptrSym(Width w, std::string symbol, Reg index, uint8_t scale, int32_t disp = 0) {
    return Mem{w, std::nullopt, index, scale, disp, {std::move(symbol), {}}};
}
// [label + disp]; the label must carry a name.
inline Mem ptrLabel(Width w, Label label, int32_t disp = 0) {
    return Mem{w, std::nullopt, std::nullopt, 1, disp, {{}, label}};
}

inline Mem dword(Reg base, int32_t disp = 0) {
    return ptr(Width::dword, base, disp);
}
inline Mem dword(Reg base, Reg index, uint8_t scale, int32_t disp = 0) {
    return ptr(Width::dword, base, index, scale, disp);
}
inline Mem qword(Reg base, int32_t disp = 0) {
    return ptr(Width::qword, base, disp);
}
inline Mem byte(Reg base, int32_t disp = 0) {
    return ptr(Width::byte, base, disp);
}
inline Mem word(Reg base, int32_t disp = 0) {
    return ptr(Width::word, base, disp);
}

// A 32-bit immediate: a number, or a symbol's or named label's address plus the number.
struct Imm {
    int32_t value = 0;
    Target target;
};
inline Imm imm(int32_t value) {
    return Imm{value, {}};
}
inline Imm addressOf(std::string symbol, int32_t offset = 0) {
    return Imm{offset, {std::move(symbol), {}}};
}
inline Imm addressOf(Label label, int32_t offset = 0) {
    return Imm{offset, {{}, label}};
}

// Any operand of the general instructions; built implicitly from the types above.
struct Operand {
    enum class Kind : uint8_t { reg, reg8, reg16, mem, imm };
    Kind kind;
    uint8_t code = 0;  // register number for the register kinds
    Mem mem;
    Imm immediate;

    Operand(Reg r) : kind(Kind::reg), code(static_cast<uint8_t>(r)) {}
    Operand(Reg8 r) : kind(Kind::reg8), code(static_cast<uint8_t>(r)) {}
    Operand(Reg16 r) : kind(Kind::reg16), code(static_cast<uint8_t>(r)) {}
    Operand(Mem m) : kind(Kind::mem), mem(std::move(m)) {}
    Operand(Imm i) : kind(Kind::imm), immediate(std::move(i)) {}
    Operand(int32_t value) : kind(Kind::imm), immediate{value, {}} {}

    bool isReg() const { return kind == Kind::reg || kind == Kind::reg8 || kind == Kind::reg16; }
    // Operand size in bytes (registers and memory); immediates have none of their own.
    int size() const {
        switch (kind) {
            case Kind::reg:
                return 4;
            case Kind::reg8:
                return 1;
            case Kind::reg16:
                return 2;
            case Kind::mem:
                return static_cast<int>(mem.width);
            case Kind::imm:
                return 0;
        }
        return 0;
    }
};

}  // namespace txc::x86
