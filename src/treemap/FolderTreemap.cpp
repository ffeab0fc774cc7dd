#include "treemap/FolderTreemap.h"

#include "common/ReleaseStorage.h"
#include "treemap/CellPainting.h"
#include "treemap/NestedPlacement.h"

namespace dunstrel {

namespace {

// Depth 1 and 2 show their top-level folder's colour, deeper levels one darker shade.
constexpr int kLastUndarkenedDepth = 2;

}  // namespace

int FolderMargin(int Depth) {
  if (Depth <= 2) {
    return 12;
  }
  switch (Depth) {
    case 3:
      return 8;
    case 4:
      return 6;
    case 5:
      return 4;
    default:
      return 2;
  }
}

struct TFolderTreemapLayout::TBuilder {
  TFolderTreemapLayout& Map;
  const TSizeCount Count;

  void Place(const TEntry& Entry, const TRect& ItemRect, int Depth) {
    Map.FItems.push_back({ItemRect, Entry.Dir(), Depth, Entry.BaseColor});
  }

  bool EntriesInside(const TEntry& Folder, const TRect& ItemRect, int Depth,
                     std::vector<TEntry>& Entries, TRect& Space) {
    if (Folder.Dir()->Children.empty()) {
      return false;
    }
    Space = Shrunk(ItemRect, FolderMargin(Depth));
    if (IsEmpty(Space)) {
      return false;
    }
    for (const auto& Child : Folder.Dir()->Children) {
      if (Child->TotalIn(Count) > 0) {
        Entries.push_back(TEntry::ForDir(*Child, Child->TotalIn(Count), Folder.BaseColor));
      }
    }
    return true;
  }
};

void TFolderTreemapLayout::Clear() {
  ReleaseStorage(FItems);
  FHoverNode = nullptr;
}

void TFolderTreemapLayout::BuildFromRoot(const TDirNode* Root, TSizeCount Count,
                                         const TRect& TargetRect) {
  Clear();
  if (Root == nullptr || IsEmpty(TargetRect) || Root->Children.empty()) {
    return;
  }
  // Files directly in the root take no space: only its sub-folders are placed.
  std::vector<TEntry> Entries;
  for (const auto& Child : Root->Children) {
    if (Child->TotalIn(Count) > 0) {
      Entries.push_back(
          TEntry::ForDir(*Child, Child->TotalIn(Count), ColorForPath(Child->FullPath())));
    }
  }
  TBuilder Builder{*this, Count};
  PlaceNested(std::move(Entries), TargetRect, 1, Builder);
}

void TFolderTreemapLayout::Paint(TTreemapCanvas& Canvas, const IMapSelection& Selected) const {
  PaintBackground(Canvas);
  for (const TFolderMapItem& It : FItems) {
    PaintCell(Canvas, It.Rect,
              It.Depth <= kLastUndarkenedDepth ? It.BaseColor : Darkened(It.BaseColor));
  }
  if (Selected.Empty()) {
    return;
  }
  // Over everything, so that a selected folder's frame shows on top of the folders inside it.
  for (const TFolderMapItem& It : FItems) {
    if (Selected.Contains(*It.Node)) {
      PaintSelectionFrame(Canvas, It.Rect);
    }
  }
}

const TDirNode* TFolderTreemapLayout::HitTest(TPoint P) const {
  const TFolderMapItem* Item = InnermostAt(FItems, P);
  return Item != nullptr ? Item->Node : nullptr;
}

}  // namespace dunstrel
