// Inputs for fuzzing: per-case random generators, module images and their mutations, and random
// machine code aimed at the ways a guest run can end.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <random>
#include <ranges>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "command_registry.h"
#include "guest_layout.h"
#include "image_builder.h"
#include "linker.h"
#include "reference_link.h"
#include "signature.h"

namespace tx::test {

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

// What linking `image` at `base` against the runtime's symbols (by link key, as the linker
// builds them) must give.
inline ImageReading expectedLink(std::span<const uint8_t> image, GuestAddr base) {
    static const std::map<std::string, GuestAddr> keys = [] {
        CommandRegistry registry;
        registry.fill();
        std::map<std::string, GuestAddr> byKey;
        for (const auto& [signature, address] : registry.entries())
            byKey[linkKey(signature)] = address;
        return byKey;
    }();
    return readImage(image, base, [](const std::string& name) -> std::optional<uint32_t> {
        const auto found = keys.find(name);
        return found != keys.end() ? std::optional(found->second) : std::nullopt;
    });
}

// A valid image that mutations start from; a run leaves 42 in its result cell, _vresult.
struct SeedImage {
    Bytes bytes;
    ImageReading reading;
    uint32_t resultOffset;
};

inline SeedImage seedOf(const ImageBuilder& builder) {
    Bytes bytes = builder.bytes();
    ImageReading reading = expectedLink(bytes, 0);
    for (const ImageRecord& symbol : builder.symbols)
        if (symbol.name == "_vresult") return {std::move(bytes), std::move(reading), symbol.offset};
    throw std::logic_error("a seed without _vresult");
}

// The seeds: one calls a command, the string support routines and a function of its own (the
// zeros pushed first are the arguments of any command a mutated call reaches); one ends through
// End called through a table word; one has many symbols and fixups into a data table, some
// naming runtime symbols, and a negative count.
inline std::vector<SeedImage> seedImages() {
    std::string table = "__MAIN: B82A000000 A3 [_vresult] C3 00";
    const char* runtime[] = {"_fmillisecs", "_fend", "__txStrConcat", "_fdelay"};
    for (int i = 0; i < 40; ++i) {
        table += (i == 8 ? " _vresult: _l" : " _l") + std::to_string(i) + ": [" +
                 (i % 3 == 0 ? runtime[i % 4] : "_l" + std::to_string(39 - i)) + "]";
    }
    ImageBuilder tableImage = ImageBuilder::assemble(table);
    tableImage.relativeCount = -1;
    return {seedOf(ImageBuilder::assemble(
                "__MAIN: 6A00 6A00 6A00 E8 <_fmillisecs> 68 [_1] E8 <__txStrConst> 5050 "
                "E8 <__txStrConcat> 50 E8 <__txStrRelease> 83C410 E8 <_fhelper> A3 [_vresult] "
                "83C40C C3 _fhelper: B82A000000 C3 _vresult: 00000000 _1: 616200")),
            seedOf(ImageBuilder::assemble("__MAIN: 6A00 6A00 6A00 B82A000000 A3 [_vresult] "
                                          "FF15 [_ptr] C3 _ptr: [_fend] _vresult: 00000000")),
            seedOf(tableImage)};
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
                const uint32_t values[] = {
                    0, 1, 4, ~0u, ~0u >> 1, 1u << 20, uint32_t(b.size()), uint32_t(rng())};
                const int32_t nearSize[] = {-4, -3, -1, 0, 1, 4};
                const uint32_t v =
                    chance(rng, 40) ? size + nearSize[below(rng, 6)] : values[below(rng, 8)];
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
        for (const auto part : std::views::split(kSnippetTable, ','))
            out.emplace_back(part.begin(), part.end());
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

    // Written at kLiteralOffset of the block: the literals 16 bytes apart, then a long one.
    static Bytes literals() {
        Bytes out(16 * std::size(kLiterals), 0);
        for (size_t i = 0; i < std::size(kLiterals); ++i)
            std::memcpy(out.data() + 16 * i, kLiterals[i], std::strlen(kLiterals[i]));
        out.insert(out.end(), 300, 'x');
        out.push_back(0);
        return out;
    }

private:
    void op(uint8_t b) { code_.push_back(b); }
    void word(uint32_t v) { put32(code_, v); }
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
        return base_ + kLiteralOffset + 16 * below(rng_, std::size(kLiterals) + 1);
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
        appendHex(code_, pattern, [&](char c, Bytes&) {
            if (c == 'i' || c == 'r' || c == 't') {
                word(c == 'i' ? interesting() : c == 't' ? thunkTarget() : uint32_t(rng_()));
            } else if (c == 's') {
                const uint16_t sel = selectors[below(rng_, std::size(selectors))];
                op(static_cast<uint8_t>(sel)), op(static_cast<uint8_t>(sel >> 8));
            } else {
                op(static_cast<uint8_t>(c == 'm'   ? 0xC0 | below(rng_, 64)
                                        : c == 'x' ? 0xD8 + below(rng_, 8)
                                        : c == 'q' ? 0x10 + below(rng_, 0x70)
                                        : c == 'n' ? 6 + below(rng_, 40)
                                                   : rng_()));  // '?'
            }
        });
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
