// The commands a program may call, learnt from the runtime's command registry: each command's
// name, result, parameters and defaults, and the link key compiled code calls it by. The
// support routines (names starting with an underscore) are kept apart; code generation refers to
// them by their link keys directly.
#pragma once

#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "signature.h"

namespace tx::txc {

struct CommandInfo {
    std::string name;      // as registered, for messages ("KeyDown")
    char resultSigil = 0;  // '%', '#', '$' or 0 for none
    std::vector<SignatureParam> params;
    std::string linkKey;  // "_fkeydown"
};

class CommandCatalog {
public:
    // Every signature of the runtime's registry.
    static CommandCatalog fromRuntime();
    // The given signatures (tests build small catalogs). Malformed ones are skipped.
    static CommandCatalog fromSignatures(std::span<const std::string> signatures);

    // The command of that name, compared without regard to case; null when there is none.
    const CommandInfo* find(std::string_view name) const;
    // True when the runtime registers the support routine or data symbol `_name`.
    bool hasSupport(std::string_view internalName) const;
    size_t size() const { return commands_.size(); }

private:
    std::map<std::string, CommandInfo, std::less<>> commands_;  // by case-folded name
    std::vector<std::string> support_;
};

}  // namespace tx::txc
