// Objects of one kind owned by a module, each named by a handle: the handle table finds them,
// the table owns them. Freeing an object is erasing its handle; the table frees whatever is left
// when it goes. Every kind of handle-named object a module owns lives in one of these.
#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include "handle_table.h"

namespace tx {

template <typename T>
class ObjectTable {
public:
    explicit ObjectTable(uint32_t kind) : table_(kind) {}
    ~ObjectTable() { clear(); }
    ObjectTable(const ObjectTable&) = delete;
    ObjectTable& operator=(const ObjectTable&) = delete;

    // Takes the object and returns its handle; 0 (and the object is destroyed) when the table
    // is full.
    uint32_t insert(std::unique_ptr<T> object) {
        const uint32_t handle = table_.insert(object.get());
        if (handle != 0) owned_.emplace(handle, std::move(object));
        return handle;
    }

    T* find(uint32_t handle) const { return table_.find(handle); }

    // Destroys the object a handle names; false when it names none.
    bool erase(uint32_t handle) {
        if (table_.remove(handle) == nullptr) return false;
        owned_.erase(handle);
        return true;
    }

    // Destroys every object, the lowest handle first; each leaves the table before its
    // destructor runs.
    void clear() {
        while (!owned_.empty()) {
            auto node = owned_.extract(owned_.begin());
            table_.remove(node.key());
        }
    }

    size_t size() const { return owned_.size(); }

    // Visits every object, the lowest handle first.
    template <typename F>
    void forEach(F&& visit) const {
        for (const auto& [handle, object] : owned_) visit(*object);
    }

private:
    HandleTable<T> table_;
    std::map<uint32_t, std::unique_ptr<T>> owned_;
};

}  // namespace tx
