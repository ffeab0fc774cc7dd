#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "localisation/TextFormat.h"

namespace dunstrel {

// One item a removal could not take away, and why, in English.
struct TRemovalFailure {
  std::string Path;
  std::string Reason;
};

// A failure box lists at most this many items; the rest are counted.
inline constexpr size_t kMaxListedFailures = 10;

// What a removal is given from a selection: each path once, in the order first met, without the
// paths that lie inside another listed folder, since removing the folder removes them. Without
// this, an item listed twice would fail the second time and make a complete removal look failed.
std::vector<std::string> PathsToRemove(const std::vector<std::string>& Paths);

// The paths as clipboard text: one per line, with the platform's line break (LF, CR LF on
// Windows) between them and none after the last.
std::string JoinPathsForClipboard(const std::vector<std::string>& Paths);

// The question asked before moving Count items to the trash or deleting them for good.
std::string RemovalQuestion(bool ToTrash, size_t Count, const TFormatSettings& Settings);

// The failure box of a removal: the one-line failure message, then each item that is left with
// why, at most kMaxListedFailures of them, then how many more there are.
std::string RemovalFailureText(bool ToTrash, const std::vector<TRemovalFailure>& Failures,
                               const TFormatSettings& Settings);

}  // namespace dunstrel
