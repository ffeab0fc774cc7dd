#include <gtest/gtest.h>

#include <algorithm>
#include <cfenv>

#include "treemap/PixelRounding.h"
#include "treemap/Squarify.h"
#include "treemap/TreemapTestSupport.h"

namespace dunstrel {
namespace {

struct TWeightedCell {
  int64_t Weight;
  TRect Cell;

  friend bool operator==(const TWeightedCell&, const TWeightedCell&) = default;
  friend void PrintTo(const TWeightedCell& C, std::ostream* Out) {
    *Out << C.Weight << " at ";
    PrintTo(C.Cell, Out);
  }
};

std::vector<TWeightedCell> Arrange(const std::vector<int64_t>& Weights, const TRect& Rect) {
  std::vector<TEntry> Entries;
  for (const int64_t Weight : Weights) {
    Entries.emplace_back().Weight = Weight;
  }
  std::vector<TPlacedCell> Cells;
  ArrangeEntries(Entries, Rect, Cells);
  std::vector<TWeightedCell> Result;
  for (const TPlacedCell& Placed : Cells) {
    Result.push_back({Entries[Placed.Entry].Weight, Placed.Cell});
  }
  return Result;
}

TEST(SquarifyTest, WorkedExamples) {
  struct TCase {
    const char* Name;
    std::vector<int64_t> Weights;
    TRect Rect;
    std::vector<TWeightedCell> Cells;  // in placement order, empty cells included
  } Cases[] = {
      {"four equal: left column, then a row along the top",
       {1, 1, 1, 1},
       {0, 0, 100, 100},
       {{1, {0, 0, 50, 50}},
        {1, {0, 50, 50, 100}},
        {1, {50, 0, 100, 50}},
        {1, {50, 50, 100, 100}}}},
      {"seven of mixed weight, in no order",
       {2, 6, 1, 4, 6, 3, 2},
       {0, 0, 600, 400},
       {{6, {0, 0, 300, 200}},
        {6, {0, 200, 300, 400}},
        {4, {300, 0, 471, 233}},
        {3, {471, 0, 600, 233}},
        {2, {300, 233, 420, 400}},
        {2, {420, 233, 540, 400}},
        {1, {540, 233, 600, 400}}}},
      {"sorted largest first",
       {1, 3},
       {0, 0, 100, 50},
       {{3, {0, 0, 75, 50}}, {1, {75, 0, 100, 50}}}},
      {"one entry fills it all", {42}, {5, 6, 70, 80}, {{42, {5, 6, 70, 80}}}},
      {"one large, five thin down the right edge",
       {100, 1, 1, 1, 1, 1},
       {0, 0, 20, 10},
       {{100, {0, 0, 19, 10}},
        {1, {19, 0, 20, 2}},
        {1, {19, 2, 20, 4}},
        {1, {19, 4, 20, 6}},
        {1, {19, 6, 20, 8}},
        {1, {19, 8, 20, 10}}}},
      {"an area of 0 starts a row of its own that places nothing",
       {5, 0, 0},
       {0, 0, 10, 10},
       {{5, {0, 0, 10, 10}}}},
      {"nothing weighs anything", {0, 0}, {0, 0, 10, 10}, {}},
      {"no area", {1, 2}, {0, 0, 0, 10}, {}},
      {"space used up: the rest is dropped, the open row too",
       {200, 1, 1},
       {0, 0, 20, 10},
       {{200, {0, 0, 20, 10}}}},
  };
  for (const TCase& Case : Cases) {
    EXPECT_EQ(Arrange(Case.Weights, Case.Rect), Case.Cells) << Case.Name;
  }
}

TEST(SquarifyTest, RoundingLeavesNoPixelUncoveredAndNoneTwice) {
  // Areas that are no whole pixels: ten of 1.6 in a 4 x 4 square, and a strip of thin ones
  // whose widths would overrun it if each were rounded on its own.
  const struct TCase {
    std::vector<int64_t> Weights;
    TRect Rect;
  } Cases[] = {{std::vector<int64_t>(10, 1), {0, 0, 4, 4}},
               {{1000, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3}, {0, 0, 40, 30}},
               {{50, 40, 7, 7, 7, 2, 2, 2, 1, 1}, {3, 5, 97, 26}}};
  for (const TCase& Case : Cases) {
    std::vector<int> Covered(static_cast<size_t>(Width(Case.Rect) * Height(Case.Rect)));
    for (const TWeightedCell& Placed : Arrange(Case.Weights, Case.Rect)) {
      const TRect& C = Placed.Cell;
      for (int64_t Y = C.Top; Y < C.Bottom; ++Y) {
        for (int64_t X = C.Left; X < C.Right; ++X) {
          ++Covered[static_cast<size_t>((Y - Case.Rect.Top) * Width(Case.Rect) +
                                        (X - Case.Rect.Left))];
        }
      }
    }
    EXPECT_EQ(std::count(Covered.begin(), Covered.end(), 1), std::ssize(Covered))
        << ::testing::PrintToString(Case.Rect);
  }
  // Each of the ten gets a pixel at least.
  for (const TWeightedCell& Placed : Arrange(std::vector<int64_t>(10, 1), {0, 0, 4, 4})) {
    EXPECT_FALSE(IsEmpty(Placed.Cell));
  }
}

TEST(SquarifyTest, ManySmallEntriesEachKeepNearTheirShare) {
  // Thousands of strips each rounded to whole pixels: the rounding is shared by the rows that
  // follow, so none is left to the last entries and none runs out of space before them.
  const struct TCase {
    int Count;
    TRect Rect;
  } Cases[] = {{2000, {0, 0, 365, 255}}, {2000, {0, 0, 800, 255}}, {20000, {0, 0, 800, 255}}};
  for (const TCase& Case : Cases) {
    std::vector<TEntry> Entries(static_cast<size_t>(Case.Count));
    for (size_t I = 0; I < Entries.size(); ++I) {
      Entries[I].Weight = 900 + static_cast<int64_t>(I % 7) * 300;
    }
    std::vector<TPlacedCell> Cells;
    ArrangeEntries(Entries, Case.Rect, Cells);
    int Placed = 0;
    int FarFromShare = 0;  // cells of a share of 4 pixels or more, given under half or over twice
    for (const TPlacedCell& Cell : Cells) {
      const double Area = static_cast<double>(Width(Cell.Cell) * Height(Cell.Cell));
      const double Share = Entries[Cell.Entry].Area;
      Placed += Area > 0 ? 1 : 0;
      FarFromShare += Share >= 4 && (Area < Share / 2 || Area > Share * 2) ? 1 : 0;
    }
    EXPECT_EQ(Placed, Case.Count) << ::testing::PrintToString(Case.Rect);
    EXPECT_EQ(FarFromShare, 0) << Case.Count << " in " << ::testing::PrintToString(Case.Rect);
  }
}

TEST(SquarifyTest, WorstAspect) {
  TRowMeasure Empty;
  TRowMeasure Square;
  Square.Add(2500);
  Square.Add(2500);
  TRowMeasure WithZero = Square;
  WithZero.Add(0);
  EXPECT_EQ(WorstAspect(Empty, 100), 1e300);
  EXPECT_EQ(WorstAspect(WithZero, 100), 1e300);
  EXPECT_EQ(WorstAspect(Square, 0), 1e300);
  EXPECT_DOUBLE_EQ(WorstAspect(Square, 100), 1.0);  // two 50 x 50 cells
  EXPECT_DOUBLE_EQ(WorstAspect(Square, 50), 4.0);   // two 100 x 25 cells
}

TEST(SquarifyTest, ItemRectIsInsetFromTenPixels) {
  struct TCase {
    TRect Cell;
    std::optional<TRect> Item;
  } Cases[] = {
      {{0, 0, 10, 10}, TRect{1, 1, 9, 9}}, {{0, 0, 9, 10}, TRect{0, 0, 9, 10}},
      {{0, 0, 10, 9}, TRect{0, 0, 10, 9}}, {{3, 3, 4, 4}, TRect{3, 3, 4, 4}},
      {{0, 4, 1, 4}, std::nullopt},        {{5, 0, 4, 9}, std::nullopt},
  };
  for (const TCase& Case : Cases) {
    EXPECT_EQ(ItemRectOfCell(Case.Cell), Case.Item) << ::testing::PrintToString(Case.Cell);
  }
}

TEST(SquarifyTest, PixelsRoundHalvesToEvenInEveryRoundingMode) {
  struct TCase {
    double Value;
    int64_t Pixels;
  } Cases[] = {{2.5, 2}, {3.5, 4},   {10.0 / 3.0, 3},   {1.6, 2},
               {0.5, 0}, {-2.5, -2}, {1e300, 1LL << 40}};
  const int Modes[] = {FE_TONEAREST, FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO};
  const int Saved = std::fegetround();
  for (const int Mode : Modes) {
    std::fesetround(Mode);
    for (const TCase& Case : Cases) {
      EXPECT_EQ(RoundPixels(Case.Value), Case.Pixels) << Case.Value << " in mode " << Mode;
    }
  }
  std::fesetround(Saved);
  EXPECT_EQ(RoundPixelsAtLeastOne(0.2), 1);
}

}  // namespace
}  // namespace dunstrel
