#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "scan/KeyColors.h"
#include "treemap/Geometry.h"

namespace dunstrel {

class TDirNode;
class TFileLeaf;

// One child to be placed inside a folder's rectangle: a sub-folder or a file.
class TEntry {
 public:
  TEntry() = default;
  static TEntry ForDir(const TDirNode& Dir, int64_t Weight, TColor BaseColor = 0) {
    return TEntry(&Dir, true, Weight, BaseColor);
  }
  static TEntry ForFile(const TFileLeaf& File, int64_t Weight, TColor BaseColor = 0) {
    return TEntry(&File, false, Weight, BaseColor);
  }

  bool IsDir() const { return FIsDir; }
  const TDirNode* Dir() const { return FIsDir ? static_cast<const TDirNode*>(FObj) : nullptr; }
  const TFileLeaf* File() const { return FIsDir ? nullptr : static_cast<const TFileLeaf*>(FObj); }

  double Area = 0;       // square pixels
  int64_t Weight = 0;    // the bytes the area was computed from
  TColor BaseColor = 0;  // the colour the child is painted with, where the map knows it early

 private:
  TEntry(const void* Obj, bool IsDir, int64_t Weight, TColor BaseColor)
      : Weight(Weight), BaseColor(BaseColor), FObj(Obj), FIsDir(IsDir) {}

  // Small, since every file of a placed folder becomes one while its folder is laid out.
  const void* FObj = nullptr;
  bool FIsDir = false;
};

// A cell cut for Entries[Entry]; it may be empty.
struct TPlacedCell {
  size_t Entry = 0;
  TRect Cell;
};

// The sum, the smallest and the largest of the areas of a row of entries, summed in row order.
struct TRowMeasure {
  double Sum = 0;
  double Min = 0;
  double Max = 0;
  size_t Count = 0;

  void Add(double Area);
};

// The worst aspect ratio of the row's cells laid along a side of length W; 1e300 for an empty
// row, a row holding an area of 0, or no side at all.
double WorstAspect(const TRowMeasure& Row, double W);

// Cuts a strip for Entries[Begin, End) off Free (across its top when AlongTop, else down its
// left side), as thick as their areas times Scale need or, when TakesTheRest, all of Free;
// shrinks Free by it and cuts the strip into one cell per entry, in order. The cells cover the
// strip without gaps; an entry of less than half a pixel along it gets an empty cell.
void LayoutRow(std::span<const TEntry> Entries, size_t Begin, size_t End, double Scale, TRect& Free,
               bool AlongTop, bool TakesTheRest, std::vector<TPlacedCell>& Out);

// Places Entries, sorted largest area first, into Rect in rows along the shorter side of the
// free space, closing a row when one more entry would make its worst cell less square. After
// each row the entries left share the space left, and the row of the last entry of any area
// takes all of it, so the cells cover Rect unless it is used up before every entry is placed.
void Squarify(std::span<const TEntry> Entries, const TRect& Rect, std::vector<TPlacedCell>& Out);

// Gives every entry its share of Rect's area by weight, sorts them largest first and places
// them; Out receives the cells in placement order. Nothing is placed when the weights or the
// area do not add up to anything positive.
void ArrangeEntries(std::vector<TEntry>& Entries, const TRect& Rect, std::vector<TPlacedCell>& Out);

// The rectangle a placed cell's item gets: the cell moved in by one pixel from 10 x 10 pixels
// up, so that nesting shows; none when the cell or what is left of it is empty.
std::optional<TRect> ItemRectOfCell(const TRect& Cell);

}  // namespace dunstrel
