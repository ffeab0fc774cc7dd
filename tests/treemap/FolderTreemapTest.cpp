#include <gtest/gtest.h>

#include "treemap/FolderTreemap.h"
#include "treemap/TreemapTestSupport.h"

namespace dunstrel {
namespace {

using testing::AddFile;
using testing::AddFolder;
using testing::Fill;
using testing::Frame;
using testing::TRecordingCanvas;
using testing::TSelectedSet;

struct TFolderItemView {
  const TDirNode* Node;
  TRect Rect;
  int Depth;

  friend bool operator==(const TFolderItemView&, const TFolderItemView&) = default;
  friend void PrintTo(const TFolderItemView& V, std::ostream* Out) {
    *Out << V.Node->FullPath() << " depth " << V.Depth << " ";
    PrintTo(V.Rect, Out);
  }
};

std::vector<TFolderItemView> ItemsOf(const TFolderTreemapLayout& Map) {
  std::vector<TFolderItemView> Views;
  for (const TFolderMapItem& It : Map.Items()) {
    Views.push_back({It.Node, It.Rect, It.Depth});
  }
  return Views;
}

// The root holds "a" (3000 bytes, all in its sub-folder "x") and "b" (1000 bytes).
struct TWorkedExample {
  TWorkedExample() {
    AddFile(X, "data", 3000);
    AddFile(B, "data", 1000);
    Map.BuildFromRoot(&Root, TSizeCount::ApparentSize, {0, 0, 400, 300});
  }
  TDirNode Root{"/r"};
  TDirNode& A = AddFolder(Root, "a");
  TDirNode& X = AddFolder(A, "x");
  TDirNode& B = AddFolder(Root, "b");
  TFolderTreemapLayout Map;
};

TEST(FolderTreemapTest, NestsFoldersInsideTheirBands) {
  TWorkedExample Example;
  const std::vector<TFolderItemView> Expected = {
      {&Example.A, {1, 1, 299, 299}, 1},
      {&Example.X, {14, 14, 286, 286}, 2},  // its cell is the band's inside, (13, 13, 287, 287)
      {&Example.B, {301, 1, 399, 299}, 1},
  };
  EXPECT_EQ(ItemsOf(Example.Map), Expected);
  EXPECT_EQ(Example.Map.Items()[0].BaseColor, ColorForPath("/r/a"));
  EXPECT_EQ(Example.Map.Items()[1].BaseColor, ColorForPath("/r/a"));
  EXPECT_EQ(Example.Map.Items()[2].BaseColor, ColorForPath("/r/b"));
}

TEST(FolderTreemapTest, MarginsByDepth) {
  const int Margins[][2] = {{2, 12}, {3, 8}, {4, 6}, {5, 4}, {6, 2}, {9, 2}};
  for (const auto& [Depth, Margin] : Margins) {
    EXPECT_EQ(FolderMargin(Depth), Margin) << Depth;
  }
}

TEST(FolderTreemapTest, AFolderTooSmallForItsBandShowsNoSubFolders) {
  TDirNode Root("/r");
  TDirNode& Top = AddFolder(Root, "top");
  AddFile(AddFolder(Top, "sub"), "data", 10);
  struct TCase {
    TRect Rect;
    size_t Items;
  } Cases[] = {{{0, 0, 26, 100}, 1}, {{0, 0, 100, 26}, 1}, {{0, 0, 27, 100}, 2}};
  for (const TCase& Case : Cases) {
    TFolderTreemapLayout Map;
    Map.BuildFromRoot(&Root, TSizeCount::ApparentSize, Case.Rect);
    EXPECT_EQ(Map.Items().size(), Case.Items) << Case.Rect.Right << "x" << Case.Rect.Bottom;
  }
}

TEST(FolderTreemapTest, FilesInTheRootTakeNoSpace) {
  TWorkedExample Example;
  const std::vector<TFolderItemView> Before = ItemsOf(Example.Map);
  AddFile(Example.Root, "huge.iso", 1'000'000);
  Example.Map.BuildFromRoot(&Example.Root, TSizeCount::ApparentSize, {0, 0, 400, 300});
  EXPECT_EQ(ItemsOf(Example.Map), Before);

  TDirNode OnlyFiles("/f");
  AddFile(OnlyFiles, "a", 5);
  Example.Map.BuildFromRoot(&OnlyFiles, TSizeCount::ApparentSize, {0, 0, 400, 300});
  EXPECT_TRUE(Example.Map.Items().empty());
}

TEST(FolderTreemapTest, HitTestFindsTheDeepestFolder) {
  TWorkedExample Example;
  struct TCase {
    TPoint P;
    const TDirNode* Node;
  } Cases[] = {{{5, 5}, &Example.A},     {{13, 100}, &Example.A}, {{14, 100}, &Example.X},
               {{285, 285}, &Example.X}, {{350, 50}, &Example.B}, {{0, 0}, nullptr},
               {{300, 50}, nullptr}};
  for (const TCase& Case : Cases) {
    EXPECT_EQ(Example.Map.HitTest(Case.P), Case.Node) << Case.P.X << "," << Case.P.Y;
  }
}

TEST(FolderTreemapTest, PaintsDeeperLevelsDarkerAndFramesTheSelectedFolder) {
  TDirNode Root("/r");
  TDirNode& Top = AddFolder(Root, "top");
  TDirNode& Mid = AddFolder(Top, "mid");
  TDirNode& Deep = AddFolder(Mid, "deep");
  TDirNode& Deeper = AddFolder(Deep, "deeper");
  AddFile(Deeper, "data", 10);
  TFolderTreemapLayout Map;
  Map.BuildFromRoot(&Root, TSizeCount::ApparentSize, {0, 0, 400, 300});
  TRecordingCanvas Canvas({0, 0, 400, 300});
  Map.Paint(Canvas, TSelectedSet{&Deep});
  const TColor Base = ColorForPath("/r/top");
  const std::vector<testing::TDrawOp> Expected = {
      Fill({0, 0, 400, 300}, kBlack),       Fill({2, 2, 398, 298}, Base),
      Frame({1, 1, 399, 299}, kBlack, 1),   Fill({15, 15, 385, 285}, Base),
      Frame({14, 14, 386, 286}, kBlack, 1), Fill({24, 24, 376, 276}, Darkened(Base)),
      Frame({23, 23, 377, 277}, kBlack, 1), Fill({31, 31, 369, 269}, Darkened(Base)),
      Frame({30, 30, 370, 270}, kBlack, 1), Frame({23, 23, 377, 277}, kWhite, 3),
  };
  EXPECT_EQ(Canvas.Ops, Expected);

  // A selected folder without a cell gets no frame.
  Map.BuildFromRoot(&Root, TSizeCount::ApparentSize,
                    {0, 0, 40, 40});  // too small for "deep" inside the bands
  ASSERT_EQ(Map.Items().size(), 2u);
  Map.SetHoverNode(&Top);
  TRecordingCanvas Small({0, 0, 40, 40});
  Map.Paint(Small, TSelectedSet{&Deep});
  EXPECT_EQ(std::count_if(Small.Ops.begin(), Small.Ops.end(),
                          [](const testing::TDrawOp& Op) { return Op.Color == kWhite; }),
            0);
  // A build forgets the hovered folder.
  Map.BuildFromRoot(&Root, TSizeCount::ApparentSize, {0, 0, 400, 300});
  EXPECT_EQ(Map.HoverNode(), nullptr);
}

}  // namespace
}  // namespace dunstrel
