// Object headers and type lists in guest memory, as the object routines walk and relink them.
//
// Everything here is read from guest memory that compiled code can overwrite, so every access
// goes through the checked accessor and every walk is bounded by the number of slots that exist.
#pragma once

#include <cstdint>

#include "basic_state.h"
#include "guest_memory.h"
#include "language_layout.h"
#include "tx_error.h"

namespace tx {

class ObjectSpace {
public:
    ObjectSpace(GuestMemory& memory, BasicModule& state) : memory_(memory), state_(state) {}

    BasicModule& state() { return state_; }

    GuestAddr fields(GuestAddr o) const { return word(o + lang::obj::kFields); }
    GuestAddr next(GuestAddr o) const { return word(o + lang::obj::kNext); }
    GuestAddr prev(GuestAddr o) const { return word(o + lang::obj::kPrev); }
    GuestAddr type(GuestAddr o) const { return word(o + lang::obj::kType); }
    bool isSentinel(GuestAddr o) const { return type(o) == 0; }
    bool isLive(GuestAddr o) const { return fields(o) != 0; }

    void setFields(GuestAddr o, GuestAddr v) { setWord(o + lang::obj::kFields, v); }
    void setNext(GuestAddr o, GuestAddr v) { setWord(o + lang::obj::kNext, v); }
    void setPrev(GuestAddr o, GuestAddr v) { setWord(o + lang::obj::kPrev, v); }
    void setType(GuestAddr o, GuestAddr v) { setWord(o + lang::obj::kType, v); }
    void setRefCount(GuestAddr o, int32_t v) {
        memory_.write<int32_t>(o + lang::obj::kRefCount, v);
    }
    // Counts wrap like the 32-bit members they are.
    void addRef(GuestAddr o) {
        setWord(o + lang::obj::kRefCount, word(o + lang::obj::kRefCount) + 1);
    }

    static GuestAddr usedList(GuestAddr type) { return type + lang::objtype::kUsed; }
    static GuestAddr freeList(GuestAddr type) { return type + lang::objtype::kFree; }

    // Takes o out of whatever list it is in.
    void unlink(GuestAddr o) {
        const GuestAddr n = next(o), p = prev(o);
        setNext(p, n);
        setPrev(n, p);
    }
    void linkBefore(GuestAddr o, GuestAddr at) {
        const GuestAddr p = prev(at);
        setPrev(o, p);
        setNext(o, at);
        setNext(p, o);
        setPrev(at, o);
    }
    void linkAfter(GuestAddr o, GuestAddr at) { linkBefore(o, next(at)); }

    // Gives back one reference; at zero the slot returns to its type's free list.
    void release(GuestAddr o) {
        if (o == 0) return;
        const int32_t count = static_cast<int32_t>(word(o + lang::obj::kRefCount) - 1);
        setRefCount(o, count);
        if (count != 0) return;
        const GuestAddr freeSentinel = freeList(type(o));
        unlink(o);
        linkBefore(o, freeSentinel);
        --state_.unreleasedObjects;
        // A slot freed while it still has a handle (its references were given back more often
        // than taken) must not be reachable through that handle once it is reused.
        if (!state_.objectOfHandle.empty()) forgetHandle(o);
    }

    void forgetHandle(GuestAddr o) {
        const auto it = state_.handleOfObject.find(o);
        if (it == state_.handleOfObject.end()) return;
        state_.objectOfHandle.erase(it->second);
        state_.handleOfObject.erase(it);
    }

    // The first live object from `from` on (inclusive), following next (forward) or prev;
    // 0 at a sentinel.
    GuestAddr liveFrom(GuestAddr from, bool forward) {
        Walk walk(*this);
        for (GuestAddr o = from; !isSentinel(o); o = forward ? next(o) : prev(o)) {
            if (isLive(o)) return o;
            walk.step();
        }
        return 0;
    }

    // Bounds a walk by the slots that exist: a sound list has no more entries.
    class Walk {
    public:
        explicit Walk(const ObjectSpace& space) : limit_(space.state_.objectSlots + 1) {}
        void step() {
            if (++steps_ > limit_) runtimeError("Object list is corrupt");
        }

    private:
        uint64_t limit_;
        uint64_t steps_ = 0;
    };

    // The field count and field type array of a type. A count no block of objects could hold
    // cannot belong to an object: `tooMany` is the error to raise then.
    struct Fields {
        uint32_t count;
        GuestAddr types;
    };
    Fields typeFields(GuestAddr type, const char* tooMany) const {
        const uint32_t count = word(type + lang::objtype::kFieldCount);
        if (count > lang::kMaxFields) runtimeError(tooMany);
        const GuestAddr types = type + lang::objtype::kFieldTypes;
        memory_.bytes(types, count * 4);  // the whole array must lie in guest memory
        return {count, types};
    }
    // The tag of field i's type.
    uint32_t fieldTag(const Fields& f, uint32_t i) const { return word(fieldType(f, i)); }
    GuestAddr fieldType(const Fields& f, uint32_t i) const { return word(f.types + 4 * i); }

    uint32_t word(GuestAddr addr) const { return memory_.read<uint32_t>(addr); }
    void setWord(GuestAddr addr, uint32_t v) { memory_.write<uint32_t>(addr, v); }

private:
    GuestMemory& memory_;
    BasicModule& state_;
};

}  // namespace tx
