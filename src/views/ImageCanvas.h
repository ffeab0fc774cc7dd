#pragma once

#include <QImage>

#include "treemap/TreemapCanvas.h"

namespace dunstrel {

// A map's canvas on a 32-bit image, writing the pixels directly: a map of a million files makes
// a million fills, far too many for a painter's per-call cost.
class TImageCanvas final : public TTreemapCanvas {
 public:
  explicit TImageCanvas(QImage& Image) : FImage(Image) {}

  TRect ClipRect() const override;
  void FillRect(const TRect& R, TColor Color) override;
  void FrameRect(const TRect& R, TColor PenColor, int PenWidth) override;

 private:
  QImage& FImage;
};

// A map colour (0x00BBGGRR) as the image's pixel value.
QRgb PixelOf(TColor Color);

}  // namespace dunstrel
