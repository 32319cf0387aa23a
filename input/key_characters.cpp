#include "key_characters.h"

#include <array>

#include "input_device.h"

namespace tx {
namespace {

// Key codes of the modifiers.
constexpr int32_t kLeftShift = 42, kRightShift = 54;
constexpr int32_t kLeftCtrl = 29, kRightCtrl = 157;
constexpr int32_t kLeftAlt = 56, kRightAlt = 184;

struct KeyChars {
    char plain = 0;
    char shifted = 0;
};

// By set-1 scan code (extended keys fold onto their base code: the keypad's Enter gives
// Enter's character, its '/' the slash key's).
constexpr auto kUsLayout = [] {
    std::array<KeyChars, 128> table{};
    const auto row = [&](int32_t first, const char* plain, const char* shifted) {
        for (int32_t i = 0; plain[i] != 0; ++i) table[first + i] = {plain[i], shifted[i]};
    };
    table[1] = {27, 27};  // Escape
    row(2, "1234567890-=", "!@#$%^&*()_+");
    table[14] = {8, 8};  // Backspace
    table[15] = {9, 9};  // Tab
    row(16, "qwertyuiop[]", "QWERTYUIOP{}");
    table[28] = {13, 13};  // Enter
    row(30, "asdfghjkl;'`", "ASDFGHJKL:\"~");
    row(43, "\\zxcvbnm,./", "|ZXCVBNM<>?");
    table[55] = {'*', '*'};  // the keypad's operators
    table[74] = {'-', '-'};
    table[78] = {'+', '+'};
    table[57] = {' ', ' '};
    table[86] = {'\\', '|'};  // the key beside the left Shift on other keyboards
    return table;
}();

// Ctrl with a key: the control characters of the letters and of [ \ ], the line feed of Enter
// and the delete of Backspace; keys of the digit row and the punctuation give none.
int32_t controlCharacter(int32_t scan, KeyChars chars) {
    const char c = chars.plain;
    if (c >= 'a' && c <= 'z') return c - 'a' + 1;
    switch (c) {
        case '[':
            return 27;
        case '\\':
            return 28;
        case ']':
            return 29;
        case 13:
            return 10;
        case 8:
            return 127;
        case ' ':
        case 27:
        case '*':
            return c;
        default:
            // The keypad's minus and plus keep their characters; the digit row's do not.
            return scan == 74 || scan == 78 ? c : 0;
    }
}

}  // namespace

int32_t asciiOfKey(int32_t code, const InputDevice& keyboard) {
    switch (code) {
        case 199:
            return 1;  // Home
        case 207:
            return 2;  // End
        case 210:
            return 3;  // Insert
        case 211:
            return 4;  // Delete
        case 201:
            return 5;  // Page Up
        case 209:
            return 6;  // Page Down
        case 200:
            return 28;  // Up
        case 208:
            return 29;  // Down
        case 205:
            return 30;  // Right
        case 203:
            return 31;  // Left
        default:
            break;
    }
    if (code < 0 || code > 255) return 0;
    const int32_t scan = code % 128;
    const KeyChars chars = kUsLayout[scan];
    if (chars.plain == 0) return 0;
    const bool shift = keyboard.isDown(kLeftShift) || keyboard.isDown(kRightShift);
    const bool ctrl = keyboard.isDown(kLeftCtrl) || keyboard.isDown(kRightCtrl);
    const bool alt = keyboard.isDown(kLeftAlt) || keyboard.isDown(kRightAlt);
    // Ctrl with Alt is AltGr, which gives nothing on a US layout.
    if (ctrl && alt) return 0;
    if (ctrl) return controlCharacter(scan, chars);
    return static_cast<unsigned char>(shift ? chars.shifted : chars.plain);
}

}  // namespace tx
