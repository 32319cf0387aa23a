// Collects a code block, its symbol records and its fixup records, checks them, and writes them
// in the module image format (module_image.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "module_image.h"

namespace tximage {

class ModuleImageWriter {
public:
    explicit ModuleImageWriter(std::vector<uint8_t> code) : code_(std::move(code)) {}

    // Offsets are checked against the code block: a symbol must lie inside it, a fixup word
    // must fit in it entirely. Names must be non-empty. Violations raise Error.
    void addSymbol(const std::string& name, uint32_t offset);
    void addRelativeFixup(const std::string& target, uint32_t offset);
    void addAbsoluteFixup(const std::string& target, uint32_t offset);

    // The image bytes; symbol records sorted by name in ascending byte order.
    std::vector<uint8_t> finish() const;

private:
    using Record = tx::ImageRecord;

    void checkName(const std::string& name) const;
    void checkFixup(const std::string& target, uint32_t offset) const;

    std::vector<uint8_t> code_;
    std::vector<Record> symbols_;
    std::vector<Record> relativeFixups_;
    std::vector<Record> absoluteFixups_;
};

}  // namespace tximage
