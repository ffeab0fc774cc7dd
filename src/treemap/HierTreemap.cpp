#include "treemap/HierTreemap.h"

#include <unordered_map>

#include "common/Prefetch.h"
#include "common/ReleaseStorage.h"
#include "scan/KeyColors.h"
#include "treemap/CellPainting.h"
#include "treemap/NestedPlacement.h"

namespace dunstrel {

namespace {

// Sub-folders first, then files, each in stored order; nothing of 0 bytes.
bool EntriesOfFolder(const TDirNode& Folder, TSizeCount Count, std::vector<TEntry>& Entries) {
  if (Folder.TotalIn(Count) <= 0) {
    return false;
  }
  for (const auto& Child : Folder.Children) {
    if (Child->TotalIn(Count) > 0) {
      Entries.push_back(TEntry::ForDir(*Child, Child->TotalIn(Count)));
    }
  }
  const TLeafList& Leaves = Folder.Leaves;
  for (size_t I = 0; I < Leaves.size(); ++I) {
    if (I + kPrefetchAhead < Leaves.size()) {
      Prefetch(Leaves[I + kPrefetchAhead]);
    }
    if (const int64_t Size = Leaves[I]->SizeIn(Count); Size > 0) {
      Entries.push_back(TEntry::ForFile(*Leaves[I], Size));
    }
  }
  return true;
}

}  // namespace

std::string THierItem::FullPath() const {
  if (FileLeaf != nullptr) {
    return FileLeaf->FullPath();
  }
  return Dir != nullptr ? Dir->FullPath() : std::string();
}

struct THierTreemapLayout::TBuilder {
  THierTreemapLayout& Map;
  const TSizeCount Count;
  // Files of one extension share one extension text in the scan's store: colour each text once.
  std::unordered_map<const std::string*, TColor> ColorOfText;

  void Place(const TEntry& Entry, const TRect& ItemRect, int Depth) {
    THierItem& It = Map.FItems.emplace_back();
    It.Rect = ItemRect;
    It.Depth = Depth;
    if (Entry.IsDir()) {
      It.Kind = THierKind::hkDir;
      It.Dir = Entry.Dir();
      return;
    }
    It.Kind = THierKind::hkFile;
    It.FileLeaf = Entry.File();
    const std::string& Text = It.FileLeaf->Ext();
    auto Found = ColorOfText.find(&Text);
    if (Found == ColorOfText.end()) {
      Found = ColorOfText.emplace(&Text, ColorForKey(ExtKey(Text))).first;
    }
    It.Color = Found->second;
  }

  bool EntriesInside(const TEntry& Folder, const TRect& ItemRect, int /*Depth*/,
                     std::vector<TEntry>& Entries, TRect& Space) {
    Space = ItemRect;
    if (EntriesOfFolder(*Folder.Dir(), Count, Entries) && !Entries.empty()) {
      return true;
    }
    // Asked right after the folder's item was placed.
    Map.FItems.back().NothingInside = true;
    return false;
  }
};

void THierTreemapLayout::Clear() {
  ReleaseStorage(FItems);
}

void THierTreemapLayout::BuildFromRootSquarified(const TDirNode* Root, TSizeCount Count,
                                                 const TRect& TargetRect) {
  Clear();
  if (Root == nullptr || IsEmpty(TargetRect)) {
    return;
  }
  std::vector<TEntry> Entries;
  if (EntriesOfFolder(*Root, Count, Entries)) {
    TBuilder Builder{*this, Count, {}};
    PlaceNested(std::move(Entries), TargetRect, 0, Builder);
  }
}

void THierTreemapLayout::Paint(
    TTreemapCanvas& Canvas, const IMapSelection& Selected,
    const std::function<TColor(const TFileLeaf& File)>& FileColor) const {
  PaintBackground(Canvas);
  for (const THierItem& It : FItems) {
    if (It.Kind == THierKind::hkFile) {
      PaintCell(Canvas, It.Rect, FileColor ? FileColor(*It.FileLeaf) : It.Color);
    } else {
      PaintCell(Canvas, It.Rect,
                It.NothingInside ? std::optional<TColor>(kFolderSpaceColor) : std::nullopt);
    }
  }
  if (Selected.Empty()) {
    return;
  }
  // Over everything, so that a selected folder's frame shows on top of its contents.
  for (const THierItem& It : FItems) {
    if (It.Kind == THierKind::hkFile ? Selected.Contains(*It.FileLeaf)
                                     : Selected.Contains(*It.Dir)) {
      PaintSelectionFrame(Canvas, It.Rect);
    }
  }
}

const THierItem* THierTreemapLayout::HitTest(TPoint P) const {
  return InnermostAt(FItems, P);
}

}  // namespace dunstrel
