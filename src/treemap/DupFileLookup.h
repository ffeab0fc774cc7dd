#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

#include "scan/ScanTree.h"
#include "treemap/TreemapColors.h"
#include "treemap/TreemapKeys.h"

namespace dunstrel {

// The group colour of every duplicate file, by the file's path key.
using TColorByPathKey = TKeyMap<TColor>;

// Tells which files are duplicates: those whose path key is in the colour dictionary. The
// duplicates map asks this of every file of a scan, so where a path is its own key most files
// are ruled out by their name alone, without building their path.
class TDupFileLookup {
 public:
  TDupFileLookup() = default;
  // Colors must outlive the lookup.
  explicit TDupFileLookup(const TColorByPathKey& Colors);

  // The group colour of File, or none when it is not a duplicate.
  const TColor* ColorOf(const TFileLeaf& File) const;

 private:
  const TColorByPathKey* FColors = nullptr;
  std::unordered_set<std::string_view> FNames;  // the last component of every key
  mutable std::string FScratch;
};

}  // namespace dunstrel
