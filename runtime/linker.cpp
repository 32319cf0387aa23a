#include "linker.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "module_image.h"
#include "signature.h"

namespace tx {
namespace {

using SymbolTable = std::unordered_map<std::string_view, GuestAddr>;

LinkResult unusable() {
    return {LinkResult::Status::UnusableImage, kUnusableImageMessage, 0};
}

class Linker {
public:
    Linker(GuestMachine& machine, const SymbolTable& runtimeSymbols)
        : machine_(machine), runtimeSymbols_(runtimeSymbols) {}

    LinkResult run(std::span<const uint8_t> image) {
        ImageReader reader(image);
        std::span<const uint8_t> code;
        if (!reader.code(code)) return unusable();
        const auto codeSize = static_cast<uint32_t>(code.size());
        codeBase_ = machine_.heap().allocate(codeSize);
        if (codeBase_ == 0) return unusable();
        codeSize_ = codeSize;
        if (codeSize != 0)
            std::memcpy(machine_.memory().writableBytes(codeBase_, codeSize), code.data(),
                        codeSize);

        int32_t count;
        if (!reader.i32(count)) return unusable();
        moduleSymbols_.reserve(count > 0 ? std::min<size_t>(count, image.size() / 5) : 0);
        for (int32_t i = 0; i < count; ++i) {
            std::string_view name;
            uint32_t offset;
            if (!reader.record(name, offset)) return unusable();
            if (offset >= codeSize_) return unusable();
            moduleSymbols_[name] = codeBase_ + offset;
        }
        if (auto failed = patchFixups(reader, true)) return *failed;
        if (auto failed = patchFixups(reader, false)) return *failed;
        return {LinkResult::Status::Linked, {}, codeBase_};
    }

private:
    std::optional<LinkResult> patchFixups(ImageReader& reader, bool relative) {
        int32_t count;
        if (!reader.i32(count)) return unusable();
        for (int32_t i = 0; i < count; ++i) {
            std::string_view name;
            uint32_t offset;
            if (!reader.record(name, offset)) return unusable();
            if (codeSize_ < 4 || offset > codeSize_ - 4) return unusable();
            GuestAddr target;
            if (auto it = moduleSymbols_.find(name); it != moduleSymbols_.end()) {
                target = it->second;
            } else if (auto rt = runtimeSymbols_.find(name); rt != runtimeSymbols_.end()) {
                target = rt->second;
            } else {
                return LinkResult{LinkResult::Status::MissingSymbol,
                                  "Can't find symbol: " + std::string(name), 0};
            }
            const GuestAddr place = codeBase_ + offset;
            uint8_t* word = machine_.memory().writableBytes(place, 4);
            uint32_t value;
            std::memcpy(&value, word, 4);
            value += relative ? target - place : target;
            std::memcpy(word, &value, 4);
        }
        return std::nullopt;
    }

    GuestMachine& machine_;
    const SymbolTable& runtimeSymbols_;
    SymbolTable moduleSymbols_;
    GuestAddr codeBase_ = 0;
    uint32_t codeSize_ = 0;
};

}  // namespace

LinkResult link(RuntimeInterface& runtime, std::span<const uint8_t> image, GuestMachine& machine) {
    // Runtime symbols: link key -> registered address. The keys live in `keys`; the table
    // refers to them.
    std::vector<std::string> keys;
    std::vector<GuestAddr> values;
    while (const char* signature = runtime.nextSymbol()) {
        keys.push_back(linkKey(signature));
        values.push_back(runtime.symbolValue(signature));
    }
    SymbolTable runtimeSymbols;
    runtimeSymbols.reserve(keys.size());
    for (size_t i = 0; i < keys.size(); ++i) runtimeSymbols[keys[i]] = values[i];
    if (image.empty()) return unusable();
    return Linker(machine, runtimeSymbols).run(image);
}

}  // namespace tx
