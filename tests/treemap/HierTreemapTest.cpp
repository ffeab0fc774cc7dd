#include <gtest/gtest.h>

#include "treemap/CellPainting.h"
#include "treemap/HierTreemap.h"
#include "treemap/TreemapTestSupport.h"

namespace dunstrel {
namespace {

using testing::AddFile;
using testing::AddFolder;
using testing::Fill;
using testing::Frame;
using testing::TRecordingCanvas;
using testing::TSelectedSet;

// The root holds "sub" (one file of 3000 bytes) and "f.txt" (1000 bytes).
struct TWorkedExample {
  TWorkedExample() {
    TDirNode& Sub = AddFolder(Root, "sub");
    AddFile(Sub, "inner.dat", 3000);
    AddFile(Root, "f.txt", 1000);
    Map.BuildFromRootSquarified(&Root, TSizeCount::ApparentSize, {0, 0, 400, 300});
  }
  TDirNode Root{"/r"};
  THierTreemapLayout Map;
};

TEST(HierTreemapTest, NestsFoldersAndFilesParentFirst) {
  TWorkedExample Example;
  struct TExpected {
    THierKind Kind;
    TRect Rect;
    int Depth;
    const char* FullPath;
    TColor Color;
  } Expected[] = {
      {THierKind::hkDir, {1, 1, 299, 299}, 0, "/r/sub", kBlack},
      {THierKind::hkFile, {2, 2, 298, 298}, 1, "/r/sub/inner.dat", ColorForExt(".dat")},
      {THierKind::hkFile, {301, 1, 399, 299}, 0, "/r/f.txt", ColorForExt(".txt")},
  };
  const std::vector<THierItem>& Items = Example.Map.Items();
  ASSERT_EQ(Items.size(), std::size(Expected));
  for (size_t I = 0; I < Items.size(); ++I) {
    EXPECT_EQ(Items[I].Kind, Expected[I].Kind) << I;
    EXPECT_EQ(Items[I].Rect, Expected[I].Rect) << I;
    EXPECT_EQ(Items[I].Depth, Expected[I].Depth) << I;
    EXPECT_EQ(Items[I].FullPath(), Expected[I].FullPath) << I;
    EXPECT_EQ(Items[I].Color, Expected[I].Color) << I;
    EXPECT_EQ(Items[I].Dir != nullptr, Expected[I].Kind == THierKind::hkDir) << I;
    EXPECT_EQ(Items[I].FileLeaf != nullptr, Expected[I].Kind == THierKind::hkFile) << I;
  }
}

TEST(HierTreemapTest, HitTestFindsTheInnermostCell) {
  TWorkedExample Example;
  const auto& Items = Example.Map.Items();
  struct TCase {
    TPoint P;
    const THierItem* Item;
  } Cases[] = {
      {{1, 5}, &Items[0]},      // the folder's own frame
      {{297, 297}, &Items[1]},  // the file inside it, never its folder
      {{150, 150}, &Items[1]}, {{301, 1}, &Items[2]}, {{398, 298}, &Items[2]}, {{0, 0}, nullptr},
      {{299, 10}, nullptr},    {{300, 10}, nullptr},  {{399, 10}, nullptr},
  };
  for (const TCase& Case : Cases) {
    EXPECT_EQ(Example.Map.HitTest(Case.P), Case.Item) << Case.P.X << "," << Case.P.Y;
  }
}

TEST(HierTreemapTest, NothingOfZeroBytesGetsACell) {
  TDirNode Root("/r");
  AddFile(Root, "a.txt", 10);
  const TFileLeaf& Zero = AddFile(Root, "zero.txt", 0);
  AddFolder(Root, "empty");
  THierTreemapLayout Map;
  Map.BuildFromRootSquarified(&Root, TSizeCount::ApparentSize, {0, 0, 50, 50});
  ASSERT_EQ(Map.Items().size(), 1u);
  TRecordingCanvas Canvas({0, 0, 50, 50});
  Map.Paint(Canvas, TSelectedSet{&Zero});
  EXPECT_EQ(std::count(Canvas.Ops.begin(), Canvas.Ops.end(), Frame({1, 1, 49, 49}, kWhite, 3)), 0);

  TDirNode Nothing("/n");
  AddFile(Nothing, "zero", 0);
  struct TCase {
    const char* Name;
    const TDirNode* Root;
    TRect Rect;
  } Cases[] = {{"no root", nullptr, {0, 0, 9, 9}},
               {"empty rectangle", &Root, {5, 5, 5, 9}},
               {"root of 0 bytes", &Nothing, {0, 0, 9, 9}}};
  for (const TCase& Case : Cases) {
    Map.BuildFromRootSquarified(Case.Root, TSizeCount::ApparentSize, Case.Rect);
    EXPECT_TRUE(Map.Items().empty()) << Case.Name;
  }
}

TEST(HierTreemapTest, SmallFolderIsNotInsetAndItsContentsCoverIt) {
  TDirNode Root("/r");
  AddFile(AddFolder(Root, "small"), "only", 5);
  THierTreemapLayout Map;
  Map.BuildFromRootSquarified(&Root, TSizeCount::ApparentSize, {0, 0, 9, 20});
  ASSERT_EQ(Map.Items().size(), 2u);
  EXPECT_EQ(Map.Items()[0].Rect, (TRect{0, 0, 9, 20}));
  EXPECT_EQ(Map.Items()[1].Rect, (TRect{0, 0, 9, 20}));
  EXPECT_EQ(Map.HitTest({0, 0}), &Map.Items()[1]);
}

TEST(HierTreemapTest, FramesSelectedFoldersWithoutTheirContentsAtEverySize) {
  TDirNode Root("/r");
  TDirNode& Docs = AddFolder(Root, "docs");
  AddFile(Docs, "a.jpg", 40);
  AddFile(Docs, "B.JPG", 30);
  const TFileLeaf& C = AddFile(Root, "c.png", 20);
  AddFile(Root, "README", 10);
  const TSelectedSet Selected = {&Docs, &C};
  THierTreemapLayout Map;
  for (const TRect Rect : {TRect{0, 0, 200, 100}, TRect{0, 0, 90, 300}}) {
    Map.BuildFromRootSquarified(&Root, TSizeCount::ApparentSize, Rect);
    TRecordingCanvas Canvas(Rect);
    Map.Paint(Canvas, Selected);
    std::vector<std::string> Framed;
    for (const THierItem& It : Map.Items()) {
      if (std::count(Canvas.Ops.begin(), Canvas.Ops.end(), Frame(It.Rect, kWhite, 3)) > 0) {
        Framed.push_back(It.FullPath());
      }
    }
    EXPECT_EQ(Framed, (std::vector<std::string>{"/r/docs", "/r/c.png"}));
  }
}

TEST(HierTreemapTest, AFolderWithNothingInsideToShowIsFilledNotLeftAsAHole) {
  // In the disk usage an empty folder, or one that could not be read, takes its own blocks.
  TDirNode Root("/r");
  TDirNode& Empty = AddFolder(Root, "empty");
  Empty.OwnDiskUsage = Empty.TotalDiskUsage = 4096;
  AddFile(Root, "f.txt", 4096);
  Root.TotalDiskUsage = 8192;
  THierTreemapLayout Map;
  Map.BuildFromRootSquarified(&Root, TSizeCount::DiskUsage, {0, 0, 400, 300});
  ASSERT_EQ(Map.Items().size(), 2U);
  TRecordingCanvas Canvas({0, 0, 400, 300});
  Map.Paint(Canvas, TSelectedSet{});
  const std::vector<testing::TDrawOp> Expected = {
      Fill({0, 0, 400, 300}, kBlack),       Fill({2, 2, 198, 298}, kFolderSpaceColor),
      Frame({1, 1, 199, 299}, kBlack, 1),   Fill({202, 2, 398, 298}, ColorForExt(".txt")),
      Frame({201, 1, 399, 299}, kBlack, 1),
  };
  EXPECT_EQ(Canvas.Ops, Expected);
}

TEST(HierTreemapTest, PaintsCellsThenSelectionFramesOnTop) {
  TWorkedExample Example;
  TRecordingCanvas Canvas({0, 0, 400, 300});
  Example.Map.Paint(Canvas, TSelectedSet{Example.Map.Items()[0].Dir});
  const std::vector<testing::TDrawOp> Expected = {
      Fill({0, 0, 400, 300}, kBlack),
      Frame({1, 1, 299, 299}, kBlack, 1),  // a folder is not filled
      Fill({3, 3, 297, 297}, ColorForExt(".dat")),
      Frame({2, 2, 298, 298}, kBlack, 1),
      Fill({302, 2, 398, 298}, ColorForExt(".txt")),
      Frame({301, 1, 399, 299}, kBlack, 1),
      Frame({1, 1, 299, 299}, kWhite, 3),
  };
  EXPECT_EQ(Canvas.Ops, Expected);
}

}  // namespace
}  // namespace dunstrel
