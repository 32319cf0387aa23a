/* Guest declarations of the bank commands and routines; see tervex.h. */
#ifndef TERVEX_BANK_H
#define TERVEX_BANK_H

/* size: 0 when the program gives none. */
int CreateBank(int size) __asm__("_fcreatebank");
void FreeBank(int bank) __asm__("_ffreebank");
int BankSize(int bank) __asm__("_fbanksize");
void ResizeBank(int bank, int size) __asm__("_fresizebank");
void CopyBank(int src_bank, int src_offset, int dest_bank, int dest_offset,
              int count) __asm__("_fcopybank");
int PeekByte(int bank, int offset) __asm__("_fpeekbyte");
int PeekShort(int bank, int offset) __asm__("_fpeekshort");
int PeekInt(int bank, int offset) __asm__("_fpeekint");
float PeekFloat(int bank, int offset) __asm__("_fpeekfloat");
void PokeByte(int bank, int offset, int value) __asm__("_fpokebyte");
void PokeShort(int bank, int offset, int value) __asm__("_fpokeshort");
void PokeInt(int bank, int offset, int value) __asm__("_fpokeint");
void PokeFloat(int bank, int offset, float value) __asm__("_fpokefloat");
/* Note the order: the bank first, then the stream. */
int ReadBytes(int bank, int file, int offset, int count) __asm__("_freadbytes");
int WriteBytes(int bank, int file, int offset, int count) __asm__("_fwritebytes");

#endif
