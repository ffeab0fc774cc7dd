#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "scan/ScanTree.h"
#include "scan/SizeCount.h"

namespace dunstrel {

// Called every so many folders with the number done so far; false stops the walk.
using TFolderProgress = std::function<bool(int64_t FoldersDone)>;

// The number of folders below Root (Root itself not counted); 0 without a root.
int64_t CountFoldersBelow(const TDirNode* Root);

// Sorts every Children list of the tree in place, largest total in Count first, stably. Progress
// is called after every Every folders; the walk stops when it answers false, and so does this
// function, returning false.
bool SortFoldersBySize(TDirNode& Root, TSizeCount Count, int64_t Every = 0,
                       const TFolderProgress& Progress = {});

// Every folder of the tree, Root first.
std::vector<TDirNode*> FoldersOf(TDirNode& Root);

// Sorts the Leaves list of each of these folders in place, largest in Count first, stably;
// stops as the folders' sort. It touches no Children list, so it may run beside a sort of those.
bool SortFilesBySize(std::span<TDirNode* const> Folders, TSizeCount Count, int64_t Every = 0,
                     const TFolderProgress& Progress = {});

}  // namespace dunstrel
