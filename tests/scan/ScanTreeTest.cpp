#ifdef _WIN32
#include <windows.h>
#endif

#include <gtest/gtest.h>

#include "common/Calendar.h"
#include "scan/ScanModel.h"
#include "support/TempDir.h"

namespace dunstrel {
namespace {

platform::TFileStamp StampOfUtc(int Year, int Month, int Day, int Hour, int Minute, int Second) {
  const int64_t Days = DaysFromEpoch(Year, Month, Day) - DaysFromEpoch(1601, 1, 1);
  const int64_t Seconds = ((Days * 24 + Hour) * 60 + Minute) * 60 + Second;
  return static_cast<platform::TFileStamp>(Seconds) * platform::kStampTicksPerSecond;
}

TEST(ScanTreeTest, LeafAnswersNamePathAndExtensionFromItsFolder) {
#ifdef _WIN32
  GTEST_SKIP() << "skipped: the cases are written with POSIX paths";
#endif
  struct TCase {
    const char* Folder;
    const char* Name;
    const char* Ext;
    const char* FullPath;
  } Cases[] = {
      {"/", "vmlinuz", "", "/vmlinuz"},
      {"/home/ann", "Photo.JPG", ".jpg", "/home/ann/Photo.JPG"},
      {"/x", ".gitignore", ".gitignore", "/x/.gitignore"},
      {"/x", "bad\xff.TxT", ".txt", "/x/bad\xff.TxT"},
  };
  for (const TCase& Case : Cases) {
    TDirNode Folder(Case.Folder);
    const std::string_view Name(Case.Name);
    TFileLeaf& Leaf =
        Folder.AddLeaf(Name, Name.substr(std::min(Name.rfind('.'), Name.size())), 3, 0);
    EXPECT_EQ(Leaf.Name(), Case.Name);
    EXPECT_EQ(Leaf.Ext(), Case.Ext);
    EXPECT_EQ(Leaf.FullPath(), Case.FullPath);
    EXPECT_EQ(&Leaf.Parent(), &Folder);
  }
}

TEST(ScanTreeTest, LeavesKeepEverySizeAndAllocationWhetherItFitsInTheLeafOrNot) {
  // A leaf holds a size in 48 bits and an allocation in 30 bits of blocks; larger ones (sparse
  // files, claims of a saved scan) are kept aside by the store, and below 0 only a saved scan
  // could claim.
  constexpr int64_t k48 = int64_t{1} << 48;
  const struct {
    int64_t Size;
    int64_t Allocated;
  } Cases[] = {
      {0, 0},
      {k48 - 2, 4096},
      {k48 - 1, 0},
      {k48, k48},
      {INT64_MAX, INT64_MAX},
      {-1, 512},
      {5, (int64_t{1} << 39) - 512},
      {5, int64_t{1} << 39},
  };
  TDirNode Folder("/f");
  std::vector<const TFileLeaf*> Leaves;
  for (const auto& Case : Cases) {
    Leaves.push_back(&Folder.AddLeafWithKey("x.img", Folder.Store().InternExt(".img"), Case.Size,
                                            Case.Allocated, 0));
  }
  for (size_t I = 0; I < std::size(Cases); ++I) {
    SCOPED_TRACE(I);
    EXPECT_EQ(Leaves[I]->Size(), Cases[I].Size);
    EXPECT_EQ(Leaves[I]->SizeIn(TSizeCount::ApparentSize), Cases[I].Size);
    EXPECT_EQ(Leaves[I]->Allocated(), Cases[I].Allocated);
  }
}

TEST(ScanTreeTest, FoldersFindTheirFilesAcrossManyBlocksOfStorage) {
  // Enough files for several blocks, from the main storage and from two more as walk threads
  // fill them, interleaved among folders; then one folder's files reordered and some taken out.
  TDirNode Root("/r");
  std::vector<TDirNode*> Folders;
  for (int I = 0; I < 7; ++I) {
    Folders.push_back(&Root.AddNamedChild("d" + std::to_string(I)));
  }
  TScanArena* Arenas[] = {&Root.Store().MainArena(), &Root.Store().NewArena(),
                          &Root.Store().NewArena()};
  constexpr int kFiles = 30'000;
  for (int I = 0; I < kFiles; ++I) {
    Folders[static_cast<size_t>(I % 7)]->AddLeafWithKey(
        "file-with-a-longish-name-" + std::to_string(I), Root.Store().EmptyExt, I, I, 0,
        *Arenas[I % 3]);
  }
  ASSERT_GT(kFiles * (sizeof(TFileLeaf) + 30), 3 * TLeafBlocks::kBlockBytes);
  for (int F = 0; F < 7; ++F) {
    const TDirNode& Folder = *Folders[static_cast<size_t>(F)];
    int Expected = F;
    for (const TFileLeaf* Leaf : Folder.Leaves) {
      ASSERT_EQ(Leaf->Name(), "file-with-a-longish-name-" + std::to_string(Expected));
      ASSERT_EQ(Leaf->Size(), Expected);
      ASSERT_EQ(&Leaf->Parent(), &Folder);
      Expected += 7;
    }
    EXPECT_GE(Expected, kFiles);
  }
  TLeafList& Leaves = Folders[0]->Leaves;
  const std::vector<size_t> Reversed = {2, 1, 0};
  Leaves.EraseIf([](const TFileLeaf* Leaf) { return Leaf->Size() > 14; });
  ASSERT_EQ(Leaves.size(), 3u);
  Leaves.Reorder(Reversed);
  EXPECT_EQ((std::vector<int64_t>{Leaves[0]->Size(), Leaves[1]->Size(), Leaves[2]->Size()}),
            (std::vector<int64_t>{14, 7, 0}));
}

TEST(ScanTreeTest, StorageBeyondWhatLeavesCanBeNumberedInIsRefusedWithAClearError) {
  TLeafBlocks Numbers;
  // Addresses only: no block is touched.
  for (size_t I = 0; I < TLeafBlocks::kMaxBlocks; ++I) {
    ASSERT_EQ(Numbers.Add(reinterpret_cast<char*>((I + 1) * TLeafBlocks::kBlockBytes)), I);
  }
  try {
    Numbers.Add(nullptr);
    ADD_FAILURE() << "a block beyond the last number";
  } catch (const ETooManyFiles& Error) {
    EXPECT_STREQ(Error.what(),
                 "More files than one scan can hold: their names and figures take over 8 GiB");
  }
  EXPECT_EQ(Numbers.LeafAt((5u << TLeafBlocks::kPlaceBits) | 3u),
            reinterpret_cast<TFileLeaf*>(6 * TLeafBlocks::kBlockBytes + 6));
}

TEST(ScanTreeTest, FolderNameIsTheLastComponent) {
  EXPECT_EQ(TDirNode("/").Name(), "/");
  EXPECT_EQ(TDirNode("/home/ann").Name(), "ann");
  EXPECT_EQ(TDirNode("", "(All Drives)").Name(), "(All Drives)");
  TDirNode Root("/srv");
  EXPECT_EQ(Root.AddChild("/srv/data").Name(), "data");
  EXPECT_EQ(Root.Children.front()->Parent(), &Root);
}

TEST(ScanTreeTest, StampZeroHasNoDateEveryTime) {
  TDirNode Folder("/x");
  TFileLeaf& Leaf = Folder.AddLeaf("a", "", 1, 0);
  EXPECT_EQ(Leaf.GetModifiedDateTime(), 0);
  EXPECT_EQ(Leaf.GetModifiedDateTime(), 0);
}

#ifndef _WIN32
// The zone is set for the process through TZ, which only POSIX reads.
TEST(ScanTreeTest, LocalTimeUsesTheOffsetAtTheStampsDate) {
  const testing::TScopedTimeZone Zone("CET-1CEST,M3.5.0,M10.5.0/3");
  struct TCase {
    platform::TFileStamp Stamp;
    TDateTimeFields Local;
  } Cases[] = {
      {StampOfUtc(2024, 1, 15, 12, 0, 0), {2024, 1, 15, 13, 0, 0, 0}},  // winter: +1
      {StampOfUtc(2024, 7, 15, 12, 0, 0), {2024, 7, 15, 14, 0, 0, 0}},  // summer: +2
      {StampOfUtc(2024, 3, 31, 0, 59, 59), {2024, 3, 31, 1, 59, 59, 0}},
      {StampOfUtc(2024, 3, 31, 1, 0, 0), {2024, 3, 31, 3, 0, 0, 0}},
      {StampOfUtc(1999, 12, 31, 23, 0, 0) + 1234567, {2000, 1, 1, 0, 0, 0, 123}},
  };
  for (const TCase& Case : Cases) {
    EXPECT_DOUBLE_EQ(FileTimeToLocalDateTime(Case.Stamp), EncodeDateTime(Case.Local))
        << Case.Local.Month << "/" << Case.Local.Hour;
  }
  TDirNode Folder("/x");
  TFileLeaf& Leaf = Folder.AddLeaf("a", "", 1, Cases[1].Stamp);
  EXPECT_DOUBLE_EQ(Leaf.GetModifiedDateTime(), EncodeDateTime(Cases[1].Local));
}
#endif

TEST(ScanTreeTest, StampsWhoseDateFollowsTheYear9999HaveNoDate) {
#ifdef _WIN32
  TIME_ZONE_INFORMATION Zone{};
  if (GetTimeZoneInformation(&Zone) != TIME_ZONE_ID_UNKNOWN || Zone.Bias != 0) {
    GTEST_SKIP() << "skipped: the cases are in UTC, and Windows sets the zone only for the "
                    "whole system (Wine takes it from TZ)";
  }
#else
  const testing::TScopedTimeZone Zone("UTC0");
#endif
  const platform::TFileStamp LastSecond = StampOfUtc(9999, 12, 31, 23, 59, 59);
  EXPECT_DOUBLE_EQ(FileTimeToLocalDateTime(LastSecond), EncodeDateTime({9999, 12, 31, 23, 59, 59}));
  for (const platform::TFileStamp Stamp :
       {LastSecond + platform::kStampTicksPerSecond, StampOfUtc(30000, 1, 1, 0, 0, 0),
        platform::TFileStamp{1} << 63, ~platform::TFileStamp{0}}) {
    EXPECT_EQ(FileTimeToLocalDateTime(Stamp), 0) << Stamp;
  }
}

TEST(ScanTreeTest, VeryDeepTreeIsFreedWithoutRecursion) {
  // Far deeper than any call stack could unwind recursively.
  auto Root = std::make_unique<TDirNode>("/d");
  TDirNode* Node = Root.get();
  for (int Level = 0; Level < 200'000; ++Level) {
    Node = &Node->AddChild("/d/d");
    Node->AddLeaf("f", "", 1, 0);
  }
  Root.reset();
  SUCCEED();
}

}  // namespace
}  // namespace dunstrel
