/* Banks: growth, values at offsets, overlapping copies and transfers with a file. */
#include "guest_report.h"

static txstr bytesOf(int bank, int count) {
    txstr text = _txStrConst("");
    for (int i = 0; i < count; ++i) text = _txStrConcat(text, _txStrFromInt(PeekByte(bank, i)));
    return text;
}

TX_MAIN {
    int bank = CreateBank(100);
    PokeByte(bank, 99, 7);
    ResizeBank(bank, 113);
    ResizeBank(bank, 1000);
    putInt("TX_IO_BANK_SIZE", BankSize(bank));
    putInt("TX_IO_KEPT", PeekByte(bank, 99));
    putInt("TX_IO_GROWN_ZERO", PeekInt(bank, 996) + 1000);

    PokeInt(bank, 0, -1);
    putInt("TX_IO_PEEK_BYTE", PeekByte(bank, 0));
    putInt("TX_IO_PEEK_SHORT", PeekShort(bank, 0));
    PokeFloat(bank, 4, 1.0f);
    putInt("TX_IO_PEEK_INT", PeekInt(bank, 4));
    PokeShort(bank, 8, 0x12345);
    putInt("TX_IO_POKE_SHORT", PeekShort(bank, 8));
    PokeByte(bank, 10, 300);
    putInt("TX_IO_POKE_BYTE", PeekByte(bank, 10));
    PokeInt(bank, 12, 0x3FC00000);
    putInt("TX_IO_PEEK_FLOAT", floatBits(PeekFloat(bank, 12)));

    int digits = CreateBank(10);
    for (int i = 0; i < 10; ++i) PokeByte(digits, i, i);
    CopyBank(digits, 0, digits, 1, 9);
    SetEnv(_txStrConst("TX_IO_OVERLAP"), bytesOf(digits, 10));

    int out = WriteFile(ioPath("/bank.bin"));
    putInt("TX_IO_WRITTEN", WriteBytes(digits, out, 0, 10));
    CloseFile(out);
    int empty = CreateBank(0);
    putInt("TX_IO_EMPTY_SIZE", BankSize(empty) + 1000);
    ResizeBank(empty, 20);
    int in = ReadFile(ioPath("/bank.bin"));
    putInt("TX_IO_READ", ReadBytes(empty, in, 5, 15));
    putInt("TX_IO_READ_AT_END", ReadBytes(empty, in, 0, 5) + 1000);
    CloseFile(in);
    SetEnv(_txStrConst("TX_IO_READ_BYTES"), bytesOf(empty, 20));

    FreeBank(digits);
    FreeBank(digits);
    FreeBank(0);
    putInt("TX_IO_FREED_SIZE", BankSize(digits) + 1000);
}
