// Inputs for fuzzing: per-case random generators, module images read straight from their format
// and mutated, and random machine code aimed at the ways a guest run can end.
#pragma once

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <map>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "command_registry.h"
#include "guest_layout.h"
#include "image_builder.h"
#include "linker.h"
#include "module_image.h"
#include "signature.h"

namespace tx::test {

using Bytes = std::vector<uint8_t>;
using Status = LinkResult::Status;

// One generator per case, so a failing case reproduces from the seed and its index alone.
inline std::mt19937 caseRng(uint64_t seed, uint32_t stream, size_t index) {
    std::seed_seq seq{uint32_t(seed), uint32_t(seed >> 32), stream, uint32_t(index)};
    return std::mt19937(seq);
}
inline uint32_t below(std::mt19937& rng, size_t n) {
    return std::uniform_int_distribution<uint32_t>(0, static_cast<uint32_t>(n - 1))(rng);
}
inline bool chance(std::mt19937& rng, uint32_t percent) {
    return below(rng, 100) < percent;
}
inline Bytes randomBytes(std::mt19937& rng, size_t n) {
    Bytes out(n);
    for (auto& b : out) b = static_cast<uint8_t>(rng());
    return out;
}

// ---- Module images ----

// Runtime symbols by link key, as the linker builds them.
inline std::map<std::string, GuestAddr> runtimeKeys() {
    CommandRegistry registry;
    registry.fill();
    std::map<std::string, GuestAddr> keys;
    for (const auto& [signature, address] : registry.entries()) keys[linkKey(signature)] = address;
    return keys;
}

// An image read straight from the format: what linking it at `base` must give, and where its
// fields and records lie (for the mutations that aim at them).
struct ImageReading {
    struct Record {
        size_t begin, end, countAt;
    };
    Status status = Status::UnusableImage;
    std::string missing;         // the unresolved name
    Bytes code;                  // the code block once patched
    std::vector<size_t> fields;  // offsets of the 32-bit size, count and offset fields
    std::vector<Record> records;
};

inline ImageReading readImage(std::span<const uint8_t> image, GuestAddr base,
                              const std::map<std::string, GuestAddr>& runtime) {
    ImageReading out;
    ImageReader reader(image);
    auto u32 = [&](uint32_t& v) {
        out.fields.push_back(reader.position());
        return reader.u32(v);
    };
    uint32_t codeSize;
    std::span<const uint8_t> code;
    if (!u32(codeSize) || !reader.bytes(codeSize, code)) return out;
    out.code.assign(code.begin(), code.end());
    std::map<std::string, GuestAddr> symbols;
    for (int table = 0; table < 3; ++table) {
        const size_t countAt = reader.position();
        uint32_t count;
        if (!u32(count)) return out;
        for (int32_t i = 0; i < static_cast<int32_t>(count); ++i) {
            const size_t begin = reader.position();
            std::string_view name;
            uint32_t offset;
            if (!reader.name(name) || !u32(offset)) return out;
            const std::string s(name);
            out.records.push_back({begin, reader.position(), countAt});
            if (table == 0) {
                if (offset >= codeSize) return out;
                symbols[s] = base + offset;
                continue;
            }
            if (codeSize < 4 || offset > codeSize - 4) return out;
            const auto module = symbols.find(s);
            const auto rt = runtime.find(s);
            if (module == symbols.end() && rt == runtime.end()) {
                out.status = Status::MissingSymbol;
                out.missing = s;
                return out;
            }
            const GuestAddr target = module != symbols.end() ? module->second : rt->second;
            uint32_t word;
            std::memcpy(&word, out.code.data() + offset, 4);
            word += table == 1 ? target - (base + offset) : target;
            std::memcpy(out.code.data() + offset, &word, 4);
        }
    }
    out.status = Status::Linked;
    return out;
}

// A valid image that mutations start from; a run leaves 42 in its result cell.
struct SeedImage {
    Bytes bytes;
    ImageReading reading;
    uint32_t resultOffset;
};

inline SeedImage seedOf(const ImageBuilder& builder, uint32_t resultOffset) {
    Bytes bytes = builder.bytes();
    ImageReading reading = readImage(bytes, 0, runtimeKeys());
    return {std::move(bytes), std::move(reading), resultOffset};
}

// Calls a command, the string support routines and a function of its own; 42 in _vresult. The
// zeros pushed first are the arguments of any command that a mutated call reaches.
inline SeedImage callingSeed() {
    ImageBuilder b;
    b.code = {0x6A, 0,    0x6A, 0,    0x6A, 0,           //
              0xE8, 0xFC, 0xFF, 0xFF, 0xFF,              // 6:  call _fmillisecs
              0x68, 0,    0,    0,    0,                 // 11: push _1
              0xE8, 0xFC, 0xFF, 0xFF, 0xFF, 0x50, 0x50,  // 16: call __txStrConst; push eax (2)
              0xE8, 0xFC, 0xFF, 0xFF, 0xFF, 0x50,        // 23: call __txStrConcat; push eax
              0xE8, 0xFC, 0xFF, 0xFF, 0xFF,              // 29: call __txStrRelease
              0x83, 0xC4, 0x10,                          // 34: add esp, 16
              0xE8, 0xFC, 0xFF, 0xFF, 0xFF,              // 37: call _fhelper
              0xA3, 0,    0,    0,    0,                 // 42: mov [_vresult], eax
              0x83, 0xC4, 0x0C, 0xC3,                    // 47: add esp, 12; ret
              0xB8, 42,   0,    0,    0,    0xC3,        // 51: _fhelper
              0,    0,    0,    0,    'a',  'b',  0};    // 57: _vresult, 61: _1
    b.symbols = {{"_1", 61}, {"__MAIN", 0}, {"_fhelper", 51}, {"_vresult", 57}};
    b.relative = {{"_fmillisecs", 7}, {"__txStrConst", 17}, {"__txStrConcat", 24}};
    b.relative.insert(b.relative.end(), {{"__txStrRelease", 30}, {"_fhelper", 38}});
    b.absolute = {{"_1", 12}, {"_vresult", 43}};
    return seedOf(b, 57);
}

// Stores 42, then ends through End, called through a table word.
inline SeedImage endingSeed() {
    ImageBuilder b;
    b.code = {0x6A, 0,    0x6A, 0, 0x6A, 0, 0xB8, 42, 0, 0, 0,  // mov eax, 42
              0xA3, 0,    0,    0, 0,                           // 11: mov [_vresult], eax
              0xFF, 0x15, 0,    0, 0,    0, 0xC3,               // 16: call [_ptr]; ret
              0,    0,    0,    0, 0,    0, 0,    0};           // 23: _ptr, 27: _vresult
    b.symbols = {{"__MAIN", 0}, {"_ptr", 23}, {"_vresult", 27}};
    b.absolute = {{"_vresult", 12}, {"_ptr", 18}, {"_fend", 23}};
    return seedOf(b, 27);
}

// Many symbols and fixups into a data table, some naming runtime symbols; a negative count.
inline SeedImage tableSeed() {
    ImageBuilder b;
    b.code = {0xB8, 42, 0, 0, 0, 0xA3, 0, 0, 0, 0, 0xC3, 0};  // mov [_vresult], 42; ret
    b.code.resize(12 + 4 * 40, 0);
    b.symbols = {{"__MAIN", 0}, {"_vresult", 44}};
    b.absolute = {{"_vresult", 6}};
    b.relativeCount = -1;
    const char* runtime[] = {"_fmillisecs", "_fend", "__txStrConcat", "_fdelay"};
    for (uint32_t i = 0; i < 40; ++i) {
        const uint32_t at = 12 + 4 * i;
        b.symbols.emplace_back("_l" + std::to_string(i), at);
        b.absolute.emplace_back(i % 3 == 0 ? runtime[i % 4] : "_l" + std::to_string(39 - i), at);
    }
    return seedOf(b, 44);
}

inline Bytes mutateImage(std::mt19937& rng, const std::vector<SeedImage>& seeds) {
    const SeedImage& seed = seeds[below(rng, seeds.size())];
    const auto& fields = seed.reading.fields;
    const auto& records = seed.reading.records;
    const auto size = static_cast<uint32_t>(seed.reading.code.size());
    Bytes b = seed.bytes;
    auto pos = [&](size_t extra = 0) { return below(rng, b.size() + extra); };
    for (uint32_t round = 0, rounds = 1 + below(rng, 2); round < rounds; ++round) {
        const size_t codeEnd = std::min<size_t>(4 + size, b.size());
        switch (below(rng, 10)) {
            case 0:
            case 1:  // a code byte changes: the image stays well formed
                if (codeEnd > 4) b[4 + below(rng, codeEnd - 4)] = static_cast<uint8_t>(rng());
                break;
            case 2:  // flip bits anywhere
                for (uint32_t i = 0, n = 1 + below(rng, 4); i < n && !b.empty(); ++i)
                    b[pos()] ^= static_cast<uint8_t>(1u << below(rng, 8));
                break;
            case 3: {  // a 32-bit field, mostly a real one, takes an interesting value
                const size_t at = chance(rng, 80) ? fields[below(rng, fields.size())] : pos();
                const uint32_t values[] = {0,
                                           1,
                                           4,
                                           0xFFFF'FFFF,
                                           0x7FFF'FFFF,
                                           size - 1,
                                           size,
                                           size + 1,
                                           size - 4,
                                           size - 3,
                                           size + 4,
                                           1u << 20,
                                           uint32_t(b.size()),
                                           uint32_t(rng())};
                const uint32_t v = values[below(rng, std::size(values))];
                if (at + 4 <= b.size()) std::memcpy(b.data() + at, &v, 4);
                break;
            }
            case 4:  // truncate, or insert random bytes
                if (chance(rng, 50)) {
                    b.resize(pos(1));
                } else {
                    const Bytes extra = randomBytes(rng, 1 + below(rng, 16));
                    b.insert(b.begin() + pos(1), extra.begin(), extra.end());
                }
                break;
            case 5: {  // delete bytes
                if (b.empty()) break;
                const size_t at = pos(), n = std::min<size_t>(1 + below(rng, 16), b.size() - at);
                b.erase(b.begin() + at, b.begin() + at + n);
                break;
            }
            case 6:
            case 7: {  // duplicate a record, mostly counting it too
                if (records.empty()) break;
                const auto& r = records[below(rng, records.size())];
                if (r.end > b.size()) break;
                const Bytes copy(b.begin() + r.begin, b.begin() + r.end);
                b.insert(b.begin() + r.end, copy.begin(), copy.end());
                if (chance(rng, 70)) ++b[r.countAt];
                break;
            }
            case 8: {  // a name loses its terminator
                std::vector<size_t> zeros;
                for (size_t i = codeEnd; i < b.size(); ++i)
                    if (b[i] == 0) zeros.push_back(i);
                if (!zeros.empty()) b[zeros[below(rng, zeros.size())]] = 'x';
                break;
            }
            default: {  // the head of this image, the tail of another
                const Bytes& other = seeds[below(rng, seeds.size())].bytes;
                b.resize(pos(1));
                b.insert(b.end(), other.begin() + below(rng, other.size() + 1), other.end());
            }
        }
    }
    return b;
}

// ---- Random machine code ----

// Snippets aimed at the ways a run can end and at the CPU state a run could leave behind, in hex
// with placeholders: ? a random byte, i an interesting 32-bit value, r a random one, s a segment
// selector, m a register-form ModRM byte, t a thunk address, x an x87 opcode, q an opcode of the
// SSE range, n a small displacement.
inline constexpr std::string_view kSnippetTable =
    // registers, the stack pointer included
    "B8i,B9i,BAi,BBi,BDi,BEi,BFi,BCi,89C4,"
    // divide errors: by zero, and quotients that do not fit
    "31C9F7F1,31DBF7FB,30C9F6F1,6631C966F7F9,F735i,F63Di,D400,B800000080 99 B9FFFFFFFF F7F9,"
    "BAFFFFFFFF B901000000 F7F1,"
    // unbounded stack growth
    "50EBFD,E8FBFFFFFF,60EBFD,C8??00EBFA,81ECi50,"
    // thunks reached through a register or a return
    "B8tFFD0,68tC3,B8tFFE0,"
    // interrupts and undefined opcodes
    "CD?,CD80,CD2E,CC,F1,0F0B,0FFF,B8FFFFFF7F 40 CE,"
    // privileged instructions
    "F4,FA,FB,E4?E6?ECEE,0F22m,0F20m,0F23m,0F21m,0F0115i,0F011Di,0F00m,0F30,0F32,0F06,0F0138,"
    "0F09,0F34,0F35,0F05,0F07,CF,0FAA,0F01F0,"
    // far transfers and segment registers
    "EAis,9Ais,CB,CA??,FF2Di,66B8s8ED8,66B8s8ED0,66B8s8EE0,66B8s8EE8,8Em,6A?1F,6A?07,6A?17,"
    "6A?0FA1,6A?0FA9,C505i,C405i,648B00,65A1i,0E1F,"
    // x87: any opcode, 1/0, sqrt(-1), unmasked exceptions, a full register stack, state saves
    "xm,x05i,D9EE D9E8 DEF9 9B,D9E8 D9E0 D9FA,68r D92C24 58,D9E8D9E8D9E8D9E8D9E8D9E8D9E8D9E8D9E8,"
    "DBE3,DD3424,DD2424,0FAE0424,0FAE0C24,"
    // SSE and AVX: any opcode, random MXCSR (reserved bits included), 1/0
    "0Fqm,660Fqm,F30Fqm,F20Fq00,68r 0FAE1424 58,0F57C9 F30F5EC1,660F38??,660F3A???,C5???,C4????,"
    // string instructions over interesting ranges, in both directions
    "B9i BEi BFi F3A4,B9i BFi FD F3AB,F3A5,F2AE,F3A6,F36C,F36E,"
    // lock prefixes, allowed or not
    "F0??,F00F??,F00100,F00FB108,"
    // self-modifying code: call $+5; pop eax; mov dword [eax+n], random
    "E800000000 58 C740nr,"
    // jumps and returns
    "EB?,74?,75?,E9n000000,FFE0,FFD0,FFm,C3,C2??,E2?,E3?";

inline const std::vector<std::string_view>& snippets() {
    static const std::vector<std::string_view> list = [] {
        std::vector<std::string_view> out;
        for (size_t from = 0; from < kSnippetTable.size();) {
            const size_t comma = std::min(kSnippetTable.find(',', from), kSnippetTable.size());
            out.push_back(kSnippetTable.substr(from, comma - from));
            from = comma + 1;
        }
        return out;
    }();
    return list;
}

// Commands that generated code may call, sorted: none that reaches outside the test process
// (processes, the environment, the working folder, files, the network), and none that waits or
// starts a thread (a loop could call it thousands of times).
inline std::vector<uint32_t> callableSlots(const CommandTable& table) {
    std::vector<uint32_t> slots;
    for (uint32_t slot = 1; slot < table.slotCount(); ++slot) {
        const std::string_view signature = table.slot(slot)->signature;
        bool excluded = false;
        for (const char* word :
             {"ExecFile", "SetEnv", "Dir$", "File$", "TCP", "UDP", "HostIP", "Delay", "Timer"})
            excluded = excluded || signature.find(word) != std::string_view::npos;
        if (!excluded) slots.push_back(slot);
    }
    return slots;
}

// Code of 16 to 256 bytes: random bytes, or snippets mixed with random bytes and calls into the
// thunks. Given callable slots, also calls of those commands with plausible arguments.
class CodeFuzzer {
public:
    static constexpr const char* kLiterals[] = {"", "fuzz", "12.5", "-7", "%s%n\xFF"};
    static constexpr uint32_t kLiteralOffset = 0x8000;  // where literals() goes in the block

