// Thousands of instructions with operands drawn from a fixed seed, each family of the encoder
// covered: the listing assembled by GNU as must give the same bytes and relocations.
#include <functional>
#include <initializer_list>
#include <random>

#include "gnu_as.h"

namespace txc::x86::test {
namespace {

constexpr const char* kSymbols[] = {"_vx", "__txStrConcat", "_fkeydown", "_aarray", "__DATA"};

// Random operands from a reproducible sequence, biased to the edges where encodings change.
class Draw {
public:
    explicit Draw(uint32_t seed) : rng_(seed) {}

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool chance(int percent) { return below(100) < percent; }
    Reg reg() { return static_cast<Reg>(below(8)); }
    St st() { return x86::st(static_cast<uint8_t>(below(8))); }
    std::string symbol() { return kSymbols[below(5)]; }

    int32_t number(int size) {
        static const int32_t edges[] = {0, 1, -1, 127, 128, -128, -129, 255, 256, 32767, -32768};
        int64_t v = chance(60) ? edges[below(11)] : static_cast<int32_t>(rng_());
        if (size == 1) v = static_cast<int8_t>(v);
        if (size == 2) v = static_cast<int16_t>(v);
        return static_cast<int32_t>(v);
    }

    Mem mem(Width w) {
        Mem m;
        m.width = w;
        const int form = below(6);
        if (form != 0) m.base = reg();
        if (form >= 3 || form == 0) {
            do m.index = reg();
            while (m.index == Reg::esp);
            m.scale = static_cast<uint8_t>(1 << below(4));
        }
        if (form == 0 && chance(50)) m.index.reset();
        m.disp = number(4);
        if (chance(20)) m.target.symbol = symbol();
        return m;
    }

