#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "scan/KeyColors.h"
#include "scan/ScanTree.h"
#include "treemap/Geometry.h"
#include "treemap/MapSelection.h"
#include "treemap/TreemapCanvas.h"

namespace dunstrel {

// One file's cell in the flat map. It answers its texts from the scan tree's file, which must
// outlive the map's items (whoever frees the tree clears the map first).
class TFlatMapItem {
 public:
  TFlatMapItem(const TRect& Rect, const TFileLeaf& File) : Rect(Rect), FFile(&File) {}

  const TFileLeaf& File() const { return *FFile; }
  std::string_view DisplayText() const { return FFile->Name(); }
  std::string FullPath() const { return FFile->FullPath(); }
  // Lower-case with its dot; empty when the name has none.
  const std::string& Ext() const { return FFile->Ext(); }
  int64_t Size() const { return FFile->Size(); }

  TRect Rect;

 private:
  const TFileLeaf* FFile;
};

// Every file of a scan as one cell, in rows of a fixed number of files, largest first; no
// folder structure. Only cells that show on the surface are items: files whose row falls below
// its bottom edge, or whose cell falls past its right edge, have none. Items stay valid until the
// next Clear or build.
class TFlatTreemapLayout {
 public:
  TFlatTreemapLayout() = default;
  TFlatTreemapLayout(const TFlatTreemapLayout&) = delete;
  TFlatTreemapLayout& operator=(const TFlatTreemapLayout&) = delete;

  // Forgets the items.
  void Clear();
  // Lays Files out in TargetRect; absent entries are skipped. Always starts with Clear.
  void BuildFromFiles(std::span<const TFileLeaf* const> Files, const TRect& TargetRect);
  // Draws the cells, framing those of the selected files.
  void Paint(TTreemapCanvas& Canvas, const IMapSelection& Selected) const;
  // The first item in placement order whose cell holds P, or none.
  const TFlatMapItem* HitTest(TPoint P) const;

  // All items, in placement order.
  const std::vector<TFlatMapItem>& Items() const { return FItems; }

 private:
  std::vector<TFlatMapItem> FItems;
};

}  // namespace dunstrel
