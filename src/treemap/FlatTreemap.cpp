#include "treemap/FlatTreemap.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "common/ReleaseStorage.h"
#include "common/Rounding.h"
#include "common/SaturatingSum.h"
#include "treemap/CellPainting.h"
#include "treemap/PixelRounding.h"

namespace dunstrel {

namespace {

constexpr int64_t kShortestRow = 8;
constexpr int64_t kLongestRow = 48;

// A file to place with its size, so that the sort does not go back to the scan tree for every
// comparison.
struct TSizedFile {
  int64_t Size;
  const TFileLeaf* File;
};

}  // namespace

void TFlatTreemapLayout::Clear() {
  ReleaseStorage(FItems);
}

void TFlatTreemapLayout::BuildFromFiles(std::span<const TFileLeaf* const> Files,
                                        const TRect& TargetRect) {
  Clear();
  if (IsEmpty(TargetRect) || Files.empty()) {
    return;
  }

  int64_t Total = 0;
  int64_t Count = 0;
  bool InOrder = true;  // the window hands the files over sorted by size already
  int64_t Previous = INT64_MAX;
  for (const TFileLeaf* File : Files) {
    if (File == nullptr) {
      InOrder = false;
      continue;
    }
    const int64_t Size = File->Size();
    InOrder = InOrder && Size <= Previous;
    Previous = Size;
    Total = SaturatingAdd(Total, Size);
    ++Count;
  }
  if (Total <= 0) {
    return;
  }
  std::vector<TSizedFile> Sorted;
  if (!InOrder) {
    Sorted.reserve(static_cast<size_t>(Count));
    for (const TFileLeaf* File : Files) {
      if (File != nullptr) {
        Sorted.push_back({File->Size(), File});
      }
    }
    std::sort(Sorted.begin(), Sorted.end(),
              [](const TSizedFile& A, const TSizedFile& B) { return A.Size > B.Size; });
  }
  const auto SizeAt = [&](int64_t I) { return InOrder ? Files[I]->Size() : Sorted[I].Size; };
  const auto FileAt = [&](int64_t I) -> const TFileLeaf& {
    return InOrder ? *Files[I] : *Sorted[I].File;
  };

  const int64_t RowLength =
      std::clamp(static_cast<int64_t>(RoundHalfEven(std::sqrt(static_cast<double>(Count)))),
                 kShortestRow, kLongestRow);
  const double RectWidth = static_cast<double>(Width(TargetRect));
  const double RectHeight = static_cast<double>(Height(TargetRect));
  const double TotalBytes = static_cast<double>(Total);

  // Rows are at least one pixel high: with more rows than pixels, the rows below the edge, and
  // cells past the right edge, would be empty. Only cells that show are made, so that a scan of
  // millions of small files costs the map what the screen shows.
  int64_t Y = TargetRect.Top;
  for (int64_t First = 0; First < Count && Y < TargetRect.Bottom; First += RowLength) {
    const int64_t Last = std::min(Count, First + RowLength);
    int64_t RowSum = 0;
    for (int64_t I = First; I < Last; ++I) {
      RowSum = SaturatingAdd(RowSum, SizeAt(I));
    }
    if (RowSum <= 0) {
      continue;
    }
    const double RowBytes = static_cast<double>(RowSum);
    const int64_t H = RoundPixelsAtLeastOne(RowBytes / TotalBytes * RectHeight);
    const int64_t CellBottom = std::min<int64_t>(TargetRect.Bottom, Y + H);
    int64_t X = TargetRect.Left;
    for (int64_t I = First; I < Last && X < TargetRect.Right; ++I) {
      const int64_t W =
          RoundPixelsAtLeastOne(static_cast<double>(SizeAt(I)) / RowBytes * RectWidth);
      FItems.emplace_back(MakeRect(X, Y, std::min<int64_t>(TargetRect.Right, X + W), CellBottom),
                          FileAt(I));
      X += W;
    }
    Y += H;
  }
  FItems.shrink_to_fit();
}

void TFlatTreemapLayout::Paint(TTreemapCanvas& Canvas, const IMapSelection& Selected) const {
  PaintBackground(Canvas);
  const bool AnySelected = !Selected.Empty();
  // Neighbouring files often share an extension: keep the last colour.
  const std::string* LastExt = nullptr;
  TColor LastColor = 0;
  for (const TFlatMapItem& Item : FItems) {
    if (IsEmpty(Item.Rect)) {
      continue;
    }
    if (&Item.Ext() != LastExt) {
      LastExt = &Item.Ext();
      LastColor = ColorForExt(*LastExt);
    }
    PaintCell(Canvas, Item.Rect, LastColor);
    // Drawn with its own cell: cells painted later may cover the part outside it.
    if (AnySelected && Selected.Contains(Item.File())) {
      PaintSelectionFrame(Canvas, Item.Rect);
    }
  }
}

const TFlatMapItem* TFlatTreemapLayout::HitTest(TPoint P) const {
  for (const TFlatMapItem& Item : FItems) {
    if (Contains(Item.Rect, P)) {
      return &Item;
    }
  }
  return nullptr;
}

}  // namespace dunstrel
