// State of the basic module while it exists (between its create and destroy).
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "guest_layout.h"
#include "handle.h"
#include "handle_table.h"
#include "host_timer.h"
#include "module_state.h"

namespace tx {

struct BasicModule {
    static constexpr const char* kModuleName = "basic";
    // The runtime allocator's live blocks: address -> order of recording.
    std::unordered_map<GuestAddr, uint64_t> memBlocks;
    uint64_t nextBlockOrder = 0;
    HandleTable<HostTimer> timers{handle_kind::kTimer};
    // Holds the text of the last RuntimeError, so it outlives the command's strings.
    char errorBuffer[256] = {};

    // Objects: +1 per object made; -1 per object deleted (active) or returned to its free list
    // (unreleased).
    int32_t activeObjects = 0;
    int32_t unreleasedObjects = 0;
    // Slots in every object block made so far. No sound list is longer, so a walk that goes
    // further has met a corrupt or looping list.
    uint64_t objectSlots = 0;
    // Types that received object blocks; their lists point into those blocks and are emptied
    // when the blocks go.
    std::vector<GuestAddr> objectTypes;
    // Object handles: the last one issued, and both directions of the mapping.
    uint32_t handleCounter = 0;
    std::unordered_map<GuestAddr, uint32_t> handleOfObject;
    std::unordered_map<uint32_t, GuestAddr> objectOfHandle;
    // Recursion guards of the object-to-text conversion.
    GuestAddr textRoot = 0;
    int32_t textDepth = 0;

    // Next data record to read; set by the first restore.
    GuestAddr dataPointer = 0;

    // The statement a debug build reported last: its line and the guest address of its file's
    // name (0 before the first). A runtime error names them.
    int32_t statementLine = 0;
    GuestAddr statementFile = 0;
    std::string locatedError;  // the text of an error that names its statement
};

// The basic module's state; a runtime error when the module does not exist.
BasicModule& basicState();

template <>
struct HandleKind<HostTimer> {
    static constexpr HandleKindInfo info{"Timer", handle_kind::kTimer, nullptr};
    static HostTimer* find(uint32_t handle);
};

}  // namespace tx
