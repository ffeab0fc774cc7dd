#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "results/DuplicateGroups.h"
#include "results/NextFileArrays.h"
#include "results/ScanResults.h"
#include "scan/DiskScanner.h"
#include "scan/TreeChange.h"

namespace dunstrel {

// The results that follow one change of the tree of the results shown, made in two steps. The
// change and the next file arrays are prepared while the shown results are still read (on any
// thread: nothing shown changes). Finish then edits the tree and gives the next results, on the
// thread that reads the shown ones and in the turn they are handed on: the shown results lose
// their tree to the next ones then, and are to be let go of before the folders that left.
class TResultsChange {
 public:
  TResultsChange(TResultsChange&&) = default;
  TResultsChange& operator=(TResultsChange&&) = default;

  // Changed names the folders whose own lists the change touches (the parents of the items
  // taken out, a folder walked again). None when Progress stopped the duplicates' grouping.
  static std::optional<TResultsChange> Prepare(const TScanResults& Previous, TTreeChange Change,
                                               std::vector<const TDirNode*> Changed,
                                               const TDupProgress& Progress = {});

  bool Empty() const { return FChange.Empty(); }
  const TTreeChange& Change() const { return FChange; }

  // Edits the tree of Previous, the results the change was prepared on, and returns the next
  // results holding it, each folder's list of folders ordered again where its sizes changed.
  // Previous keeps no tree after this. Detached receives the folders that left the tree.
  std::shared_ptr<const TScanResults> Finish(const std::shared_ptr<const TScanResults>& Previous,
                                             TDetachedFolders& Detached) &&;

 private:
  TResultsChange(TTreeChange Change, std::vector<const TDirNode*> Changed)
      : FChange(std::move(Change)), FChanged(std::move(Changed)) {}

  static std::vector<TExtensionRow> ExtensionsAfter(const TScanResults& Previous,
                                                    const TTreeChange& Change);

  TTreeChange FChange;
  std::vector<const TDirNode*> FChanged;
  TNextFileArrays FNext;
  std::vector<TExtensionRow> FExtensions;
  std::vector<std::pair<const TScanStore*, std::vector<uint32_t>>> FExtensionRows;
};

// The change a walk of Folder again calls for, its new tree ordered as the results order theirs
// (largest first in Count); empty when the walk was cancelled.
TTreeChange ChangeAfterRescan(const TDirNode& Folder, TRescanWalk&& Walk, TSizeCount Count);

// The removal of these items, each either a file or a folder of the results' tree, with the
// folders whose lists it touches.
struct TRemovalOfItems {
  std::vector<const TFileLeaf*> Files;
  std::vector<const TDirNode*> Folders;
  std::vector<const TDirNode*> Changed() const;
};

// Finds, in a tree changed in place, what stands where an entry of it stood before, by its names
// below the top: the entry itself when it stayed, its new self when a folder above it was walked
// again, none when it left. The entries asked about must still be readable (the folders that
// left not yet released). Each folder is looked up once, however many entries lie below it.
class TSameEntryFinder {
 public:
  explicit TSameEntryFinder(const TDirNode& Root) : FRoot(Root) {}

  const TDirNode* Folder(const TDirNode& Old);
  const TFileLeaf* File(const TFileLeaf& Old);

 private:
  const TDirNode& FRoot;
  std::unordered_map<const TDirNode*, const TDirNode*> FFolders;  // before -> now (none: left)
  // The files of folders of the tree now, by name, made once a folder is asked about.
  std::unordered_map<const TDirNode*, std::unordered_map<std::string_view, const TFileLeaf*>>
      FFiles;
};

}  // namespace dunstrel
