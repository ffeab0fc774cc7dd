#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

namespace dunstrel {

// A rectangle of canvas pixels; Right and Bottom are exclusive.
struct TRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;

  friend bool operator==(const TRect&, const TRect&) = default;
};

struct TPoint {
  int32_t X = 0;
  int32_t Y = 0;
};

// Extents and sums of coordinates are taken in 64 bits: the difference of two 32-bit
// coordinates does not always fit in 32.
inline int64_t Width(const TRect& R) {
  return int64_t{R.Right} - R.Left;
}
inline int64_t Height(const TRect& R) {
  return int64_t{R.Bottom} - R.Top;
}

inline bool IsEmpty(const TRect& R) {
  return R.Right <= R.Left || R.Bottom <= R.Top;
}

inline bool Contains(const TRect& R, TPoint P) {
  return R.Left <= P.X && P.X < R.Right && R.Top <= P.Y && P.Y < R.Bottom;
}

// The innermost of nested cells under P: the nested maps place a cell's contents after the cell
// itself, so it is the last item whose cell holds P.
template <typename TItem>
const TItem* InnermostAt(const std::vector<TItem>& Items, TPoint P) {
  for (auto It = Items.rbegin(); It != Items.rend(); ++It) {
    if (Contains(It->Rect, P)) {
      return &*It;
    }
  }
  return nullptr;
}

// A coordinate computed in 64 bits, saturated to the 32-bit range of a TRect.
inline int32_t ToCoordinate(int64_t Value) {
  return static_cast<int32_t>(std::clamp<int64_t>(Value, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

inline TRect MakeRect(int64_t Left, int64_t Top, int64_t Right, int64_t Bottom) {
  return {ToCoordinate(Left), ToCoordinate(Top), ToCoordinate(Right), ToCoordinate(Bottom)};
}

// R moved in by Margin pixels on every side; empty when R is too small for that.
inline TRect Shrunk(const TRect& R, int64_t Margin) {
  return MakeRect(int64_t{R.Left} + Margin, int64_t{R.Top} + Margin, int64_t{R.Right} - Margin,
                  int64_t{R.Bottom} - Margin);
}

}  // namespace dunstrel
