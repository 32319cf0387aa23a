// Jumps, calls, returns, alignment and data of the encoder.
#include <stdexcept>

#include "x86_encoder.h"
#include "x86_intel_text.h"

namespace txc::x86 {

void Encoder::branch(uint8_t cond, Label target, std::string text) {
    checkLabel(target);
    Insn insn;
    insn.kind = Insn::Kind::jump;
    insn.cond = cond;
    insn.target = target;
    insn.start = static_cast<uint32_t>(draft_.size());
    insn.text = std::move(text);
    insns_.push_back(std::move(insn));
}

void Encoder::relCall(uint8_t opcode, std::initializer_list<uint8_t> prefix, std::string symbol,
                      std::string text) {
    if (symbol.empty()) throw std::invalid_argument("a symbol needs a name");
    begin();
    bytes(prefix);
    byte(opcode);
    uses_.push_back({static_cast<uint32_t>(insns_.size()), static_cast<uint32_t>(draft_.size()),
                     Target{std::move(symbol), {}}, true});
    word32(static_cast<uint32_t>(-4));
    end(std::move(text));
}

void Encoder::jmp(Label target) {
    branch(kNoCond, target, "jmp " + labelText(target));
}

void Encoder::jmp(std::string symbol) {
    std::string t = "jmp " + symbol;
    relCall(0xE9, {}, std::move(symbol), std::move(t));
}

void Encoder::jmp(const Operand& indirect) {
    if (indirect.size() != 4) throw std::invalid_argument("jmp through a dword");
    begin();
    byte(0xFF);
    modrm(4, indirect);
    end("jmp " + text(indirect));
}

void Encoder::jcc(Cond cond, Label target) {
    branch(static_cast<uint8_t>(cond), target,
           std::string("j") + condName(cond) + " " + labelText(target));
}

void Encoder::jcc(Cond cond, std::string symbol) {
    std::string t = std::string("j") + condName(cond) + " " + symbol;
    relCall(static_cast<uint8_t>(0x80 | static_cast<uint8_t>(cond)), {0x0F}, std::move(symbol),
            std::move(t));
}

void Encoder::call(Label target) {
    checkLabel(target);
    begin();
    byte(0xE8);
    uses_.push_back({static_cast<uint32_t>(insns_.size()), static_cast<uint32_t>(draft_.size()),
                     Target{{}, target}, true});
    word32(static_cast<uint32_t>(-4));
    end("call " + labelText(target));
}

void Encoder::call(std::string symbol) {
    std::string t = "call " + symbol;
    relCall(0xE8, {}, std::move(symbol), std::move(t));
}

void Encoder::call(const Operand& indirect) {
    if (indirect.size() != 4) throw std::invalid_argument("call through a dword");
    begin();
    byte(0xFF);
    modrm(2, indirect);
    end("call " + text(indirect));
}

void Encoder::ret(uint16_t popBytes) {
    if (popBytes == 0) return simple({0xC3}, "ret");
    begin();
    byte(0xC2);
    word16(popBytes);
    end("ret " + hexNumber(popBytes));
}

void Encoder::align(uint32_t boundary, std::optional<uint8_t> fill) {
    if (boundary == 0 || (boundary & (boundary - 1)) != 0) {
        throw std::invalid_argument("alignment must be a power of two");
    }
    int power = 0;
    while ((1u << power) < boundary) ++power;
    Insn insn;
    insn.kind = Insn::Kind::align;
    insn.boundary = boundary;
    insn.fill = fill;
    insn.start = static_cast<uint32_t>(draft_.size());
    insn.text = ".p2align " + std::to_string(power) + (fill ? ", " + hexNumber(*fill) : "");
    insns_.push_back(std::move(insn));
}

void Encoder::db(std::span<const uint8_t> data) {
    begin();
    draft_.insert(draft_.end(), data.begin(), data.end());
    std::string t = ".byte ";
    for (size_t i = 0; i < data.size(); ++i) t += (i ? ", " : "") + hexNumber(data[i]);
    end(std::move(t));
}

void Encoder::dd(const Imm& value) {
    begin();
    absoluteWord(value.target, value.value);
    end(".long " + targetText(value.target, value.value, [this](Label l) { return labelText(l); }));
}

void Encoder::asciz(std::string_view data) {
    begin();
    draft_.insert(draft_.end(), data.begin(), data.end());
    byte(0);
    std::string t = ".asciz \"";
    for (unsigned char c : data) {
        if (c == '"' || c == '\\') {
            t += '\\';
            t += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            const char digits[] = {'\\', static_cast<char>('0' + (c >> 6)),
                                   static_cast<char>('0' + ((c >> 3) & 7)),
                                   static_cast<char>('0' + (c & 7)), 0};
            t += digits;
        } else {
            t += static_cast<char>(c);
        }
    }
    end(t + "\"");
}

}  // namespace txc::x86
