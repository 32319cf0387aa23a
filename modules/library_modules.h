// The library modules a game runs with, in module order, and the entry points built on them.
#pragma once

#include "audio_module.h"
#include "bank_module.h"
#include "basic_module.h"
#include "filesystem_module.h"
#include "graphics_module.h"
#include "input_module.h"
#include "math_module.h"
#include "multiplayer_module.h"
#include "sockets_module.h"
#include "stream_module.h"
#include "string_module.h"

namespace tx {

// basic, math, string, stream, sockets, filesystem, bank, graphics, input, audio, multiplay.
ModuleList defaultLibraryModules();

}  // namespace tx