    CodeFuzzer(std::mt19937& rng, GuestAddr base, const CommandTable& table,
               const std::vector<uint32_t>* callable)
        : rng_(rng), base_(base), table_(table), callable_(callable) {}

    Bytes make() {
        const size_t length = 16 + below(rng_, 241);
        if (chance(rng_, 30)) return randomBytes(rng_, length);
        while (code_.size() < length) {
            const uint32_t pick = below(rng_, 100);
            if (pick < 60) {
                snippet(snippets()[below(rng_, snippets().size())]);
            } else if (pick < 70) {
                const Bytes b = randomBytes(rng_, 1 + below(rng_, 12));
                code_.insert(code_.end(), b.begin(), b.end());
            } else if (pick < 80 || callable_ == nullptr) {
                op(chance(rng_, 70) ? 0xE8 : 0xE9), relative(thunkTarget());  // call / jmp
            } else {
                command();
            }
        }
        code_.resize(length);
        if (chance(rng_, 40)) code_.back() = 0xC3;
        return code_;
    }

    // Written at kLiteralOffset of the block: the literals, then a long one.
    static Bytes literals() {
        Bytes out;
        for (const char* text : kLiterals)
            out.insert(out.end(), text, text + std::strlen(text) + 1);
        out.insert(out.end(), 300, 'x');
        out.push_back(0);
        return out;
    }

private:
    void op(uint8_t b) { code_.push_back(b); }
    void word(uint32_t v) { ImageBuilder::put32(code_, v); }
    void relative(GuestAddr target) { word(target - (base_ + uint32_t(code_.size()) + 4)); }

