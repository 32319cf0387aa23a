// Program paths to host paths: `\` and `/` both separate components, and a path that does not
// exist as spelled is looked up one component at a time without regard to ASCII case, so
// programs written for a case-insensitive file system find their files.
#pragma once

#include <string>
#include <string_view>

namespace tx {

// The host path a program path names. Components that exist as spelled are kept; the others
// take the spelling of an entry that matches them ignoring case (the first in byte order when
// several do); once one has no match, it and the rest stay as spelled (a file to be created).
// A trailing separator is kept. An empty path stays empty.
std::string hostPath(std::string_view programPath);

}  // namespace tx
