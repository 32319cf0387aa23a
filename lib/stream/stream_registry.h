// The stream module's hold on the registry of live streams.
#pragma once

namespace tx {

// Makes the registry if it does not exist yet.
void openStreamRegistry();
// Drops the registry when no stream is alive, so the next run starts with fresh handles.
// Returns false (and keeps it) while streams still exist.
bool closeStreamRegistry();

}  // namespace tx
