// The duplicate groups that follow a change, worked out from the previous ones, equal a grouping
// of every file after it: with thousands of groups, so that the cut and the groups after it
// matter.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "results/FileArrays.h"
#include "results/NextFileArrays.h"
#include "scan/ScanModel.h"
#include "scan/TreeChange.h"

namespace dunstrel {
namespace {

constexpr int kNames = 3000;
constexpr int kSizes = 40;

// Files named and sized from small sets, so that about one in six repeats another's name and
// size: some ten thousand groups, far more than the cut keeps.
void AddFiles(TDirNode& Folder, std::mt19937& Random, int Count) {
  for (int I = 0; I < Count; ++I) {
    const std::string Name =
        "n" + std::to_string(Random() % kNames) + (Random() % 7 == 0 ? ".TXT" : ".txt");
    const auto Size = static_cast<int64_t>(1 + Random() % kSizes) * 1000;
    bool Taken = false;
    for (const TFileLeaf* Leaf : Folder.Leaves) {
      Taken = Taken || Leaf->Name() == Name;
    }
    if (!Taken) {
      Folder.AddLeaf(Name, ".txt", Size, 0);
    }
  }
}

std::unique_ptr<TDirNode> MakeTree(std::mt19937& Random) {
  auto Root = std::make_unique<TDirNode>("/r");
  for (int F = 0; F < 100; ++F) {
    AddFiles(Root->AddChild("/r/f" + std::to_string(F)), Random, 700);
  }
  return Root;
}

std::string Describe(const std::vector<TDupGroup>& Groups) {
  std::ostringstream Out;
  for (const TDupGroup& Group : Groups) {
    Out << Group.FileName << ' ' << Group.Size << ' ' << Group.Files.size() << ' ' << Group.Color
        << ' ' << Group.ModifiedFT << ':';
    for (const TFileLeaf* File : Group.Files) {
      Out << ' ' << File;
    }
    Out << '\n';
  }
  return Out.str();
}

TEST(NextFileArraysTest, DuplicateGroupsFollowAsAGroupingOfEveryFile) {
  using TChangeMaker =
      std::function<TTreeChange(TDirNode & Root, const TDuplicates& Groups, std::mt19937& Random)>;
  struct TCase {
    const char* Name;
    TChangeMaker Make;
  };
  const auto FilesOfTopGroups = [](const TDuplicates& Groups, size_t Count) {
    std::vector<const TFileLeaf*> Files;
    for (size_t I = 0; I < Count && I < Groups.Groups.size(); ++I) {
      Files.push_back(Groups.Groups[I].Files.back());
    }
    return TTreeChange::Removal(Files, {}, true);
  };
  const std::vector<TCase> Cases = {
      {"a folder taken out",
       [](TDirNode& Root, const TDuplicates&, std::mt19937&) {
         const TDirNode* const Folders[] = {Root.Children[17].get()};
         return TTreeChange::Removal({}, Folders, true);
       }},
      {"files here and there",
       [](TDirNode& Root, const TDuplicates&, std::mt19937& Random) {
         std::vector<const TFileLeaf*> Files;
         for (int I = 0; I < 3000; ++I) {
           const TDirNode& Folder = *Root.Children[Random() % Root.Children.size()];
           Files.push_back(Folder.Leaves[Random() % Folder.Leaves.size()]);
         }
         return TTreeChange::Removal(Files, {}, true);
       }},
      {"a member of each of the first hundred groups",
       [&](TDirNode&, const TDuplicates& Groups, std::mt19937&) {
         return FilesOfTopGroups(Groups, 100);
       }},
      {"more groups than the next ones can refill",
       [&](TDirNode&, const TDuplicates& Groups, std::mt19937&) {
         return FilesOfTopGroups(Groups, kMaxDupGroups);
       }},
      {"a folder walked again: the same files, some new, some resized",
       [](TDirNode& Root, const TDuplicates&, std::mt19937& Random) {
         const TDirNode& Old = *Root.Children[42];
         auto Fresh = std::make_unique<TDirNode>(Old.FullPath());
         for (const TFileLeaf* Leaf : Old.Leaves) {
           const int64_t Size = Random() % 10 == 0 ? Leaf->Size() + 1000 : Leaf->Size();
           Fresh->AddLeaf(Leaf->Name(), ".txt", Size, 1);
         }
         AddFiles(*Fresh, Random, 200);
         return TTreeChange::Replacement(Old, std::move(Fresh));
       }},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    std::mt19937 Random(20);
    std::unique_ptr<TDirNode> Root = MakeTree(Random);
    std::vector<TFileLeaf*> AllFiles;
    int64_t Total = 0;
    FlattenAllFiles(Root.get(), TSizeCount::ApparentSize, AllFiles, Total);
    TDuplicates Previous;
    ASSERT_TRUE(GroupDuplicates(AllFiles, Previous));
    ASSERT_EQ(Previous.Groups.size(), kMaxDupGroups);
    ASSERT_EQ(Previous.NextGroups.size(), kMaxDupGroups);
    // Twice: the second change starts from groups that followed the first.
    for (int Round = 0; Round < 2; ++Round) {
      SCOPED_TRACE(Round);
      TTreeChange Change = Case.Make(*Root, Previous, Random);
      TNextFileArrays Next;
      ASSERT_TRUE(
          NextFileArrays(AllFiles, Total, Previous, Change, 100, TSizeCount::ApparentSize, Next));
      TDuplicates Expected;
      ASSERT_TRUE(GroupDuplicates(Next.AllFiles, Expected));
      EXPECT_EQ(Describe(Next.Duplicates.Groups), Describe(Expected.Groups));
      // The next ones may be fewer than a grouping of everything keeps, never others.
      const std::string Known = Describe(Next.Duplicates.NextGroups);
      EXPECT_EQ(Known, Describe(Expected.NextGroups).substr(0, Known.size()));
      int64_t Sum = 0;
      for (const TFileLeaf* File : Next.AllFiles) {
        Sum += File->Size();
      }
      EXPECT_EQ(Next.AllTotalBytes, Sum);
      const TDetachedFolders Detached = std::move(Change).Apply(*Root);
      AllFiles = std::move(Next.AllFiles);
      Total = Next.AllTotalBytes;
      Previous = std::move(Next.Duplicates);
    }
  }
}

TEST(NextFileArraysTest, ArraysInTheDiskUsageFollowInItsOrder) {
  // Allocated space unrelated to the sizes, so that the two orders differ.
  std::mt19937 Random(5);
  auto Root = std::make_unique<TDirNode>("/r");
  for (int F = 0; F < 20; ++F) {
    TDirNode& Folder = Root->AddChild("/r/f" + std::to_string(F));
    for (int I = 0; I < 200; ++I) {
      const auto Size = static_cast<int64_t>(Random() % 100000);
      const auto Blocks = static_cast<int64_t>(Random() % 200) * 512;
      Folder.AddLeafWithKey("n" + std::to_string(I) + ".txt", Folder.Store().InternExt(".txt"),
                            Size, Blocks, 0);
    }
  }
  constexpr TSizeCount Count = TSizeCount::DiskUsage;
  std::vector<TFileLeaf*> AllFiles;
  int64_t Total = 0;
  FlattenAllFiles(Root.get(), Count, AllFiles, Total);
  TDuplicates Previous;
  ASSERT_TRUE(GroupDuplicates(AllFiles, Previous));

  std::vector<const TFileLeaf*> Gone;
  for (int I = 0; I < 300; ++I) {
    const TDirNode& Folder = *Root->Children[Random() % Root->Children.size()];
    Gone.push_back(Folder.Leaves[Random() % Folder.Leaves.size()]);
  }
  TTreeChange Change = TTreeChange::Removal(Gone, {}, true);
  TNextFileArrays Next;
  ASSERT_TRUE(NextFileArrays(AllFiles, Total, Previous, Change, 100, Count, Next));
  const TDetachedFolders Detached = std::move(Change).Apply(*Root);

  std::vector<TFileLeaf*> Expected;
  int64_t ExpectedTotal = 0;
  FlattenAllFiles(Root.get(), Count, Expected, ExpectedTotal);
  EXPECT_EQ(Next.AllTotalBytes, ExpectedTotal);
  ASSERT_EQ(Next.AllFiles.size(), Expected.size());
  for (size_t I = 0; I < Expected.size(); ++I) {
    ASSERT_EQ(Next.AllFiles[I]->SizeIn(Count), Expected[I]->SizeIn(Count)) << I;
  }
  int64_t Largest = 0;
  for (size_t I = 0; I < Next.DisplayFiles.size(); ++I) {
    ASSERT_EQ(Next.DisplayFiles[I], Next.AllFiles[I]);
    Largest += Next.DisplayFiles[I]->SizeIn(Count);
  }
  EXPECT_EQ(Next.DisplayFiles.size(), 100u);
  EXPECT_EQ(Next.DisplayTotalBytes, Largest);
  TDuplicates Regrouped;
  ASSERT_TRUE(GroupDuplicates(Next.AllFiles, Regrouped));
  EXPECT_EQ(Describe(Next.Duplicates.Groups), Describe(Regrouped.Groups));
}

}  // namespace
}  // namespace dunstrel
