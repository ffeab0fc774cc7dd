#pragma once

#include "scan/ScanTree.h"

namespace dunstrel::bench {

// Where a scan tree's memory goes, in bytes per entry (files and folders): the leaves with their
// names, the folders' lists of leaves and of sub-folders, and the folder nodes themselves. What
// the process holds beyond their sum is the allocator's own overhead and the arenas' unused ends.
struct TTreeParts {
  double Leaves = 0;
  double LeafLists = 0;
  double ChildLists = 0;
  double Folders = 0;
};

TTreeParts TreePartsOf(const TDirNode& Root);

}  // namespace dunstrel::bench
