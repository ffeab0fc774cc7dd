#include <gtest/gtest.h>

#include "treemap/FlatTreemap.h"
#include "treemap/TreemapTestSupport.h"

namespace dunstrel {
namespace {

using testing::AddFile;
using testing::Fill;
using testing::Frame;
using testing::TRecordingCanvas;
using testing::TSelectedSet;

// One folder holding files of the given sizes, named f0.txt, f1.txt, ...
struct TFiles {
  explicit TFiles(const std::vector<int64_t>& Sizes) {
    for (size_t I = 0; I < Sizes.size(); ++I) {
      List.push_back(&AddFile(Root, "f" + std::to_string(I) + ".txt", Sizes[I]));
    }
  }
  TDirNode Root{"/r"};
  std::vector<const TFileLeaf*> List;
};

std::vector<TRect> CellsOf(const TFlatTreemapLayout& Map) {
  std::vector<TRect> Cells;
  for (const TFlatMapItem& Item : Map.Items()) {
    Cells.push_back(Item.Rect);
  }
  return Cells;
}

TEST(FlatTreemapTest, RowsOfCells) {
  struct TCase {
    const char* Name;
    std::vector<int64_t> Sizes;
    TRect Rect;
    std::vector<TRect> Cells;
  } Cases[] = {
      {"one row, widths by size", {100, 300}, {0, 0, 100, 50}, {{0, 0, 75, 50}, {75, 0, 100, 50}}},
      {"3.33 rounds to 3; the last column stays black",
       {1, 1, 1},
       {0, 0, 10, 5},
       {{0, 0, 3, 5}, {3, 0, 6, 5}, {6, 0, 9, 5}}},
      {"at least 1 pixel; a cell past the edge is not made",
       {1, 1, 1},
       {0, 0, 2, 5},
       {{0, 0, 1, 5}, {1, 0, 2, 5}}},
      {"2.5 rounds to 2", {1, 1}, {0, 0, 5, 5}, {{0, 0, 2, 5}, {2, 0, 4, 5}}},
      {"3.5 rounds to 4", {1, 1}, {10, 20, 17, 25}, {{10, 20, 14, 25}, {14, 20, 17, 25}}},
      {"0 bytes in a row with a positive sum: 1 pixel",
       {1, 1, 1, 0},
       {0, 0, 10, 5},
       {{0, 0, 3, 5}, {3, 0, 6, 5}, {6, 0, 9, 5}, {9, 0, 10, 5}}},
      {"a row of 0 bytes gets no items",
       {3, 3, 3, 3, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0},
       {0, 0, 80, 40},
       {{0, 0, 15, 40},
        {15, 0, 30, 40},
        {30, 0, 45, 40},
        {45, 0, 60, 40},
        {60, 0, 65, 40},
        {65, 0, 70, 40},
        {70, 0, 75, 40},
        {75, 0, 80, 40}}},
  };
  for (const TCase& Case : Cases) {
    TFiles Files(Case.Sizes);
    TFlatTreemapLayout Map;
    Map.BuildFromFiles(Files.List, Case.Rect);
    EXPECT_EQ(CellsOf(Map), Case.Cells) << Case.Name;
  }
}

TEST(FlatTreemapTest, RowsHoldEightToFortyEightFilesAndAreAtLeastOnePixelHigh) {
  struct TCase {
    size_t Files;
    size_t RowLength;
  } Cases[] = {{20, 8}, {1000, 32}, {10000, 48}};
  for (const TCase& Case : Cases) {
    TFiles Files(std::vector<int64_t>(Case.Files, 1));
    TFlatTreemapLayout Map;
    Map.BuildFromFiles(Files.List, {0, 0, 4800, 30});
    const std::vector<TFlatMapItem>& Items = Map.Items();
    // Rows of one pixel at least: 30 of them fit.
    ASSERT_EQ(Items.size(), std::min(Case.Files, Case.RowLength * 30)) << Case.Files;
    EXPECT_EQ(Items[Case.RowLength - 1].Rect.Top, 0) << Case.Files;
    EXPECT_GT(Items[Case.RowLength].Rect.Top, 0) << Case.Files;
  }
  // Far more rows than pixels: every row is 1 pixel high, those below the edge make no cells.
  TFiles Many(std::vector<int64_t>(10000, 1));
  TFlatTreemapLayout Map;
  Map.BuildFromFiles(Many.List, {0, 0, 4800, 30});
  ASSERT_EQ(Map.Items().size(), 48u * 30);
  EXPECT_EQ(Map.Items().back().Rect, (TRect{4700, 29, 4800, 30}));
  // Row heights follow the rows' sums.
  std::vector<int64_t> Sizes(8, 3);
  Sizes.resize(16, 1);
  TFiles TwoRows(Sizes);
  Map.BuildFromFiles(TwoRows.List, {0, 0, 80, 40});
  EXPECT_EQ(Map.Items()[0].Rect, (TRect{0, 0, 10, 30}));
  EXPECT_EQ(Map.Items()[15].Rect, (TRect{70, 30, 80, 40}));
}

TEST(FlatTreemapTest, PlacesLargestFirstAndSkipsWhatCannotBePlaced) {
  TFiles Files({1, 5, 3});
  std::vector<const TFileLeaf*> WithGap = {Files.List[0], nullptr, Files.List[1], Files.List[2]};
  TFlatTreemapLayout Map;
  Map.BuildFromFiles(WithGap, {0, 0, 90, 10});
  ASSERT_EQ(Map.Items().size(), 3u);
  EXPECT_EQ(Map.Items()[0].Size(), 5);
  EXPECT_EQ(Map.Items()[0].DisplayText(), "f1.txt");
  EXPECT_EQ(Map.Items()[0].FullPath(), "/r/f1.txt");
  EXPECT_EQ(Map.Items()[2].Size(), 1);

  TFiles Empty({0, 0});
  struct TCase {
    const char* Name;
    std::span<const TFileLeaf* const> Files;
    TRect Rect;
  } Cases[] = {
      {"empty rectangle", Files.List, {0, 0, 0, 10}},
      {"no files", {}, {0, 0, 10, 10}},
      {"nothing weighs anything", Empty.List, {0, 0, 10, 10}},
  };
  for (const TCase& Case : Cases) {
    Map.BuildFromFiles(Files.List, {0, 0, 90, 10});
    Map.BuildFromFiles(Case.Files, Case.Rect);
    EXPECT_TRUE(Map.Items().empty()) << Case.Name;
    EXPECT_EQ(Map.HitTest({1, 1}), nullptr) << Case.Name;
  }
}

TEST(FlatTreemapTest, HitTestAtCellEdges) {
  TFiles Files({300, 100});
  TFlatTreemapLayout Map;
  Map.BuildFromFiles(Files.List, {0, 0, 100, 50});  // (0, 0, 75, 50) and (75, 0, 100, 50)
  const auto& Items = Map.Items();
  struct TCase {
    TPoint P;
    const TFlatMapItem* Item;
  } Cases[] = {
      {{0, 0}, &Items[0]}, {{74, 49}, &Items[0]}, {{75, 0}, &Items[1]}, {{99, 49}, &Items[1]},
      {{100, 0}, nullptr}, {{50, 50}, nullptr},   {{-1, 10}, nullptr},
  };
  for (const TCase& Case : Cases) {
    EXPECT_EQ(Map.HitTest(Case.P), Case.Item) << Case.P.X << "," << Case.P.Y;
  }
  TFiles Narrow({1, 1, 1});
  Map.BuildFromFiles(Narrow.List, {0, 0, 2, 5});
  EXPECT_EQ(Map.HitTest({2, 0}), nullptr);  // the third, empty cell is never hit
}

// The map keeps no selection: it frames what it is given, at any size it is laid out for.
TEST(FlatTreemapTest, FramesTheSelectedFilesAtEverySize) {
  TFiles Files({4, 3, 2, 1});
  const TSelectedSet Selected = {Files.List[1], Files.List[3]};
  TFlatTreemapLayout Map;
  for (const TRect Rect : {TRect{0, 0, 100, 10}, TRect{0, 0, 40, 60}}) {
    Map.BuildFromFiles(Files.List, Rect);
    TRecordingCanvas Canvas(Rect);
    Map.Paint(Canvas, Selected);
    std::vector<TRect> Framed;
    for (const testing::TDrawOp& Op : Canvas.Ops) {
      if (Op == Frame(Op.Rect, kWhite, 3)) {
        Framed.push_back(Op.Rect);
      }
    }
    EXPECT_EQ(Framed, (std::vector<TRect>{Map.Items()[1].Rect, Map.Items()[3].Rect}));
    TRecordingCanvas Plain(Rect);
    Map.Paint(Plain, NothingSelected());
    EXPECT_EQ(std::count(Plain.Ops.begin(), Plain.Ops.end(), Frame(Map.Items()[1].Rect, kWhite, 3)),
              0);
  }
}

// Two files whose names differ only in case are two files where the file system says so.
TEST(FlatTreemapTest, CaseTwinsAreTwoFilesWhereNamesAreCaseSensitive) {
  TDirNode Root("/r");
  std::vector<const TFileLeaf*> Files = {&AddFile(Root, "Makefile", 20),
                                         &AddFile(Root, "makefile", 10)};
  TFlatTreemapLayout Map;
  Map.BuildFromFiles(Files, {0, 0, 30, 20});
  const TFlatMapItem* Upper = &Map.Items()[0];
  const TFlatMapItem* Lower = &Map.Items()[1];
  // The selection names the file itself, never its spelling.
  TRecordingCanvas Canvas({0, 0, 30, 20});
  Map.Paint(Canvas, TSelectedSet{&Lower->File()});
  EXPECT_EQ(std::count(Canvas.Ops.begin(), Canvas.Ops.end(), Frame(Lower->Rect, kWhite, 3)), 1);
  EXPECT_EQ(std::count(Canvas.Ops.begin(), Canvas.Ops.end(), Frame(Upper->Rect, kWhite, 3)), 0);
}

TEST(FlatTreemapTest, PaintsFacesFramesAndSelectionInOnePass) {
  TDirNode Root("/r");
  const TColor Txt = ColorForExt(".txt");
  const TColor None = ColorForExt("");
  struct TCase {
    const char* Name;
    std::vector<int64_t> Sizes;
    TRect Rect;
    int Selected;  // item number, or -1
    std::vector<testing::TDrawOp> Ops;
  } Cases[] = {
      {"10 pixels: inset face and frame; 9 pixels: full face and frame",
       {10, 9},
       {0, 0, 19, 10},
       -1,
       {Fill({0, 0, 19, 10}, kBlack), Fill({1, 1, 9, 9}, Txt), Frame({0, 0, 10, 10}, kBlack, 1),
        Fill({10, 0, 19, 10}, Txt), Frame({10, 0, 19, 10}, kBlack, 1)}},
      {"6 pixels: framed; 5 pixels: no frame; selection frame right after its cell",
       {6, 5},
       {0, 0, 11, 6},
       1,
       {Fill({0, 0, 11, 6}, kBlack), Fill({0, 0, 6, 6}, Txt), Frame({0, 0, 6, 6}, kBlack, 1),
        Fill({6, 0, 11, 6}, Txt), Frame({6, 0, 11, 6}, kWhite, 3)}},
      {"empty cells draw nothing, even when selected",
       {1, 1, 1},
       {0, 0, 2, 5},
       2,
       {Fill({0, 0, 2, 5}, kBlack), Fill({0, 0, 1, 5}, Txt), Fill({1, 0, 2, 5}, Txt)}},
  };
  for (const TCase& Case : Cases) {
    TFiles Files(Case.Sizes);
    TFlatTreemapLayout Map;
    Map.BuildFromFiles(Files.List, Case.Rect);
    const TSelectedSet Selected =
        Case.Selected >= 0 ? TSelectedSet{&Map.Items()[static_cast<size_t>(Case.Selected)].File()}
                           : TSelectedSet{};
    TRecordingCanvas Canvas(Case.Rect);
    Map.Paint(Canvas, Selected);
    EXPECT_EQ(Canvas.Ops, Case.Ops) << Case.Name;
  }
  // A file without an extension has the colour of "(none)".
  std::vector<const TFileLeaf*> Bare = {&AddFile(Root, "LICENSE", 1)};
  TFlatTreemapLayout Map;
  Map.BuildFromFiles(Bare, {0, 0, 4, 4});
  TRecordingCanvas Canvas({0, 0, 4, 4});
  Map.Paint(Canvas, NothingSelected());
  EXPECT_EQ(Canvas.Ops.back(), Fill({0, 0, 4, 4}, None));
}

}  // namespace
}  // namespace dunstrel
