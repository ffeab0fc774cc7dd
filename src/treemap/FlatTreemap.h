#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "scan/KeyColors.h"
#include "scan/PathKeys.h"
#include "scan/ScanTree.h"
#include "treemap/Geometry.h"
#include "treemap/MapSelection.h"
#include "treemap/PathIndex.h"
#include "treemap/TreemapCanvas.h"

namespace dunstrel {

// One file's cell in the flat map. It answers its texts from the scan tree's file, which must
// outlive the map's items (whoever frees the tree clears the map first).
class TTreemapItem {
 public:
  TTreemapItem(const TRect& Rect, const TFileLeaf& File) : Rect(Rect), FFile(&File) {}

  const TFileLeaf& File() const { return *FFile; }
  std::string_view DisplayText() const { return FFile->Name(); }
  std::string FullPath() const { return FFile->FullPath(); }
  // Lower-case with its dot; empty when the name has none.
  const std::string& Ext() const { return FFile->Ext(); }
  int64_t Size() const { return FFile->Size; }

  TRect Rect;

 private:
  const TFileLeaf* FFile;
};

// Every file of a scan as one cell, in rows of a fixed number of files, largest first; no
// folder structure. Items stay valid until the next Clear or build.
class TTreemapLayout {
 public:
  TTreemapLayout();
  TTreemapLayout(const TTreemapLayout&) = delete;
  TTreemapLayout& operator=(const TTreemapLayout&) = delete;

  // Forgets the items.
  void Clear();
  // Lays Files out in TargetRect; absent entries are skipped. Always starts with Clear.
  void BuildFromFiles(std::span<const TFileLeaf* const> Files, const TRect& TargetRect);
  // Draws the cells, framing those of the selected files.
  void Paint(TTreemapCanvas& Canvas, const IMapSelection& Selected) const;
  // The first item in placement order whose cell holds P, or none.
  const TTreemapItem* HitTest(TPoint P) const;

  const TTreemapItem* GetItemByPath(std::string_view AFullPath) const;
  const TTreemapItem* GetLargestItemByExt(std::string_view AExt) const;

  static TColor ColorForExt(std::string_view AExt) { return dunstrel::ColorForExt(AExt); }

  // All items, in placement order.
  const std::vector<TTreemapItem>& Items() const { return FItems; }

 private:
  void IndexLargestByExt() const;

  std::vector<TTreemapItem> FItems;
  // Both indexes are built on their first use after a build: the map is rebuilt on every
  // resize, most often without being searched in between.
  TPathIndex FByPath;
  mutable TKeyMap<size_t> FByExtLargest;  // extension key to item number
  mutable bool FByExtIndexed = false;
};

}  // namespace dunstrel
