#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "scan/ScanTree.h"

namespace dunstrel {

// Every file of the tree, largest first (equal sizes in no defined order), and their byte sum.
// Files of a folder are collected before those of its sub-folders; none without a root.
void FlattenAllFiles(const TDirNode* Root, std::vector<TFileLeaf*>& Files, int64_t& TotalBytes);

// The first Limit entries of AllFiles (all of them when there are fewer) and their byte sum.
void TakeLargestFiles(const std::vector<TFileLeaf*>& AllFiles, size_t Limit,
                      std::vector<TFileLeaf*>& Largest, int64_t& TotalBytes);

}  // namespace dunstrel
