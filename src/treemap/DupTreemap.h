#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "scan/KeyColors.h"
#include "scan/ScanTree.h"
#include "treemap/DupFileIndex.h"
#include "treemap/Geometry.h"
#include "treemap/MapSelection.h"
#include "treemap/TreemapCanvas.h"

namespace dunstrel {

enum class TDupKind : uint8_t { dkDir, dkFile };

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

  // Forgets the items, the colour dictionary and the sums of duplicates.
  void Clear();
  // Lays out the duplicates below Root in TargetRect, sized in Count. ColorByPathKey (the path key
  // of every duplicate file to its group colour) is kept by reference until the next Clear or
  // build: it must not change or go away before then.
  void BuildFromRootDuplicates(const TDirNode* Root, const TColorByPathKey& ColorByPathKey,
                               TSizeCount Count, const TRect& TargetRect);
  // Draws the cells, then the frames of the selected folders and files over everything.
  void Paint(TTreemapCanvas& Canvas, const IMapSelection& Selected) const;
  // The innermost cell under P, or none.
  const TDupItem* HitTest(TPoint P) const;

  // Bytes of duplicate files anywhere below Node in the count of the last build, each folder
  // summed once per build; 0 without a colour dictionary.
  int64_t DupBytes(const TDirNode* Node);

  // All items, every folder before its contents.
  const std::vector<TDupItem>& Items() const { return FItems; }

 private:
  struct TBuilder;

  std::vector<TDupItem> FItems;
  TDupFileIndex FDuplicates;  // refers to the colour dictionary of the last build
  std::unordered_map<const TDirNode*, int64_t> FDupBytesMemo;
  TSizeCount FCount = TSizeCount::ApparentSize;
};

}  // namespace dunstrel
