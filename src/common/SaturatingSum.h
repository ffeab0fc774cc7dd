#pragma once

#include <cstdint>
#include <limits>

namespace dunstrel {

// Sums of sizes stop at the largest value instead of wrapping: two sparse files that each claim
// the largest size a file can have must not add up to a negative or tiny total.
inline int64_t SaturatingAdd(int64_t A, int64_t B) {
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
  if (B > 0 && A > kMax - B) {
    return kMax;
  }
  if (B < 0 && A < kMin - B) {
    return kMin;
  }
  return A + B;
}

}  // namespace dunstrel
