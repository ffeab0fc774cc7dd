// The next results of a change equal the results of a new scan of the changed disk, in the order
// the views show them; entries are found again across the change.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "results/NextResults.h"
#include "results/ResultsBuilder.h"
#include "scan/DiskScanner.h"
#include "support/TempDir.h"
#include "support/TreeLookup.h"

namespace dunstrel {
namespace {

namespace fs = std::filesystem;
using testing::FileAt;
using testing::FolderAt;
using testing::TTempDir;

std::shared_ptr<const TScanResults> ResultsOf(const std::string& Path) {
  const TScanContext Context;
  return BuildScanResults(TDiskScanner(Context).Scan(Path), TSizeCount::ApparentSize, Context, {});
}

// What the views show of results: the folders and files in the tree's order with their totals,
// the largest files, the legends' rows and the duplicate groups.
std::string Describe(const TScanResults& Results) {
  std::ostringstream Out;
  std::vector<std::pair<const TDirNode*, int>> Pending{{Results.Root.get(), 0}};
  while (!Pending.empty()) {
    const auto [Folder, Depth] = Pending.back();
    Pending.pop_back();
    Out << std::string(static_cast<size_t>(Depth), ' ') << Folder->Name() << ' '
        << Folder->TotalSize << ' ' << Folder->TotalFiles << ' ' << Folder->TotalDirs << ':';
    for (const TFileLeaf* Leaf : Folder->Leaves) {
      Out << ' ' << Leaf->Name() << '=' << Leaf->Size();
    }
    Out << '\n';
    for (auto Child = Folder->Children.rbegin(); Child != Folder->Children.rend(); ++Child) {
      Pending.emplace_back(Child->get(), Depth + 1);
    }
  }
  Out << "files " << Results.AllFiles.size() << ' ' << Results.AllTotalBytes << " largest "
      << Results.DisplayFiles.size() << ' ' << Results.DisplayTotalBytes << ':';
  for (const TFileLeaf* File : Results.DisplayFiles) {
    Out << ' ' << File->Size();
  }
  Out << "\nextensions:";
  for (const TExtensionRow& Row : Results.Extensions) {
    Out << ' ' << Row.Key << '=' << Row.Bytes << '/' << Row.Files;
  }
  // Every file is found in the row of its extension, those of a folder walked again too.
  for (const TFileLeaf* File : Results.AllFiles) {
    const size_t Row = Results.ExtensionOf(*File);
    EXPECT_TRUE(Row < Results.Extensions.size() &&
                Results.Extensions[Row].Key ==
                    File->Parent().Store().ExtensionKeyText(File->ExtKey()))
        << File->FullPath();
  }
  Out << "\nduplicates:";
  for (const TDupGroup& Group : Results.Duplicates.Groups) {
    Out << ' ' << Group.Size << 'x' << Group.Files.size();
  }
  return Out.str();
}

void WriteFile(const TTempDir& Dir, const std::string& Relative, int64_t Size) {
  Dir.MakeFile(Relative, Size);
}

// Sizes all different, so that the order of a new scan is the only one.
void MakeFixture(const TTempDir& Dir) {
  WriteFile(Dir, "a/x.txt", 100);
  WriteFile(Dir, "a/dup.bin", 5000);
  WriteFile(Dir, "a/sub/y.jpg", 2000);
  WriteFile(Dir, "b/orig.dat", 30000);
  WriteFile(Dir, "b/dup.bin", 5000);
  WriteFile(Dir, "b/photo.JPG", 700);
  WriteFile(Dir, "c/deep/two.log", 9000);
  WriteFile(Dir, "c/deep/er/z.jpg", 40);
  WriteFile(Dir, "top.jpg", 10);
}

TEST(NextResultsTest, NextResultsAreThoseOfANewScanInTheViewsOrder) {
  struct TCase {
    const char* Name;
    std::vector<std::string> Folders;  // removed
    std::vector<std::string> Files;    // removed
    const char* Rescanned;             // walked again after ChangeDisk
    std::function<void(const TTempDir&)> ChangeDisk;
  };
  const std::vector<TCase> Cases = {
      {"the largest folder: another comes first", {"b"}, {}, nullptr, nullptr},
      {"a file: its folder falls behind another", {}, {"b/orig.dat"}, nullptr, nullptr},
      {"a duplicate member and a whole extension",
       {},
       {"a/dup.bin", "top.jpg", "a/sub/y.jpg"},
       nullptr,
       nullptr},
      {"a folder walked again after files were added, changed and removed",
       {},
       {},
       "c",
       [](const TTempDir& Dir) {
         WriteFile(Dir, "c/new.png", 64000);
         WriteFile(Dir, "c/deep/two.log", 9100);
         fs::remove(Dir / "c/deep/er/z.jpg");
         WriteFile(Dir, "c/dup.bin", 5000);
       }},
      {"a folder walked again that is gone",
       {},
       {},
       "a",
       [](const TTempDir& Dir) { fs::remove_all(Dir / "a"); }},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    const TTempDir Dir;
    MakeFixture(Dir);
    const std::shared_ptr<const TScanResults> Shown = ResultsOf(Dir.Path());
    const TDirNode& Root = *Shown->Root;
    std::optional<TResultsChange> Change;
    if (Case.Rescanned != nullptr) {
      Case.ChangeDisk(Dir);
      const TDirNode& Folder = *FolderAt(Root, Case.Rescanned);
      const TScanContext Context;
      Change = TResultsChange::Prepare(
          *Shown, ChangeAfterRescan(Folder, TDiskScanner(Context).Rescan(Folder), Shown->Count),
          {&Folder});
    } else {
      TRemovalOfItems Removal;
      for (const std::string& Folder : Case.Folders) {
        Removal.Folders.push_back(FolderAt(Root, Folder));
        fs::remove_all(Dir / Folder);
      }
      for (const std::string& File : Case.Files) {
        Removal.Files.push_back(FileAt(Root, File));
        ASSERT_NE(Removal.Files.back(), nullptr) << File;
        fs::remove(Dir / File);
      }
      Change = TResultsChange::Prepare(
          *Shown, TTreeChange::Removal(Removal.Files, Removal.Folders, true), Removal.Changed());
    }
    ASSERT_TRUE(Change.has_value());
    TDetachedFolders Detached;
    const std::shared_ptr<const TScanResults> Next = std::move(*Change).Finish(Shown, Detached);
    EXPECT_EQ(Shown->Root, nullptr) << "the tree passed on";
    EXPECT_EQ(Describe(*Next), Describe(*ResultsOf(Dir.Path())));
  }
}

TEST(NextResultsTest, EntriesAreFoundAgainByTheirNames) {
  const TTempDir Dir;
  MakeFixture(Dir);
  const std::shared_ptr<const TScanResults> Shown = ResultsOf(Dir.Path());
  const TDirNode& Root = *Shown->Root;
  const TDirNode& C = *FolderAt(Root, "c");
  const TDirNode& Deep = *FolderAt(Root, "c/deep");
  const TFileLeaf& Two = *FileAt(Root, "c/deep/two.log");
  const TFileLeaf& Z = *FileAt(Root, "c/deep/er/z.jpg");
  const TDirNode& B = *FolderAt(Root, "b");
  const TFileLeaf& Orig = *FileAt(Root, "b/orig.dat");
  fs::remove_all(Dir / "c/deep/er");
  const TScanContext Context;
  std::optional<TResultsChange> Change = TResultsChange::Prepare(
      *Shown, ChangeAfterRescan(C, TDiskScanner(Context).Rescan(C), Shown->Count), {&C});
  ASSERT_TRUE(Change.has_value());
  TDetachedFolders Detached;
  const std::shared_ptr<const TScanResults> Next = std::move(*Change).Finish(Shown, Detached);

  TSameEntryFinder Finder(*Next->Root);
  EXPECT_EQ(Finder.Folder(B), &B) << "outside the change: itself";
  EXPECT_EQ(Finder.File(Orig), &Orig);
  EXPECT_EQ(Finder.Folder(*Next->Root), Next->Root.get());
  EXPECT_EQ(Finder.Folder(C), FolderAt(*Next->Root, "c")) << "walked again: its new self";
  EXPECT_NE(Finder.Folder(C), &C);
  EXPECT_EQ(Finder.Folder(Deep), FolderAt(*Next->Root, "c/deep"));
  EXPECT_EQ(Finder.File(Two), FileAt(*Next->Root, "c/deep/two.log"));
  EXPECT_EQ(Finder.File(Z), nullptr) << "gone";
  EXPECT_EQ(Finder.Folder(Z.Parent()), nullptr);
  const TDirNode* Walked = FolderAt(*Next->Root, "c");
  EXPECT_EQ(Finder.Folder(*Walked), Walked) << "an entry of the tree now is itself";
}

}  // namespace
}  // namespace dunstrel
