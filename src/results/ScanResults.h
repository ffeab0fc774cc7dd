#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "results/DuplicateGroups.h"
#include "scan/ScanTree.h"

namespace dunstrel {

// What one finished scan produced: its tree and the result sets that point into it. The sets
// are filled step by step by the window's result pipeline and emptied before the tree goes.
struct TScanResults {
  // The files shown in the list of the largest files.
  static constexpr size_t kLargestFilesShown = 5000;

  std::unique_ptr<TDirNode> Root;
  // Every file of the tree, largest first, and their byte sum.
  std::vector<TFileLeaf*> AllFiles;
  int64_t AllTotalBytes = 0;
  // The first kLargestFilesShown of AllFiles and their byte sum.
  std::vector<TFileLeaf*> DisplayFiles;
  int64_t DisplayTotalBytes = 0;
  // The groups of files that look like copies of one another, with their path dictionaries.
  TDuplicates Duplicates;

  // Fills AllFiles and AllTotalBytes from the tree.
  void FlattenAllFilesFromRoot();
  // Fills DisplayFiles and DisplayTotalBytes from AllFiles.
  void BuildLargestFilesList();
  // The largest folder directly below the root once the folders are sorted; none without one.
  TDirNode* LargestTopFolder() const;

  // Forgets the sets, then releases the tree. The arrays' memory is given back, not kept for
  // the next scan.
  void Clear();
};

}  // namespace dunstrel
