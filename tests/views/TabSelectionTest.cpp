#include <gtest/gtest.h>

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
  EXPECT_EQ(ItemSize(&C), 3);
  Selection.Clear();
  EXPECT_TRUE(Selection.Empty());
  EXPECT_FALSE(Selection.Contains(B));
}

}  // namespace
}  // namespace dunstrel::testing
