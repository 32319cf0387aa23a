// CommandCatalog::fromRuntime, in a file of its own: it reaches the runtime interface, which is
// defined with the module list, so only programs that call it carry the library modules.
#include <string>
#include <vector>

#include "command_catalog.h"
#include "runtime_interface.h"

namespace tx::txc {

CommandCatalog CommandCatalog::fromRuntime() {
    RuntimeInterface& runtime = runtimeGetRuntime();
    std::vector<std::string> signatures;
    // Enumerating to the end also empties the registry again.
    while (const char* signature = runtime.nextSymbol()) signatures.emplace_back(signature);
    return fromSignatures(signatures);
}

}  // namespace tx::txc
