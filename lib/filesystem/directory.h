// An open directory listing: entry names one at a time, "." and ".." first, then every other
// entry in the order the system gives them, then nothing.
#pragma once

#include <dirent.h>

#include <memory>
#include <string>

namespace tx {

class HostDir {
public:
    struct DirCloser {
        void operator()(DIR* dir) const { ::closedir(dir); }
    };

    // Starts listing a host directory; null when it does not exist or cannot be read.
    static std::unique_ptr<HostDir> open(const std::string& hostPath);

    // The current entry's name, advancing to the next; "" once the listing is exhausted (the
    // system's listing is closed as soon as its last entry has been taken).
    std::string nextFile();
    bool exhausted() const { return !hasCurrent_; }

    // Takes an open system listing.
    explicit HostDir(std::unique_ptr<DIR, DirCloser> listing);

private:
    void advance();

    std::unique_ptr<DIR, DirCloser> listing_;  // null once exhausted
    std::string current_;
    bool hasCurrent_ = false;
    int dotsGiven_ = 0;  // "." and ".." are given before the system's entries
};

}  // namespace tx