    // Any thunk (the return stub and unused slots included), or a callable one; with callable
    // slots given, never another command.
    GuestAddr thunkTarget() {
        uint32_t slot = callable_ != nullptr && chance(rng_, 70)
                            ? (*callable_)[below(rng_, callable_->size())]
                            : below(rng_, layout::kThunkCount + 1);
        if (callable_ != nullptr && slot < table_.slotCount() &&
            !std::binary_search(callable_->begin(), callable_->end(), slot))
            slot = 0;
        return layout::thunkAddress(slot) + (chance(rng_, 80) ? 0 : below(rng_, 16));
    }

    GuestAddr literal() {
        uint32_t offset = 0;
        for (uint32_t i = 0, n = below(rng_, std::size(kLiterals) + 1); i < n; ++i)
            offset += static_cast<uint32_t>(std::strlen(kLiterals[i]) + 1);
        return base_ + kLiteralOffset + offset;
    }

    // Near an edge of the layout, a thunk, a literal or anything.
    uint32_t interesting() {
        using namespace layout;
        if (chance(rng_, 10)) return thunkTarget();
        if (chance(rng_, 10)) return literal();
        const uint32_t edges[] = {0,
                                  0x7FFF'FFFF,
                                  0x8000'0000,
                                  base_,
                                  kHeapBase,
                                  kHeapEnd,
                                  kStackTop,
                                  kStackGuardBase,
                                  kStackBase,
                                  kNullGuardEnd,
                                  kFloatResultCell,
                                  uint32_t(kArenaSize),
                                  uint32_t(rng_())};
        return edges[below(rng_, std::size(edges))] + (chance(rng_, 50) ? 0 : below(rng_, 64) - 32);
    }

