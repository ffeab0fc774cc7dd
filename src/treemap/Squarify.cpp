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

void LayoutRow(std::span<const TEntry> Entries, size_t Begin, size_t End, double Scale, TRect& Free,
               bool AlongTop, bool TakesTheRest, std::vector<TPlacedCell>& Out) {
  const double S = SumOfAreas(Entries, Begin, End) * Scale;
  if (!(S > 0)) {
    return;
  }
  // The strip runs along one side of the free space and is cut off the other.
  const int64_t Along = std::max<int64_t>(1, AlongTop ? Width(Free) : Height(Free));
  const int64_t Room = AlongTop ? Height(Free) : Width(Free);
  const int64_t Thickness =
      TakesTheRest ? Room : std::min(Room, RoundPixelsAtLeastOne(S / static_cast<double>(Along)));
  TRect Strip = Free;
  if (AlongTop) {
    Strip.Bottom = ToCoordinate(int64_t{Free.Top} + Thickness);
    Free.Top = Strip.Bottom;
  } else {
    Strip.Right = ToCoordinate(int64_t{Free.Left} + Thickness);
    Free.Left = Strip.Right;
  }
  // The cells end where the running sum of their areas ends, rounded once: together they cover
  // the strip from end to end, whatever each one's rounding, and a cell that comes to less than
  // half a pixel is empty and placed as nothing.
  const int64_t First = AlongTop ? Strip.Left : Strip.Top;
  const int64_t Last = AlongTop ? Strip.Right : Strip.Bottom;
  const double Length = static_cast<double>(Last - First);
  double Running = 0;
  int64_t From = First;
  for (size_t I = Begin; I < End; ++I) {
    Running += Entries[I].Area * Scale;
    const int64_t To =
        I + 1 == End ? Last : std::min(Last, First + RoundPixels(Running / S * Length));
    Out.push_back({I, AlongTop ? MakeRect(From, Strip.Top, To, Strip.Bottom)
                               : MakeRect(Strip.Left, From, Strip.Right, To)});
    From = std::max(From, To);
  }
}

void Squarify(std::span<const TEntry> Entries, const TRect& Rect, std::vector<TPlacedCell>& Out) {
  // The row that holds the last entry of any area takes all the space that is left.
  size_t Positive = 0;
  double Remaining = 0;
  for (size_t I = 0; I < Entries.size(); ++I) {
    if (Entries[I].Area > 0) {
      Positive = I + 1;
      Remaining += Entries[I].Area;
    }
  }
  TRect Free = Rect;
  // The entries not yet placed share the space that is left as their areas share their sum, so
  // that a strip rounded thinner or thicker than its areas passes the difference on to all that
  // follow instead of leaving it to the last.
  const auto ScaleToFree = [&] {
    const double FreeArea = static_cast<double>(Width(Free)) * static_cast<double>(Height(Free));
    return Remaining > 0 && FreeArea > 0 ? FreeArea / Remaining : 0.0;
  };
  double Scale = ScaleToFree();
  size_t RowBegin = 0;
  TRowMeasure Row;
  for (size_t I = 0; I < Entries.size(); ++I) {
    const TRowMeasure Previous = Row;
    Row.Add(Entries[I].Area * Scale);
    const int64_t W = std::min(Width(Free), Height(Free));
    if (W <= 0) {
      return;  // the space is used up: nothing more fits, not even the open row
    }
    const double Side = static_cast<double>(W);
    if (Row.Count >= 2 && WorstAspect(Row, Side) > WorstAspect(Previous, Side)) {
      LayoutRow(Entries, RowBegin, I, Scale, Free, Width(Free) < Height(Free), I >= Positive, Out);
      Remaining -= SumOfAreas(Entries, RowBegin, I);
      Scale = ScaleToFree();
      RowBegin = I;
      Row = TRowMeasure();
      Row.Add(Entries[I].Area * Scale);
    }
  }
  if (RowBegin < Entries.size()) {
    LayoutRow(Entries, RowBegin, Entries.size(), Scale, Free, Width(Free) < Height(Free), true,
              Out);
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
