#include "string_pool.h"

#include "tx_error.h"
#include "tx_string.h"

namespace tx {
namespace {

uint32_t nextGeneration(uint32_t generation) {
    return generation % StringPool::kMaxGeneration + 1;  // 1 .. kMaxGeneration, never 0
}

std::unique_ptr<StringPool> currentPool;
uint32_t poolSeed = 0;

}  // namespace

StringPool::StringPool(uint32_t firstGeneration)
    : firstGeneration_(firstGeneration == 0 || firstGeneration > kMaxGeneration ? 1
                                                                                : firstGeneration) {
}

uint32_t StringPool::create(std::string_view text) {
    if (free_.size == 0) grow();
    const uint32_t index = free_.head;
    unlink(free_, index);
    pushBack(used_, index);
    Slot& s = slot(index);
    s.text.assign(text);
    s.live = true;
    ++liveStrings_;
    return makeHandle(s.generation, index);
}

void StringPool::release(uint32_t handle) {
    Slot* s = liveSlot(handle);
    if (s == nullptr) return;
    if (s->text.capacity() > kKeptCapacity)
        std::string().swap(s->text);  // move-assigning an empty string would keep the buffer
    else
        s->text.clear();
    s->live = false;
    s->generation = nextGeneration(s->generation);
    const uint32_t index = slotIndex(handle);
    unlink(used_, index);
    pushBack(free_, index);
    --liveStrings_;
}

void StringPool::releaseAll() {
    while (used_.head != kNil) {
        const Slot& s = slot(used_.head);
        release(makeHandle(s.generation, used_.head));
    }
}

std::string_view StringPool::text(uint32_t handle) const {
    const Slot* s = liveSlot(handle);
    return s != nullptr ? std::string_view(s->text) : std::string_view();
}

std::string* StringPool::mutableText(uint32_t handle) {
    Slot* s = liveSlot(handle);
    return s != nullptr ? &s->text : nullptr;
}

std::vector<uint32_t> StringPool::usedHandles() const {
    std::vector<uint32_t> handles;
    handles.reserve(used_.size);
    for (uint32_t i = used_.head; i != kNil; i = slot(i).next)
        handles.push_back(makeHandle(slot(i).generation, i));
    return handles;
}

StringPool::Slot* StringPool::liveSlot(uint32_t handle) const {
    const uint32_t index = slotIndex(handle);
    const uint32_t generation = handle >> kIndexBits;
    if (generation == 0 || index >= blocks_.size() * kBlockSize) return nullptr;
    Slot& s = slot(index);
    return s.live && s.generation == generation ? &s : nullptr;
}

void StringPool::grow() {
    if (blocks_.size() >= kMaxBlocks) runtimeError("Out of string memory");
    const uint32_t first = static_cast<uint32_t>(blocks_.size()) * kBlockSize;
    blocks_.push_back(std::make_unique<Slot[]>(kBlockSize));
    for (uint32_t i = 0; i < kBlockSize; ++i) {
        slot(first + i).generation = firstGeneration_;
        pushBack(free_, first + i);
    }
}

void StringPool::pushBack(List& list, uint32_t index) {
    Slot& s = slot(index);
    s.next = kNil;
    s.prev = list.tail;
    if (list.tail != kNil)
        slot(list.tail).next = index;
    else
        list.head = index;
    list.tail = index;
    ++list.size;
}

void StringPool::unlink(List& list, uint32_t index) {
    Slot& s = slot(index);
    if (s.prev != kNil)
        slot(s.prev).next = s.next;
    else
        list.head = s.next;
    if (s.next != kNil)
        slot(s.next).prev = s.prev;
    else
        list.tail = s.prev;
    s.next = s.prev = kNil;
    --list.size;
}

void stringsCreate() {
    stringsDestroy();
    poolSeed = nextGeneration(poolSeed);
    currentPool = std::make_unique<StringPool>(poolSeed);
}

void stringsDestroy() {
    if (currentPool == nullptr) return;
    currentPool->releaseAll();
    currentPool.reset();
}

int32_t liveStrings() {
    return currentPool != nullptr ? currentPool->liveStrings() : 0;
}

StringPool& stringPool() {
    if (currentPool == nullptr) stringsCreate();
    return *currentPool;
}

std::string_view strText(uint32_t handle) {
    return currentPool != nullptr ? currentPool->text(handle) : std::string_view();
}

void strRelease(uint32_t handle) {
    if (currentPool != nullptr) currentPool->release(handle);
}

Str strNew(std::string_view text) {
    return Str{stringPool().create(text)};
}

}  // namespace tx
