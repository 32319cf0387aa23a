#include "source.h"

#include <fstream>
#include <iterator>

namespace tx::txc {

uint32_t SourceFiles::addVirtual(std::string displayName, std::string bytes,
                                 std::filesystem::path canonicalPath) {
    files_.push_back({std::move(displayName), std::move(canonicalPath), std::move(bytes)});
    return static_cast<uint32_t>(files_.size() - 1);
}

int64_t SourceFiles::find(const std::filesystem::path& canonicalPath) const {
    if (canonicalPath.empty()) return -1;
    for (size_t i = 0; i < files_.size(); ++i) {
        if (files_[i].canonicalPath == canonicalPath) return static_cast<int64_t>(i);
    }
    return -1;
}

std::vector<std::string> SourceFiles::displayNames() const {
    std::vector<std::string> names;
    names.reserve(files_.size());
    for (const auto& file : files_) names.push_back(file.displayName);
    return names;
}

bool readFileBytes(const std::filesystem::path& path, std::string& out) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

}  // namespace tx::txc
