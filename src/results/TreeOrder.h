#pragma once

#include <cstdint>
#include <functional>

#include "scan/ScanTree.h"

namespace dunstrel {

// Called every so many folders with the number done so far; false stops the walk.
using TFolderProgress = std::function<bool(int64_t FoldersDone)>;

// The number of folders below Root (Root itself not counted); 0 without a root.
int64_t CountFoldersBelow(const TDirNode* Root);

// Sorts every Children list of the tree in place, largest TotalSize first. The sort is stable,
// so sorting a sorted tree again changes nothing: views that show the folders in this order keep
// their rows when another view sorts again. Progress is called after every Every folders; the
// walk stops when it answers false, and so does this function, returning false.
bool SortFoldersBySize(TDirNode& Root, int64_t Every = 0, const TFolderProgress& Progress = {});

// Sorts every Children list by TotalSize and every Leaves list by Size, largest first, in
// place and stably.
void SortFoldersAndFilesBySize(TDirNode& Root);

}  // namespace dunstrel
