#include "views/ImageCanvas.h"

#include <algorithm>

namespace dunstrel {

QRgb PixelOf(TColor Color) {
  return qRgb(static_cast<int>(Color & 0xFF), static_cast<int>((Color >> 8) & 0xFF),
              static_cast<int>((Color >> 16) & 0xFF));
}

TRect TImageCanvas::ClipRect() const {
  return {0, 0, FImage.width(), FImage.height()};
}

void TImageCanvas::FillRect(const TRect& R, TColor Color) {
  const int Left = std::max(R.Left, 0);
  const int Top = std::max(R.Top, 0);
  const int Right = std::min(R.Right, FImage.width());
  const int Bottom = std::min(R.Bottom, FImage.height());
  if (Right <= Left || Bottom <= Top) {
    return;
  }
  const QRgb Pixel = PixelOf(Color);
  for (int Y = Top; Y < Bottom; ++Y) {
    auto* Line = reinterpret_cast<QRgb*>(FImage.scanLine(Y));
    std::fill(Line + Left, Line + Right, Pixel);
  }
}

void TImageCanvas::FrameRect(const TRect& R, TColor PenColor, int PenWidth) {
  if (IsEmpty(R) || PenWidth < 1) {
    return;
  }
  // A pen wider than one pixel is centred on the border pixels of R.
  const int Before = (PenWidth - 1) / 2;
  const int After = PenWidth - 1 - Before;
  const TRect Outer = MakeRect(int64_t{R.Left} - Before, int64_t{R.Top} - Before,
                               int64_t{R.Right} + Before, int64_t{R.Bottom} + Before);
  const TRect Inner = MakeRect(int64_t{R.Left} + 1 + After, int64_t{R.Top} + 1 + After,
                               int64_t{R.Right} - 1 - After, int64_t{R.Bottom} - 1 - After);
  if (IsEmpty(Inner)) {
    FillRect(Outer, PenColor);
    return;
  }
  FillRect({Outer.Left, Outer.Top, Outer.Right, Inner.Top}, PenColor);
  FillRect({Outer.Left, Inner.Bottom, Outer.Right, Outer.Bottom}, PenColor);
  FillRect({Outer.Left, Inner.Top, Inner.Left, Inner.Bottom}, PenColor);
  FillRect({Inner.Right, Inner.Top, Outer.Right, Inner.Bottom}, PenColor);
}

}  // namespace dunstrel
