// The basic module's link function: the system commands, then the language support entries.
#include "arithmetic_routines.h"
#include "array_routines.h"
#include "basic_module.h"
#include "command_registry.h"
#include "data_routines.h"
#include "object_routines.h"
#include "runtime_stats.h"
#include "string_routines.h"
#include "system_commands.h"
#include "type_descriptors.h"

namespace tx {

void linkBasicModule(CommandRegistrar& registrar) {
    for (const CommandDef& def : systemCommands()) registrar.add(def);
    // The language support entries: the basic type descriptors, then the routines.
    linkTypeDescriptors(registrar);
    for (const auto routines :
         {stringSupportRoutines(), arraySupportRoutines(), objectSupportRoutines(),
          dataSupportRoutines(), arithmeticSupportRoutines()})
        for (const CommandDef& def : routines) registrar.add(def);
    registrar.add(runtimeStatsCommand());
}

}  // namespace tx
