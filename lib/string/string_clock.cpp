// CurrentDate and CurrentTime: the local calendar time as text. Formatted by hand rather than
// with strftime, so the month names are English whatever locale the host process has set.
#include <ctime>

#include "string_commands.h"

namespace tx {
namespace {

constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// At least `digits` decimal digits, zero-padded; negative values get a leading '-'.
void appendNumber(std::string& out, long value, int digits) {
    if (value < 0) {
        out += '-';
        value = -value;
    }
    char buffer[24];
    int n = 0;
    do {
        buffer[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (n < digits) buffer[n++] = '0';
    while (n > 0) out += buffer[--n];
}

// Local time now; false when the clock or the conversion fails.
bool localNow(std::tm& out) {
    const std::time_t now = std::time(nullptr);
    return now != static_cast<std::time_t>(-1) && localtime_r(&now, &out) != nullptr;
}

}  // namespace

std::string formatDate(const std::tm& time) {
    std::string text;
    appendNumber(text, time.tm_mday, 2);
    text += ' ';
    text += time.tm_mon >= 0 && time.tm_mon < 12 ? kMonths[time.tm_mon] : "???";
    text += ' ';
    appendNumber(text, long{time.tm_year} + 1900, 4);
    return text;
}

std::string formatTime(const std::tm& time) {
    std::string text;
    appendNumber(text, time.tm_hour, 2);
    text += ':';
    appendNumber(text, time.tm_min, 2);
    text += ':';
    appendNumber(text, time.tm_sec, 2);
    return text;
}

Str currentDate() {
    std::tm now{};
    return strNew(localNow(now) ? formatDate(now) : std::string());
}

Str currentTime() {
    std::tm now{};
    return strNew(localNow(now) ? formatTime(now) : std::string());
}

}  // namespace tx
