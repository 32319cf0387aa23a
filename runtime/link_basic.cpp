// The master link function: the basic module's entries, then every other module's, in module
// order.
#include "command_registry.h"
#include "string_routines.h"
#include "system_commands.h"

namespace tx {

void linkBasic(CommandRegistrar& registrar) {
    for (const CommandDef& def : systemCommands()) registrar.add(def);
    for (const CommandDef& def : stringSupportRoutines()) registrar.add(def);
    // The other library modules' link functions follow here in module order as they arrive.
}

}  // namespace tx
