// Operands written in Intel syntax as GNU as reads it (`.intel_syntax noprefix`), for listings.
#pragma once

#include <functional>
#include <string>

#include "x86_operands.h"

namespace txc::x86 {

// The name a label is written with.
using LabelNamer = std::function<std::string(Label)>;

const char* regName(Reg r);
const char* regName(Reg8 r);
const char* regName(Reg16 r);
const char* condName(Cond c);
std::string stName(St s);

// "0x10", "-0x8"
std::string hexNumber(int64_t value);
// "_vx", "_vx+0x4", ".L3-0x2", or a plain number when nothing is referred to.
std::string targetText(const Target& target, int32_t offset, const LabelNamer& names);
// "DWORD PTR [ebp-0x8]", "QWORD PTR [_vx+0x4]", "DWORD PTR ds:0x1000"
std::string memText(const Mem& m, const LabelNamer& names);
// Registers, memory, and immediates ("0x5", "OFFSET _vx").
std::string operandText(const Operand& op, const LabelNamer& names);

}  // namespace txc::x86
