#pragma once

#include <cstdint>
#include <string>

#include "localisation/TextFormat.h"

namespace dunstrel {

// The status line once a scan's results are shown, in the user's language: the files and their
// total size, and how many folders could not be read, where some could not.
std::string ScanSummaryLine(int64_t Files, int64_t TotalBytes, int64_t UnreadableFolders,
                            const TFormatSettings& Settings);

}  // namespace dunstrel
