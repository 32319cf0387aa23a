/* The layouts compiled code gives its objects, arrays and types, as types and macros that place
 * them in the program's own data, exactly as the compiler emits them. The routines that work on
 * them are declared in the generated tervex_commands.h; see tervex.h. */
#ifndef TERVEX_LAYOUT_H
#define TERVEX_LAYOUT_H

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

/* The basic type descriptors _txIntType, _txFltType, _txStrType and _txCStrType are runtime
 * data, one tag word each (1 int, 2 float, 3 string, 4 C string); field type lists point at
 * them.
 *
 * A user type (tag 5) with its two empty circular lists, its field count and field types:
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

/* Field cells of an object, by type; `o` may be any pointer to the object. */
#define TX_INT_FIELD(o, i) (((int*)((txObj*)(o))->fields)[i])
#define TX_FLOAT_FIELD(o, i) (((float*)((txObj*)(o))->fields)[i])
#define TX_STR_FIELD(o, i) (((txstr*)((txObj*)(o))->fields)[i])
#define TX_OBJ_FIELD(o, i) (((txObj**)((txObj*)(o))->fields)[i])

/* ---- arrays and vectors ---- */

/* Element kinds of a Dim array. */
#define TX_KIND_INT 1
#define TX_KIND_FLOAT 2
#define TX_KIND_STRING 3
#define TX_KIND_OBJECT 5 /* cells hold object references the runtime releases */

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

#endif
