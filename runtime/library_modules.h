// The library modules: each one's link function, create and destroy. The module table and the
// master link function list them in module order.
#pragma once

#include "command_registry.h"

namespace tx {

void linkMath(CommandRegistrar& registrar);
bool mathCreate();
void mathDestroy();

void linkString(CommandRegistrar& registrar);
bool stringCreate();
void stringDestroy();

void linkStream(CommandRegistrar& registrar);
bool streamCreate();
void streamDestroy();

void linkSockets(CommandRegistrar& registrar);
bool socketsCreate();
void socketsDestroy();

void linkFilesystem(CommandRegistrar& registrar);
bool filesystemCreate();
void filesystemDestroy();

void linkBank(CommandRegistrar& registrar);
bool bankCreate();
void bankDestroy();

void linkGraphics(CommandRegistrar& registrar);
bool graphicsCreate();
void graphicsDestroy();

}  // namespace tx
