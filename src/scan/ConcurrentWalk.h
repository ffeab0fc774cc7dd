#pragma once

#include <cstddef>

#include "scan/FolderWalker.h"
#include "scan/ScanTree.h"

namespace dunstrel {

// Walks the tree below Root (an empty node of its own path) on Threads threads, the calling one
// among them, into the same tree a walk in listing order gives: each folder's children and
// leaves in listing order, totals summed bottom-up. Folders are entered in no
// fixed order. Cancellation leaves a partial tree whose totals add up; the first error raised by
// any thread (an invalid mask) stops every thread and leaves this call. RootSeen, when given, is
// Root's entry in its parent's listing: Root is read only while it is still that folder.
void WalkConcurrently(TWalkShared& Shared, TDirNode& Root, size_t Threads,
                      const platform::TDirEntry* RootSeen = nullptr);

}  // namespace dunstrel
