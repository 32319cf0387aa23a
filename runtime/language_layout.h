// Layouts of the language data that compiled code and the runtime share in guest memory: type
// descriptors, object instances, Dim array descriptors, vector descriptors and data records.
// Every member is a 32-bit word; the offsets below are fixed by what compiled code emits.
#pragma once

#include <cstdint>

#include "guest_layout.h"

namespace tx {

// The first word of every type descriptor.
enum TypeTag : uint32_t {
    kTagInt = 1,
    kTagFloat = 2,
    kTagString = 3,
    kTagCString = 4,
    kTagObject = 5,
    kTagVector = 6,
};

// What guest addresses point at, for GuestPtr: instances, type descriptors, Dim array
// descriptors, vector storage and data records (layouts below).
struct GuestObject;
struct GuestType;
struct GuestArray;
struct GuestVector;
struct GuestDataRecord;

namespace lang {

// The four basic type descriptors: one tag word each, in the runtime data area.
inline constexpr GuestAddr kIntType = layout::kDataSymbolsBase;
inline constexpr GuestAddr kFltType = layout::kDataSymbolsBase + 4;
inline constexpr GuestAddr kStrType = layout::kDataSymbolsBase + 8;
inline constexpr GuestAddr kCStrType = layout::kDataSymbolsBase + 12;

// txObj: an instance header, then one cell per field.
namespace obj {
inline constexpr uint32_t kFields = 0;  // pointer to the cells, 0 once deleted
inline constexpr uint32_t kNext = 4;
inline constexpr uint32_t kPrev = 8;
inline constexpr uint32_t kType = 12;  // 0 marks a list sentinel
inline constexpr uint32_t kRefCount = 16;
inline constexpr uint32_t kHeaderSize = 20;
}  // namespace obj

// txObjType: tag 5, the used-list and free-list sentinels (shaped like object headers), the
// field count and one txType pointer per field.
namespace objtype {
inline constexpr uint32_t kTag = 0;
inline constexpr uint32_t kUsed = 4;
inline constexpr uint32_t kFree = kUsed + obj::kHeaderSize;
inline constexpr uint32_t kFieldCount = kFree + obj::kHeaderSize;
inline constexpr uint32_t kFieldTypes = kFieldCount + 4;
// Objects come from blocks of this many slots per type.
inline constexpr uint32_t kSlotsPerBlock = 512;
}  // namespace objtype

// txVecType: tag 6, element count, element txType.
namespace vectype {
inline constexpr uint32_t kTag = 0;
inline constexpr uint32_t kCount = 4;
inline constexpr uint32_t kElementType = 8;
}  // namespace vectype

// txArray: data, element kind, dimension count, then one scale per dimension.
namespace array {
inline constexpr uint32_t kData = 0;
inline constexpr uint32_t kKind = 4;
inline constexpr uint32_t kDimensions = 8;
inline constexpr uint32_t kScales = 12;
// Element kinds whose cells the runtime releases when the storage goes.
inline constexpr uint32_t kKindString = 3;
inline constexpr uint32_t kKindObject = 5;
// More dimensions than this is not a program the compiler makes.
inline constexpr uint32_t kMaxDimensions = 32;
}  // namespace array

// Data table records: a tag word and a value word.
namespace data {
inline constexpr uint32_t kRecordSize = 8;
inline constexpr uint32_t kEnd = 0;
inline constexpr uint32_t kInt = 1;
inline constexpr uint32_t kFloat = 2;
inline constexpr uint32_t kString = 4;
}  // namespace data

// Bytes the guest heap can hold at most; no single allocation can be larger.
inline constexpr uint64_t kHeapCapacity = layout::kHeapEnd - layout::kHeapBase;
// The most cells one allocation of 4-byte cells can have.
inline constexpr uint64_t kMaxCells = kHeapCapacity / 4;
// The most fields a type can have while a block of its objects still fits in the heap.
inline constexpr uint32_t kMaxFields =
    static_cast<uint32_t>((kHeapCapacity / objtype::kSlotsPerBlock - obj::kHeaderSize) / 4);

}  // namespace lang
}  // namespace tx
