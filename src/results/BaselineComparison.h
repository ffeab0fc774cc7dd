#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "scan/ScanTree.h"
#include "scan/SizeCount.h"

namespace dunstrel {

// A baseline that cannot be compared with the tree: the message says why, in the user's
// language.
class EBaselineMismatch : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// How an entry of the tree stands against the baseline, in one count.
enum class TGrowthKind : uint8_t { Unchanged, New, Grown, Shrunk };

struct TGrowth {
  TGrowthKind Kind = TGrowthKind::Unchanged;
  // Bytes added since the baseline (fewer than none when it shrank); a new entry's whole size.
  int64_t Bytes = 0;
};

// An entry of the baseline that the tree no longer holds: a file, or a folder with all it held.
struct TRemovedEntry {
  const TDirNode* Folder = nullptr;  // the folder of the tree it was in
  std::string_view Name;
  bool IsFolder = false;
  int64_t OldApparentSize = 0;
  int64_t OldDiskUsage = 0;
  int64_t OldFiles = 0;  // the files it held: 1 for a file

  int64_t OldSizeIn(TSizeCount Count) const {
    return Count == TSizeCount::ApparentSize ? OldApparentSize : OldDiskUsage;
  }
};

// The growth of every folder and file of a tree since a baseline, a saved scan of the same
// folder, matched by path (names compared as the file system compares them: byte for byte on
// Linux, so "Makefile" and "makefile" are two files). Only what changed is kept, each entry once:
// the tree's folders and files are looked up by address, so the comparison holds for the tree
// as it was compared, and a change of the tree calls for a new one.
class TBaselineComparison {
 public:
  TBaselineComparison() = default;
  TBaselineComparison(TBaselineComparison&&) = default;
  TBaselineComparison& operator=(TBaselineComparison&&) = default;
  TBaselineComparison(const TBaselineComparison&) = delete;
  TBaselineComparison& operator=(const TBaselineComparison&) = delete;

  TGrowth Of(const TFileLeaf& File, TSizeCount Count) const;
  TGrowth Of(const TDirNode& Folder, TSizeCount Count) const;
  // The entries of the baseline gone from Folder, in the baseline's order.
  std::span<const TRemovedEntry> RemovedFrom(const TDirNode& Folder) const;
  // Every one, grouped by folder.
  std::span<const TRemovedEntry> Removed() const { return FRemoved; }

  // The heap the comparison keeps, for the benchmark.
  size_t KeptBytes() const;

 private:
  friend TBaselineComparison CompareWithBaseline(const TDirNode& Current, const TDirNode& Baseline);

  struct TChanged {
    const void* Entry;  // a folder or a file of the tree
    int64_t ApparentSize;
    int64_t DiskUsage;
  };

  bool IsNew(const void* Entry, const TDirNode* Folder) const;
  TGrowth GrowthOf(const void* Entry, const TDirNode* Folder, int64_t Now, TSizeCount Count) const;

  std::vector<TChanged> FChanged;       // entries of both with another size; by address
  std::vector<const void*> FNew;        // files and the topmost folders the baseline lacks
  std::vector<TRemovedEntry> FRemoved;  // by folder, each folder's in the baseline's order
  std::vector<char> FRemovedNames;      // the text of their names
};

// Compares Current with Baseline, a saved scan (as ReadScanExport gives it). Throws
// EBaselineMismatch when Baseline is not a scan of the folder Current is.
TBaselineComparison CompareWithBaseline(const TDirNode& Current, const TDirNode& Baseline);

}  // namespace dunstrel
