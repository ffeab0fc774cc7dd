#include <gtest/gtest.h>

#include "results/SelectionStatus.h"

namespace dunstrel {
namespace {

const TFormatSettings Comma{",", "."};

TEST(SelectionStatusTest, DescribesTheSelectionOfEachKind) {
  TDirNode Root("/r");
  TDirNode& Folder = Root.AddChild("/r/sub");
  Folder.TotalSize = 3 * 1048576;
  const TFileLeaf& File = Folder.AddLeaf("a.txt", ".txt", 1536, 0);
  const TDupGroup Group{"A.TXT", 1536, 0, kGrey, {&File, &File, &File}};

  struct TCase {
    std::string Actual;
    const char* Expected;
  } Cases[] = {
      {SelectionText("", "1 B", 3), "Ready"},
      {SelectionText("/r/x", "7 B", 0), "/r/x  7 B"},
      {SelectionText("/r/x", "7 B", 1), "/r/x  7 B"},
      {SelectionText("/r/x", "7 B", 2), "/r/x  7 B  (2 selected)"},
      {SelectionText("caption", "", 4), "caption    (4 selected)"},
      {ItemSelectionText(&File, 1, Comma), "/r/sub/a.txt  1,5 KB"},
      {ItemSelectionText(&File, 2, Comma), "/r/sub/a.txt  1,5 KB  (2 selected)"},
      {ItemSelectionText(&Folder, 1, Comma), "/r/sub  3,0 MB"},
      {ItemSelectionText(std::monostate{}, 1, Comma), "Ready"},
      {ItemSelectionText(static_cast<const TFileLeaf*>(nullptr), 1, Comma), "Ready"},
      {ItemSelectionText(&Group, 2, Comma), "Ready"},
      {GroupSelectionText(Group, Comma), "A.TXT  1,5 KB  (3 duplicates)"},
      {LegendSelectionText(".txt, (none)", 3 * 1048576, 490, Comma),
       ".txt, (none)  3,0 MB  (490 file(s))"},
  };
  for (const TCase& Case : Cases) {
    EXPECT_EQ(Case.Actual, Case.Expected);
  }
}

}  // namespace
}  // namespace dunstrel
