#include "x86_encoder.h"

#include <stdexcept>

#include "x86_intel_text.h"

namespace txc::x86 {
namespace {

using Kind = Operand::Kind;

bool fitsInt8(int64_t v) {
    return v >= -128 && v <= 127;
}

[[noreturn]] void invalid(const std::string& what) {
    throw std::invalid_argument(what);
}

uint8_t code(Reg r) {
    return static_cast<uint8_t>(r);
}

// Memory without base or index: the short eax/al/ax moffs forms of mov apply to it.
bool isAbsolute(const Operand& op) {
    return op.kind == Kind::mem && !op.mem.base && !op.mem.index;
}

bool isAccumulator(const Operand& op) {
    return op.isReg() && op.code == 0;
}

bool plainImm8(const Operand& op) {
    return op.kind == Kind::imm && op.immediate.target.none() && fitsInt8(op.immediate.value);
}

}  // namespace

Label Encoder::newLabel() {
    labels_.push_back({});
    return Label{static_cast<uint32_t>(labels_.size() - 1)};
}

Label Encoder::newLabel(std::string name) {
    if (name.empty()) invalid("a named label needs a name");
    if (!names_.insert(name).second) invalid("a label of this name exists: " + name);
    labels_.push_back({std::move(name)});
    return Label{static_cast<uint32_t>(labels_.size() - 1)};
}

void Encoder::checkLabel(Label label) const {
    if (!label.valid() || label.id >= labels_.size()) invalid("label of another encoder");
}

void Encoder::bind(Label label) {
    checkLabel(label);
    if (labels_[label.id].insn != UINT32_MAX) invalid("label bound twice: " + labelName(label));
    labels_[label.id].insn = static_cast<uint32_t>(insns_.size());
}

Label Encoder::defineSymbol(std::string name) {
    const Label label = newLabel(std::move(name));
    bind(label);
    return label;
}

const std::string& Encoder::labelName(Label label) const {
    checkLabel(label);
    static const std::string none;
    return labels_[label.id].name.empty() ? none : labels_[label.id].name;
}

std::string Encoder::labelText(Label label) const {
    const std::string& name = labelName(label);
    return name.empty() ? ".L" + std::to_string(label.id) : name;
}

std::string Encoder::text(const Operand& op) const {
    return operandText(op, [this](Label l) { return labelText(l); });
}

void Encoder::begin() {
    open_ = static_cast<uint32_t>(draft_.size());
}

void Encoder::end(std::string text) {
    Insn insn;
    insn.start = open_;
    insn.length = static_cast<uint32_t>(draft_.size()) - open_;
    insn.text = std::move(text);
    insns_.push_back(std::move(insn));
}

void Encoder::word32(uint32_t v) {
    for (int i = 0; i < 4; ++i) byte(static_cast<uint8_t>(v >> (8 * i)));
}

void Encoder::word16(uint16_t v) {
    byte(static_cast<uint8_t>(v));
    byte(static_cast<uint8_t>(v >> 8));
}

void Encoder::immediateOfSize(const Imm& value, int size) {
    if (size == 4) absoluteWord(value.target, value.value);
    if (size == 2) word16(static_cast<uint16_t>(value.value));
    if (size == 1) byte(static_cast<uint8_t>(value.value));
}

void Encoder::absoluteWord(const Target& target, int32_t value) {
    if (target.label.valid()) {
        checkLabel(target.label);
        if (labelName(target.label).empty()) {
            invalid("the address of an unnamed label cannot be taken");
        }
    }
    if (!target.none()) {
        uses_.push_back({static_cast<uint32_t>(insns_.size()), static_cast<uint32_t>(draft_.size()),
                         target, false});
    }
    word32(static_cast<uint32_t>(value));
}

void Encoder::memory(uint8_t reg, const Mem& m) {
    const uint8_t r = static_cast<uint8_t>((reg & 7) << 3);
    uint8_t scaleBits = 0;
    switch (m.scale) {
        case 1:
            scaleBits = 0;
            break;
        case 2:
            scaleBits = 1;
            break;
        case 4:
            scaleBits = 2;
            break;
        case 8:
            scaleBits = 3;
            break;
        default:
            invalid("scale must be 1, 2, 4 or 8");
    }
    if (m.index == Reg::esp) invalid("esp cannot be an index");
    const bool hasTarget = !m.target.none();
    if (!m.base) {
        if (m.index) {
            bytes({static_cast<uint8_t>(0x04 | r),
                   static_cast<uint8_t>(scaleBits << 6 | code(*m.index) << 3 | 5)});
        } else {
            byte(0x05 | r);
        }
        absoluteWord(m.target, m.disp);
        return;
    }
    int dispSize = 4;
    if (!hasTarget && m.disp == 0 && m.base != Reg::ebp) {
        dispSize = 0;
    } else if (!hasTarget && fitsInt8(m.disp)) {
        dispSize = 1;
    }
    const uint8_t mod = dispSize == 0 ? 0x00 : dispSize == 1 ? 0x40 : 0x80;
    if (m.index || m.base == Reg::esp) {
        const uint8_t index = m.index ? code(*m.index) : 4;
        bytes({static_cast<uint8_t>(mod | r | 4),
               static_cast<uint8_t>(scaleBits << 6 | index << 3 | code(*m.base))});
    } else {
        byte(static_cast<uint8_t>(mod | r | code(*m.base)));
    }
    if (dispSize == 1) byte(static_cast<uint8_t>(m.disp));
    if (dispSize == 4) absoluteWord(m.target, m.disp);
}

void Encoder::modrm(uint8_t reg, const Operand& rm) {
    if (rm.kind == Kind::mem) return memory(reg, rm.mem);
    if (!rm.isReg()) invalid("register or memory operand expected");
    byte(static_cast<uint8_t>(0xC0 | (reg & 7) << 3 | rm.code));
}

void Encoder::simple(std::initializer_list<uint8_t> b, std::string text) {
    begin();
    bytes(b);
    end(std::move(text));
}

namespace {

// The operand-size prefix for word operands; the w bit (bit 0 of most opcodes) clear for bytes.
struct SizeForm {
    bool prefix;
    uint8_t w;
};

SizeForm sizeForm(int size) {
    switch (size) {
        case 1:
            return {false, 0};
        case 2:
            return {true, 1};
        case 4:
            return {false, 1};
        default:
            invalid("byte, word or dword operand expected");
    }
}

// The immediate of an instruction whose operand has `size` bytes, checked to fit.
void checkImmediate(const Operand& imm, int size) {
    if (!imm.immediate.target.none() && size != 4) invalid("an address needs a dword operand");
    const int64_t v = imm.immediate.value;
    if (size == 1 && (v < -128 || v > 255)) invalid("immediate does not fit a byte");
    if (size == 2 && (v < -32768 || v > 65535)) invalid("immediate does not fit a word");
}

int operandSize(const Operand& a, const Operand& b) {
    const int sa = a.size(), sb = b.size();
    if (sa != 0 && sb != 0 && sa != sb) invalid("operand sizes differ");
    const int size = sa != 0 ? sa : sb;
    if (size == 0) invalid("no operand gives the size");
    return size;
}

}  // namespace

void Encoder::mov(const Operand& dst, const Operand& src) {
    const int size = operandSize(dst, src);
    const SizeForm f = sizeForm(size);
    begin();
    if (f.prefix) byte(0x66);
    if (src.kind == Kind::imm) {
        checkImmediate(src, size);
        if (dst.isReg()) {
            byte(static_cast<uint8_t>((f.w ? 0xB8 : 0xB0) | dst.code));
        } else if (dst.kind == Kind::mem) {
            byte(0xC6 | f.w);
            memory(0, dst.mem);
        } else {
            invalid("mov into an immediate");
        }
        immediateOfSize(src.immediate, size);
    } else if (dst.isReg() && isAccumulator(dst) && isAbsolute(src)) {
        byte(0xA0 | f.w);
        absoluteWord(src.mem.target, src.mem.disp);
    } else if (src.isReg() && isAccumulator(src) && isAbsolute(dst)) {
        byte(0xA2 | f.w);
        absoluteWord(dst.mem.target, dst.mem.disp);
    } else if (src.isReg()) {
        byte(0x88 | f.w);
        modrm(src.code, dst);
    } else if (dst.isReg() && src.kind == Kind::mem) {
        byte(0x8A | f.w);
        memory(dst.code, src.mem);
    } else {
        invalid("mov between these operands");
    }
    end("mov " + text(dst) + ", " + text(src));
}

void Encoder::movzx(Reg dst, const Operand& src) {
    const int size = src.size();
    if (size != 1 && size != 2) invalid("movzx reads a byte or a word");
    begin();
    bytes({0x0F, static_cast<uint8_t>(size == 1 ? 0xB6 : 0xB7)});
    modrm(code(dst), src);
    end(std::string("movzx ") + regName(dst) + ", " + text(src));
}

void Encoder::movsx(Reg dst, const Operand& src) {
    const int size = src.size();
    if (size != 1 && size != 2) invalid("movsx reads a byte or a word");
    begin();
    bytes({0x0F, static_cast<uint8_t>(size == 1 ? 0xBE : 0xBF)});
    modrm(code(dst), src);
    end(std::string("movsx ") + regName(dst) + ", " + text(src));
}

void Encoder::lea(Reg dst, const Mem& src) {
    begin();
    byte(0x8D);
    memory(code(dst), src);
    end(std::string("lea ") + regName(dst) + ", " + text(src));
}

void Encoder::alu(AluOp op, const Operand& dst, const Operand& src) {
    static const char* const names[] = {"add", "or", "adc", "sbb", "and", "sub", "xor", "cmp"};
    const uint8_t n = static_cast<uint8_t>(op);
    const int size = operandSize(dst, src);
    const SizeForm f = sizeForm(size);
    begin();
    if (f.prefix) byte(0x66);
    if (src.kind == Kind::imm) {
        checkImmediate(src, size);
        if (dst.kind == Kind::imm) invalid("arithmetic into an immediate");
        if (size == 1) {
            if (isAccumulator(dst)) {
                byte(static_cast<uint8_t>(n << 3 | 4));
            } else {
                byte(0x80);
                modrm(n, dst);
            }
            byte(static_cast<uint8_t>(src.immediate.value));
        } else if (plainImm8(src)) {
            byte(0x83);
            modrm(n, dst);
            byte(static_cast<uint8_t>(src.immediate.value));
        } else {
            if (isAccumulator(dst)) {
                byte(static_cast<uint8_t>(n << 3 | 5));
            } else {
                byte(0x81);
                modrm(n, dst);
            }
            immediateOfSize(src.immediate, size);
        }
    } else if (src.isReg()) {
        byte(static_cast<uint8_t>(n << 3 | f.w));
        modrm(src.code, dst);
    } else if (dst.isReg() && src.kind == Kind::mem) {
        byte(static_cast<uint8_t>(n << 3 | 2 | f.w));
        memory(dst.code, src.mem);
    } else {
        invalid(std::string(names[n]) + " between these operands");
    }
    end(std::string(names[n]) + " " + text(dst) + ", " + text(src));
}

void Encoder::test(const Operand& a, const Operand& b) {
    const int size = operandSize(a, b);
    const SizeForm f = sizeForm(size);
    begin();
    if (f.prefix) byte(0x66);
    if (b.kind == Kind::imm) {
        checkImmediate(b, size);
        if (isAccumulator(a)) {
            byte(0xA8 | f.w);
        } else {
            byte(0xF6 | f.w);
            modrm(0, a);
        }
        immediateOfSize(b.immediate, size);
    } else if (b.isReg()) {
        byte(0x84 | f.w);
        modrm(b.code, a);
    } else if (a.isReg() && b.kind == Kind::mem) {
        byte(0x84 | f.w);
        memory(a.code, b.mem);
    } else {
        invalid("test between these operands");
    }
    end("test " + text(a) + ", " + text(b));
}

void Encoder::unary(uint8_t digit, const char* name, const Operand& op) {
    const SizeForm f = sizeForm(op.size());
    begin();
    if (f.prefix) byte(0x66);
    byte(0xF6 | f.w);
    modrm(digit, op);
    end(std::string(name) + " " + text(op));
}

void Encoder::inc(const Operand& op) {
    incOrDec(op, 0);
}

void Encoder::dec(const Operand& op) {
    incOrDec(op, 1);
}

// inc (digit 0) and dec (digit 1): the one-byte register forms 40+r and 48+r, else FE/FF.
void Encoder::incOrDec(const Operand& op, uint8_t digit) {
    const SizeForm f = sizeForm(op.size());
    begin();
    if (f.prefix) byte(0x66);
    if (op.isReg() && f.w) {
        byte(static_cast<uint8_t>(0x40 | digit << 3 | op.code));
    } else {
        byte(0xFE | f.w);
        modrm(digit, op);
    }
    end(std::string(digit == 0 ? "inc " : "dec ") + text(op));
}

void Encoder::imul(Reg dst, const Operand& src) {
    if (src.kind == Kind::imm) return imul(dst, dst, src.immediate.value);
    if (src.size() != 4) invalid("imul needs a dword operand");
    begin();
    bytes({0x0F, 0xAF});
    modrm(code(dst), src);
    end(std::string("imul ") + regName(dst) + ", " + text(src));
}

void Encoder::imul(Reg dst, const Operand& src, int32_t factor) {
    if (src.size() != 4) invalid("imul needs a dword operand");
    begin();
    byte(fitsInt8(factor) ? 0x6B : 0x69);
    modrm(code(dst), src);
    if (fitsInt8(factor)) {
        byte(static_cast<uint8_t>(factor));
    } else {
        word32(static_cast<uint32_t>(factor));
    }
    end(std::string("imul ") + regName(dst) + ", " + text(src) + ", " + hexNumber(factor));
}

void Encoder::shift(ShiftOp op, const Operand& dst, const Operand& count) {
    static const char* const names[] = {"rol", "ror", "rcl", "rcr", "shl", "shr", "sal", "sar"};
    const uint8_t n = static_cast<uint8_t>(op);
    const SizeForm f = sizeForm(dst.size());
    begin();
    if (f.prefix) byte(0x66);
    if (count.kind == Kind::reg8 && count.code == static_cast<uint8_t>(Reg8::cl)) {
        byte(0xD2 | f.w);
        modrm(n, dst);
    } else if (count.kind == Kind::imm && count.immediate.target.none() &&
               count.immediate.value >= 0 && count.immediate.value <= 31) {
        if (count.immediate.value == 1) {
            byte(0xD0 | f.w);
            modrm(n, dst);
        } else {
            byte(0xC0 | f.w);
            modrm(n, dst);
            byte(static_cast<uint8_t>(count.immediate.value));
        }
    } else {
        invalid("shift count must be cl or 0 to 31");
    }
    end(std::string(names[n]) + " " + text(dst) + ", " + text(count));
}

void Encoder::setcc(Cond cond, const Operand& dst) {
    if (dst.size() != 1) invalid("setcc writes a byte");
    begin();
    bytes({0x0F, static_cast<uint8_t>(0x90 | static_cast<uint8_t>(cond))});
    modrm(0, dst);
    end(std::string("set") + condName(cond) + " " + text(dst));
}

void Encoder::push(const Operand& op) {
    begin();
    if (op.kind == Kind::reg) {
        byte(static_cast<uint8_t>(0x50 | op.code));
    } else if (plainImm8(op)) {
        bytes({0x6A, static_cast<uint8_t>(op.immediate.value)});
    } else if (op.kind == Kind::imm) {
        byte(0x68);
        absoluteWord(op.immediate.target, op.immediate.value);
    } else if (op.kind == Kind::mem && op.mem.width == Width::dword) {
        byte(0xFF);
        memory(6, op.mem);
    } else {
        invalid("push takes a dword register, memory or an immediate");
    }
    end("push " + text(op));
}

void Encoder::pop(const Operand& op) {
    begin();
    if (op.kind == Kind::reg) {
        byte(static_cast<uint8_t>(0x58 | op.code));
    } else if (op.kind == Kind::mem && op.mem.width == Width::dword) {
        byte(0x8F);
        memory(0, op.mem);
    } else {
        invalid("pop takes a dword register or memory");
    }
    end("pop " + text(op));
}

}  // namespace txc::x86
