#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "scan/KeyColors.h"
#include "scan/ScanTree.h"
#include "treemap/Geometry.h"
#include "treemap/MapSelection.h"
#include "treemap/TreemapCanvas.h"

namespace dunstrel {

enum class TDupKind : uint8_t { dkDir, dkFile };

// One duplicate file of a scan tree and the colour of its group.
struct TDupFile {
  const TFileLeaf* File;
  TColor Color;
};

// One cell of the duplicates map: a folder holding duplicates somewhere below it, or one
// duplicate file. It refers to the scan tree, which must outlive the map's items.
struct TDupItem {
  TDupKind Kind = TDupKind::dkDir;
  int Depth = 0;                        // 0 for the children of the scan root
  TRect Rect;                           // the cell, already moved in by its inset
  const TDirNode* Dir = nullptr;        // dkDir
  const TFileLeaf* FileLeaf = nullptr;  // dkFile
  int64_t Size = 0;  // a folder's bytes of duplicates below it, a file's size, in the map's count
  TColor Color = kGrey;  // silver for folders; a file's group colour, grey when it has none

  std::string FullPath() const;
};

// Where the duplicate files are: the folders that hold duplicates, nested as in the scan tree,
// and in them the duplicate files, every cell sized by bytes of duplicates only and every file
// painted in its group's colour. Items stay valid until the next Clear or build.
class TDupTreemapLayout {
 public:
  TDupTreemapLayout() = default;
  TDupTreemapLayout(const TDupTreemapLayout&) = delete;
  TDupTreemapLayout& operator=(const TDupTreemapLayout&) = delete;

  // Forgets the items and the sums of duplicates.
  void Clear();
  // Lays out Files, duplicate files of the tree below Root each with its group's colour, in
  // TargetRect, sized in Count. Only the folders that hold them are visited, not the tree.
  void BuildFromRootDuplicates(const TDirNode* Root, std::span<const TDupFile> Files,
                               TSizeCount Count, const TRect& TargetRect);
  // Draws the cells, then the frames of the selected folders and files over everything.
  void Paint(TTreemapCanvas& Canvas, const IMapSelection& Selected) const;
  // The innermost cell under P, or none.
  const TDupItem* HitTest(TPoint P) const;

  // Bytes of duplicate files anywhere below Node in the count of the last build; 0 for a folder
  // without any.
  int64_t DupBytes(const TDirNode* Node) const;

  // All items, every folder before its contents.
  const std::vector<TDupItem>& Items() const { return FItems; }

 private:
  struct TBuilder;

  // Files the duplicates of each folder that holds any, in the folder's own order, and sums
  // them up the tree.
  void FileDuplicates(const TDirNode& Root, std::span<const TDupFile> Files);

  std::vector<TDupItem> FItems;
  std::unordered_map<const TDirNode*, std::vector<TDupFile>> FFilesOfFolder;
  std::unordered_map<const TDirNode*, int64_t> FDupBytes;
  TSizeCount FCount = TSizeCount::ApparentSize;
};

}  // namespace dunstrel
