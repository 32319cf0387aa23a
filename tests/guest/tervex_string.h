/* Guest declarations of the string commands and routines; see tervex.h. */
#ifndef TERVEX_STRING_H
#define TERVEX_STRING_H

txstr String(txstr s, int repeat) __asm__("_fstring");
txstr Left(txstr s, int count) __asm__("_fleft");
txstr Right(txstr s, int count) __asm__("_fright");
txstr Replace(txstr s, txstr from, txstr to) __asm__("_freplace");
int Instr(txstr s, txstr find, int from) __asm__("_finstr");
txstr Mid(txstr s, int start, int count) __asm__("_fmid");
txstr Upper(txstr s) __asm__("_fupper");
txstr Lower(txstr s) __asm__("_flower");
txstr Trim(txstr s) __asm__("_ftrim");
txstr LSet(txstr s, int size) __asm__("_flset");
txstr RSet(txstr s, int size) __asm__("_frset");
txstr Chr(int ascii) __asm__("_fchr");
int Asc(txstr s) __asm__("_fasc");
int Len(txstr s) __asm__("_flen");
txstr Hex(int value) __asm__("_fhex");
txstr Bin(int value) __asm__("_fbin");
txstr CurrentDate(void) __asm__("_fcurrentdate");
txstr CurrentTime(void) __asm__("_fcurrenttime");

#endif
