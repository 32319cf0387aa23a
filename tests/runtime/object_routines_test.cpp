// Object routines at the C++ level, inside a program run: free-slot blocks, the soundness of
// Delete Each and of handles when references are given back too often, the text guards after an
// error, and type lists that outlive their blocks.
#include "object_routines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "basic_state.h"
#include "in_program.h"
#include "language_layout.h"
#include "object_text.h"
#include "string_pool.h"
#include "tx_error.h"

namespace tx {
namespace {

using test::runInProgram;

// A user type laid out as the compiler emits it: tag 5, two empty lists, the field types.
GuestAddr makeType(GuestMachine& m, const std::vector<GuestAddr>& fieldTypes) {
    const uint32_t n = static_cast<uint32_t>(fieldTypes.size());
    const GuestAddr t = m.heap().allocate(lang::objtype::kFieldTypes + 4 * n);
    GuestMemory& mem = m.memory();
    mem.write<uint32_t>(t, kTagObject);
    for (const uint32_t list : {lang::objtype::kUsed, lang::objtype::kFree}) {
        mem.write<uint32_t>(t + list + lang::obj::kFields, 0);
        mem.write<uint32_t>(t + list + lang::obj::kNext, t + list);
        mem.write<uint32_t>(t + list + lang::obj::kPrev, t + list);
        mem.write<uint32_t>(t + list + lang::obj::kType, 0);
        mem.write<int32_t>(t + list + lang::obj::kRefCount, -1);
    }
    mem.write<uint32_t>(t + lang::objtype::kFieldCount, n);
    for (uint32_t i = 0; i < n; ++i)
        mem.write<uint32_t>(t + lang::objtype::kFieldTypes + 4 * i, fieldTypes[i]);
    return t;
}

GuestAddr cellOf(GuestMachine& m, GuestAddr o, uint32_t i) {
    return m.memory().read<uint32_t>(o + lang::obj::kFields) + 4 * i;
}
int32_t refCount(GuestMachine& m, GuestAddr o) {
    return m.memory().read<int32_t>(o + lang::obj::kRefCount);
}
bool isDeleted(GuestMachine& m, GuestAddr o) {
    return m.memory().read<uint32_t>(o + lang::obj::kFields) == 0;
}
uint32_t listLength(GuestMachine& m, GuestAddr sentinel) {
    uint32_t n = 0;
    for (GuestAddr o = m.memory().read<uint32_t>(sentinel + lang::obj::kNext); o != sentinel;
         o = m.memory().read<uint32_t>(o + lang::obj::kNext))
        ++n;
    return n;
}

TEST(ObjectRoutines, SlotsComeFromOneBlockPerTypeAndAreReused) {
    const RunResult result = runInProgram([](GuestMachine& m) {
        const GuestAddr type = makeType(m, {lang::kIntType, lang::kStrType});
        BasicModule& state = basicState();
        const size_t blocksBefore = state.memBlocks.size();
        for (int i = 0; i < 2000; ++i) txObjDelete(m, txObjNew(m, type));
        EXPECT_EQ(state.objectSlots, 512u) << "New and Delete in turn never need a second block";
        EXPECT_EQ(state.memBlocks.size(), blocksBefore + 1);
        EXPECT_EQ(listLength(m, type + lang::objtype::kFree), 512u);

        // A freed slot goes to the tail of the free list and comes back with fresh fields.
        const GuestAddr used = txObjNew(m, type).address();
        m.memory().write<int32_t>(cellOf(m, used, 0), 77);
        txObjDelete(m, used);
        std::vector<GuestAddr> objects;
        for (int i = 0; i < 513; ++i) objects.push_back(txObjNew(m, type).address());
        EXPECT_EQ(objects[511], used);
        EXPECT_EQ(m.memory().read<int32_t>(cellOf(m, used, 0)), 0);
        EXPECT_EQ(state.objectSlots, 1024u) << "the 513th object needs a second block";
        EXPECT_EQ(state.memBlocks.size(), blocksBefore + 2);
        EXPECT_EQ(state.activeObjects, 513);
        EXPECT_EQ(state.unreleasedObjects, 513);
    });
    EXPECT_EQ(result.outcome, RunOutcome::Ended) << (result.message ? result.message : "");
}

TEST(ObjectRoutines, DeleteEachGoesOnWhenADeletionFreesTheNextEntry) {
    // x holds the only reference to the deleted y that follows it: deleting x frees y, and the
    // walk must still reach z instead of wandering into the free list.
    const RunResult result = runInProgram([](GuestMachine& m) {
        const GuestAddr type = makeType(m, {lang::kIntType, 0});
        m.memory().write<uint32_t>(type + lang::objtype::kFieldTypes + 4,
                                   type);  // field 1: same type
        const GuestAddr x = txObjNew(m, type).address();
        const GuestAddr y = txObjNew(m, type).address();
        const GuestAddr z = txObjNew(m, type).address();
        txObjStore(m, cellOf(m, x, 1), y);
        txObjDelete(m, y);
        EXPECT_EQ(refCount(m, y), 1);

        txObjDeleteEach(m, type);
        EXPECT_TRUE(isDeleted(m, x));
        EXPECT_TRUE(isDeleted(m, z));
        BasicModule& state = basicState();
        EXPECT_EQ(state.activeObjects, 0);
        EXPECT_EQ(state.unreleasedObjects, 0);
        EXPECT_EQ(listLength(m, type + lang::objtype::kUsed), 0u);
        EXPECT_EQ(listLength(m, type + lang::objtype::kFree), 512u);
    });
    EXPECT_EQ(result.outcome, RunOutcome::Ended) << (result.message ? result.message : "");
}

TEST(ObjectRoutines, AHandleNeverReachesASlotThatWentBackToTheFreeList) {
    const RunResult result = runInProgram([](GuestMachine& m) {
        const GuestAddr type = makeType(m, {lang::kIntType});
        const GuestAddr a = txObjNew(m, type).address();
        const int32_t handle = txObjToHandle(m, a);
        EXPECT_EQ(txObjFromHandle(m, handle, type), a);
        // One release too many: the live object goes back to the free list.
        txObjRelease(m, a);
        EXPECT_EQ(txObjFromHandle(m, handle, type), 0u);
        EXPECT_TRUE(basicState().objectOfHandle.empty());
        EXPECT_TRUE(basicState().handleOfObject.empty());
        // A later object in the slot gets its own handle.
        for (int i = 0; i < 512; ++i) txObjNew(m, type);
        EXPECT_EQ(txObjFromHandle(m, handle, type), 0u);
    });
    EXPECT_EQ(result.outcome, RunOutcome::Ended) << (result.message ? result.message : "");
}

TEST(ObjectRoutines, TextGuardsAreRestoredWhenAConversionFails) {
    const RunResult result = runInProgram([](GuestMachine& m) {
        const GuestAddr good = makeType(m, {lang::kIntType, 0});
        m.memory().write<uint32_t>(good + lang::objtype::kFieldTypes + 4, good);
        const GuestAddr bad = makeType(m, {lang::kIntType});
        const GuestAddr outer = txObjNew(m, good).address();
        const GuestAddr inner = txObjNew(m, bad).address();
        // Compiled code points the inner type's field type at an unmapped address.
        m.memory().write<uint32_t>(bad + lang::objtype::kFieldTypes, 0x10);
        m.memory().write<uint32_t>(cellOf(m, outer, 1), inner);
        EXPECT_THROW(txObjToStr(m, outer), TxEx);
        EXPECT_EQ(basicState().textRoot, 0u);
        EXPECT_EQ(basicState().textDepth, 0);

        m.memory().write<uint32_t>(cellOf(m, outer, 1), outer);
        const Str text = txObjToStr(m, outer);
        EXPECT_EQ(strText(text.handle), "[0,[ROOT]]");
        strRelease(text.handle);
    });
    EXPECT_EQ(result.outcome, RunOutcome::Ended) << (result.message ? result.message : "");
}

TEST(ObjectRoutines, TextOfAWideNestedObjectIsBounded) {
    // Three levels of 1000 object fields each would be a text of some 10^9 pieces.
    const RunResult result = runInProgram([](GuestMachine& m) {
        std::vector<GuestAddr> wide(1000, 0);
        const GuestAddr type = makeType(m, wide);
        for (uint32_t i = 0; i < 1000; ++i)
            m.memory().write<uint32_t>(type + lang::objtype::kFieldTypes + 4 * i, type);
        GuestAddr below = 0;
        GuestAddr top = 0;
        for (int level = 0; level < 4; ++level) {
            top = txObjNew(m, type).address();
            for (uint32_t i = 0; i < 1000; ++i)
                m.memory().write<uint32_t>(cellOf(m, top, i), below);
            below = top;
        }
        try {
            txObjToStr(m, top);
            ADD_FAILURE() << "the text should have been refused";
        } catch (const TxEx& ex) {
            EXPECT_STREQ(ex.message, "Out of string memory");
        }
    });
    EXPECT_EQ(result.outcome, RunOutcome::Ended) << (result.message ? result.message : "");
}

TEST(ObjectRoutines, TypeListsAreEmptiedWhenTheirBlocksAreFreed) {
    GuestMachine machine(test::inProgramTable());
    const GuestAddr type = makeType(machine, {lang::kIntType});
    const RunResult first = runInProgram(machine, [&](GuestMachine& m) {
        for (int i = 0; i < 600; ++i) txObjNew(m, type);
    });
    EXPECT_EQ(first.outcome, RunOutcome::Ended);
    EXPECT_EQ(listLength(machine, type + lang::objtype::kUsed), 0u);
    EXPECT_EQ(listLength(machine, type + lang::objtype::kFree), 0u);

    // The same program again in the same guest starts from empty lists.
    const RunResult second = runInProgram(machine, [&](GuestMachine& m) {
        EXPECT_EQ(txObjFirst(m, type), 0u);
        const GuestAddr o = txObjNew(m, type).address();
        EXPECT_EQ(txObjFirst(m, type), o);
        EXPECT_EQ(basicState().objectSlots, 512u);
    });
    EXPECT_EQ(second.outcome, RunOutcome::Ended);
}

TEST(ObjectRoutines, ALoopingListIsAnErrorNotAHang) {
    const RunResult result = runInProgram([](GuestMachine& m) {
        const GuestAddr type = makeType(m, {lang::kIntType});
        const GuestAddr a = txObjNew(m, type).address();
        const GuestAddr b = txObjNew(m, type).address();
        // Both deleted but held, then linked into a ring that never reaches the sentinel.
        for (const GuestAddr o : {a, b}) {
            m.memory().write<int32_t>(o + lang::obj::kRefCount, 2);
            txObjDelete(m, o);
        }
        m.memory().write<uint32_t>(b + lang::obj::kNext, a);
        try {
            txObjFirst(m, type);
            ADD_FAILURE() << "the walk should have been stopped";
        } catch (const TxEx& ex) {
            EXPECT_STREQ(ex.message, "Object list is corrupt");
        }
    });
    EXPECT_EQ(result.outcome, RunOutcome::Ended) << (result.message ? result.message : "");
}

}  // namespace
}  // namespace tx

