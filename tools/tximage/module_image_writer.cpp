#include "module_image_writer.h"

#include <algorithm>
#include <limits>

#include "error.h"
#include "image_file.h"

namespace tximage {
namespace {

// Record counts are written as 32-bit signed numbers.
void checkCount(size_t count) {
    if (count > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
        throw Error("too many records for a module image");
    }
}

// Byte order of the names, independent of whether char is signed.
bool nameLess(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<uint8_t>(x) < static_cast<uint8_t>(y);
    });
}

}  // namespace

void ModuleImageWriter::checkName(const std::string& name) const {
    if (name.empty() || name.find('\0') != std::string::npos) {
        throw Error("module image names must be non-empty and contain no 0 byte");
    }
}

void ModuleImageWriter::checkFixup(const std::string& target, uint32_t offset) const {
    checkName(target);
    if (code_.size() < 4 || offset > code_.size() - 4) {
        throw Error("fixup for '" + target + "' at offset " + std::to_string(offset) +
                    " does not fit in the code block");
    }
}

void ModuleImageWriter::addSymbol(const std::string& name, uint32_t offset) {
    checkName(name);
    if (offset >= code_.size()) {
        throw Error("symbol '" + name + "' at offset " + std::to_string(offset) +
                    " lies outside the code block");
    }
    symbols_.push_back({name, offset});
}

void ModuleImageWriter::addRelativeFixup(const std::string& target, uint32_t offset) {
    checkFixup(target, offset);
    relativeFixups_.push_back({target, offset});
}

void ModuleImageWriter::addAbsoluteFixup(const std::string& target, uint32_t offset) {
    checkFixup(target, offset);
    absoluteFixups_.push_back({target, offset});
}

std::vector<uint8_t> ModuleImageWriter::finish() const {
    if (code_.size() > std::numeric_limits<uint32_t>::max()) throw Error("code block too large");
    std::vector<Record> sorted = symbols_;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const Record& a, const Record& b) { return nameLess(a.name, b.name); });
    for (size_t i = 1; i < sorted.size(); ++i) {
        if (sorted[i - 1].name == sorted[i].name) {
            throw Error("symbol '" + sorted[i].name + "' is defined more than once");
        }
    }

    checkCount(sorted.size());
    checkCount(relativeFixups_.size());
    checkCount(absoluteFixups_.size());
    // The size is known before anything is written: an image past the limit is never built.
    const auto tableBytes = [](const std::vector<Record>& records) {
        uint64_t bytes = 4;  // the count
        for (const Record& r : records) bytes += r.name.size() + 1 + 4;
        return bytes;
    };
    const uint64_t size = 4 + uint64_t{code_.size()} + tableBytes(sorted) +
                          tableBytes(relativeFixups_) + tableBytes(absoluteFixups_);
    if (size > tx::kMaxImageFileBytes) {
        throw Error("the module image would take " + std::to_string(size) +
                    " bytes; a module image holds at most " +
                    std::to_string(tx::kMaxImageFileBytes >> 20) + " MiB");
    }
    tx::ImageWriter out;
    out.reserve(static_cast<size_t>(size));
    out.code(code_);
    out.table(sorted);
    out.table(relativeFixups_);
    out.table(absoluteFixups_);
    return out.take();
}

}  // namespace tximage
