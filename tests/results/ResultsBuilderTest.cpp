#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "results/ResultsBuilder.h"

namespace dunstrel {
namespace {

// A scan tree with the totals and statistics a scan leaves: files of an apparent size and a
// disk usage of their own.
class TTreeMaker {
 public:
  explicit TTreeMaker(std::string_view RootPath) : Root(std::make_unique<TDirNode>(RootPath)) {}

  TDirNode& Folder(TDirNode& Parent, std::string_view Name) {
    for (TDirNode* Up = &Parent; Up != nullptr; Up = Up->Parent()) {
      ++Up->TotalDirs;
    }
    return Parent.AddNamedChild(Name);
  }
  const TFileLeaf& File(TDirNode& Folder, std::string_view Name, int64_t Size, int64_t Used) {
    const size_t Dot = Name.rfind('.');
    const std::string_view Ext = Dot == std::string_view::npos ? "" : Name.substr(Dot);
    const TExtKey Key = Folder.Store().InternExt(Ext);
    for (TDirNode* Up = &Folder; Up != nullptr; Up = Up->Parent()) {
      Up->TotalSize += Size;
      Up->TotalDiskUsage += Used;
      ++Up->TotalFiles;
    }
    return Folder.AddLeafWithKey(Name, Key, Size, Used, 0);
  }

