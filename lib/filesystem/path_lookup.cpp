#include "path_lookup.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <optional>

#include "ascii_case.h"
#include "directory.h"

namespace tx {
namespace {

bool exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// The entry of directory `dir` whose name matches `name` ignoring case; the first in byte
// order when there are several.
std::optional<std::string> matchIgnoringCase(const std::string& dir, std::string_view name) {
    const std::unique_ptr<DIR, HostDir::DirCloser> listing(
        ::opendir(dir.empty() ? "." : dir.c_str()));
    if (listing == nullptr) return std::nullopt;
    std::optional<std::string> best;
    while (const dirent* entry = ::readdir(listing.get())) {
        const std::string_view candidate(entry->d_name);
        if (equalsIgnoringCase(candidate, name) && (!best || candidate < *best))
            best = std::string(candidate);
    }
    return best;
}

std::string join(const std::string& base, std::string_view name) {
    if (base.empty()) return std::string(name);
    if (base.back() == '/') return base + std::string(name);
    return base + "/" + std::string(name);
}

}  // namespace

std::string hostPath(std::string_view programPath) {
    // The system would end the name at a zero byte and find another file: such a name names
    // nothing.
    if (programPath.find('\0') != std::string_view::npos) return {};
    std::string path(programPath);
    std::replace(path.begin(), path.end(), '\\', '/');
    if (path.empty() || exists(path)) return path;

    const bool trailing = path.back() == '/';
    std::string resolved = path.front() == '/' ? "/" : "";
    bool matching = true;  // false once a component has no entry: the rest cannot exist
    size_t start = 0;
    while (start < path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        const std::string_view name(path.data() + start, end - start);
        start = end + 1;
        if (name.empty()) continue;
        std::string next = join(resolved, name);
        if (matching && name != "." && name != ".." && !exists(next)) {
            if (auto match = matchIgnoringCase(resolved, name))
                next = join(resolved, *match);
            else
                matching = false;
        }
        resolved = std::move(next);
    }
    if (trailing && !resolved.empty() && resolved.back() != '/') resolved += '/';
    return resolved;
}

}  // namespace tx
