#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "scan/KeyColors.h"
#include "scan/PathKeys.h"
#include "scan/ScanTree.h"

namespace dunstrel {

struct TDupFile {
  const TFileLeaf* File;
  TColor Color;
};

// Finds the duplicate files of a folder, those whose path key is in the colour dictionary,
// from the dictionary's side: its keys are filed by the path of their folder, so a folder
// without duplicates costs one lookup however many files it holds, and the files of the other
// folders are mostly ruled out by name before their path is built.
class TDupFileIndex {
 public:
  TDupFileIndex() = default;
  // Colors must outlive the index and stay as it is.
  explicit TDupFileIndex(const TColorByPathKey& Colors);

  // The duplicate files directly in Folder, in its stored order, with their group colours.
  const std::vector<TDupFile>& FilesIn(const TDirNode& Folder);

 private:
  // A first test of a name, far cheaper than a lookup in FNames: false when FNames cannot
  // hold it.
  bool MayBeAName(std::string_view Name) const;
  // The path of Folder. Folders keep their names, not their paths: the last path made is kept,
  // so that a sub-folder asked for after its folder (as a walk down the tree asks) costs its
  // name, not a climb to the root.
  const std::string& PathOf(const TDirNode& Folder);

  const TColorByPathKey* FColors = nullptr;
  // Every key split at its last delimiter: how many keys there are of each folder part, and
  // the set of the names after it.
  std::unordered_map<std::string_view, size_t> FKeysInFolder;
  std::unordered_set<std::string_view> FNames;
  std::vector<uint64_t> FNameBits;  // one bit per cheap hash of a name in FNames
  std::unordered_map<const TDirNode*, std::vector<TDupFile>> FFilesOfFolder;
  std::string FScratch;
  const TDirNode* FLastFolder = nullptr;
  std::string FLastPath;
};

}  // namespace dunstrel
