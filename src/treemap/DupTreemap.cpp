#include "treemap/DupTreemap.h"

#include <utility>

#include "common/Prefetch.h"
#include "common/ReleaseStorage.h"
#include "common/SaturatingSum.h"
#include "treemap/CellPainting.h"
#include "treemap/NestedPlacement.h"

namespace dunstrel {

std::string TDupItem::FullPath() const {
  if (FileLeaf != nullptr) {
    return FileLeaf->FullPath();
  }
  return Dir != nullptr ? Dir->FullPath() : std::string();
}

struct TDupTreemapLayout::TBuilder {
  TDupTreemapLayout& Map;

  // Sub-folders holding duplicates first, then the duplicate files, each in stored order. A
  // duplicate of 0 bytes gets an entry of no area, which is never placed.
  void EntriesOfFolder(const TDirNode& Folder, std::vector<TEntry>& Entries) {
    for (const auto& Child : Folder.Children) {
      const int64_t Bytes = Map.DupBytes(Child.get());
      if (Bytes > 0) {
        Entries.push_back(TEntry::ForDir(*Child, Bytes));
      }
    }
    for (const TDupFile& Dup : Map.FDuplicates.FilesIn(Folder)) {
      Entries.push_back(TEntry::ForFile(*Dup.File, Dup.File->SizeIn(Map.FCount), Dup.Color));
    }
  }

  void Place(const TEntry& Entry, const TRect& ItemRect, int Depth) {
    TDupItem& It = Map.FItems.emplace_back();
    It.Rect = ItemRect;
    It.Depth = Depth;
    if (Entry.IsDir()) {
      It.Kind = TDupKind::dkDir;
      It.Dir = Entry.Dir();
      It.Size = Map.DupBytes(It.Dir);
      It.Color = kSilver;
    } else {
      It.Kind = TDupKind::dkFile;
      It.FileLeaf = Entry.File();
      It.Size = It.FileLeaf->SizeIn(Map.FCount);
      It.Color = Entry.BaseColor;
    }
  }

  bool EntriesInside(const TEntry& Folder, const TRect& ItemRect, int /*Depth*/,
                     std::vector<TEntry>& Entries, TRect& Space) {
    Space = ItemRect;
    EntriesOfFolder(*Folder.Dir(), Entries);
    return true;
  }
};

void TDupTreemapLayout::Clear() {
  ReleaseStorage(FItems);
  FDuplicates = TDupFileIndex();
  ReleaseStorage(FDupBytesMemo);
}

int64_t TDupTreemapLayout::DupBytes(const TDirNode* Node) {
  if (Node == nullptr) {
    return 0;
  }
  if (const auto Found = FDupBytesMemo.find(Node); Found != FDupBytesMemo.end()) {
    return Found->second;
  }
  // Sums bottom-up with a stack of its own: trees can be far deeper than the call stack.
  struct TPending {
    const TDirNode* Folder;
    size_t NextChild;
    int64_t Bytes;  // of the files directly in it and of the sub-folders summed so far
  };
  std::vector<TPending> Pending{{Node, 0, 0}};
  while (true) {
    TPending& Top = Pending.back();
    if (Top.NextChild == 0) {
      for (const auto& Child : Top.Folder->Children) {
        Prefetch(Child.get());
      }
    }
    if (Top.NextChild < Top.Folder->Children.size()) {
      const TDirNode* Child = Top.Folder->Children[Top.NextChild++].get();
      if (const auto Known = FDupBytesMemo.find(Child); Known != FDupBytesMemo.end()) {
        Top.Bytes = SaturatingAdd(Top.Bytes, Known->second);
      } else {
        Pending.push_back({Child, 0, 0});
      }
      continue;
    }
    int64_t Bytes = Top.Bytes;
    for (const TDupFile& Dup : FDuplicates.FilesIn(*Top.Folder)) {
      Bytes = SaturatingAdd(Bytes, Dup.File->SizeIn(FCount));
    }
    FDupBytesMemo.emplace(Top.Folder, Bytes);
    Pending.pop_back();
    if (Pending.empty()) {
      return Bytes;
    }
    Pending.back().Bytes = SaturatingAdd(Pending.back().Bytes, Bytes);
  }
}

void TDupTreemapLayout::BuildFromRootDuplicates(const TDirNode* Root,
                                                const TColorByPathKey& ColorByPathKey,
                                                TSizeCount Count, const TRect& TargetRect) {
  Clear();
  FCount = Count;
  if (Root == nullptr || IsEmpty(TargetRect)) {
    return;
  }
  FDuplicates = TDupFileIndex(ColorByPathKey);
  if (DupBytes(Root) > 0) {
    TBuilder Builder{*this};
    std::vector<TEntry> Entries;
    Builder.EntriesOfFolder(*Root, Entries);
    PlaceNested(std::move(Entries), TargetRect, 0, Builder);
  }
}

void TDupTreemapLayout::Paint(TTreemapCanvas& Canvas, const IMapSelection& Selected) const {
  PaintBackground(Canvas);
  // A folder's silver is covered by its contents and shows only in the gaps they leave.
  for (const TDupItem& It : FItems) {
    PaintCell(Canvas, It.Rect, It.Color);
  }
  if (Selected.Empty()) {
    return;
  }
  for (const TDupItem& It : FItems) {
    if (It.Kind == TDupKind::dkFile ? Selected.Contains(*It.FileLeaf)
                                    : Selected.Contains(*It.Dir)) {
      PaintSelectionFrame(Canvas, It.Rect);
    }
  }
}

const TDupItem* TDupTreemapLayout::HitTest(TPoint P) const {
  return InnermostAt(FItems, P);
}

}  // namespace dunstrel
