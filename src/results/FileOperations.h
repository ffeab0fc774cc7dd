#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "localisation/TextFormat.h"
#include "platform/Problem.h"

namespace dunstrel {

// One item a removal could not take away, and why.
struct TRemovalFailure {
  std::string Path;
  platform::TProblem Reason;
};

// One item a removal is asked to take away: its path and the bytes it holds.
struct TRemovalItem {
  std::string Path;
  int64_t Bytes = 0;
};

// A failure box lists at most this many items, and so does the question before a removal; the
// rest are counted.
inline constexpr size_t kMaxListedFailures = 10;
inline constexpr size_t kMaxListedRemovals = 10;

// What a removal is given from a selection: each path once, in the order first met, without the
// paths that lie inside another listed folder, since removing the folder removes them. Without
// this, an item listed twice would fail the second time and make a complete removal look failed,
// and the question before it would count the inner items' bytes twice.
std::vector<TRemovalItem> ItemsToRemove(const std::vector<TRemovalItem>& Items);

// A path as one line of a message: the name's bytes as they are (the display decodes them),
// but control characters, a line break among them, shown as their visible symbols.
std::string PathForDisplay(std::string_view Path);

// The paths as clipboard text: one per line, with the platform's line break (LF, CR LF on
// Windows) between them and none after the last.
std::string JoinPathsForClipboard(const std::vector<std::string>& Paths);

// The question asked before moving items to the trash or deleting them for good: how many, the
// first kMaxListedRemovals of them, how many more there are, and their total size.
std::string RemovalQuestion(bool ToTrash, const std::vector<TRemovalItem>& Items,
                            const TFormatSettings& Settings);

// The failure box of a removal: the one-line failure message, then each item that is left with
// why, at most kMaxListedFailures of them, then how many more there are.
std::string RemovalFailureText(bool ToTrash, const std::vector<TRemovalFailure>& Failures,
                               const TFormatSettings& Settings);

}  // namespace dunstrel
