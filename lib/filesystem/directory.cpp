#include "directory.h"

#include <string_view>
#include <utility>

namespace tx {

std::unique_ptr<HostDir> HostDir::open(const std::string& hostPath) {
    std::unique_ptr<DIR, DirCloser> listing(::opendir(hostPath.c_str()));
    if (listing == nullptr) return nullptr;
    return std::make_unique<HostDir>(std::move(listing));
}

HostDir::HostDir(std::unique_ptr<DIR, DirCloser> listing) : listing_(std::move(listing)) {
    advance();
}

// Makes the next name current: ".", "..", then the system's entries without its own "." and
// "..", whatever order it lists them in.
void HostDir::advance() {
    if (dotsGiven_ < 2) {
        current_ = dotsGiven_ == 0 ? "." : "..";
        ++dotsGiven_;
        hasCurrent_ = true;
        return;
    }
    while (listing_ != nullptr) {
        const dirent* entry = ::readdir(listing_.get());
        if (entry == nullptr) break;
        const std::string_view name(entry->d_name);
        if (name == "." || name == "..") continue;
        current_.assign(name);
        hasCurrent_ = true;
        return;
    }
    listing_.reset();
    current_.clear();
    hasCurrent_ = false;
}

std::string HostDir::nextFile() {
    if (!hasCurrent_) return {};
    std::string name = std::move(current_);
    advance();
    return name;
}

}  // namespace tx
