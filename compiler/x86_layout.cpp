// Finishing the code: branch sizes and alignment padding are settled together, starting from the
// short form of every branch to a label and growing the ones that do not reach until none
// changes (sizes only grow, so this ends; the passes decide as GNU as does, so that its output
// can check ours); then the bytes, fixups and listing are written.
#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "x86_encoder.h"

namespace txc::x86 {
namespace {

bool fitsInt8(int64_t v) {
    return v >= -128 && v <= 127;
}

// Padding of `size` bytes of code: the longest no-operation forms that need nothing newer than
// the 386 (lea esi, [esi+0] in its lengths), the shorter one last; past 20 bytes a short jump
// skips the rest.
void fillWithNops(uint8_t* at, uint32_t size) {
    static const std::vector<uint8_t> nops[] = {
        {},
        {0x90},
        {0x66, 0x90},
        {0x8D, 0x76, 0x00},
        {0x8D, 0x74, 0x26, 0x00},
        {0x8D, 0x74, 0x26, 0x00, 0x90},
        {0x8D, 0xB6, 0x00, 0x00, 0x00, 0x00},
        {0x8D, 0xB4, 0x26, 0x00, 0x00, 0x00, 0x00},
    };
    if (size > 20 && size - 2 <= 127) {
        *at++ = 0xEB;
        *at++ = static_cast<uint8_t>(size - 2);
        size -= 2;
    }
    for (; size > 0;) {
        const std::vector<uint8_t>& nop = nops[size >= 7 ? 7 : size];
        at = std::copy(nop.begin(), nop.end(), at);
        size -= static_cast<uint32_t>(nop.size());
    }
}

void put32(std::vector<uint8_t>& code, uint32_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) code[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

EncodedCode Encoder::finish() const {
    const size_t count = insns_.size();
    const auto labelInsn = [this](Label label) {
        const uint32_t insn = labels_[label.id].insn;
        if (insn == UINT32_MAX) {
            const std::string& name = labels_[label.id].name;
            throw std::logic_error("label used but never bound: " +
                                   (name.empty() ? ".L" + std::to_string(label.id) : name));
        }
        return insn;
    };
    for (const Insn& insn : insns_) {
        if (insn.kind == Insn::Kind::jump) labelInsn(insn.target);
    }
    for (const Use& use : uses_) {
        if (use.target.label.valid()) labelInsn(use.target.label);
    }

    std::vector<bool> isNear(count, false);
    std::vector<uint32_t> offset(count + 1, 0);
    const auto sizeAt = [&](size_t i, uint32_t at) -> uint32_t {
        const Insn& insn = insns_[i];
        switch (insn.kind) {
            case Insn::Kind::code:
                return insn.length;
            case Insn::Kind::jump:
                return !isNear[i] ? 2 : insn.cond == kNoCond ? 5 : 6;
            case Insn::Kind::align:
                return (insn.boundary - at % insn.boundary) % insn.boundary;
        }
        return 0;
    };
    const auto target = [&](Label label) { return offset[labelInsn(label)]; };
    // Each pass walks the code in order. A branch back sees where its target now lies; a branch
    // forward sees where its target lay in the previous pass, moved by the growth so far unless
    // an alignment in between may take that growth up. A pass that changes nothing has seen
    // every distance exactly, so its layout is final.
    std::vector<uint32_t> region(count + 1, 0);  // alignments before the instruction
    for (size_t i = 0; i < count; ++i) {
        offset[i + 1] = offset[i] + sizeAt(i, offset[i]);
        region[i + 1] = region[i] + (insns_[i].kind == Insn::Kind::align ? 1 : 0);
    }
    std::vector<uint32_t> previous = offset;
    for (bool changed = true; changed;) {
        changed = false;
        for (size_t i = 0; i < count; ++i) {
            const Insn& insn = insns_[i];
            if (insn.kind == Insn::Kind::jump && !isNear[i]) {
                const uint32_t t = labelInsn(insn.target);
                int64_t destination = t <= i ? offset[t] : previous[t];
                const int64_t stretch = int64_t{offset[i]} - previous[i];
                bool judge = true;
                if (t > i && stretch != 0) {
                    if (stretch < 0 || region[t] == region[i]) {
                        destination += stretch;
                    } else {
                        // Seen behind the branch only because this pass moved the branch on:
                        // wait for the next pass.
                        judge = destination >= offset[i];
                    }
                }
                if (judge && !fitsInt8(destination - (int64_t{offset[i]} + 2))) {
                    isNear[i] = true;
                    changed = true;
                }
            }
            offset[i + 1] = offset[i] + sizeAt(i, offset[i]);
        }
        previous = offset;
    }

    EncodedCode out;
    out.code.resize(offset[count]);
    for (size_t i = 0; i < count; ++i) {
        const Insn& insn = insns_[i];
        uint8_t* at = out.code.data() + offset[i];
        const uint32_t size = offset[i + 1] - offset[i];
        switch (insn.kind) {
            case Insn::Kind::code:
                std::copy_n(draft_.begin() + insn.start, insn.length, at);
                break;
            case Insn::Kind::align:
                if (insn.fill) {
                    std::fill_n(at, size, *insn.fill);
                } else {
                    fillWithNops(at, size);
                }
                break;
            case Insn::Kind::jump: {
                const int64_t distance = int64_t{target(insn.target)} - offset[i + 1];
                if (!isNear[i]) {
                    at[0] = insn.cond == kNoCond ? 0xEB : static_cast<uint8_t>(0x70 | insn.cond);
                    at[1] = static_cast<uint8_t>(distance);
                } else if (insn.cond == kNoCond) {
                    at[0] = 0xE9;
                    put32(out.code, offset[i] + 1, static_cast<uint32_t>(distance));
                } else {
                    at[0] = 0x0F;
                    at[1] = static_cast<uint8_t>(0x80 | insn.cond);
                    put32(out.code, offset[i] + 2, static_cast<uint32_t>(distance));
                }
                break;
            }
        }
    }
    for (const Use& use : uses_) {
        const uint32_t at = offset[use.insn] + (use.at - insns_[use.insn].start);
        const Label label = use.target.label;
        if (use.relative && label.valid()) {
            put32(out.code, at, target(label) - (at + 4));
        } else {
            const std::string& name = label.valid() ? labels_[label.id].name : use.target.symbol;
            (use.relative ? out.relativeFixups : out.absoluteFixups).push_back({name, at});
        }
    }

    std::vector<std::vector<uint32_t>> boundAt(count + 1);
    out.labelOffsets.assign(labels_.size(), UINT32_MAX);
    for (uint32_t id = 0; id < labels_.size(); ++id) {
        const LabelInfo& info = labels_[id];
        if (info.insn == UINT32_MAX) continue;
        out.labelOffsets[id] = offset[info.insn];
        boundAt[info.insn].push_back(id);
        if (!info.name.empty()) out.symbols.push_back({info.name, offset[info.insn]});
    }
    for (size_t i = 0; i <= count; ++i) {
        for (uint32_t id : boundAt[i]) {
            out.listing.push_back({offset[i], 0, labelText(Label{id}) + ":"});
        }
        if (i < count)
            out.listing.push_back({offset[i], offset[i + 1] - offset[i], insns_[i].text});
    }
    return out;
}

tx::ModuleImage EncodedCode::moduleImage() const {
    tx::ModuleImage image;
    image.code = code;
    for (const CodeSymbol& s : symbols) {
        image.symbols.push_back({s.name, s.offset});
        // A symbol must lie inside the block, even one that marks its very end.
        if (s.offset >= image.code.size()) image.code.resize(uint64_t{s.offset} + 1, 0);
    }
    // Symbols in byte order of their names, as images are usually written.
    std::sort(image.symbols.begin(), image.symbols.end(),
              [](const tx::ImageRecord& a, const tx::ImageRecord& b) { return a.name < b.name; });
    for (const CodeFixup& f : relativeFixups) image.relativeFixups.push_back({f.symbol, f.offset});
    for (const CodeFixup& f : absoluteFixups) image.absoluteFixups.push_back({f.symbol, f.offset});
    return image;
}

std::string EncodedCode::listingText() const {
    constexpr uint32_t kBytesPerLine = 8;
    std::string text;
    char buffer[32];
    for (const ListingLine& line : listing) {
        if (line.size == 0) {
            text += line.text + "\n";
            continue;
        }
        for (uint32_t done = 0; done < line.size; done += kBytesPerLine) {
            std::snprintf(buffer, sizeof buffer, "%08x  ", line.address + done);
            std::string row = buffer;
            for (uint32_t k = done; k < line.size && k < done + kBytesPerLine; ++k) {
                std::snprintf(buffer, sizeof buffer, "%02x ", code[line.address + k]);
                row += buffer;
            }
            if (done == 0) {
                row.resize(10 + 3 * kBytesPerLine + 1, ' ');
                row += line.text;
            } else {
                while (!row.empty() && row.back() == ' ') row.pop_back();
            }
            text += row + "\n";
        }
    }
    return text;
}

}  // namespace txc::x86
