#pragma once

#include "scan/KeyColors.h"
#include "treemap/Geometry.h"

namespace dunstrel {

// What the maps draw with. The window's surface implements it on its back buffer; the maps
// neither know nor care what lies behind it.
class TTreemapCanvas {
 public:
  virtual ~TTreemapCanvas() = default;

  // The part of the surface that is being drawn.
  virtual TRect ClipRect() const = 0;
  // Fills R with a solid colour.
  virtual void FillRect(const TRect& R, TColor Color) = 0;
  // Outlines R with a pen of the given colour and width and a hollow brush, leaving the inside
  // as it is. A 1-pixel pen covers the border pixels of R (columns Left and Right - 1, rows
  // Top and Bottom - 1); a wider pen is centred on that border.
  virtual void FrameRect(const TRect& R, TColor PenColor, int PenWidth) = 0;
};

}  // namespace dunstrel
