// The one exception tximage raises: the message says what is wrong with the input.
#pragma once

#include <stdexcept>
#include <string>

namespace tximage {

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace tximage
