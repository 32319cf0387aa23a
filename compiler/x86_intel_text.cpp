#include "x86_intel_text.h"

#include <cstdio>

namespace txc::x86 {

const char* regName(Reg r) {
    static const char* const names[] = {"eax", "ecx", "edx", "ebx", "esp", "ebp", "esi", "edi"};
    return names[static_cast<int>(r) & 7];
}
const char* regName(Reg8 r) {
    static const char* const names[] = {"al", "cl", "dl", "bl", "ah", "ch", "dh", "bh"};
    return names[static_cast<int>(r) & 7];
}
const char* regName(Reg16 r) {
    static const char* const names[] = {"ax", "cx", "dx", "bx", "sp", "bp", "si", "di"};
    return names[static_cast<int>(r) & 7];
}
const char* condName(Cond c) {
    static const char* const names[] = {"o", "no", "b", "ae", "e", "ne", "be", "a",
                                        "s", "ns", "p", "np", "l", "ge", "le", "g"};
    return names[static_cast<int>(c) & 15];
}
std::string stName(St s) {
    return "st(" + std::to_string(s.index) + ")";
}

std::string hexNumber(int64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "%s0x%llx", value < 0 ? "-" : "",
                  static_cast<unsigned long long>(value < 0 ? -value : value));
    return text;
}

std::string targetText(const Target& target, int32_t offset, const LabelNamer& names) {
    if (target.none()) return hexNumber(offset);
    std::string text = target.label.valid() ? names(target.label) : target.symbol;
    if (offset > 0) text += "+" + hexNumber(offset);
    if (offset < 0) text += hexNumber(offset);
    return text;
}

std::string memText(const Mem& m, const LabelNamer& names) {
    std::string text;
    switch (m.width) {
        case Width::byte:
            text = "BYTE PTR ";
            break;
        case Width::word:
            text = "WORD PTR ";
            break;
        case Width::dword:
            text = "DWORD PTR ";
            break;
        case Width::qword:
            text = "QWORD PTR ";
            break;
    }
    if (!m.base && !m.index && m.target.none()) return text + "ds:" + hexNumber(uint32_t(m.disp));
    std::string inside;
    if (!m.target.none()) inside = targetText(m.target, 0, names);
    const auto append = [&inside](const std::string& part) {
        if (!inside.empty()) inside += "+";
        inside += part;
    };
    if (m.base) append(regName(*m.base));
    if (m.index) append(std::string(regName(*m.index)) + "*" + std::to_string(m.scale));
    if (inside.empty()) {
        inside = hexNumber(m.disp);
    } else if (m.disp > 0) {
        inside += "+" + hexNumber(m.disp);
    } else if (m.disp < 0) {
        inside += hexNumber(m.disp);
    }
    return text + "[" + inside + "]";
}

std::string operandText(const Operand& op, const LabelNamer& names) {
    switch (op.kind) {
        case Operand::Kind::reg:
            return regName(static_cast<Reg>(op.code));
        case Operand::Kind::reg8:
            return regName(static_cast<Reg8>(op.code));
        case Operand::Kind::reg16:
            return regName(static_cast<Reg16>(op.code));
        case Operand::Kind::mem:
            return memText(op.mem, names);
        case Operand::Kind::imm:
            if (op.immediate.target.none()) return hexNumber(op.immediate.value);
            return "OFFSET " + targetText(op.immediate.target, op.immediate.value, names);
    }
    return {};
}

}  // namespace txc::x86
