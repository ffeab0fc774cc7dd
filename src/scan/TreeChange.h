#pragma once

#include <memory>
#include <span>
#include <vector>

#include "scan/DiskScanner.h"
#include "scan/LeafSet.h"
#include "scan/ScanTree.h"

namespace dunstrel {

// Folders a change took out of their tree, whole. While they are held, their files and paths
// read as before, for whatever still points into them (the results shown until the next ones);
// they are to be released before the tree, and before those of a later change.
using TDetachedFolders = std::vector<std::unique_ptr<TDirNode>>;

// One change of a scan tree: files and folders taken out, or a folder put in the place of
// another (walked again). It is prepared from the tree while the tree stays as it is, so the
// results that follow can be derived from it (GoneFiles, AddedFiles) while the tree is still
// read elsewhere; Apply then edits the tree in one short step on the thread that owns it, in time
// proportional to what changes and the depth (and a pass over the tree's hard links where any
// are touched), never to the tree. The tree must not change between the two.
class TTreeChange {
 public:
  TTreeChange(TTreeChange&&) = default;
  TTreeChange& operator=(TTreeChange&&) = default;
  ~TTreeChange();

  // Takes Files and Folders out of their tree (one tree), a folder with all it holds; an item
  // inside a folder taken out is covered by it, one named twice counts once. The top of the tree
  // never leaves it: a removal of the scanned folder itself ends the results, which is the
  // caller's to do. NamesDeleted: the items are gone from the file system, so a hard-linked
  // file's link count drops by the names taken out; false when they were moved elsewhere (the
  // trash), where their names live on.
  static TTreeChange Removal(std::span<const TFileLeaf* const> Files,
                             std::span<const TDirNode* const> Folders, bool NamesDeleted);
  // Puts Fresh, a walk of Folder made by TDiskScanner::Rescan, in Folder's place.
  static TTreeChange Replacement(const TDirNode& Folder, std::unique_ptr<TDirNode> Fresh);
  // The change a walk of Folder again calls for: its new tree in its place, or Folder taken out
  // when it is gone (its names taken as deleted, the likely case); nothing when the walk was
  // cancelled.
  static TTreeChange AfterRescan(const TDirNode& Folder, TRescanWalk&& Walk);

  // Every file that leaves the tree, those of the folders taken out included.
  const TLeafSet& GoneFiles() const { return FGone; }
  // Every file that comes into the tree.
  std::span<TFileLeaf* const> AddedFiles() const { return FAdded; }
  // Every folder that leaves the tree whole (the files and folders in them are not named).
  std::span<const TDirNode* const> GoneFolders() const { return FFolders; }
  bool Empty() const { return FFolders.empty() && FFiles.empty() && FFresh == nullptr; }

  // Edits the tree of Top, the tree the change was prepared on: the items leave it, every
  // ancestor's totals in both counts, file and folder counts and unreadable folders follow (the
  // extensions are counted from the files when asked for), and hard-linked files are counted again
  // as a scan of the changed disk would count them. Returns the folders that left, to be released
  // once nothing points into them. Throws std::invalid_argument, before touching anything, for a
  // change of another tree.
  [[nodiscard]] TDetachedFolders Apply(TDirNode& Top) &&;

 private:
  TTreeChange() = default;
  void NoteGoneHardLink(const TFileLeaf& Leaf);
  void SettleHardLinks();
  void CollectGone(const TDirNode& Folder);

  std::vector<const TDirNode*> FFolders;  // taken out whole; none inside another
  std::vector<const TFileLeaf*> FFiles;   // taken out one by one, outside those folders
  const TDirNode* FReplaced = nullptr;
  std::unique_ptr<TDirNode> FFresh;
  TLeafSet FGone;
  std::vector<TFileLeaf*> FAdded;
  std::vector<THardLinkChange> FLinks;
  bool FNamesDeleted = false;
};

}  // namespace dunstrel
