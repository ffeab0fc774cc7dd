#include "treemap/Squarify.h"

#include <algorithm>

#include "treemap/PixelRounding.h"

namespace dunstrel {

namespace {

constexpr double kNoRatio = 1e300;
constexpr int64_t kInsetFrom = 10;

double SumOfAreas(std::span<const TEntry> Entries, size_t Begin, size_t End) {
  double Sum = 0;
  for (size_t I = Begin; I < End; ++I) {
    Sum += Entries[I].Area;
  }
  return Sum;
}

}  // namespace

void TRowMeasure::Add(double Area) {
  Sum += Area;
  Min = Count == 0 ? Area : std::min(Min, Area);
  Max = Count == 0 ? Area : std::max(Max, Area);
  ++Count;
}

double WorstAspect(const TRowMeasure& Row, double W) {
  if (Row.Count == 0 || !(Row.Min > 0) || !(W > 0)) {
    return kNoRatio;
  }
  const double W2 = W * W;
  const double S2 = Row.Sum * Row.Sum;
  return std::max(W2 * Row.Max / S2, S2 / (W2 * Row.Min));
}

void LayoutRow(std::span<const TEntry> Entries, size_t Begin, size_t End, TRect& Free,
               bool AlongTop, std::vector<TPlacedCell>& Out) {
  const double S = SumOfAreas(Entries, Begin, End);
  if (!(S > 0)) {
    return;
  }
  const int64_t FW = std::max<int64_t>(1, Width(Free));
  const int64_t FH = std::max<int64_t>(1, Height(Free));
  if (AlongTop) {
    const int64_t T = RoundPixelsAtLeastOne(S / static_cast<double>(FW));
    const TRect Strip =
        MakeRect(Free.Left, Free.Top, Free.Right, std::min<int64_t>(Free.Bottom, Free.Top + T));
    Free.Top = Strip.Bottom;
    const double StripHeight = static_cast<double>(std::max<int64_t>(1, Height(Strip)));
    int64_t X = Strip.Left;
    for (size_t I = Begin; I < End; ++I) {
      const int64_t CW = RoundPixelsAtLeastOne(Entries[I].Area / StripHeight);
      Out.push_back(
          {I, MakeRect(X, Strip.Top, std::min<int64_t>(Strip.Right, X + CW), Strip.Bottom)});
      X += CW;
    }
  } else {
    const int64_t T = RoundPixelsAtLeastOne(S / static_cast<double>(FH));
    const TRect Strip =
        MakeRect(Free.Left, Free.Top, std::min<int64_t>(Free.Right, Free.Left + T), Free.Bottom);
    Free.Left = Strip.Right;
    const double StripWidth = static_cast<double>(std::max<int64_t>(1, Width(Strip)));
    int64_t Y = Strip.Top;
    for (size_t I = Begin; I < End; ++I) {
      const int64_t CH = RoundPixelsAtLeastOne(Entries[I].Area / StripWidth);
      Out.push_back(
          {I, MakeRect(Strip.Left, Y, Strip.Right, std::min<int64_t>(Strip.Bottom, Y + CH))});
      Y += CH;
    }
  }
}

void Squarify(std::span<const TEntry> Entries, const TRect& Rect, std::vector<TPlacedCell>& Out) {
  TRect Free = Rect;
  size_t RowBegin = 0;
  TRowMeasure Row;
  for (size_t I = 0; I < Entries.size(); ++I) {
    const TRowMeasure Previous = Row;
    Row.Add(Entries[I].Area);
    const int64_t W = std::min(Width(Free), Height(Free));
    if (W <= 0) {
      return;  // the space is used up: nothing more fits, not even the open row
    }
    const double Side = static_cast<double>(W);
    if (Row.Count >= 2 && WorstAspect(Row, Side) > WorstAspect(Previous, Side)) {
      LayoutRow(Entries, RowBegin, I, Free, Width(Free) < Height(Free), Out);
      RowBegin = I;
      Row = TRowMeasure();
      Row.Add(Entries[I].Area);
    }
  }
  if (RowBegin < Entries.size()) {
    LayoutRow(Entries, RowBegin, Entries.size(), Free, Width(Free) < Height(Free), Out);
  }
}

void ArrangeEntries(std::vector<TEntry>& Entries, const TRect& Rect,
                    std::vector<TPlacedCell>& Out) {
  int64_t Total = 0;
  for (const TEntry& Entry : Entries) {
    Total += Entry.Weight;
  }
  const int64_t RectArea = IsEmpty(Rect) ? 0 : Width(Rect) * Height(Rect);
  if (Total <= 0 || RectArea <= 0) {
    return;
  }
  const double Area = static_cast<double>(RectArea);
  const double Sum = static_cast<double>(Total);
  for (TEntry& Entry : Entries) {
    Entry.Area = Area * (static_cast<double>(Entry.Weight) / Sum);
  }
  // The maps list sub-folders before files, and the window keeps both lists sorted by size,
  // so the entries are mostly two runs in order already, and merging them takes one pass.
  const auto Larger = [](const TEntry& A, const TEntry& B) { return A.Area > B.Area; };
  const auto FirstRunEnd = std::is_sorted_until(Entries.begin(), Entries.end(), Larger);
  if (std::is_sorted(FirstRunEnd, Entries.end(), Larger)) {
    std::inplace_merge(Entries.begin(), FirstRunEnd, Entries.end(), Larger);
  } else {
    std::sort(Entries.begin(), Entries.end(), Larger);
  }
  Squarify(Entries, Rect, Out);
}

std::optional<TRect> ItemRectOfCell(const TRect& Cell) {
  if (IsEmpty(Cell)) {
    return std::nullopt;
  }
  const bool Inset = Width(Cell) >= kInsetFrom && Height(Cell) >= kInsetFrom;
  const TRect ItemRect = Inset ? Shrunk(Cell, 1) : Cell;
  if (IsEmpty(ItemRect)) {
    return std::nullopt;
  }
  return ItemRect;
}

}  // namespace dunstrel
