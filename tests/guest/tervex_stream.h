/* Guest declarations of the stream commands and routines; see tervex.h. */
#ifndef TERVEX_STREAM_H
#define TERVEX_STREAM_H

int Eof(int stream) __asm__("_feof");
int ReadAvail(int stream) __asm__("_freadavail");
int ReadByte(int stream) __asm__("_freadbyte");
int ReadShort(int stream) __asm__("_freadshort");
int ReadInt(int stream) __asm__("_freadint");
float ReadFloat(int stream) __asm__("_freadfloat");
txstr ReadString(int stream) __asm__("_freadstring");
txstr ReadLine(int stream) __asm__("_freadline");
void WriteByte(int stream, int value) __asm__("_fwritebyte");
void WriteShort(int stream, int value) __asm__("_fwriteshort");
void WriteInt(int stream, int value) __asm__("_fwriteint");
void WriteFloat(int stream, float value) __asm__("_fwritefloat");
void WriteString(int stream, txstr text) __asm__("_fwritestring");
void WriteLine(int stream, txstr text) __asm__("_fwriteline");
/* buffer_size: 16384 when the program gives none. */
void CopyStream(int src_stream, int dest_stream, int buffer_size) __asm__("_fcopystream");

#endif
