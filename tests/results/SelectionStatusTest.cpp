#include <gtest/gtest.h>

#include <sstream>

#include "results/ScanExport.h"
#include "results/SelectionStatus.h"
#include "support/CountedScan.h"

namespace dunstrel {
namespace {

const TFormatSettings Comma{",", "."};

TEST(SelectionStatusTest, DescribesTheSelectionOfEachKind) {
  TDirNode Root("/r");
  TDirNode& Folder = Root.AddChild("/r/sub");
  Folder.TotalSize = 3 * 1048576;
  const TFileLeaf& File = Folder.AddLeaf("a.txt", ".txt", 1536, 0);
  const TDupGroup Group{"A.TXT", 1536, 0, kGrey, {&File, &File, &File}};
  constexpr TSizeCount Apparent = TSizeCount::ApparentSize;

  struct TCase {
    std::string Actual;
    const char* Expected;
  } Cases[] = {
      {SelectionText("", "1 B", 3), "Ready"},
      {SelectionText("/r/x", "7 B", 0), "/r/x  7 B"},
      {SelectionText("/r/x", "7 B", 1), "/r/x  7 B"},
      {SelectionText("/r/x", "7 B", 2), "/r/x  7 B  (2 selected)"},
      {SelectionText("caption", "", 4), "caption    (4 selected)"},
      {ItemSelectionText(&File, 1, Apparent, Comma), "/r/sub/a.txt  1,5 KB"},
      {ItemSelectionText(&File, 2, Apparent, Comma), "/r/sub/a.txt  1,5 KB  (2 selected)"},
      {ItemSelectionText(&Folder, 1, Apparent, Comma), "/r/sub  3,0 MB"},
      {ItemSelectionText(std::monostate{}, 1, Apparent, Comma), "Ready"},
      {ItemSelectionText(static_cast<const TFileLeaf*>(nullptr), 1, Apparent, Comma), "Ready"},
      {ItemSelectionText(&Group, 2, Apparent, Comma), "Ready"},
      {GroupSelectionText(Group, Apparent, Comma), "A.TXT  1,5 KB  (3 duplicates)"},
      {LegendSelectionText(".txt, (none)", 3 * 1048576, 490, Comma),
       ".txt, (none)  3,0 MB  (490 file(s))"},
  };
  for (const TCase& Case : Cases) {
    EXPECT_EQ(Case.Actual, Case.Expected);
  }
}

// Each figure in the count asked for; a hard link counted at its other name is marked, in the
// disk usage only, and a group of two names of one file shows the one counted.
TEST(SelectionStatusTest, TellsTheFiguresOfEitherCount) {
  std::istringstream In{std::string(test::kCountedScan)};
  const std::unique_ptr<TDirNode> Root = ReadScanExport(In);
  const TFileLeaf* Sparse = Root->Leaves[0];
  const TDirNode& B = *Root->Children[1];
  const TFileLeaf* Repeat = B.Leaves[0];
  ASSERT_TRUE(Repeat->IsHardLinkRepeat());
  const TDupGroup Twins{"TWIN.TXT", 10, 0, kGrey, {Root->Children[0]->Leaves[0], Repeat}};
  constexpr TSizeCount Disk = TSizeCount::DiskUsage;
  constexpr TSizeCount Apparent = TSizeCount::ApparentSize;

  struct TCase {
    std::string Actual;
    const char* Expected;
  } Cases[] = {
      {ItemSelectionText(Sparse, 1, Apparent, Comma), "/t/sparse.img  976,6 KB"},
      {ItemSelectionText(Sparse, 1, Disk, Comma), "/t/sparse.img  4,0 KB"},
      {ItemSelectionText(Repeat, 1, Apparent, Comma), "/t/b/twin.txt  10 B"},
      {ItemSelectionText(Repeat, 1, Disk, Comma), "/t/b/twin.txt  0 B (hard link)"},
      {ItemSelectionText(&B, 1, Apparent, Comma), "/t/b  20 B"},
      {ItemSelectionText(&B, 1, Disk, Comma), "/t/b  4,0 KB"},
      {GroupSelectionText(Twins, Apparent, Comma), "TWIN.TXT  10 B  (2 duplicates)"},
      {GroupSelectionText(Twins, Disk, Comma), "TWIN.TXT  4,0 KB  (2 duplicates)"},
  };
  for (const TCase& Case : Cases) {
    EXPECT_EQ(Case.Actual, Case.Expected);
  }
}

}  // namespace
}  // namespace dunstrel
