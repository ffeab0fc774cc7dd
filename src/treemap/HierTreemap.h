#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "scan/PathKeys.h"
#include "scan/ScanTree.h"
#include "treemap/Geometry.h"
#include "treemap/PathIndex.h"
#include "treemap/PathSelection.h"
#include "treemap/TreemapCanvas.h"

namespace dunstrel {

enum class THierKind : uint8_t { hkDir, hkFile };

// One folder's or file's cell in the map of folders and files. It refers to the scan tree,
// which must outlive the map's items (whoever frees the tree clears the map first).
struct THierItem {
  THierKind Kind = THierKind::hkDir;
  int Depth = 0;                        // 0 for the children of the scan root
  TRect Rect;                           // the cell, already moved in by its inset
  const TDirNode* Dir = nullptr;        // hkDir
  const TFileLeaf* FileLeaf = nullptr;  // hkFile
  int64_t Size = 0;                     // a folder's TotalSize, a file's Size
  std::string_view ExtLower;            // files: the extension key; folders: empty

  std::string FullPath() const;
  std::string PathKey() const;
};

// The whole scan tree, folders nested in folders down to the single files, each folder's cell
// shared among its contents by size. Files are coloured by extension; folders show only as
// frames. Items stay valid until the next Clear or build.
class THierTreemapLayout {
 public:
  THierTreemapLayout();
  THierTreemapLayout(const THierTreemapLayout&) = delete;
  THierTreemapLayout& operator=(const THierTreemapLayout&) = delete;

  // Forgets the items and the selection.
  void Clear();
  // Lays out everything below Root in TargetRect; Root itself gets no cell.
  void BuildFromRootSquarified(const TDirNode* Root, const TRect& TargetRect);
  void Paint(TTreemapCanvas& Canvas) const;
  // The innermost cell under P, or none.
  const THierItem* HitTest(TPoint P) const;

  void ClearSelection();
  void SetSingleSelected(const THierItem* It);
  void ToggleSelected(const THierItem* It);
  // Replaces the selection by these full paths; paths without an item stay selected.
  void SetSelectedByUpperPaths(std::span<const std::string> Paths);
  // Replaces the selection by every placed file of these extensions (any case, "" for none).
  void SetSelectedByExts(std::span<const std::string> ExtsLower);
  bool IsSelected(const THierItem& It) const { return FSelection.Contains(It.PathKey()); }
  const THierItem* Primary() const { return FSelection.Primary(); }

  // All items, every folder before its contents.
  const std::vector<THierItem>& Items() const { return FItems; }

 private:
  struct TBuilder;

  std::vector<THierItem> FItems;
  TPathIndex FByPathKey;
  TKeyMap<std::vector<size_t>> FByExt;  // extension key to its file items, in placement order
  TPathSelection<THierItem> FSelection;
};

}  // namespace dunstrel
