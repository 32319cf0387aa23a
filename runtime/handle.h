// Typed handle parameters: a command takes `Handle<Bank>` and the handle is looked up once, in
// the kind's table, before the command body runs.
//
// Each kind of handle-named object specialises HandleKind<T> with its name, its "... does not
// exist" text and a find function over the table of its module. A handle that names no live
// object of the kind (never issued, freed, of another kind, or of another subtype of a shared
// table) resolves to null; with the debug flag set that is the kind's error instead. A command
// therefore sees either a live object or null, and does nothing safe with null.
#pragma once

#include <cstdint>

#include "tx_error.h"

namespace tx {

bool debugEnabled();

// What a registry walk needs to know about a kind.
struct HandleKindInfo {
    const char* name;
    // The kind bits of the table the handles come from (handle_table.h); subtypes of one table
    // share them.
    uint32_t tableKind;
    // The runtime error for a dead handle with the debug flag set; null for kinds whose
    // commands never check (timers).
    const char* missingText;
};

// Specialised per object type:
//   static constexpr HandleKindInfo info{"Bank", handle_kind::kBank, "txBank does not exist"};
//   static T* find(uint32_t handle);  // the live object, or null
template <typename T>
struct HandleKind;

// How a parameter treats a dead handle.
enum class HandleCheck : uint8_t {
    Debug,    // the kind's error when the debug flag is set, else null
    Lenient,  // always null, whatever the flag (commands that ignore bad handles, like FreeBank)
};

// With ZeroIsCurrent, handle 0 names the kind's current object (HandleKind<T>::current(), for
// example the current buffer), which may be null.
template <typename T, HandleCheck Check = HandleCheck::Debug, bool ZeroIsCurrent = false>
class Handle {
public:
    using Object = T;
    static constexpr HandleCheck check = Check;

    Handle() = default;
    // Looks the handle up (and raises the kind's error per Check). Implicit, so that C++ callers
    // pass handle values as the guest does.
    Handle(uint32_t raw) : raw_(raw), object_(resolve(raw)) {}

    uint32_t raw() const { return raw_; }
    T* get() const { return object_; }
    T* operator->() const { return object_; }
    T& operator*() const { return *object_; }
    explicit operator bool() const { return object_ != nullptr; }

    // The object a handle names with the check applied, for lookups a command makes itself.
    static T* resolve(uint32_t raw) {
        if constexpr (ZeroIsCurrent) {
            if (raw == 0) return HandleKind<T>::current();
        }
        T* object = HandleKind<T>::find(raw);
        if constexpr (Check == HandleCheck::Debug) {
            if (object == nullptr && HandleKind<T>::info.missingText != nullptr && debugEnabled())
                runtimeError(HandleKind<T>::info.missingText);
        }
        return object;
    }

private:
    uint32_t raw_ = 0;
    T* object_ = nullptr;
};

// A handle the command resolves itself, at the point where its checks put the lookup (for
// example after a range check whose error comes first). Same kind and check as Handle.
template <typename T>
class DeferredHandle {
public:
    using Object = T;
    static constexpr HandleCheck check = HandleCheck::Debug;

    DeferredHandle() = default;
    DeferredHandle(uint32_t raw) : raw_(raw) {}

    uint32_t raw() const { return raw_; }
    T* resolve() const { return Handle<T>::resolve(raw_); }

private:
    uint32_t raw_ = 0;
};

}  // namespace tx
