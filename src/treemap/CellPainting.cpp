#include "treemap/CellPainting.h"

namespace dunstrel {

namespace {

constexpr int64_t kInsetFrom = 10;
constexpr int64_t kOutlineFrom = 6;
constexpr int kSelectionPenWidth = 3;

}  // namespace

void PaintBackground(TTreemapCanvas& Canvas) {
  Canvas.FillRect(Canvas.ClipRect(), kBlack);
}

void PaintCell(TTreemapCanvas& Canvas, const TRect& Cell, std::optional<TColor> Face) {
  if (IsEmpty(Cell)) {
    return;
  }
  const int64_t W = Width(Cell);
  const int64_t H = Height(Cell);
  if (Face) {
    const TRect FaceRect = W >= kInsetFrom && H >= kInsetFrom ? Shrunk(Cell, 1) : Cell;
    if (!IsEmpty(FaceRect)) {
      Canvas.FillRect(FaceRect, *Face);
    }
  }
  if (W >= kOutlineFrom && H >= kOutlineFrom) {
    Canvas.FrameRect(Cell, kBlack, 1);
  }
}

void PaintSelectionFrame(TTreemapCanvas& Canvas, const TRect& Cell) {
  Canvas.FrameRect(Cell, kWhite, kSelectionPenWidth);
}

}  // namespace dunstrel
