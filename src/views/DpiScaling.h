#pragma once

#include "common/Rounding.h"

namespace dunstrel {

// A length designed at 96 pixels per inch, for a screen of Dpi pixels per inch.
inline int ScaleToDpi(int DesignPixels, double Dpi) {
  return static_cast<int>(RoundHalfEven(DesignPixels * Dpi / 96.0));
}

}  // namespace dunstrel
