// The RuntimeStats reports a program wrote, as the guest and compiler tests compare them.
#pragma once

#include <regex>
#include <string>

namespace tx::test {

// The counts of every RuntimeStats report in the text, as "strings/objects/unreleased ...".
inline std::string statsCounts(const std::string& text) {
    static const std::regex report(
        "Active strings:(-?\\d+)\nActive objects:(-?\\d+)\nUnreleased Objects:(-?\\d+)\n");
    std::string counts;
    for (std::sregex_iterator it(text.begin(), text.end(), report), end; it != end; ++it)
        counts += (counts.empty() ? "" : " ") + (*it)[1].str() + "/" + (*it)[2].str() + "/" +
                  (*it)[3].str();
    return counts;
}

}  // namespace tx::test
