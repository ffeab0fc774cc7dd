#pragma once

#include <optional>

#include "treemap/Geometry.h"
#include "treemap/TreemapCanvas.h"

namespace dunstrel {

// The drawing rules every map shares.

// Black over the whole area being drawn: gaps between cells stay black.
void PaintBackground(TTreemapCanvas& Canvas);

// The face of a folder with nothing inside to show, whose cell stands for its own space.
inline constexpr TColor kFolderSpaceColor = 0x505050;

// A cell: its face (if any) one pixel inside the cell from 10 x 10 pixels up, so that
// neighbours stay apart, and a 1-pixel black frame from 6 x 6 pixels up. Empty cells draw
// nothing.
void PaintCell(TTreemapCanvas& Canvas, const TRect& Cell, std::optional<TColor> Face);

// The mark of a selected cell: a white frame 3 pixels wide.
void PaintSelectionFrame(TTreemapCanvas& Canvas, const TRect& Cell);

}  // namespace dunstrel
