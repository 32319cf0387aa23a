// FluidSynth, loaded at its first use into a symbol scope of its own. The CPU emulator's library
// exports copies of GLib functions (hash tables, lists, trees) under GLib's own names; linked
// normally, GLib's object system (which FluidSynth's instrument loader starts) would bind to
// those copies and crash. Loaded with its dependencies bound to each other first, FluidSynth
// and GLib see only each other.
#pragma once

#include <fluidsynth.h>

namespace tx::sound {

struct FluidLibrary {
    decltype(&new_fluid_settings) newSettings;
    decltype(&delete_fluid_settings) deleteSettings;
    decltype(&fluid_settings_setnum) setNumber;
    decltype(&fluid_settings_setstr) setString;
    decltype(&fluid_settings_setint) setInteger;
    decltype(&new_fluid_synth) newSynth;
    decltype(&delete_fluid_synth) deleteSynth;
    decltype(&fluid_synth_sfload) loadSoundFont;
    decltype(&fluid_synth_get_active_voice_count) activeVoices;
    decltype(&fluid_synth_write_s16) writeS16;
    decltype(&new_fluid_player) newPlayer;
    decltype(&delete_fluid_player) deletePlayer;
    decltype(&fluid_player_add_mem) addSong;
    decltype(&fluid_player_set_loop) setLoop;
    decltype(&fluid_player_play) play;
    decltype(&fluid_player_get_status) status;
    decltype(&fluid_player_get_total_ticks) totalTicks;
    decltype(&fluid_player_get_current_tick) currentTick;
    decltype(&fluid_set_log_function) setLogFunction;

    // The library, loaded once with its log silenced; null when it cannot be loaded (or in a
    // sanitizer build, whose runtime refuses libraries with a scope of their own).
    static const FluidLibrary* get();
};

}  // namespace tx::sound
