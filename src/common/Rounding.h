#pragma once

#include <cmath>

namespace dunstrel {

// Nearest integer, halves to the even neighbour (2.5 gives 2, 3.5 gives 4), whatever the
// floating-point rounding mode in force: floor and the subtraction below are exact.
inline double RoundHalfEven(double X) {
  const double Floor = std::floor(X);
  const double Fraction = X - Floor;
  if (Fraction > 0.5) {
    return Floor + 1.0;
  }
  if (Fraction < 0.5) {
    return Floor;
  }
  return std::fmod(Floor, 2.0) == 0.0 ? Floor : Floor + 1.0;
}

}  // namespace dunstrel
