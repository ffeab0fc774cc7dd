#include <gtest/gtest.h>

#include <algorithm>

#include "results/FileArrays.h"

namespace dunstrel {
namespace {

std::vector<int64_t> Sizes(const std::vector<TFileLeaf*>& Files) {
  std::vector<int64_t> Result;
  for (const TFileLeaf* File : Files) {
    Result.push_back(File->Size());
  }
  return Result;
}

TEST(FileArraysTest, AllFilesOfEveryFolderLargestFirst) {
  TDirNode Root("/r");
  Root.AddLeaf("ten", "", 10, 0);
  TDirNode& Sub = Root.AddChild("/r/sub");
  Sub.AddLeaf("thirty", "", 30, 0);
  Sub.AddChild("/r/sub/deeper").AddLeaf("twenty", "", 20, 0);

  std::vector<TFileLeaf*> All;
  int64_t AllBytes = -1;
  FlattenAllFiles(&Root, TSizeCount::ApparentSize, All, AllBytes);
  EXPECT_EQ(Sizes(All), (std::vector<int64_t>{30, 20, 10}));
  EXPECT_EQ(AllBytes, 60);
  EXPECT_EQ(All[1]->Name(), "twenty");

  int64_t LargestBytes = -1;
  const std::span<TFileLeaf* const> Largest =
      TakeLargestFiles(All, 5000, TSizeCount::ApparentSize, LargestBytes);
  EXPECT_TRUE(std::equal(Largest.begin(), Largest.end(), All.begin(), All.end()));
  EXPECT_EQ(LargestBytes, 60);

  FlattenAllFiles(nullptr, TSizeCount::ApparentSize, All, AllBytes);
  EXPECT_TRUE(All.empty());
  EXPECT_EQ(AllBytes, 0);
}

TEST(FileArraysTest, TheLargestListStopsAtItsLimit) {
  TDirNode Root("/r");
  for (int I = 1; I <= 7000; ++I) {
    Root.AddLeaf("f", "", I, 0);
  }
  std::vector<TFileLeaf*> All;
  int64_t AllBytes = 0;
  FlattenAllFiles(&Root, TSizeCount::ApparentSize, All, AllBytes);
  int64_t LargestBytes = 0;
  const std::span<TFileLeaf* const> Largest =
      TakeLargestFiles(All, 5000, TSizeCount::ApparentSize, LargestBytes);
  ASSERT_EQ(Largest.size(), 5000u);
  EXPECT_EQ(Largest.front()->Size(), 7000);
  EXPECT_EQ(Largest.back()->Size(), 2001);
  EXPECT_EQ(AllBytes, 7000LL * 7001 / 2);
  EXPECT_EQ(LargestBytes, (7000LL * 7001 - 2000LL * 2001) / 2);
}

TEST(FileArraysTest, ByteSumsStopAtTheLargestSize) {
  constexpr int64_t kMax = INT64_MAX;
  TDirNode Root("/r");
  Root.AddLeaf("sparse-1", "", kMax, 0);
  Root.AddLeaf("sparse-2", "", kMax, 0);
  Root.AddLeaf("small", "", 1, 0);
  std::vector<TFileLeaf*> All;
  int64_t AllBytes = 0;
  FlattenAllFiles(&Root, TSizeCount::ApparentSize, All, AllBytes);
  int64_t LargestBytes = 0;
  TakeLargestFiles(All, 2, TSizeCount::ApparentSize, LargestBytes);
  EXPECT_EQ(AllBytes, kMax);
  EXPECT_EQ(LargestBytes, kMax);
}

}  // namespace
}  // namespace dunstrel
