#include "ast.h"

namespace tx::txc {

std::string foldCase(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
    }
    return folded;
}

}  // namespace tx::txc
