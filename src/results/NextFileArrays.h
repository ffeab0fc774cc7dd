#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "results/DuplicateGroups.h"
#include "scan/LeafSet.h"
#include "scan/ScanTree.h"
#include "scan/TreeChange.h"

namespace dunstrel {

// The file arrays of the results that follow a change of their tree, worked out from the
// previous results' arrays and the change alone: the files are never sorted again.
struct TNextFileArrays {
  std::vector<TFileLeaf*> AllFiles;
  int64_t AllTotalBytes = 0;
  std::vector<TFileLeaf*> DisplayFiles;
  int64_t DisplayTotalBytes = 0;
  TDuplicates Duplicates;
};

// AllFiles (largest first in Count, as FlattenAllFiles gives them; AllTotalBytes their sum in
// it) without the files of Gone, with Added merged in at their places; equal figures in no
// defined order, as there. TotalBytes receives the sum.
std::vector<TFileLeaf*> FilesAfterChange(std::span<TFileLeaf* const> AllFiles,
                                         int64_t AllTotalBytes, const TLeafSet& Gone,
                                         std::span<TFileLeaf* const> Added, TSizeCount Count,
                                         int64_t& TotalBytes);

// The duplicate groups after Change, NextAllFiles being the files after it, as the results of a
// new scan group them: only the files of the sizes the change touched are grouped again, and
// the groups of other sizes kept, unless the previous groups (with their next ones) cannot
// settle which groups make the cut; then every file is. False when Progress stopped that.
[[nodiscard]] bool DuplicatesAfterChange(const TDuplicates& Previous,
                                         std::span<TFileLeaf* const> NextAllFiles,
                                         const TTreeChange& Change, TDuplicates& Next,
                                         const TDupProgress& Progress = {});

// Every array at once, ordered and summed in Count as the previous ones are; Largest is how many
// files the list of the largest holds. False when Progress stopped the grouping, and Next is
// then not to be shown.
[[nodiscard]] bool NextFileArrays(std::span<TFileLeaf* const> AllFiles, int64_t AllTotalBytes,
                                  const TDuplicates& Duplicates, const TTreeChange& Change,
                                  size_t Largest, TSizeCount Count, TNextFileArrays& Next,
                                  const TDupProgress& Progress = {});

}  // namespace dunstrel
