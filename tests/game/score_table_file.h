// The high-score table file as Star Volley writes it: a header line, one entry a line (name, tab,
// score, tab, wave), and an END line with the count and a check sum.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tx::test {

inline std::string tableFile(const std::vector<std::string>& entries) {
    std::string text = "STAR VOLLEY SCORES 1\r\n";
    uint32_t sum = 0;
    for (const std::string& line : entries) {
        uint32_t lineSum = static_cast<uint32_t>(line.size());
        for (const char c : line) lineSum = (lineSum * 31 + static_cast<uint8_t>(c)) & 0xFFFFFF;
        sum = (sum + lineSum) & 0xFFFFFF;
        text += line + "\r\n";
    }
    return text + "END " + std::to_string(entries.size()) + " " + std::to_string(sum) + "\r\n";
}

}  // namespace tx::test
