// The one list of library modules. Module order is creation order and registry order: the
// registry holds the basic module's entries, then every other module's commands in this order.
#include "library_modules.h"

namespace tx {
namespace {

constexpr LibraryModule kModules[] = {
    kBasicModule,   kMathModule,       kStringModule,      kStreamModule,
    kSocketsModule, kFilesystemModule, kBankModule,        kGraphicsModule,
    kInputModule,   kAudioModule,      kMultiplayerModule,
};

}  // namespace

ModuleList defaultLibraryModules() {
    return kModules;
}

void linkBasic(CommandRegistrar& registrar) {
    for (const LibraryModule& module : kModules) module.link(registrar);
}

const CommandTable& CommandTable::instance() {
    static const CommandTable table(&linkBasic);
    return table;
}

RuntimeInterface& runtimeGetRuntime() {
    static const std::unique_ptr<RuntimeInterface> runtime =
        makeRuntimeInterface(&linkBasic, CommandTable::instance(), kModules);
    return *runtime;
}

}  // namespace tx
