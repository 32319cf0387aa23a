#include "command_catalog.h"

#include <algorithm>
#include <optional>

#include "ascii_case.h"

namespace tx::txc {
namespace {

std::string caseFolded(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) c = lowerAscii(c);
    return folded;
}

}  // namespace

CommandCatalog CommandCatalog::fromSignatures(std::span<const std::string> signatures) {
    CommandCatalog catalog;
    for (const std::string& signature : signatures) {
        std::optional<ParsedSignature> parsed = parseSignature(signature);
        if (!parsed) continue;
        if (parsed->internal) {
            catalog.support_.push_back(std::move(parsed->name));
            continue;
        }
        // Link keys are unique in a registry; should two names fold together, the first stays.
        std::string key = caseFolded(parsed->name);
        if (catalog.commands_.contains(key)) continue;
        CommandInfo info{std::move(parsed->name), parsed->resultSigil, std::move(parsed->params),
                         linkKey(signature)};
        catalog.commands_.emplace(std::move(key), std::move(info));
    }
    std::sort(catalog.support_.begin(), catalog.support_.end());
    catalog.support_.erase(std::unique(catalog.support_.begin(), catalog.support_.end()),
                           catalog.support_.end());
    return catalog;
}

const CommandInfo* CommandCatalog::find(std::string_view name) const {
    const auto it = commands_.find(caseFolded(name));
    return it == commands_.end() ? nullptr : &it->second;
}

bool CommandCatalog::hasSupport(std::string_view internalName) const {
    return std::binary_search(support_.begin(), support_.end(), internalName);
}

}  // namespace tx::txc
