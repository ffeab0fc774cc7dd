#include <gtest/gtest.h>

#include "results/ResultsBuilder.h"
#include "support/ScanTreeMaker.h"
#include "views/TabSelection.h"

namespace dunstrel::testing {
namespace {

// One selection holds each item once, in the order chosen; Ctrl's changes take out before they
// add, and the item chosen last is the one shown.
TEST(TabSelectionTest, HoldsEachItemOnceInTheOrderChosen) {
  TDirNode Root("/r");
  TDirNode& Sub = Root.AddChild("/r/sub");
  const TFileLeaf& A = Sub.AddLeaf("a", "", 1, 0);
  const TFileLeaf& B = Sub.AddLeaf("b", "", 2, 0);
  const TFileLeaf& C = Root.AddLeaf("c", "", 3, 0);
  using TItems = std::vector<TSelectedItem>;

  TTabSelection Selection;
  Selection.Replace({&B, &Sub, &B, &A}, TSelectionOrigin::Legend);
  EXPECT_EQ(Selection.Items(), (TItems{&B, &Sub, &A}));
  EXPECT_EQ(*Selection.Primary(), TSelectedItem(&B));
  EXPECT_EQ(Selection.Origin(), TSelectionOrigin::Legend);
  EXPECT_TRUE(Selection.Contains(Sub));
  EXPECT_FALSE(Selection.Contains(Root));

  Selection.Change({&Sub, &C}, {&C, &A}, TSelectionOrigin::Rows);
  EXPECT_EQ(Selection.Items(), (TItems{&B, &A, &C})) << "C was not in, so it is added";
  EXPECT_EQ(*Selection.Primary(), TSelectedItem(&A)) << "the last added that was not in yet";
  EXPECT_EQ(Selection.Origin(), TSelectionOrigin::Rows);

  Selection.Toggle(&A, TSelectionOrigin::Map);
  EXPECT_EQ(Selection.Items(), (TItems{&B, &C}));
  EXPECT_FALSE(Selection.Primary()) << "the item shown was taken out";
  Selection.Toggle(&Root, TSelectionOrigin::Map);
  EXPECT_EQ(*Selection.Primary(), TSelectedItem(&Root));

  EXPECT_EQ(ItemPath(&Sub), "/r/sub");
  EXPECT_EQ(ItemSize(&C, TSizeCount::ApparentSize), 3);
  Selection.Clear();
  EXPECT_TRUE(Selection.Empty());
  EXPECT_FALSE(Selection.Contains(B));
}

// An extension chosen in a legend stands for all its files without listing them; Ctrl on one of
// them turns the extension into its files, less that one.
TEST(TabSelectionTest, AnExtensionStandsForEveryFileOfIt) {
  TScanTreeMaker Tree("/r");
  Tree.MakeFile("a.txt", 30);
  Tree.MakeFile("sub/b.TXT", 20);
  Tree.MakeFile("sub/c.txt", 10);
  Tree.MakeFile("d.bin", 5);
  const auto Results = BuildScanResults(Tree.Take(), TSizeCount::ApparentSize, {}, {});
  ASSERT_EQ(Results->Extensions.front().Key, ".txt");
  const auto FileNamed = [&](std::string_view Name) -> const TFileLeaf* {
    for (const TFileLeaf* File : Results->AllFiles) {
      if (File->Name() == Name) {
        return File;
      }
    }
    return nullptr;
  };
  const TFileLeaf* A = FileNamed("a.txt");
  const TFileLeaf* B = FileNamed("b.TXT");
  const TFileLeaf* C = FileNamed("c.txt");
  const TFileLeaf* D = FileNamed("d.bin");
  using TItems = std::vector<TSelectedItem>;

  TTabSelection Selection;
  Selection.SetResults(Results.get());
  Selection.Replace({D, B}, TSelectionOrigin::Rows);
  Selection.ChangeExtensions({}, {0}, TSelectionOrigin::Legend);
  EXPECT_EQ(Selection.Items(), TItems{D}) << "b.TXT is held by its extension now";
  EXPECT_EQ(Selection.Extensions(), std::vector<size_t>{0});
  EXPECT_EQ(Selection.Size(), 4u);
  EXPECT_TRUE(Selection.Contains(*C));
  EXPECT_EQ(Selection.AllItems(), (TItems{D, A, B, C})) << "in the order chosen, largest first";
  EXPECT_EQ(*Selection.First(), TSelectedItem(D));

  Selection.Toggle(B, TSelectionOrigin::Map);
  EXPECT_TRUE(Selection.Extensions().empty());
  EXPECT_EQ(Selection.AllItems(), (TItems{D, A, C}));
  EXPECT_FALSE(Selection.Contains(*B));

  Selection.ReplaceWithExtensions({1, 0}, TSelectionOrigin::Legend);
  EXPECT_EQ(Selection.AllItems(), (TItems{A, B, C, D}));
  EXPECT_FALSE(Selection.Primary()) << "a legend shows no one item";
  // A legend row taken out takes its files out, also those chosen one by one.
  Selection.ChangeExtensions({0}, {}, TSelectionOrigin::Legend);
  Selection.Change({}, {A}, TSelectionOrigin::Rows);
  Selection.ChangeExtensions({0}, {}, TSelectionOrigin::Legend);
  EXPECT_EQ(Selection.AllItems(), TItems{D});
  Selection.SetResults(nullptr);
  EXPECT_TRUE(Selection.Empty());
}

}  // namespace
}  // namespace dunstrel::testing