    // A register or memory operand of `size` bytes.
    Operand rm(int size) {
        if (chance(50)) return mem(static_cast<Width>(size));
        return registerOf(size);
    }
    Operand registerOf(int size, int code = -1) {
        const uint8_t c = static_cast<uint8_t>(code >= 0 ? code : below(8));
        if (size == 1) return static_cast<Reg8>(c);
        if (size == 2) return static_cast<Reg16>(c);
        return static_cast<Reg>(c);
    }
    Operand immediate(int size) {
        if (size == 4 && chance(15)) return addressOf(symbol(), number(1));
        return imm(number(size));
    }
    int size() { return 1 << below(3); }

private:
    std::mt19937 rng_;
};

// A family emits one instruction of its kind, with operands of `size` bytes where that applies.
using Family = std::function<void(Encoder&, Draw&, int size)>;

// Runs one of the choices, drawn uniformly.
void pick(Draw& d, std::initializer_list<std::function<void()>> choices) {
    choices.begin()[d.below(static_cast<int>(choices.size()))]();
}

std::vector<Family> generalFamilies() {
    std::vector<Family> f;
    f.push_back([](Encoder& e, Draw& d, int s) { e.mov(d.rm(s), d.registerOf(s)); });
    f.push_back([](Encoder& e, Draw& d, int s) {
        e.mov(d.registerOf(s), d.chance(30) ? Operand(d.mem(static_cast<Width>(s))) : d.rm(s));
    });
    f.push_back([](Encoder& e, Draw& d, int s) { e.mov(d.rm(s), d.immediate(s)); });
    f.push_back([](Encoder& e, Draw& d, int s) {  // the accumulator and an absolute address
        Mem m = d.mem(static_cast<Width>(s));
        m.base.reset();
        m.index.reset();
        pick(d, {[&] { e.mov(d.registerOf(s, 0), m); }, [&] { e.mov(m, d.registerOf(s, 0)); }});
    });
    f.push_back([](Encoder& e, Draw& d, int) { e.movzx(d.reg(), d.rm(d.chance(50) ? 1 : 2)); });
    f.push_back([](Encoder& e, Draw& d, int) { e.movsx(d.reg(), d.rm(d.chance(50) ? 1 : 2)); });
    f.push_back([](Encoder& e, Draw& d, int) { e.lea(d.reg(), d.mem(Width::dword)); });
    f.push_back([](Encoder& e, Draw& d, int s) {
        const auto op = static_cast<AluOp>(d.below(8));
        pick(d, {[&] { e.alu(op, d.rm(s), d.registerOf(s)); },
                 [&] { e.alu(op, d.registerOf(s), d.rm(s)); },
                 [&] { e.alu(op, d.chance(25) ? d.registerOf(s, 0) : d.rm(s), d.immediate(s)); }});
    });
    f.push_back([](Encoder& e, Draw& d, int s) {
        if (d.chance(20)) return e.test(d.registerOf(s), d.mem(static_cast<Width>(s)));
        if (d.chance(50)) return e.test(d.rm(s), d.registerOf(s));
        e.test(d.chance(25) ? d.registerOf(s, 0) : d.rm(s), d.immediate(s));
    });
    f.push_back([](Encoder& e, Draw& d, int s) {
        const Operand op = d.rm(s);
        pick(d, {[&] { e.inc(op); }, [&] { e.dec(op); }, [&] { e.neg(op); }, [&] { e.not_(op); },
                 [&] { e.mul(op); }, [&] { e.div(op); }, [&] { e.idiv(op); }});
    });
    f.push_back([](Encoder& e, Draw& d, int) {
        pick(d, {[&] { e.imul(d.reg(), d.rm(4)); }, [&] { e.imul(d.reg(), d.rm(4), d.number(4)); },
                 [&] { e.imul(d.reg(), imm(d.number(4))); }});
    });
    f.push_back([](Encoder& e, Draw& d, int s) {
        static const ShiftOp ops[] = {ShiftOp::rol, ShiftOp::ror, ShiftOp::rcl, ShiftOp::rcr,
                                      ShiftOp::shl, ShiftOp::shr, ShiftOp::sar};
        const Operand count = d.chance(30) ? Operand(Reg8::cl) : Operand(imm(d.below(32)));
        e.shift(ops[d.below(7)], d.rm(s), count);
    });
    f.push_back([](Encoder& e, Draw& d, int) { e.setcc(static_cast<Cond>(d.below(16)), d.rm(1)); });
    f.push_back([](Encoder& e, Draw& d, int) {
        pick(d, {[&] { e.push(d.reg()); }, [&] { e.push(d.immediate(4)); },
                 [&] { e.push(d.mem(Width::dword)); }, [&] { e.pop(d.reg()); },
                 [&] { e.pop(d.mem(Width::dword)); }});
    });
    f.push_back([](Encoder& e, Draw& d, int) {
        pick(d,
             {[&] { e.call(d.symbol()); }, [&] { e.call(d.rm(4)); }, [&] { e.jmp(d.symbol()); },
              [&] { e.jmp(d.rm(4)); }, [&] { e.jcc(static_cast<Cond>(d.below(16)), d.symbol()); },
              [&] { e.ret(static_cast<uint16_t>(d.number(2))); }, [&] { e.cdq(); },
              [&] { e.leave(); },
              [&] {
                  e.dd(Imm{d.number(4), {d.chance(50) ? d.symbol() : "", {}}});
              }});
    });
    f.push_back([](Encoder& e, Draw& d, int) {
        std::string text;
        for (int n = d.below(12); n > 0; --n) text += static_cast<char>(1 + d.below(255));
        e.asciz(text);
    });
    return f;
}

std::vector<Family> fpuFamilies() {
    std::vector<Family> f;
    f.push_back([](Encoder& e, Draw& d, int) {
        const Mem m = d.mem(d.chance(50) ? Width::dword : Width::qword);
        pick(d, {[&] { e.fld(m); }, [&] { e.fst(m); }, [&] { e.fstp(m); }, [&] { e.fcom(m); },
                 [&] { e.fcomp(m); }});
    });
    f.push_back([](Encoder& e, Draw& d, int) {
        pick(d, {[&] { e.fld(d.st()); }, [&] { e.fst(d.st()); }, [&] { e.fstp(d.st()); },
                 [&] { e.fxch(d.st()); }, [&] { e.fcomi(d.st()); }, [&] { e.fcomip(d.st()); },
                 [&] { e.fucomi(d.st()); }, [&] { e.fucomip(d.st()); }, [&] { e.ffree(d.st()); }});
    });
    f.push_back([](Encoder& e, Draw& d, int) {
        static const Width widths[] = {Width::word, Width::dword, Width::qword};
        const Mem m = d.mem(widths[d.below(3)]);
        pick(d, {[&] { e.fild(m); }, [&] { e.fistp(m); },
                 [&] { m.width == Width::qword ? e.fild(m) : e.fist(m); }});
    });
    f.push_back([](Encoder& e, Draw& d, int) {
        static const FpuOp ops[] = {FpuOp::add,  FpuOp::mul, FpuOp::sub,
                                    FpuOp::subr, FpuOp::div, FpuOp::divr};
        const FpuOp op = ops[d.below(6)];
        pick(d, {[&] { e.fpu(op, d.mem(d.chance(50) ? Width::dword : Width::qword)); },
                 [&] { e.fpu(op, st(0), d.st()); }, [&] { e.fpu(op, d.st(), st(0)); },
                 [&] { e.fpuPop(op, d.st()); }});
    });
    f.push_back([](Encoder& e, Draw& d, int) {
        const Mem m = d.mem(Width::word);
        if (d.chance(50)) return e.fnstcw(m);
        e.fldcw(m);
    });
    f.push_back([](Encoder& e, Draw& d, int) {
        using Simple = void (Encoder::*)();
        static const Simple simple[] = {&Encoder::fld1,    &Encoder::fldz,    &Encoder::fldpi,
                                        &Encoder::fchs,    &Encoder::fabs,    &Encoder::fsqrt,
                                        &Encoder::fsin,    &Encoder::fcos,    &Encoder::fpatan,
                                        &Encoder::fptan,   &Encoder::frndint, &Encoder::fprem,
                                        &Encoder::fscale,  &Encoder::ftst,    &Encoder::fcompp,
                                        &Encoder::fucompp, &Encoder::fninit,  &Encoder::fnstswAx,
                                        &Encoder::sahf,    &Encoder::nop,     &Encoder::int3};
        (e.*simple[d.below(std::size(simple))])();
    });
    return f;
}

void runFamilies(const std::vector<Family>& families, uint32_t seed, int rounds) {
    Draw draw(seed);
    Encoder e;
    for (int round = 0; round < rounds; ++round) {
        for (const Family& family : families) family(e, draw, draw.size());
    }
    expectSameAsGnu(e.finish());
}

TEST(GnuAsComparison, GeneralInstructions) {
    runFamilies(generalFamilies(), 1207, 300);
}

TEST(GnuAsComparison, X87Instructions) {
    runFamilies(fpuFamilies(), 2026, 200);
}

}  // namespace
}  // namespace txc::x86::test
