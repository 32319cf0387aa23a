// The library modules in module order: the table `run` creates and destroys, and the master link
// function that registers the basic module's entries and then every other module's.
#include "arithmetic_routines.h"
#include "array_routines.h"
#include "basic_module.h"
#include "command_registry.h"
#include "data_routines.h"
#include "library_modules.h"
#include "object_routines.h"
#include "runtime_stats.h"
#include "string_routines.h"
#include "system_commands.h"
#include "type_descriptors.h"

namespace tx {
namespace {

const LibraryModule kModules[] = {
    {"basic", &basicCreate, &basicDestroy, "basic_create failed"},
    {"math", &mathCreate, &mathDestroy, "math_create failed"},
    {"string", &stringCreate, &stringDestroy, "string_create failed"},
    {"stream", &streamCreate, &streamDestroy, "stream_create failed"},
    {"sockets", &socketsCreate, &socketsDestroy, "sockets_create failed"},
    {"filesystem", &filesystemCreate, &filesystemDestroy, "filesystem_create failed"},
    {"bank", &bankCreate, &bankDestroy, "bank_create failed"},
    {"graphics", &graphicsCreate, &graphicsDestroy, "graphics_create failed"},
};

constexpr LinkFunction kModuleLinks[] = {
    &linkMath, &linkString, &linkStream, &linkSockets, &linkFilesystem, &linkBank, &linkGraphics,
};

}  // namespace

std::span<const LibraryModule> defaultLibraryModules() {
    return kModules;
}

void linkBasic(CommandRegistrar& registrar) {
    for (const CommandDef& def : systemCommands()) registrar.add(def);
    // The language support entries: the basic type descriptors, then the routines.
    linkTypeDescriptors(registrar);
    for (const auto routines :
         {stringSupportRoutines(), arraySupportRoutines(), objectSupportRoutines(),
          dataSupportRoutines(), arithmeticSupportRoutines()})
        for (const CommandDef& def : routines) registrar.add(def);
    registrar.add(runtimeStatsCommand());
    for (LinkFunction link : kModuleLinks) link(registrar);
}

}  // namespace tx