  std::unique_ptr<TDirNode> Root;
};

std::vector<std::string_view> Names(const std::vector<TFileLeaf*>& Files) {
  std::vector<std::string_view> Out;
  for (const TFileLeaf* File : Files) {
    Out.push_back(File->Name());
  }
  return Out;
}

// /r: a.txt 10 (4096 on disk), big/ (b.bin 3000 on 4096, copy/a.txt 10 on 4096),
// sparse/ (disk.img 100000 on 512), c 30 (4096)
std::unique_ptr<TDirNode> Fixture() {
  TTreeMaker Tree("/r");
  TDirNode& Big = Tree.Folder(*Tree.Root, "big");
  TDirNode& Sparse = Tree.Folder(*Tree.Root, "sparse");
  Tree.File(*Tree.Root, "a.txt", 10, 4096);
  Tree.File(*Tree.Root, "c", 30, 4096);
  Tree.File(Big, "b.bin", 3000, 4096);
  Tree.File(Tree.Folder(Big, "copy"), "a.txt", 10, 4096);
  Tree.File(Sparse, "disk.img", 100000, 512);
  return std::move(Tree.Root);
}

TEST(ResultsBuilderTest, ResultsHoldEverySetOrderedInTheirCount) {
  const struct {
    TSizeCount Count;
    std::vector<std::string_view> AllFiles;
    int64_t Total;
    std::string_view LargestTopFolder;
    std::vector<std::string> Extensions;  // most bytes first, equal bytes by key
    int64_t TxtBytes;
  } Cases[] = {
      {TSizeCount::ApparentSize,
       {"disk.img", "b.bin", "c", "a.txt", "a.txt"},
       103050,
       "sparse",
       {".img", ".bin", "(none)", ".txt"},
       20},
      {TSizeCount::DiskUsage,
       {"a.txt", "c", "b.bin", "a.txt", "disk.img"},
       4 * 4096 + 512,
       "big",
       {".txt", "(none)", ".bin", ".img"},
       8192},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(static_cast<int>(Case.Count));
    const std::shared_ptr<const TScanResults> Results =
        BuildScanResults(Fixture(), Case.Count, TScanContext{}, {});
    ASSERT_NE(Results, nullptr);
    EXPECT_EQ(Results->Count, Case.Count);
    // Equal sizes come in no defined order: compare the names, sorted within equal sizes.
    std::vector<std::string_view> All = Names(Results->AllFiles);
    for (size_t I = 1; I < Results->AllFiles.size(); ++I) {
      EXPECT_GE(Results->AllFiles[I - 1]->SizeIn(Case.Count),
                Results->AllFiles[I]->SizeIn(Case.Count));
    }
    std::sort(All.begin(), All.end());
    std::vector<std::string_view> Expected = Case.AllFiles;
    std::sort(Expected.begin(), Expected.end());
    EXPECT_EQ(All, Expected);
    EXPECT_EQ(Results->AllTotalBytes, Case.Total);
    EXPECT_EQ(Results->DisplayFiles.size(), 5u);
    EXPECT_EQ(Results->DisplayTotalBytes, Case.Total);
    ASSERT_NE(Results->LargestTopFolder(), nullptr);
    EXPECT_EQ(Results->LargestTopFolder()->Name(), Case.LargestTopFolder);
    // Every folder's sub-folders and files are in the same order.
    for (const TDirNode* Folder : {Results->Root.get(), Results->Root->Children[0].get()}) {
      for (size_t I = 1; I < Folder->Children.size(); ++I) {
        EXPECT_GE(Folder->Children[I - 1]->TotalIn(Case.Count),
                  Folder->Children[I]->TotalIn(Case.Count));
      }
      for (size_t I = 1; I < Folder->Leaves.size(); ++I) {
        EXPECT_GE(Folder->Leaves[I - 1]->SizeIn(Case.Count), Folder->Leaves[I]->SizeIn(Case.Count));
      }
    }

    // The extensions in the count, most first, and each file's row among them.
    std::vector<std::string> Keys;
    for (const TExtensionRow& Row : Results->Extensions) {
      Keys.push_back(Row.Key);
    }
    EXPECT_EQ(Keys, Case.Extensions);
    const TExtensionRow& Txt =
        Results->Extensions[std::find(Keys.begin(), Keys.end(), ".txt") - Keys.begin()];
    EXPECT_EQ(Txt.Files, 2);
    EXPECT_EQ(Txt.Bytes, Case.TxtBytes);
    for (const TFileLeaf* File : Results->AllFiles) {
      const std::string_view Name = File->Name();
      const std::string_view Key = Results->Extensions[Results->ExtensionOf(*File)].Key;
      EXPECT_EQ(Key, Name == "c" ? "(none)" : Name.substr(Name.rfind('.'))) << Name;
    }

    ASSERT_EQ(Results->Duplicates.Groups.size(), 1u);
    EXPECT_EQ(Results->Duplicates.Groups[0].FileName, "a.txt");
  }
}

TEST(ResultsBuilderTest, AScanWithoutFilesHasEmptySets) {
  TTreeMaker Tree("/empty");
  Tree.Folder(*Tree.Root, "only");
  std::vector<std::string> Texts;
  const auto Results =
      BuildScanResults(std::move(Tree.Root), TSizeCount::ApparentSize, TScanContext{}, {},
                       [&](const TBuildStatus& Status) { Texts.push_back(Status.Text); });
  ASSERT_NE(Results, nullptr);
  EXPECT_TRUE(Results->AllFiles.empty());
  EXPECT_EQ(Results->AllTotalBytes, 0);
  EXPECT_TRUE(Results->Extensions.empty());
  EXPECT_TRUE(Results->Duplicates.Groups.empty());
  EXPECT_EQ(Results->LargestTopFolder()->Name(), "only");
  EXPECT_EQ(Texts,
            (std::vector<std::string>{"Building file list...", "Building Largest Files list...",
                                      "Building folders tree...", "Building folders tree... 0 / 1",
                                      "Folders tree built (1 folders).", "Building duplicates...",
                                      "Building folders/files tree..."}));
}

// Stop pressed while any step is announced, or while a long one reports its progress: the build
// ends there, reports nothing more and gives nothing back.
TEST(ResultsBuilderTest, StopInAnyStepGivesNothingBack) {
  for (const std::string StopAt :
       {"Building file list...", "Building Largest Files list...", "Building folders tree...",
        "Building folders tree... 0 / 3", "Folders tree built (3 folders).",
        "Building duplicates...", "Building duplicates... 1 / 5",
        "Duplicates ready. Groups shown: 1", "Building folders/files tree..."}) {
    SCOPED_TRACE(StopAt);
    TScanContext Context;
    std::vector<std::string> Texts;
    const auto Results = BuildScanResults(Fixture(), TSizeCount::ApparentSize, Context, {},
                                          [&](const TBuildStatus& Status) {
                                            Texts.push_back(Status.Text);
                                            if (Status.Text == StopAt) {
                                              Context.Cancel();
                                            }
                                          });
    EXPECT_EQ(Results, nullptr);
    ASSERT_FALSE(Texts.empty());
    EXPECT_EQ(Texts.back(), StopAt) << "nothing is announced after the stop";
  }
}

// A build in the other count is one more build of the same tree, once nobody else holds it.
TEST(ResultsBuilderTest, TheTreeComesBackForABuildInTheOtherCount) {
  std::shared_ptr<const TScanResults> Results =
      BuildScanResults(Fixture(), TSizeCount::ApparentSize, TScanContext{}, {});
  const TDirNode* Tree = Results->Root.get();
  std::shared_ptr<const TScanResults> Shown = Results;
  EXPECT_EQ(TakeTreeBack(std::move(Results)), nullptr) << "still shown";
  std::unique_ptr<TDirNode> Back = TakeTreeBack(std::move(Shown));
  ASSERT_EQ(Back.get(), Tree);
  const auto Again = BuildScanResults(std::move(Back), TSizeCount::DiskUsage, TScanContext{}, {});
  EXPECT_EQ(Again->Root.get(), Tree);
  EXPECT_EQ(Again->Count, TSizeCount::DiskUsage);
  EXPECT_EQ(Again->LargestTopFolder()->Name(), "big");
}

}  // namespace
}  // namespace dunstrel
