// The library modules in module order: the table `run` creates and destroys, and the master link
// function that registers the basic module's entries and then every other module's.
#include "basic_module.h"
#include "command_registry.h"
#include "library_modules.h"
#include "string_routines.h"
#include "system_commands.h"

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

std::span<const LibraryModule> defaultLibraryModules() { return kModules; }

void linkBasic(CommandRegistrar& registrar) {
    for (const CommandDef& def : systemCommands()) registrar.add(def);
    for (const CommandDef& def : stringSupportRoutines()) registrar.add(def);
    for (LinkFunction link : kModuleLinks) link(registrar);
}

}  // namespace tx
