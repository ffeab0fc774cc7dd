// A tree changed in place (files and folders taken out, a folder walked again) and the file arrays
// derived from the previous ones equal a new scan of the changed disk and the arrays made from it.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "results/DuplicateGroups.h"
#include "results/FileArrays.h"
#include "results/NextFileArrays.h"
#include "scan/FakeDirectoryLister.h"
#include "scan/ScanModel.h"
#include "scan/TreeChange.h"
#include "support/TempDir.h"
#include "support/TreeLookup.h"

namespace dunstrel {
namespace {

namespace fs = std::filesystem;
using testing::FileAt;
using testing::FolderAt;
using testing::TTempDir;

// Files of data, not holes, so that their disk usage is real.
void WriteFile(const std::string& Path, size_t Size) {
  const int Fd = open(Path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
  ASSERT_GE(Fd, 0) << Path;
  const std::string Data(Size, 'x');
  ASSERT_EQ(write(Fd, Data.data(), Data.size()), static_cast<ssize_t>(Data.size()));
  close(Fd);
}

void HardLink(const TTempDir& Dir, const std::string& From, const std::string& To) {
  ASSERT_EQ(link((Dir / From).c_str(), (Dir / To).c_str()), 0) << To;
}

// Three folders sharing one hard-linked file (three names), duplicates across folders, and files
// of one extension in several spellings.
void MakeFixture(const TTempDir& Dir) {
  Dir.MakeDir("a/sub");
  Dir.MakeDir("b");
  Dir.MakeDir("c/deep/er");
  WriteFile(Dir / "a/x.txt", 100);
  WriteFile(Dir / "a/dup.bin", 5000);
  WriteFile(Dir / "a/sub/y.jpg", 2000);
  WriteFile(Dir / "b/orig.dat", 30000);
  WriteFile(Dir / "b/dup.bin", 5000);
  WriteFile(Dir / "b/photo.JPG", 700);
  WriteFile(Dir / "b/two.log", 9000);
  WriteFile(Dir / "c/dup.bin", 5000);
  WriteFile(Dir / "c/deep/two.log", 9000);
  WriteFile(Dir / "c/deep/er/z.jpg", 40);
  WriteFile(Dir / "top.jpg", 10);
  HardLink(Dir, "b/orig.dat", "a/link1");
  HardLink(Dir, "b/orig.dat", "c/deep/link2");
}

// Every figure of every folder and file, in the tree's order.
std::string Describe(const TDirNode& Root) {
  std::ostringstream Out;
  std::vector<const TDirNode*> Pending{&Root};
  while (!Pending.empty()) {
    const TDirNode& Folder = *Pending.back();
    Pending.pop_back();
    Out << Folder.FullPath() << "/ name=" << Folder.Name() << " size=" << Folder.TotalSize
        << " du=" << Folder.TotalDiskUsage << " own=" << Folder.OwnDiskUsage
        << " files=" << Folder.TotalFiles << " dirs=" << Folder.TotalDirs
        << " unreadable=" << Folder.UnreadableFolders
        << " problem=" << static_cast<int>(Folder.ReadProblem) << " ext:";
    auto Stats = ExtensionTotalsOf(Folder).Rows();
    std::sort(Stats.begin(), Stats.end(),
              [](const TExtStatPair& A, const TExtStatPair& B) { return A.Ext < B.Ext; });
    for (const TExtStatPair& Stat : Stats) {
      Out << ' ' << Stat.Ext << '=' << Stat.Bytes << '/' << Stat.Files;
    }
    Out << '\n';
    for (const TFileLeaf* Leaf : Folder.Leaves) {
      const THardLink* Link = HardLinkOf(*Leaf);
      Out << "  " << Leaf->FullPath() << " ext=" << Leaf->Ext() << " size=" << Leaf->Size()
          << " du=" << Leaf->SizeIn(TSizeCount::DiskUsage) << " linked=" << Leaf->IsHardLinked()
          << " repeat=" << Leaf->IsHardLinkRepeat() << " links=" << (Link ? Link->Links : 0)
          << '\n';
    }
    for (auto Child = Folder.Children.rbegin(); Child != Folder.Children.rend(); ++Child) {
      Pending.push_back(Child->get());
    }
  }
  return Out.str();
}

constexpr size_t kLargest = 4;  // a short list, so that a removal refills it from the next

struct TArrays {
  std::vector<TFileLeaf*> AllFiles;
  int64_t AllTotalBytes = 0;
  std::vector<TFileLeaf*> DisplayFiles;
  int64_t DisplayTotalBytes = 0;
  TDuplicates Duplicates;
};

TArrays ArraysOf(const TDirNode& Root) {
  TArrays Arrays;
  FlattenAllFiles(&Root, TSizeCount::ApparentSize, Arrays.AllFiles, Arrays.AllTotalBytes);
  const std::span<TFileLeaf* const> Display = TakeLargestFiles(
      Arrays.AllFiles, kLargest, TSizeCount::ApparentSize, Arrays.DisplayTotalBytes);
  Arrays.DisplayFiles.assign(Display.begin(), Display.end());
  EXPECT_TRUE(GroupDuplicates(Arrays.AllFiles, Arrays.Duplicates));
  return Arrays;
}

// The arrays as a set where their order is not defined (equal sizes), in order where it is.
std::string Describe(const std::vector<TFileLeaf*>& AllFiles, int64_t AllTotalBytes,
                     const std::vector<TFileLeaf*>& DisplayFiles, int64_t DisplayTotalBytes,
                     const TDuplicates& Duplicates) {
  std::ostringstream Out;
  const auto Larger = [](const TFileLeaf* A, const TFileLeaf* B) { return A->Size() > B->Size(); };
  Out << "all sorted=" << std::is_sorted(AllFiles.begin(), AllFiles.end(), Larger)
      << " total=" << AllTotalBytes << ":";
  std::vector<std::string> Paths;
  for (const TFileLeaf* File : AllFiles) {
    Paths.push_back(File->FullPath() + "=" + std::to_string(File->Size()));
  }
  std::sort(Paths.begin(), Paths.end());
  for (const std::string& Path : Paths) {
    Out << ' ' << Path;
  }
  Out << "\nlargest total=" << DisplayTotalBytes << ":";
  for (const TFileLeaf* File : DisplayFiles) {
    Out << ' ' << File->Size();
  }
  Out << "\nduplicates:\n";
  for (const TDupGroup& Group : Duplicates.Groups) {
    std::vector<std::string> Members;
    for (const TFileLeaf* File : Group.Files) {
      Members.push_back(File->FullPath());
    }
    std::sort(Members.begin(), Members.end());
    Out << "  " << Group.Bytes() << ' ' << Group.Size << ' ' << Group.Color << ':';
    for (const std::string& Member : Members) {
      Out << ' ' << Member;
    }
    Out << '\n';
  }
  return Out.str();
}

std::string Describe(const TArrays& A) {
  return Describe(A.AllFiles, A.AllTotalBytes, A.DisplayFiles, A.DisplayTotalBytes, A.Duplicates);
}

std::string Describe(const TNextFileArrays& A) {
  return Describe(A.AllFiles, A.AllTotalBytes, A.DisplayFiles, A.DisplayTotalBytes, A.Duplicates);
}

// Applies Change as the results would: the next arrays from the previous ones while the tree is
// as it was, then the tree; then both are checked against a new scan of the disk.
void ExpectLikeANewScan(std::unique_ptr<TDirNode>& Root, const TArrays& Previous,
                        TTreeChange Change, const TTempDir& Dir, const TScanContext& Settings) {
  TNextFileArrays Next;
  ASSERT_TRUE(NextFileArrays(Previous.AllFiles, Previous.AllTotalBytes, Previous.Duplicates, Change,
                             kLargest, TSizeCount::ApparentSize, Next));
  const TDetachedFolders Detached = std::move(Change).Apply(*Root);
  TScanContext Context;
  Context.CopySettingsFrom(Settings);
  const std::unique_ptr<TDirNode> Fresh = TDiskScanner(Context).Scan(Dir.Path());
  EXPECT_EQ(Describe(*Root), Describe(*Fresh));
  EXPECT_EQ(Describe(Next), Describe(ArraysOf(*Fresh)));
}

TEST(TreeFollowsDiskTest, RemovalLeavesWhatANewScanFinds) {
  struct TCase {
    const char* Name;
    std::vector<std::string> Folders;
    std::vector<std::string> Files;
    const char* Extension;  // every file of it too
  };
  const std::vector<TCase> Cases = {
      {"a folder holding a counted hard link", {"a"}, {}, nullptr},
      {"a file, the first name of a hard link", {}, {"b/orig.dat"}, nullptr},
      {"a duplicate member", {}, {"c/dup.bin"}, nullptr},
      {"a whole extension, in two spellings", {}, {}, ".jpg"},
      {"a hard link left with one name",
       {"c"},
       {"a/link1", "a/x.txt", "b/two.log", "c/dup.bin"},
       nullptr},
      {"a folder and the largest files", {"a/sub"}, {"b/orig.dat", "b/two.log"}, nullptr},
      {"the top named beside a file: the top stays", {""}, {"b/two.log"}, nullptr},
  };
  for (const TCase& Case : Cases) {
    for (const int Threads : {1, 16}) {
      SCOPED_TRACE(std::string(Case.Name) + ", threads " + std::to_string(Threads));
      const TTempDir Dir;
      MakeFixture(Dir);
      TScanContext Context;
      Context.WalkThreads = Threads;
      std::unique_ptr<TDirNode> Root = TDiskScanner(Context).Scan(Dir.Path());
      const TArrays Previous = ArraysOf(*Root);

      std::vector<const TDirNode*> Folders;
      std::vector<const TFileLeaf*> Files;
      for (const std::string& Folder : Case.Folders) {
        Folders.push_back(FolderAt(*Root, Folder));
        ASSERT_NE(Folders.back(), nullptr) << Folder;
        if (!Folder.empty()) {
          fs::remove_all(Dir / Folder);
        }
      }
      for (const std::string& File : Case.Files) {
        Files.push_back(FileAt(*Root, File));
        ASSERT_NE(Files.back(), nullptr) << File;
        fs::remove(Dir / File);
      }
      if (Case.Extension != nullptr) {
        for (TFileLeaf* File : Previous.AllFiles) {
          if (File->Ext() == Case.Extension) {
            Files.push_back(File);
            fs::remove(File->FullPath());
          }
        }
      }
      ExpectLikeANewScan(Root, Previous, TTreeChange::Removal(Files, Folders, true), Dir, Context);
    }
  }
}

TEST(TreeFollowsDiskTest, FolderWalkedAgainIsWhatANewScanFinds) {
  struct TCase {
    const char* Name;
    const char* Folder;
    std::function<void(const TTempDir& Dir, const TTempDir& Outside)> ChangeDisk;
    TRescanOutcome Outcome;
  };
  const std::vector<TCase> Cases = {
      {"files added, changed and removed", "a",
       [](const TTempDir& Dir, const TTempDir&) {
         WriteFile(Dir / "a/new.txt", 333);
         WriteFile(Dir / "a/x.txt", 70'000);
         fs::remove(Dir / "a/dup.bin");
         WriteFile(Dir.MakeDir("a/sub2") + "/q.jpg", 12'000);
         WriteFile(Dir / "a/sub/dup.bin", 5000);
       },
       TRescanOutcome::Walked},
      {"hard links gone, added and made anew", "a",
       [](const TTempDir& Dir, const TTempDir&) {
         fs::remove(Dir / "a/link1");
         HardLink(Dir, "b/orig.dat", "a/sub/link3");
         HardLink(Dir, "a/x.txt", "a/sub/x-again");
       },
       TRescanOutcome::Walked},
      {"nothing changed", "c/deep", [](const TTempDir&, const TTempDir&) {},
       TRescanOutcome::Walked},
      {"the folder is gone", "a",
       [](const TTempDir& Dir, const TTempDir&) { fs::remove_all(Dir / "a"); },
       TRescanOutcome::Gone},
      {"the folder is a link now", "c/deep/er",
       [](const TTempDir& Dir, const TTempDir& Outside) {
         fs::rename(Dir / "c/deep/er", Outside / "er");
         fs::create_directory_symlink(Outside / "er", Dir / "c/deep/er");
       },
       TRescanOutcome::Gone},
  };
  // Walked on one thread and on many, and with filters that leave files out.
  struct TSettings {
    int Threads;
    bool Filtered;
  };
  for (const TCase& Case : Cases) {
    for (const TSettings Settings :
         {TSettings{1, false}, TSettings{16, false}, TSettings{16, true}}) {
      SCOPED_TRACE(std::string(Case.Name) + ", threads " + std::to_string(Settings.Threads) +
                   (Settings.Filtered ? ", filtered" : ""));
      const TTempDir Dir;
      const TTempDir Outside;
      MakeFixture(Dir);
      TScanContext Context;
      Context.WalkThreads = Settings.Threads;
      Context.ExcludeLessThan = Settings.Filtered;
      Context.LessThanBytes = 150;
      Context.ExcludePattern = Settings.Filtered;
      Context.PatternMasks = {"*.log"};
      std::unique_ptr<TDirNode> Root = TDiskScanner(Context).Scan(Dir.Path());
      const TArrays Previous = ArraysOf(*Root);
      Case.ChangeDisk(Dir, Outside);
      const TDirNode& Folder = *FolderAt(*Root, Case.Folder);
      TRescanWalk Walk = TDiskScanner(Context).Rescan(Folder);
      ASSERT_EQ(Walk.Outcome, Case.Outcome);
      ExpectLikeANewScan(Root, Previous, TTreeChange::AfterRescan(Folder, std::move(Walk)), Dir,
                         Context);
    }
  }
}

TEST(TreeFollowsDiskTest, StopDuringARescanLeavesTheTreeWhole) {
  using testing::FakeDir;
  using testing::FakeFile;
  testing::TFakeDirectoryLister Lister;
  Lister.Folders = {
      {"/r/", {FakeDir("a"), FakeFile("f", 10)}},
      {"/r/a/", {FakeDir("s"), FakeFile("g", 20)}},
      {"/r/a/s/", {FakeFile("h", 5)}},
  };
  for (const int Threads : {1, 4}) {
    SCOPED_TRACE(Threads);
    TScanContext Context;
    Context.WalkThreads = Threads;
    const std::unique_ptr<TDirNode> Root = TDiskScanner(Context, &Lister).Scan("/r");
    const std::string Before = Describe(*Root);
    Lister.Folders["/r/a/s/"].push_back(FakeFile("more", 1000));
    TScanContext Again;
    Again.CopySettingsFrom(Context);
    Lister.OnList = [&Again](const std::string& Folder) {
      if (Folder == "/r/a/s/") {
        Again.Cancel();  // Stop pressed while the folder's sub-folder is read
      }
    };
    const TDirNode& Folder = *Root->Children.front();
    TRescanWalk Walk = TDiskScanner(Again, &Lister).Rescan(Folder);
    Lister.OnList = nullptr;
    EXPECT_EQ(Walk.Outcome, TRescanOutcome::Cancelled);
    EXPECT_EQ(Walk.Fresh, nullptr);
    TTreeChange Change = TTreeChange::AfterRescan(Folder, std::move(Walk));
    EXPECT_TRUE(Change.Empty());
    EXPECT_TRUE(std::move(Change).Apply(*Root).empty());
    EXPECT_EQ(Describe(*Root), Before);
    Lister.Folders["/r/a/s/"].pop_back();
  }
}

}  // namespace
}  // namespace dunstrel
