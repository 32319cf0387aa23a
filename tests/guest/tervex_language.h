/* Guest declarations of the language commands and routines; see tervex.h.
 *
 * Also the layouts compiled code gives its arrays, types and data table, as macros that place
 * them in the program's own data, exactly as the compiler emits them. */
#ifndef TERVEX_LANGUAGE_H
#define TERVEX_LANGUAGE_H

/* ---- types and objects ---- */

/* An object: the header compiled code and the runtime share; the field cells follow it. */
typedef struct txObj txObj;
struct txObj {
    void* fields; /* the field cells, 0 once deleted */
    txObj* next;
    txObj* prev;
    void* type; /* 0 marks a list sentinel */
    int refCount;
};

/* The basic type descriptors: runtime data, one tag word each (1 int, 2 float, 3 string,
 * 4 C string). Field type lists point at them. */
extern int _txIntType[] __asm__("__txIntType");
extern int _txFltType[] __asm__("__txFltType");
extern int _txStrType[] __asm__("__txStrType");
extern int _txCStrType[] __asm__("__txCStrType");

/* A user type (tag 5) with its two empty circular lists, its field count and field types:
 *   TX_OBJ_TYPE(Point, 2, _txIntType, _txIntType);
 * Field types may be basic descriptors, other user types (&Other) or vector types (&Vec).
 * Pass &Point wherever a routine takes a type. */
#define TX_OBJ_TYPE(name, count, ...)                             \
    struct {                                                      \
        int tag;                                                  \
        txObj used;                                               \
        txObj free;                                               \
        int fieldCount;                                           \
        void* fieldTypes[count];                                  \
    } name = {5,                                                  \
              {0, (txObj*)&name.used, (txObj*)&name.used, 0, -1}, \
              {0, (txObj*)&name.free, (txObj*)&name.free, 0, -1}, \
              count,                                              \
              {__VA_ARGS__}}

/* A vector type (tag 6): a fixed number of cells of one element type. */
typedef struct {
    int tag;
    int count;
    void* elementType;
} txVecType;
#define TX_VEC_TYPE(name, count, elementType) txVecType name = {6, (count), (elementType)}

/* Field cells of an object, by type. */
#define TX_INT_FIELD(o, i) (((int*)(o)->fields)[i])
#define TX_FLOAT_FIELD(o, i) (((float*)(o)->fields)[i])
#define TX_STR_FIELD(o, i) (((txstr*)(o)->fields)[i])
#define TX_OBJ_FIELD(o, i) (((txObj**)(o)->fields)[i])
#define TX_VEC_FIELD(o, i) (((void**)(o)->fields)[i])

txObj* _txObjNew(void* type) __asm__("__txObjNew");
void _txObjDelete(txObj* o) __asm__("__txObjDelete");
void _txObjDeleteEach(void* type) __asm__("__txObjDeleteEach");
void _txObjRelease(txObj* o) __asm__("__txObjRelease");
void _txObjStore(txObj** cell, txObj* o) __asm__("__txObjStore");
int _txObjCompare(txObj* a, txObj* b) __asm__("__txObjCompare");
txObj* _txObjNext(txObj* o) __asm__("__txObjNext");
txObj* _txObjPrev(txObj* o) __asm__("__txObjPrev");
txObj* _txObjFirst(void* type) __asm__("__txObjFirst");
txObj* _txObjLast(void* type) __asm__("__txObjLast");
void _txObjInsBefore(txObj* a, txObj* b) __asm__("__txObjInsBefore");
void _txObjInsAfter(txObj* a, txObj* b) __asm__("__txObjInsAfter");
int _txObjEachFirst(txObj** cell, void* type) __asm__("__txObjEachFirst");
int _txObjEachNext(txObj** cell) __asm__("__txObjEachNext");
txstr _txObjToStr(txObj* o) __asm__("__txObjToStr");
int _txObjToHandle(txObj* o) __asm__("__txObjToHandle");
txObj* _txObjFromHandle(int handle, void* type) __asm__("__txObjFromHandle");
void _txNullObjEx(void) __asm__("__txNullObjEx");

/* Writes the live string and object counts, then every live string, to standard error. */
void RuntimeStats(void) __asm__("_fruntimestats");

/* ---- arrays and vectors ---- */

/* Element kinds of a Dim array. */
#define TX_KIND_INT 1
#define TX_KIND_FLOAT 2
#define TX_KIND_STRING 3
#define TX_KIND_OBJECT_REF 4 /* cells refer to objects; the runtime does not release them */
#define TX_KIND_OBJECT 5     /* cells hold object references the runtime releases */

/* A Dim array descriptor with `dims` dimensions:
 *   TX_ARRAY(grid, TX_KIND_INT, 2);
 * Dim grid(3, 4) is: _txUndimArray(&grid); grid.scales[0] = 3; grid.scales[1] = 4;
 * _txDimArray(&grid); cell (i, j) is then TX_CELLS(grid, int)[i + j * grid.scales[0]]. */
#define TX_ARRAY(name, kind, dims) \
    struct {                       \
        void* data;                \
        int elementKind;           \
        int dimensions;            \
        int scales[dims];          \
    } name = {0, (kind), (dims), {0}}
#define TX_CELLS(array, type) ((type*)(array).data)

void _txDimArray(void* array) __asm__("__txDimArray");
void _txUndimArray(void* array) __asm__("__txUndimArray");
void _txArrayBoundsEx(void) __asm__("__txArrayBoundsEx");
void* _txVecAlloc(txVecType* type) __asm__("__txVecAlloc");
void _txVecFree(void* vector, txVecType* type) __asm__("__txVecFree");
void _txVecBoundsEx(void) __asm__("__txVecBoundsEx");

/* ---- data statements ---- */

/* One record of the data table: a tag (0 end, 1 int, 2 float, 4 string) and its value. */
typedef union {
    int i;
    float f;
    const char* s;
} txDataValue;
typedef struct {
    int tag;
    txDataValue value;
} txDataRecord;
/* clang-format off */
#define TX_DATA_INT(v) {1, {.i = (v)}}
#define TX_DATA_FLOAT(v) {2, {.f = (v)}}
#define TX_DATA_STR(text) {4, {.s = (text)}}
#define TX_DATA_END {0, {.i = 0}}
/* clang-format on */

void _txRestore(const txDataRecord* record) __asm__("__txRestore");
int _txReadInt(void) __asm__("__txReadInt");
float _txReadFloat(void) __asm__("__txReadFloat");
txstr _txReadStr(void) __asm__("__txReadStr");

/* ---- arithmetic helpers ---- */

int _txAbs(int n) __asm__("__txAbs");
int _txSgn(int n) __asm__("__txSgn");
int _txMod(int a, int b) __asm__("__txMod");
float _txFAbs(float x) __asm__("__txFAbs");
float _txFSgn(float x) __asm__("__txFSgn");
float _txFMod(float a, float b) __asm__("__txFMod");
float _txFPow(float a, float b) __asm__("__txFPow");

#endif
