// State of the basic module while it exists (between its create and destroy).
#pragma once

#include <cstdint>
#include <unordered_map>

#include "guest_layout.h"
#include "handle_table.h"
#include "host_timer.h"

namespace tx {

struct BasicModule {
    // The runtime allocator's live blocks: address -> order of recording.
    std::unordered_map<GuestAddr, uint64_t> memBlocks;
    uint64_t nextBlockOrder = 0;
    HandleTable<HostTimer> timers{handle_kind::kTimer};
    // Holds the text of the last RuntimeError, so it outlives the command's strings.
    char errorBuffer[256] = {};
};

// The basic module's state; a runtime error when the module does not exist.
BasicModule& basicState();

}  // namespace tx
