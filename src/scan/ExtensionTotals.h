#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "scan/ExtStats.h"
#include "scan/SizeCount.h"

namespace dunstrel {

class TDirNode;

// The bytes and files of every extension in one folder's whole subtree, by key text. Folders do
// not keep these: a scan of millions of files would spend a fifth of its tree on them, while only
// the folder a legend shows needs them, so they are counted from the files when asked for.
class TExtensionTotals {
 public:
  // Most bytes first; equal bytes by key text. Taken whole from a temporary, so that a loop over
  // the rows of ExtensionTotalsOf(...) never reads freed rows.
  const std::vector<TExtStatPair>& Rows() const& { return FRows; }
  std::vector<TExtStatPair> Rows() && { return std::move(FRows); }
  // The totals of an exact key text ("(none)" for names without a dot).
  std::optional<TExtStat> Find(std::string_view Key) const;

 private:
  friend TExtensionTotals ExtensionTotalsOf(const TDirNode& Folder, TSizeCount Count);
  std::vector<TExtStatPair> FRows;
};

// Counts the files of Folder's subtree by extension, each at its figure in Count, across every
// store the subtree's files are kept in (drives and folders walked again keep their own). Reads
// the tree only, so it may run on any thread while others read the same tree.
TExtensionTotals ExtensionTotalsOf(const TDirNode& Folder,
                                   TSizeCount Count = TSizeCount::ApparentSize);

}  // namespace dunstrel
