#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "scan/KeyColors.h"
#include "scan/PathKeys.h"
#include "scan/ScanTree.h"
#include "treemap/Geometry.h"
#include "treemap/MapSelection.h"
#include "treemap/TreemapCanvas.h"

namespace dunstrel {

enum class THierKind : uint8_t { hkDir, hkFile };

// One folder's or file's cell in the map of folders and files. It refers to the scan tree,
// which must outlive the map's items (whoever frees the tree clears the map first).
// A screen can show a million cells: an item keeps what drawing and finding it need, and its
// size is asked of its folder or file.
struct THierItem {
  THierKind Kind = THierKind::hkDir;
  // A folder with nothing inside to show: empty or unreadable, taking only its own blocks in the
  // disk usage. Filled, so that it does not show as a hole in the map.
  bool NothingInside = false;
  int Depth = 0;                        // 0 for the children of the scan root
  TRect Rect;                           // the cell, already moved in by its inset
  const TDirNode* Dir = nullptr;        // hkDir
  const TFileLeaf* FileLeaf = nullptr;  // hkFile
  TColor Color = kBlack;                // files: their extension's colour

  std::string FullPath() const;
};

// The whole scan tree, folders nested in folders down to the single files, each folder's cell
// shared among its contents by size. Files are coloured by extension; folders show only as
// frames. Items stay valid until the next Clear or build.
class THierTreemapLayout {
 public:
  THierTreemapLayout() = default;
  THierTreemapLayout(const THierTreemapLayout&) = delete;
  THierTreemapLayout& operator=(const THierTreemapLayout&) = delete;

  // Forgets the items.
  void Clear();
  // Lays out everything below Root in TargetRect, sized in Count; Root itself gets no cell.
  void BuildFromRootSquarified(const TDirNode* Root, TSizeCount Count, const TRect& TargetRect);
  // Draws the cells, then the frames of the selected folders and files over everything. Files
  // take FileColor's colour when it is given, their extension's otherwise.
  void Paint(TTreemapCanvas& Canvas, const IMapSelection& Selected,
             const std::function<TColor(const TFileLeaf& File)>& FileColor = {}) const;
  // The innermost cell under P, or none.
  const THierItem* HitTest(TPoint P) const;

  // All items, every folder before its contents.
  const std::vector<THierItem>& Items() const { return FItems; }

 private:
  struct TBuilder;

  std::vector<THierItem> FItems;
};

}  // namespace dunstrel
