#pragma once

#include <cstdint>

#include "common/Rounding.h"

namespace dunstrel {

// The one function that rounds pixel quantities (cell widths and heights, strip thicknesses):
// to the nearest integer with halves to the even neighbour, the same whatever floating-point
// rounding mode is in force. Values far beyond any canvas saturate, so that sums of a few of
// them stay well inside 64 bits.
inline int64_t RoundPixels(double Value) {
  constexpr double kLimit = 1099511627776.0;  // 2^40
  const double Rounded = RoundHalfEven(Value);
  if (!(Rounded > -kLimit)) {  // also NaN
    return -static_cast<int64_t>(kLimit);
  }
  if (Rounded > kLimit) {
    return static_cast<int64_t>(kLimit);
  }
  return static_cast<int64_t>(Rounded);
}

// Rounded, and at least one pixel: every placed file or folder keeps a visible extent.
inline int64_t RoundPixelsAtLeastOne(double Value) {
  const int64_t Rounded = RoundPixels(Value);
  return Rounded < 1 ? 1 : Rounded;
}

}  // namespace dunstrel
