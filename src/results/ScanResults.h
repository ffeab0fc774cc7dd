#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "results/DuplicateGroups.h"
#include "scan/ScanTree.h"
#include "scan/SizeCount.h"

namespace dunstrel {

// One extension as the legends list it: its key (lower-cased with its dot, or "(none)"), and
// the bytes and number of the files of the whole scan that have it.
struct TExtensionRow {
  std::string Key;
  int64_t Bytes = 0;
  int64_t Files = 0;
};

// What one finished scan produced: its tree, ordered largest first in one count, and every set
// the result views show, all built before anyone sees them (BuildScanResults). Once handed over
// as a shared constant, nothing changes it: a view that wants another order keeps its own.
struct TScanResults {
  // The files shown in the list of the largest files.
  static constexpr size_t kLargestFilesShown = 5000;
  // The row number of an extension no file has.
  static constexpr size_t kNoExtensionRow = std::numeric_limits<uint32_t>::max();

  TScanResults() = default;
  TScanResults(const TScanResults&) = delete;
  TScanResults& operator=(const TScanResults&) = delete;

  // The count the sizes were ordered and summed in.
  TSizeCount Count = TSizeCount::ApparentSize;
  // Every folder's sub-folders and files are ordered largest first in that count.
  std::unique_ptr<TDirNode> Root;
  // Every file of the tree, largest first, and their byte sum.
  std::vector<TFileLeaf*> AllFiles;
  int64_t AllTotalBytes = 0;
  // The first kLargestFilesShown of AllFiles and their byte sum.
  std::span<TFileLeaf* const> DisplayFiles;
  int64_t DisplayTotalBytes = 0;
  // The extensions of all files, most bytes first.
  std::vector<TExtensionRow> Extensions;
  // The groups of files that look like copies of one another.
  TDuplicates Duplicates;

  // The largest folder directly below the root; none without one.
  const TDirNode* LargestTopFolder() const;
  // The row of Extensions of a file's extension.
  size_t ExtensionOf(const TFileLeaf& File) const;

  // The rows of Extensions by the extension keys of each storage the tree's files are kept in
  // (one for a scan of a folder, one for each drive of a scan of every drive).
  std::vector<std::pair<const TScanStore*, std::vector<uint32_t>>> ExtensionRowOfKey;
};

// The tree of results nobody else holds, for a new build of them (in another count); none when
// the results are still shared.
std::unique_ptr<TDirNode> TakeTreeBack(std::shared_ptr<const TScanResults>&& Results);

}  // namespace dunstrel