    void snippet(std::string_view pattern) {
        const uint16_t selectors[] = {0, 8, 0x10, 0x1B, 0x23, 0x2B, 0x33, 0xFFFF, uint16_t(rng_())};
        for (size_t i = 0; i < pattern.size(); ++i) {
            const char c = pattern[i];
            if (std::isxdigit(static_cast<unsigned char>(c))) {
                op(static_cast<uint8_t>(
                    std::stoul(std::string(pattern.substr(i++, 2)), nullptr, 16)));
            } else if (c == 'i' || c == 'r' || c == 't') {
                word(c == 'i' ? interesting() : c == 't' ? thunkTarget() : uint32_t(rng_()));
            } else if (c == 's') {
                const uint16_t sel = selectors[below(rng_, std::size(selectors))];
                op(static_cast<uint8_t>(sel)), op(static_cast<uint8_t>(sel >> 8));
            } else if (c != ' ') {
                op(static_cast<uint8_t>(c == 'm'   ? 0xC0 | below(rng_, 64)
                                        : c == 'x' ? 0xD8 + below(rng_, 8)
                                        : c == 'q' ? 0x10 + below(rng_, 0x70)
                                        : c == 'n' ? 6 + below(rng_, 40)
                                                   : rng_()));  // '?'
            }
        }
    }

    // A call of a callable command, arguments pushed right to left, mostly popped afterwards.
    void command() {
        const uint32_t slot = (*callable_)[below(rng_, callable_->size())];
        const CommandDef& def = *table_.slot(slot);
        for (uint32_t i = def.argWords; i-- > 0;) {
            if (chance(rng_, 35)) {
                op(0x50);  // the previous result: a string, a handle, an object
            } else {
                op(0x68);
                word(chance(rng_, 40)   ? literal()
                     : chance(rng_, 50) ? below(rng_, 100)
                                        : interesting());
            }
        }
        op(0xE8), relative(layout::thunkAddress(slot));
        if (def.argWords != 0 && chance(rng_, 85))
            op(0x83), op(0xC4), op(static_cast<uint8_t>(4 * def.argWords));
    }

    std::mt19937& rng_;
    GuestAddr base_;
    const CommandTable& table_;
    const std::vector<uint32_t>* callable_;
    Bytes code_;
};

}  // namespace tx::test
