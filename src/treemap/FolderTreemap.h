#pragma once

#include <unordered_map>
#include <vector>

#include "scan/KeyColors.h"
#include "scan/ScanTree.h"
#include "treemap/Geometry.h"
#include "treemap/MapSelection.h"
#include "treemap/TreemapCanvas.h"

namespace dunstrel {

// One folder's cell in the map of folders.
struct TFolderMapItem {
  TRect Rect;  // the cell, already moved in by its inset
  const TDirNode* Node = nullptr;
  int Depth = 0;         // 1 for the children of the scan root
  TColor BaseColor = 0;  // the colour of the top-level folder it lies in
};

// The band a folder keeps around its sub-folders, by the depth of those sub-folders: wide for
// the upper levels, so that the big structure stands out.
int FolderMargin(int Depth);

// Folders only, nested, each sized by its total (in the map's count) among its siblings; the files
// directly in a folder count for its size but take no space inside it. Every top-level folder has a
// colour of its own that the folders below inherit, darker from the third level on. Items stay
// valid until the next Clear or build.
class TFolderTreemapLayout {
 public:
  TFolderTreemapLayout() = default;
  TFolderTreemapLayout(const TFolderTreemapLayout&) = delete;
  TFolderTreemapLayout& operator=(const TFolderTreemapLayout&) = delete;

  // Forgets the items and the hovered folder.
  void Clear();
  // Lays out every folder below Root in TargetRect, sized in Count; starts with Clear.
  void BuildFromRoot(const TDirNode* Root, TSizeCount Count, const TRect& TargetRect);
  // Draws the cells, then the frames of the selected folders over everything.
  void Paint(TTreemapCanvas& Canvas, const IMapSelection& Selected) const;
  // The folder of the innermost cell under P, or none.
  const TDirNode* HitTest(TPoint P) const;

  // The folder under the mouse, kept for the window's hint; it draws nothing.
  const TDirNode* HoverNode() const { return FHoverNode; }
  void SetHoverNode(const TDirNode* Node) { FHoverNode = Node; }

  // All items, every folder before the folders inside it.
  const std::vector<TFolderMapItem>& Items() const { return FItems; }

 private:
  struct TBuilder;

  std::vector<TFolderMapItem> FItems;
  const TDirNode* FHoverNode = nullptr;
};

}  // namespace dunstrel
