#include "number_text.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace tx {
namespace {

// std::to_chars and std::from_chars are used throughout: correctly rounded and independent of
// the process locale.

bool isSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

size_t skipSpace(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && isSpace(text[i])) ++i;
    return i;
}

// Appends int.frac with the fraction's trailing zeros removed; the point stays even when no
// fraction digit is left. An empty fraction means no point at all.
void appendTrimmed(std::string& out, std::string_view whole, std::string_view frac) {
    out += whole;
    if (frac.empty()) return;
    while (!frac.empty() && frac.back() == '0') frac.remove_suffix(1);
    out += '.';
    out += frac;
}

// Seven significant digits of a positive finite magnitude: plain notation when the leading
// digit's decimal exponent m is in [-1, 6], otherwise d.dddddde+XXX.
void appendGeneral(std::string& out, double magnitude) {
    char buf[32];
    const auto done =
        std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 6);
    // buf holds "d.dddddde[+-]XX..."
    const std::string_view sci(buf, static_cast<size_t>(done.ptr - buf));
    char digits[7];
    digits[0] = sci[0];
    for (int i = 0; i < 6; ++i) digits[i + 1] = sci[2 + i];
    const size_t e = sci.find('e');
    const bool negativeExponent = sci[e + 1] == '-';
    int m = 0;
    std::from_chars(sci.data() + e + 2, sci.data() + sci.size(), m);
    if (negativeExponent) m = -m;

    const std::string_view all(digits, 7);
    if (m >= 0 && m <= 6) {
        appendTrimmed(out, all.substr(0, m + 1), all.substr(m + 1));
    } else if (m == -1) {
        appendTrimmed(out, "0", all);
    } else {
        appendTrimmed(out, all.substr(0, 1), all.substr(1));
        char exponent[8];
        const int magnitudeOfM = m < 0 ? -m : m;
        exponent[0] = 'e';
        exponent[1] = m < 0 ? '-' : '+';
        exponent[2] = static_cast<char>('0' + magnitudeOfM / 100);
        exponent[3] = static_cast<char>('0' + magnitudeOfM / 10 % 10);
        exponent[4] = static_cast<char>('0' + magnitudeOfM % 10);
        out.append(exponent, 5);
    }
}

}  // namespace

std::string formatFloat(float value) {
    const uint32_t bits = std::bit_cast<uint32_t>(value);
    const uint32_t exponentField = bits >> 23 & 0xFF;
    const uint32_t mantissa = bits & 0x7F'FFFF;
    if (exponentField == 0xFF && mantissa != 0) return "NAN";

    std::string out;
    if (bits >> 31) out += '-';
    if (exponentField == 0xFF) {
        out += "INFINITY";
    } else if ((bits & 0x7FFF'FFFF) == 0) {
        out += "0.000000";
    } else if (value >= 0.000001f && value <= 9999999.0f) {
        // The signed comparison sends every negative value to the general form.
        char buf[32];
        const auto done = std::to_chars(buf, buf + sizeof buf, static_cast<double>(value),
                                        std::chars_format::fixed, 6);
        out.append(buf, done.ptr);
    } else {
        appendGeneral(out, std::fabs(static_cast<double>(value)));
    }
    return out;
}

std::string formatInt(int32_t value) {
    char buf[16];
    const auto done = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, done.ptr);
}

int32_t parseInt(std::string_view text) {
    size_t i = skipSpace(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    uint32_t value = 0;
    for (; i < text.size() && isDigit(text[i]); ++i)
        value = value * 10 + static_cast<uint32_t>(text[i] - '0');
    if (negative) value = 0 - value;
    return static_cast<int32_t>(value);
}

float parseFloat(std::string_view text) {
    size_t i = skipSpace(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const size_t start = i;

    // Decimal exponent of the first significant digit, to tell overflow from underflow.
    int64_t leadExponent = 0;
    bool seenNonZero = false;
    size_t digitCount = 0;
    for (; i < text.size() && isDigit(text[i]); ++i, ++digitCount) {
        if (seenNonZero)
            ++leadExponent;
        else if (text[i] != '0')
            seenNonZero = true;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        for (; i < text.size() && isDigit(text[i]); ++i, ++digitCount) {
            if (!seenNonZero) {
                --leadExponent;
                if (text[i] != '0') seenNonZero = true;
            }
        }
    }
    if (digitCount == 0) return 0.0f;

    int64_t exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        bool negativeExponent = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            negativeExponent = text[j++] == '-';
        if (j < text.size() && isDigit(text[j])) {
            for (; j < text.size() && isDigit(text[j]); ++j)
                if (exponent < 1'000'000'000) exponent = exponent * 10 + (text[j] - '0');
            if (negativeExponent) exponent = -exponent;
            i = j;
        }
    }

    double value = 0.0;
    const auto done = std::from_chars(text.data() + start, text.data() + i, value);
    if (done.ec == std::errc::result_out_of_range) {
        value = seenNonZero && leadExponent + exponent > 0 ? std::numeric_limits<double>::infinity()
                                                           : 0.0;
    }
    return static_cast<float>(negative ? -value : value);
}

}  // namespace tx
