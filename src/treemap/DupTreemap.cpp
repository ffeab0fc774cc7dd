#include "treemap/DupTreemap.h"

#include <utility>

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
  void EntriesOfFolder(const TDirNode& Folder, std::vector<TEntry>& Entries) const {
    for (const auto& Child : Folder.Children) {
      const int64_t Bytes = Map.DupBytes(Child.get());
      if (Bytes > 0) {
        Entries.push_back(TEntry::ForDir(*Child, Bytes));
      }
    }
    if (const auto Found = Map.FFilesOfFolder.find(&Folder); Found != Map.FFilesOfFolder.end()) {
      for (const TDupFile& Dup : Found->second) {
        Entries.push_back(TEntry::ForFile(*Dup.File, Dup.File->SizeIn(Map.FCount), Dup.Color));
      }
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
                     std::vector<TEntry>& Entries, TRect& Space) const {
    Space = ItemRect;
    EntriesOfFolder(*Folder.Dir(), Entries);
    return true;
  }
};

void TDupTreemapLayout::Clear() {
  ReleaseStorage(FItems);
  ReleaseStorage(FFilesOfFolder);
  ReleaseStorage(FDupBytes);
}

int64_t TDupTreemapLayout::DupBytes(const TDirNode* Node) const {
  const auto Found = FDupBytes.find(Node);
  return Found != FDupBytes.end() ? Found->second : 0;
}

void TDupTreemapLayout::FileDuplicates(const TDirNode& Root, std::span<const TDupFile> Files) {
  for (const TDupFile& Dup : Files) {
    FFilesOfFolder[&Dup.File->Parent()].push_back(Dup);
  }
  for (auto& [Folder, Dups] : FFilesOfFolder) {
    // In the folder's own order, as the other maps place its files.
    if (Dups.size() > 1) {
      std::unordered_map<const TFileLeaf*, TColor> ColorOf;
      ColorOf.reserve(Dups.size());
      for (const TDupFile& Dup : Dups) {
        ColorOf.emplace(Dup.File, Dup.Color);
      }
      Dups.clear();
      for (const TFileLeaf* File : Folder->Leaves) {
        if (const auto Found = ColorOf.find(File); Found != ColorOf.end()) {
          Dups.push_back({File, Found->second});
        }
      }
    }
    int64_t Bytes = 0;
    for (const TDupFile& Dup : Dups) {
      Bytes = SaturatingAdd(Bytes, Dup.File->SizeIn(FCount));
    }
    // Up to the root of the map, and no further.
    for (const TDirNode* Up = Folder; Up != nullptr; Up = Up->Parent()) {
      int64_t& Sum = FDupBytes[Up];
      Sum = SaturatingAdd(Sum, Bytes);
      if (Up == &Root) {
        break;
      }
    }
  }
}

void TDupTreemapLayout::BuildFromRootDuplicates(const TDirNode* Root,
                                                std::span<const TDupFile> Files, TSizeCount Count,
                                                const TRect& TargetRect) {
  Clear();
  FCount = Count;
  if (Root == nullptr || IsEmpty(TargetRect)) {
    return;
  }
  FileDuplicates(*Root, Files);
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
