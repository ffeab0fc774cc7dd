#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "scan/ScanTree.h"
#include "scan/SizeCount.h"

namespace dunstrel {

// Every file of the tree, largest first in Count (equal sizes in no defined order), and their
// byte sum. Files of a folder are collected before those of its sub-folders; none without a root.
void FlattenAllFiles(const TDirNode* Root, TSizeCount Count, std::vector<TFileLeaf*>& Files,
                     int64_t& TotalBytes);

// The first Limit entries of AllFiles (all of them when there are fewer) and their byte sum in
// Count.
std::span<TFileLeaf* const> TakeLargestFiles(std::span<TFileLeaf* const> AllFiles, size_t Limit,
                                             TSizeCount Count, int64_t& TotalBytes);

}  // namespace dunstrel
