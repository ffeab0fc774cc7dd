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
bool EntriesOfFolder(const TDirNode& Folder, std::vector<TEntry>& Entries) {
  if (Folder.TotalSize <= 0) {
    return false;
  }
  for (const auto& Child : Folder.Children) {
    if (Child->TotalSize > 0) {
      Entries.push_back(TEntry::ForDir(*Child, Child->TotalSize));
    }
  }
  const std::vector<TFileLeaf*>& Leaves = Folder.Leaves;
  for (size_t I = 0; I < Leaves.size(); ++I) {
    if (I + kPrefetchAhead < Leaves.size()) {
      Prefetch(Leaves[I + kPrefetchAhead]);
    }
    if (Leaves[I]->Size > 0) {
      Entries.push_back(TEntry::ForFile(*Leaves[I], Leaves[I]->Size));
    }
  }
  return true;
}

}  // namespace

std::string THierItem::FullPath() const {
  return PathOf({Dir, FileLeaf});
}

std::string THierItem::PathKey() const {
  return dunstrel::PathKey(FullPath());
}

struct THierTreemapLayout::TBuilder {
  THierTreemapLayout& Map;
  // Files of one extension share one extension text in the scan's store: key each text once.
  std::unordered_map<const std::string*, TKeyMap<std::vector<size_t>>::iterator> ExtOfText;

  void Place(const TEntry& Entry, const TRect& ItemRect, int Depth) {
    THierItem& It = Map.FItems.emplace_back();
    It.Rect = ItemRect;
    It.Depth = Depth;
    if (Entry.IsDir()) {
      It.Kind = THierKind::hkDir;
      It.Dir = Entry.Dir();
      It.Size = It.Dir->TotalSize;
      return;
    }
    It.Kind = THierKind::hkFile;
    It.FileLeaf = Entry.File();
    It.Size = It.FileLeaf->Size;
    const std::string& Text = It.FileLeaf->Ext();
    auto Found = ExtOfText.find(&Text);
    if (Found == ExtOfText.end()) {
      Found = ExtOfText.emplace(&Text, Map.FByExt.try_emplace(ExtKey(Text)).first).first;
    }
    It.ExtLower = Found->second->first;
    Found->second->second.push_back(Map.FItems.size() - 1);
  }

  bool EntriesInside(const TEntry& Folder, const TRect& ItemRect, int /*Depth*/,
                     std::vector<TEntry>& Entries, TRect& Space) {
    Space = ItemRect;
    return EntriesOfFolder(*Folder.Dir(), Entries);
  }
};

THierTreemapLayout::THierTreemapLayout()
    : FByPathKey([this](size_t Index) {
        return TPathOwner{FItems[Index].Dir, FItems[Index].FileLeaf};
      }) {}

void THierTreemapLayout::Clear() {
  ReleaseStorage(FItems);
  FByPathKey.Reset(0);
  ReleaseStorage(FByExt);
  FSelection.Clear();
}

void THierTreemapLayout::BuildFromRootSquarified(const TDirNode* Root, const TRect& TargetRect) {
  Clear();
  if (Root == nullptr || IsEmpty(TargetRect)) {
    return;
  }
  std::vector<TEntry> Entries;
  if (EntriesOfFolder(*Root, Entries)) {
    TBuilder Builder{*this, {}};
    PlaceNested(std::move(Entries), TargetRect, 0, Builder);
  }
  FByPathKey.Reset(FItems.size());
}

void THierTreemapLayout::Paint(TTreemapCanvas& Canvas) const {
  PaintBackground(Canvas);
  for (const THierItem& It : FItems) {
    if (It.Kind == THierKind::hkFile) {
      PaintCell(Canvas, It.Rect, ColorForKey(It.ExtLower));
    } else {
      PaintCell(Canvas, It.Rect, std::nullopt);
    }
  }
  // Over everything, so that a selected folder's frame shows on top of its contents.
  for (const size_t Index : FByPathKey.FindAllOf(FSelection.Keys())) {
    PaintSelectionFrame(Canvas, FItems[Index].Rect);
  }
}

const THierItem* THierTreemapLayout::HitTest(TPoint P) const {
  return InnermostAt(FItems, P);
}

void THierTreemapLayout::ClearSelection() {
  FSelection.Clear();
}

void THierTreemapLayout::SetSingleSelected(const THierItem* It) {
  FSelection.SetSingle(It);
}

void THierTreemapLayout::ToggleSelected(const THierItem* It) {
  FSelection.Toggle(It);
}

void THierTreemapLayout::SetSelectedByUpperPaths(std::span<const std::string> Paths) {
  FSelection.SetPaths(Paths, [this](std::string_view Key) -> const THierItem* {
    const std::optional<size_t> Index = FByPathKey.FindLast(Key);
    return Index ? &FItems[*Index] : nullptr;
  });
}

void THierTreemapLayout::SetSelectedByExts(std::span<const std::string> ExtsLower) {
  FSelection.Clear();
  for (const std::string& Ext : ExtsLower) {
    const auto Found = FByExt.find(ExtKey(Ext));
    if (Found == FByExt.end()) {
      continue;
    }
    for (const size_t Index : Found->second) {
      FSelection.AddKeepingPrimary(FItems[Index]);
    }
  }
}

}  // namespace dunstrel
