#include "host_file_system.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "ascii_case.h"
#include "path_lookup.h"

namespace tx {
namespace {

bool statPath(const std::string& path, struct stat& info) {
    return !path.empty() && ::stat(path.c_str(), &info) == 0;
}

uint32_t sizeOf(const struct stat& info) {
    return S_ISDIR(info.st_mode) ? 0 : static_cast<uint32_t>(static_cast<uint64_t>(info.st_size));
}

}  // namespace

bool matchesWildcard(std::string_view pattern, std::string_view name) {
    size_t p = 0, n = 0;
    size_t starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() &&
            (pattern[p] == '?' ||
             (pattern[p] != '*' && lowerAscii(pattern[p]) == lowerAscii(name[n])))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

bool HostFileSystem::createDir(std::string_view path) {
    const std::string host = hostPath(path);
    return !host.empty() && ::mkdir(host.c_str(), 0777) == 0;
}

bool HostFileSystem::deleteDir(std::string_view path) {
    const std::string host = hostPath(path);
    return !host.empty() && ::rmdir(host.c_str()) == 0;
}

bool HostFileSystem::deleteFile(std::string_view path) {
    const std::string host = hostPath(path);
    return !host.empty() && ::unlink(host.c_str()) == 0;
}

bool HostFileSystem::copyFile(std::string_view from, std::string_view to) {
    const std::string source = hostPath(from);
    const std::string target = hostPath(to);
    if (source.empty() || target.empty()) return false;
    std::error_code error;
    // Onto itself there is nothing to do, and a copy must never truncate its own source.
    if (std::filesystem::equivalent(source, target, error)) return false;
    // The copy is written under a temporary name beside the target and renamed over it, so the
    // target holds either its old contents or the whole copy, even if the process dies midway.
    static std::atomic<uint32_t> counter{0};
    const std::string temporary = target + ".tx" + std::to_string(::getpid()) + "-" +
                                  std::to_string(counter.fetch_add(1)) + ".part";
    if (!std::filesystem::copy_file(source, temporary, error)) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    return true;
}

bool HostFileSystem::setCurrentDir(std::string_view path) {
    const std::string host = hostPath(path);
    return !host.empty() && ::chdir(host.c_str()) == 0;
}

std::string HostFileSystem::currentDir() const {
    std::error_code error;
    std::string dir = std::filesystem::current_path(error).string();
    if (error || dir.empty()) return {};
    if (dir.back() != '/') dir += '/';
    return dir;
}

uint32_t HostFileSystem::fileSize(std::string_view path) const {
    const std::string host = hostPath(path);
    struct stat info {};
    if (statPath(host, info)) return sizeOf(info);
    const size_t slash = host.rfind('/');
    const std::string_view pattern =
        std::string_view(host).substr(slash == std::string::npos ? 0 : slash + 1);
    if (pattern.find_first_of("*?") == std::string_view::npos) return 0;
    const std::string dir = slash == std::string::npos ? "." : host.substr(0, slash + 1);
    const auto listing = HostDir::open(dir);
    if (listing == nullptr) return 0;
    for (std::string name = listing->nextFile(); !name.empty(); name = listing->nextFile()) {
        if (!matchesWildcard(pattern, name)) continue;
        const std::string match = (dir.back() == '/' ? dir : dir + "/") + name;
        return statPath(match, info) ? sizeOf(info) : 0;
    }
    return 0;
}

int32_t HostFileSystem::fileType(std::string_view path) const {
    struct stat info {};
    if (!statPath(hostPath(path), info)) return 0;
    return S_ISDIR(info.st_mode) ? 2 : 1;
}

uint32_t HostFileSystem::openDir(std::string_view path) {
    const std::string host = path.empty() ? std::string("/") : hostPath(path);
    auto listing = HostDir::open(host);
    return listing != nullptr ? openDirs_.insert(std::move(listing)) : 0;
}

}  // namespace tx
