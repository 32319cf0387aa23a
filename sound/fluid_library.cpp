#include "fluid_library.h"

#include <dlfcn.h>

#include <optional>

namespace tx::sound {
namespace {

void ignoreLog(int, const char*, void*) {}

template <typename F>
bool bind(void* library, const char* name, F& function) {
    function = reinterpret_cast<F>(dlsym(library, name));
    return function != nullptr;
}

std::optional<FluidLibrary> load() {
#if defined(TERVEX_SANITIZE)
    return std::nullopt;
#else
    // Kept loaded for the rest of the process: FluidSynth keeps threads and GLib state alive.
    void* library = dlopen("libfluidsynth.so.3", RTLD_NOW | RTLD_LOCAL | RTLD_DEEPBIND);
    if (library == nullptr) return std::nullopt;
    FluidLibrary f{};
    const bool bound = bind(library, "new_fluid_settings", f.newSettings) &&
                       bind(library, "delete_fluid_settings", f.deleteSettings) &&
                       bind(library, "fluid_settings_setnum", f.setNumber) &&
                       bind(library, "fluid_settings_setstr", f.setString) &&
                       bind(library, "fluid_settings_setint", f.setInteger) &&
                       bind(library, "new_fluid_synth", f.newSynth) &&
                       bind(library, "delete_fluid_synth", f.deleteSynth) &&
                       bind(library, "fluid_synth_sfload", f.loadSoundFont) &&
                       bind(library, "fluid_synth_get_active_voice_count", f.activeVoices) &&
                       bind(library, "fluid_synth_write_s16", f.writeS16) &&
                       bind(library, "new_fluid_player", f.newPlayer) &&
                       bind(library, "delete_fluid_player", f.deletePlayer) &&
                       bind(library, "fluid_player_add_mem", f.addSong) &&
                       bind(library, "fluid_player_set_loop", f.setLoop) &&
                       bind(library, "fluid_player_play", f.play) &&
                       bind(library, "fluid_player_get_status", f.status) &&
                       bind(library, "fluid_player_get_total_ticks", f.totalTicks) &&
                       bind(library, "fluid_player_get_current_tick", f.currentTick) &&
                       bind(library, "fluid_set_log_function", f.setLogFunction);
    if (!bound) return std::nullopt;
    for (int level = FLUID_PANIC; level <= FLUID_DBG; ++level)
        f.setLogFunction(level, ignoreLog, nullptr);
    return f;
#endif
}

}  // namespace

const FluidLibrary* FluidLibrary::get() {
    static const std::optional<FluidLibrary> library = load();
    return library ? &*library : nullptr;
}

}  // namespace tx::sound