namespace tx {
namespace {

// A type whose field-type array starts in the heap and runs past its end: the array is checked
// as a whole before any field is touched.
TEST(ObjectRoutines, AFieldTypeArrayRunningOutOfTheHeapIsAnIllegalAddress) {
    const RunResult result = test::runInProgram([](GuestMachine& m) {
        const GuestAddr type = layout::kHeapEnd - lang::objtype::kFieldTypes - 64;
        GuestMemory& mem = m.memory();
        mem.write<uint32_t>(type, kTagObject);
        for (const uint32_t list : {lang::objtype::kUsed, lang::objtype::kFree}) {
            mem.write<uint32_t>(type + list + lang::obj::kNext, type + list);
            mem.write<uint32_t>(type + list + lang::obj::kPrev, type + list);
        }
        mem.write<uint32_t>(type + lang::objtype::kFieldCount, 1000);  // 4000 bytes of types
        ASSERT_LT(1000u, lang::kMaxFields);
        txObjNew(m, type);
        ADD_FAILURE() << "New returned";
    });
    EXPECT_EQ(result.outcome, RunOutcome::RuntimeError);
    ASSERT_NE(result.message, nullptr);
    EXPECT_STREQ(result.message, "Illegal memory address");
}

}  // namespace
}  // namespace tx
