// The audio module: sounds, channels and music.
#pragma once

#include "basic_module.h"

namespace tx {

void linkAudio(CommandRegistrar& registrar);
bool audioCreate();
void audioDestroy();
inline constexpr LibraryModule kAudioModule{"audio", &linkAudio, &audioCreate, &audioDestroy};

}  // namespace tx
