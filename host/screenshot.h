// Screenshots: a frame written as a PNG file named after the local time,
// tervex-YYYYMMDD-HHMMSS.png, or tervex-YYYYMMDD-HHMMSS-N.png (N from 1) when that name is
// taken, so that no file is ever overwritten.
#pragma once

#include <ctime>
#include <optional>
#include <string>

#include "display_frame.h"

namespace tx {

// Writes the frame into `directory` (which ends without a slash; "." for the current one).
// Returns the file's path, or none when it could not be written (nothing is left behind).
std::optional<std::string> saveScreenshot(const FramePixels& frame, const std::string& directory,
                                          std::time_t when);

}  // namespace tx
