#include "treemap/FlatTreemap.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "common/Rounding.h"
#include "treemap/CellPainting.h"
#include "treemap/PixelRounding.h"

namespace dunstrel {

namespace {

constexpr int64_t kShortestRow = 8;
constexpr int64_t kLongestRow = 48;

// A file to place, with what the build needs of it, so that the sort and the placement do not
// go back to the scan tree for every comparison.
struct TSizedFile {
  int64_t Size;
  const TFileLeaf* File;
  uint32_t ExtSlot;  // its extension's slot in the build's list of extension texts
};

// Files of one extension share one extension text in the scan's store, so each text is keyed
// only once however many files carry it.
class TExtSlots {
 public:
  uint32_t SlotOf(const std::string& Text) {
    if (&Text == FLastText) {
      return FLastSlot;
    }
    const auto [Found, Added] = FSlotOfText.try_emplace(&Text, FTexts.size());
    if (Added) {
      FTexts.push_back(&Text);
    }
    FLastText = &Text;
    FLastSlot = Found->second;
    return FLastSlot;
  }
  size_t Count() const { return FTexts.size(); }
  const std::string& Text(uint32_t Slot) const { return *FTexts[Slot]; }

 private:
  std::unordered_map<const std::string*, uint32_t> FSlotOfText;
  std::vector<const std::string*> FTexts;
  const std::string* FLastText = nullptr;
  uint32_t FLastSlot = 0;
};

}  // namespace

TTreemapLayout::TTreemapLayout()
    : FByPath(
          [this](size_t Index, std::string& Out) { FItems[Index].File().AppendFullPath(Out); }) {}

void TTreemapLayout::Clear() {
  std::vector<TTreemapItem>().swap(FItems);
  FSelection.Clear();
  FByPath.Reset(0);
  FByExtLargest.clear();
}

void TTreemapLayout::BuildFromFiles(std::span<const TFileLeaf* const> Files,
                                    const TRect& TargetRect) {
  Clear();
  if (IsEmpty(TargetRect) || Files.empty()) {
    return;
  }

  std::vector<TSizedFile> Sorted;
  Sorted.reserve(Files.size());
  TExtSlots Exts;
  int64_t Total = 0;
  bool InOrder = true;
  for (const TFileLeaf* File : Files) {
    if (File == nullptr) {
      continue;
    }
    InOrder = InOrder && (Sorted.empty() || File->Size <= Sorted.back().Size);
    Sorted.push_back({File->Size, File, Exts.SlotOf(File->Ext())});
    Total += File->Size;
  }
  // The window hands the files over sorted by size already.
  if (!InOrder) {
    std::sort(Sorted.begin(), Sorted.end(),
              [](const TSizedFile& A, const TSizedFile& B) { return A.Size > B.Size; });
  }
  if (Total <= 0) {
    return;
  }

  const int64_t Count = static_cast<int64_t>(Sorted.size());
  const int64_t RowLength =
      std::clamp(static_cast<int64_t>(RoundHalfEven(std::sqrt(static_cast<double>(Count)))),
                 kShortestRow, kLongestRow);
  const double RectWidth = static_cast<double>(Width(TargetRect));
  const double RectHeight = static_cast<double>(Height(TargetRect));
  const double TotalBytes = static_cast<double>(Total);

  // Per extension slot: the largest item so far; the first placed wins among equal sizes.
  constexpr size_t kNoItem = static_cast<size_t>(-1);
  std::vector<size_t> LargestOfSlot(Exts.Count(), kNoItem);
  std::vector<int64_t> LargestSizeOfSlot(Exts.Count(), 0);

  FItems.reserve(Sorted.size());
  int64_t Y = TargetRect.Top;
  for (int64_t First = 0; First < Count; First += RowLength) {
    const int64_t Last = std::min(Count, First + RowLength);
    int64_t RowSum = 0;
    for (int64_t I = First; I < Last; ++I) {
      RowSum += Sorted[I].Size;
    }
    if (RowSum <= 0) {
      continue;
    }
    const double RowBytes = static_cast<double>(RowSum);
    const int64_t H = RoundPixelsAtLeastOne(RowBytes / TotalBytes * RectHeight);
    const int64_t CellBottom = std::min<int64_t>(TargetRect.Bottom, Y + H);
    int64_t X = TargetRect.Left;
    for (int64_t I = First; I < Last; ++I) {
      const TSizedFile& File = Sorted[I];
      const int64_t W =
          RoundPixelsAtLeastOne(static_cast<double>(File.Size) / RowBytes * RectWidth);
      FItems.emplace_back(MakeRect(X, Y, std::min<int64_t>(TargetRect.Right, X + W), CellBottom),
                          *File.File);
      size_t& Largest = LargestOfSlot[File.ExtSlot];
      if (Largest == kNoItem || LargestSizeOfSlot[File.ExtSlot] < File.Size) {
        Largest = FItems.size() - 1;
        LargestSizeOfSlot[File.ExtSlot] = File.Size;
      }
      X += W;
    }
    Y += H;
  }

  for (uint32_t Slot = 0; Slot < LargestOfSlot.size(); ++Slot) {
    const size_t Item = LargestOfSlot[Slot];
    if (Item == kNoItem) {
      continue;
    }
    // Two texts may share a key (leaves of two scans): the larger item, then the earlier, wins.
    const auto [Found, Added] = FByExtLargest.try_emplace(ExtKey(Exts.Text(Slot)), Item);
    const TTreemapItem& Held = FItems[Found->second];
    if (!Added && (Held.Size() < FItems[Item].Size() ||
                   (Held.Size() == FItems[Item].Size() && Item < Found->second))) {
      Found->second = Item;
    }
  }
  FByPath.Reset(FItems.size());
}

void TTreemapLayout::Paint(TTreemapCanvas& Canvas) const {
  PaintBackground(Canvas);
  const std::vector<size_t> Selected = FByPath.FindAllOf(FSelection.Keys());
  auto NextSelected = Selected.begin();
  // Neighbouring files often share an extension: keep the last colour.
  const std::string* LastExt = nullptr;
  TColor LastColor = 0;
  for (size_t I = 0; I < FItems.size(); ++I) {
    const TTreemapItem& Item = FItems[I];
    const bool IsSelected = NextSelected != Selected.end() && *NextSelected == I;
    if (IsSelected) {
      ++NextSelected;
    }
    if (IsEmpty(Item.Rect)) {
      continue;
    }
    if (&Item.Ext() != LastExt) {
      LastExt = &Item.Ext();
      LastColor = ColorForExt(*LastExt);
    }
    PaintCell(Canvas, Item.Rect, LastColor);
    // Drawn with its own cell: cells painted later may cover the part outside it.
    if (IsSelected) {
      PaintSelectionFrame(Canvas, Item.Rect);
    }
  }
}

const TTreemapItem* TTreemapLayout::HitTest(TPoint P) const {
  for (const TTreemapItem& Item : FItems) {
    if (Contains(Item.Rect, P)) {
      return &Item;
    }
  }
  return nullptr;
}

void TTreemapLayout::ClearSelection() {
  FSelection.Clear();
}

void TTreemapLayout::SetSingleSelected(const TTreemapItem* Item) {
  FSelection.SetSingle(Item);
}

void TTreemapLayout::ToggleSelected(const TTreemapItem* Item) {
  FSelection.Toggle(Item);
}

void TTreemapLayout::SetSelectedByPaths(std::span<const std::string> Paths) {
  FSelection.SetPaths(Paths, [this](std::string_view Key) -> const TTreemapItem* {
    const std::optional<size_t> Index = FByPath.FindLast(Key);
    return Index ? &FItems[*Index] : nullptr;
  });
}

const TTreemapItem* TTreemapLayout::GetItemByPath(std::string_view AFullPath) const {
  const std::optional<size_t> Index = FByPath.FindLast(PathKey(AFullPath));
  return Index ? &FItems[*Index] : nullptr;
}

const TTreemapItem* TTreemapLayout::GetLargestItemByExt(std::string_view AExt) const {
  const auto Found = FByExtLargest.find(ExtKey(AExt));
  return Found == FByExtLargest.end() ? nullptr : &FItems[Found->second];
}

}  // namespace dunstrel
