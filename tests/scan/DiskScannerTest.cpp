#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <random>

#include "common/Calendar.h"
#include "scan/FakeDirectoryLister.h"
#include "scan/ScanModel.h"
#include "scan/ScanMountTest.h"
#include "support/PrivateMounts.h"
#include "support/TempDir.h"

namespace dunstrel {
namespace {

using testing::FakeDir;
using testing::FakeFile;
using testing::TFakeDirectoryLister;
using testing::TTempDir;

// The totals of every folder of a scanned tree add up, checked without recursion, and the
// extensions of the whole tree count every file once.
void ExpectTotalsAddUp(const TDirNode& Root) {
  int64_t ExtBytes = 0;
  int64_t ExtFiles = 0;
  for (const TExtStatPair& P : ExtensionTotalsOf(Root).Rows()) {
    ExtBytes += P.Bytes;
    ExtFiles += P.Files;
  }
  ASSERT_EQ(ExtBytes, Root.TotalSize);
  ASSERT_EQ(ExtFiles, Root.TotalFiles);
  std::vector<const TDirNode*> Pending{&Root};
  while (!Pending.empty()) {
    const TDirNode& N = *Pending.back();
    Pending.pop_back();
    int64_t Size = 0;
    int64_t Files = static_cast<int64_t>(N.Leaves.size());
    int64_t Dirs = 1;
    for (const TFileLeaf* Leaf : N.Leaves) {
      Size += Leaf->Size();
    }
    for (const auto& Child : N.Children) {
      Size += Child->TotalSize;
      Files += Child->TotalFiles;
      Dirs += Child->TotalDirs;
      Pending.push_back(Child.get());
    }
    ASSERT_EQ(N.TotalSize, Size) << N.FullPath();
    ASSERT_EQ(N.TotalFiles, Files) << N.FullPath();
    ASSERT_EQ(N.TotalDirs, Dirs) << N.FullPath();
  }
}

std::vector<std::string> LeafNames(const TDirNode& Node) {
  std::vector<std::string> Names;
  for (const TFileLeaf* Leaf : Node.Leaves) {
    Names.emplace_back(Leaf->Name());
  }
  return Names;
}

TEST(DiskScannerTest, EmptyFolderIsOneFolderWithNothingInIt) {
  const TTempDir Dir;
  TScanContext Context;
  TDiskScanner Scanner(Context);
  const auto Root = Scanner.Scan(Dir.Path() + "/");
  ASSERT_NE(Root, nullptr);
  EXPECT_EQ(Root->FullPath(), Dir.Path());
  EXPECT_EQ(Root->TotalDirs, 1);
  EXPECT_EQ(Root->TotalFiles, 0);
  EXPECT_EQ(Root->TotalSize, 0);
  EXPECT_TRUE(Root->Leaves.empty());
  EXPECT_TRUE(Root->Children.empty());
  EXPECT_TRUE(ExtensionTotalsOf(*Root).Rows().empty());
  EXPECT_EQ(Scanner.DirsScanned(), 1);
  EXPECT_EQ(Scanner.FilesScanned(), 0);
}

TEST(DiskScannerTest, LinksAreNeitherEnteredNorCounted) {
  const TTempDir Dir;
  const TTempDir Outside;
  Outside.MakeFile("big.bin", 1 << 20);
  Dir.MakeFile("real.txt", 5);
  ASSERT_EQ(symlink(Outside.Path().c_str(), (Dir / "to-folder").c_str()), 0);
  ASSERT_EQ(symlink((Outside / "big.bin").c_str(), (Dir / "to-file").c_str()), 0);
  ASSERT_EQ(symlink("nowhere", (Dir / "dangling").c_str()), 0);

  TScanContext Context;
  TDiskScanner Scanner(Context);
  const auto Root = Scanner.Scan(Dir.Path());
  EXPECT_EQ(LeafNames(*Root), std::vector<std::string>{"real.txt"});
  EXPECT_TRUE(Root->Children.empty());
  EXPECT_EQ(Scanner.BytesScanned(), 5);
  EXPECT_EQ(Root->TotalDirs, 1);
}

TEST(DiskScannerTest, DroppedFileCountsOnlyInBytesScanned) {
  const TTempDir Dir;
  Dir.MakeFile("small.log", 10);
  Dir.MakeFile("large.log", 500);
  TScanContext Context;
  Context.ExcludeLessThan = true;
  Context.LessThanBytes = 100;
  TDiskScanner Scanner(Context);
  const auto Root = Scanner.Scan(Dir.Path());
  EXPECT_EQ(LeafNames(*Root), std::vector<std::string>{"large.log"});
  EXPECT_EQ(Scanner.BytesScanned(), 510);
  EXPECT_EQ(Scanner.FilesScanned(), 1);
  EXPECT_EQ(Root->TotalSize, 500);
  EXPECT_EQ(Root->TotalFiles, 1);
  EXPECT_EQ(ExtensionTotalsOf(*Root).Find(".log")->Bytes, 500);
}

TEST(DiskScannerTest, NameThatIsNotUtf8SurvivesUnchanged) {
  const TTempDir Dir;
  const std::string Name = "caf\xe9-\xff.DAT";  // Latin-1 bytes, invalid as UTF-8
  Dir.MakeFile(Name, 3);
  TScanContext Context;
  TDiskScanner Scanner(Context);
  const auto Root = Scanner.Scan(Dir.Path());
  ASSERT_EQ(Root->Leaves.size(), 1u);
  const TFileLeaf& Leaf = *Root->Leaves.front();
  EXPECT_EQ(Leaf.Name(), Name);
  EXPECT_EQ(Leaf.Ext(), ".dat");
  struct stat Info {};
  EXPECT_EQ(stat(Leaf.FullPath().c_str(), &Info), 0) << "the stored path names the file";
}

TEST(DiskScannerTest, RealTreeKeepsListingOrderAndTotalsAddUp) {
  const TTempDir Dir;
  std::mt19937 Random(7);
  const char* Exts[] = {".txt", ".TXT", ".jpg", "", ".tar.gz", ".c"};
  for (int I = 0; I < 300; ++I) {
    std::string Folder;
    for (int Depth = static_cast<int>(Random() % 4); Depth > 0; --Depth) {
      Folder += "d" + std::to_string(Random() % 3) + "/";
    }
    Dir.MakeFile(Folder + "f" + std::to_string(I) + Exts[Random() % 6],
                 static_cast<int64_t>(Random() % 5000));
  }
  Dir.MakeDir("empty/inner");
  TScanContext Context;
  TDiskScanner Scanner(Context);
  const auto Root = Scanner.Scan(Dir.Path());
  ExpectTotalsAddUp(*Root);
  EXPECT_EQ(Root->TotalFiles, 300);
  EXPECT_EQ(Scanner.FilesScanned(), 300);
  EXPECT_EQ(Scanner.DirsScanned(), Root->TotalDirs);

  // Leaves and children come in the order the file system lists them.
  std::vector<std::string> Listed;
  std::vector<std::string> ListedFolders;
  for (const auto& Entry : std::filesystem::directory_iterator(Dir.Path())) {
    (Entry.is_directory() ? ListedFolders : Listed).push_back(Entry.path().filename().string());
  }
  EXPECT_EQ(LeafNames(*Root), Listed);
  std::vector<std::string> ChildNames;
  for (const auto& Child : Root->Children) {
    ChildNames.emplace_back(Child->Name());
  }
  EXPECT_EQ(ChildNames, ListedFolders);
}

TEST(DiskScannerTest, FolderPathsHaveOneDelimiterAlsoBelowTheRoot) {
  TFakeDirectoryLister Lister;
  Lister.Folders["/"] = {FakeDir("etc"), FakeFile("vmlinuz", 7)};
  Lister.Folders["/etc/"] = {FakeFile("hosts", 1)};
  TScanContext Context;
  TDiskScanner Scanner(Context, &Lister);
  const auto Root = Scanner.Scan("/");
  EXPECT_EQ(Root->FullPath(), "/");
  EXPECT_EQ(Root->Name(), "/");
  EXPECT_EQ(Root->Leaves.front()->FullPath(), "/vmlinuz");
  ASSERT_EQ(Root->Children.size(), 1u);
  EXPECT_EQ(Root->Children.front()->FullPath(), "/etc");
  EXPECT_EQ(Root->Children.front()->Leaves.front()->FullPath(), "/etc/hosts");
  EXPECT_EQ(Lister.Listed, (std::vector<std::string>{"/", "/etc/"}));

  const auto Trimmed = TDiskScanner(Context, &Lister).Scan("/etc/");
  EXPECT_EQ(Trimmed->FullPath(), "/etc");
}

TEST(DiskScannerTest, UnlistableFoldersAndMountPoints) {
  // What root cannot make happen with permissions: a folder that refuses to be read or is gone
  // by the time it is read (not in the table), and a mount point (a reparse folder).
  TFakeDirectoryLister Lister;
  Lister.Folders["/s/"] = {
      FakeDir("locked"), FakeDir("gone"), FakeFile("a", 2), {"mnt", true, true, 0, 0}};
  Lister.Folders["/s/mnt/"] = {FakeFile("never", 1000)};
  TScanContext Context;
  TDiskScanner Scanner(Context, &Lister);
  const auto Root = Scanner.Scan("/s");
  ASSERT_EQ(Root->Children.size(), 2u);
  for (const auto& Child : Root->Children) {
    EXPECT_EQ(Child->TotalDirs, 1);
    EXPECT_TRUE(Child->Leaves.empty());
  }
  EXPECT_EQ(Root->TotalDirs, 3);
  EXPECT_EQ(Root->TotalSize, 2);
  EXPECT_EQ(Scanner.BytesScanned(), 2);
  EXPECT_EQ(std::count(Lister.Listed.begin(), Lister.Listed.end(), "/s/mnt/"), 0);
}

TEST(DiskScannerTest, CancellationBeforeAndDuringTheWalk) {
  TFakeDirectoryLister Lister;
  Lister.Folders["/r/"] = {FakeDir("a"), FakeDir("b"), FakeFile("late", 1)};
  Lister.Folders["/r/a/"] = {FakeFile("x", 1), FakeDir("deep"), FakeFile("y", 1)};
  Lister.Folders["/r/a/deep/"] = {FakeFile("z", 4)};
  Lister.Folders["/r/b/"] = {FakeFile("w", 1)};

  TScanContext Cancelled;
  Cancelled.Cancel();
  EXPECT_EQ(TDiskScanner(Cancelled, &Lister).Scan("/r"), nullptr);
  EXPECT_TRUE(Lister.Listed.empty());

  TScanContext Context;
  Context.WalkThreads = 1;  // one thread walks in the pre-order
  Lister.OnList = [&](const std::string& Folder) {
    if (Folder == "/r/a/deep/") {
      Context.Cancel();
    }
  };
  TDiskScanner Scanner(Context, &Lister);
  const auto Root = Scanner.Scan("/r");
  ASSERT_NE(Root, nullptr);
  // Every open folder stops at its next entry: nothing after "deep" is read or taken.
  EXPECT_EQ(Lister.Listed, (std::vector<std::string>{"/r/", "/r/a/", "/r/a/deep/"}));
  ASSERT_EQ(Root->Children.size(), 1u);
  EXPECT_EQ(LeafNames(*Root->Children.front()), std::vector<std::string>{"x"});
  EXPECT_TRUE(Root->Leaves.empty());
  EXPECT_EQ(Root->TotalFiles, 1);
  EXPECT_EQ(Root->TotalDirs, 3);
}

class TStepTick : public platform::ITickSource {
 public:
  explicit TStepTick(uint32_t Start) : FNow(Start) {}
  uint32_t NowMs() const override { return FNow += 7; }  // 7 ms pass between two readings
  uint32_t Last() const { return FNow; }

 private:
  mutable uint32_t FNow;
};

TEST(DiskScannerTest, ProgressIsThrottledTo80MsAlsoAcrossTheTickWrap) {
  TFakeDirectoryLister Lister;
  for (int I = 0; I < 400; ++I) {
    Lister.Folders["/p/"].push_back(FakeFile("f" + std::to_string(I), 1));
  }
  for (const uint32_t Start : {1000u, 0xFFFFFFFFu - 500u}) {
    const TStepTick Tick(Start);
    TScanContext Context;
    TDiskScanner Scanner(Context, &Lister, Tick);
    std::vector<uint32_t> Reports;
    std::vector<int64_t> Files;
    Scanner.OnProgress = [&](std::string_view Path, int64_t FilesSoFar, int64_t Dirs) {
      EXPECT_EQ(Path, "/p");
      EXPECT_EQ(Dirs, 1);
      Reports.push_back(Tick.Last());  // the reading the scanner just took
      Files.push_back(FilesSoFar);
    };
    Scanner.Scan("/p");
    ASSERT_GE(Reports.size(), 20u) << Start;
    for (size_t I = 1; I < Reports.size(); ++I) {
      EXPECT_GE(static_cast<uint32_t>(Reports[I] - Reports[I - 1]), 80u) << Start;
      EXPECT_GT(Files[I], Files[I - 1]);
    }
  }
}

struct TExclusionCase {
  const char* Name;
  std::function<void(TScanContext&)> Setup;
  std::vector<std::string> Kept;
};

TEST(DiskScannerTest, ExclusionRulesInOrder) {
  const testing::TScopedTimeZone Zone("CET-1CEST,M3.5.0,M10.5.0/3");
  const TTempDir Dir;
  Dir.MakeFile("b99.dat", 99);
  Dir.MakeFile("b100.dat", 100);
  Dir.MakeFile("x.log", 200);
  Dir.MakeFile("temp/inner.dat", 200);
  Dir.MakeFile("MySomeFileName.txt", 200);
  const std::string Early = Dir.MakeFile("early.bin", 200);
  const std::string Late = Dir.MakeFile("late.bin", 200);
  testing::SetLocalModificationTime(Early, 2026, 1, 14, 0, 4, 40);
  testing::SetLocalModificationTime(Late, 2026, 1, 14, 0, 4, 42);
  const std::vector<std::string> All = {"MySomeFileName.txt", "b100.dat", "b99.dat", "early.bin",
                                        "inner.dat",          "late.bin", "x.log"};

  const std::vector<TExclusionCase> Cases = {
      {"no filters", [](TScanContext&) {}, All},
      {"size threshold is strict",
       [](TScanContext& C) {
         C.ExcludeLessThan = true;
         C.LessThanBytes = 100;
       },
       {"MySomeFileName.txt", "b100.dat", "early.bin", "inner.dat", "late.bin", "x.log"}},
      {"threshold 0 is off",
       [](TScanContext& C) {
         C.ExcludeLessThan = true;
         C.LessThanBytes = 0;
       },
       All},
      {"masks in any case, on the name or the full path",
       [](TScanContext& C) {
         C.ExcludePattern = true;
         C.PatternMasks = {"*.LOG", "*/TEMP/*", "*somefilename*"};
       },
       {"b100.dat", "b99.dat", "early.bin", "late.bin"}},
      {"pattern flag off ignores masks", [](TScanContext& C) { C.PatternMasks = {"*"}; }, All},
      {"modified before is strict",
       [](TScanContext& C) {
         C.ExcludeModifiedBefore = true;
         C.ModifiedBefore = EncodeDateTime({2026, 1, 14, 0, 4, 41, 0});
       },
       {"MySomeFileName.txt", "b100.dat", "b99.dat", "inner.dat", "late.bin", "x.log"}},
      {"size is tested before an invalid mask",
       [](TScanContext& C) {
         C.ExcludeLessThan = true;
         C.LessThanBytes = 1'000'000;
         C.ExcludePattern = true;
         C.PatternMasks = {"[abc"};
       },
       {}},
  };
  for (const TExclusionCase& Case : Cases) {
    TScanContext Context;
    Case.Setup(Context);
    TDiskScanner Scanner(Context);
    const auto Root = Scanner.Scan(Dir.Path());
    std::vector<std::string> Kept;
    std::vector<const TDirNode*> Pending{Root.get()};
    while (!Pending.empty()) {
      const TDirNode* Node = Pending.back();
      Pending.pop_back();
      for (const std::string& Name : LeafNames(*Node)) {
        Kept.push_back(Name);
      }
      for (const auto& Child : Node->Children) {
        Pending.push_back(Child.get());
      }
    }
    std::sort(Kept.begin(), Kept.end());
    EXPECT_EQ(Kept, Case.Kept) << Case.Name;
    EXPECT_EQ(Scanner.BytesScanned(), 99 + 100 + 5 * 200) << Case.Name;
  }
}

TEST(DiskScannerTest, InvalidMaskFailsAtTheFirstFileThatReachesTheNameTest) {
  TScanContext Context;
  Context.ExcludePattern = true;
  Context.PatternMasks = {"*.txt", "[abc"};
  TFakeDirectoryLister Lister;
  Lister.Folders["/only-folders/"] = {FakeDir("a")};
  Lister.Folders["/only-folders/a/"] = {};
  Lister.Folders["/matched-first/"] = {FakeFile("readme.TXT", 1)};
  Lister.Folders["/files/"] = {FakeFile("x.dat", 1)};

  EXPECT_NO_THROW(TDiskScanner(Context, &Lister).Scan("/only-folders"));
  EXPECT_NO_THROW(TDiskScanner(Context, &Lister).Scan("/matched-first"));
  try {
    TDiskScanner(Context, &Lister).Scan("/files");
    FAIL() << "an invalid mask must fail the scan";
  } catch (const EInvalidMask& Error) {
    EXPECT_STREQ(Error.what(), "'[ABC' is an invalid mask at (5)");
  }
}

TEST(DiskScannerTest, TreesDeeperThanAnyPathAndTheOpenFileLimitAreScannedWhole) {
  const TTempDir Dir;
  // Thousands of folders are made much faster in memory, where the machine allows.
  std::optional<testing::TScopedMount> InMemory;
  if (testing::EnterPrivateMountNamespace().empty()) {
    InMemory.emplace("", Dir.Path());
  }
  ASSERT_TRUE(testing::MakeFolderChain(Dir.Path(), 3000, 100));
  TScanContext Context;
  {
    const testing::TScopedFileLimit Limit(256);
    const auto Root = TDiskScanner(Context).Scan(Dir.Path());
    EXPECT_EQ(Root->TotalDirs, 3001);
    EXPECT_EQ(Root->TotalFiles, 30);
  }

  // A listing without a path limit goes as deep as it is asked.
  TFakeDirectoryLister Lister;
  std::string Path = "/";
  for (int Level = 0; Level < 5'000; ++Level) {
    Lister.Folders[Path] = {FakeDir("d"), FakeFile("f", 1)};
    Path += "d/";
  }
  const auto Deep = TDiskScanner(Context, &Lister).Scan("/");
  EXPECT_EQ(Deep->TotalDirs, 5'001);
  EXPECT_EQ(Deep->TotalFiles, 5'000);
}

// The platform's lister, with a hook that runs before each sub-folder is listed.
class THookedLister : public platform::IDirectoryLister {
 public:
  std::function<void(const std::string& Folder)> BeforeSubFolder;

  bool List(const std::string& Folder, platform::TDirListing& Out) override {
    return FReal->List(Folder, Out);
  }
  bool ListSubFolder(const std::string& Folder, const platform::TDirEntry& Seen,
                     platform::TDirListing& Out) override {
    BeforeSubFolder(Folder);
    return FReal->ListSubFolder(Folder, Seen, Out);
  }
  std::shared_ptr<platform::IFolderReader> OpenFolder(
      const std::string& Folder, const std::shared_ptr<platform::IFolderReader>& Parent,
      const platform::TDirEntry* Seen, platform::TListProblem& Problem) override {
    if (Parent != nullptr) {
      BeforeSubFolder(Folder);
    }
    return FReal->OpenFolder(Folder, Parent, Seen, Problem);
  }

 private:
  std::unique_ptr<platform::IDirectoryLister> FReal = platform::CreateDirectoryLister();
};

TEST(DiskScannerTest, AFolderSwappedAfterItWasListedIsNotFollowed) {
  // Between its parent's listing and its own, "victim" is replaced by a link to a folder outside
  // the tree, or by another folder moved in under its name: either way it stays empty.
  const struct {
    const char* Swap;
    bool ForLink;
  } kSwaps[] = {{"for a link", true}, {"for another folder", false}};
  for (const int Threads : {1, 4}) {
    for (const auto& Swap : kSwaps) {
      SCOPED_TRACE(std::string(Swap.Swap) + " on " + std::to_string(Threads) + " threads");
      const TTempDir Dir;
      const TTempDir Outside;
      Outside.MakeFile("outside.bin", 1000);
      Dir.MakeFile("tree/own.txt", 5);
      Dir.MakeFile("tree/victim/inside.txt", 7);
      Dir.MakeFile("elsewhere/moved-in.bin", 2000);
      THookedLister Lister;
      Lister.BeforeSubFolder = [&](const std::string& Folder) {
        if (Folder != Dir / "tree/victim/") {
          return;
        }
        ASSERT_EQ(rename((Dir / "tree/victim").c_str(), (Dir / "old-victim").c_str()), 0);
        if (Swap.ForLink) {
          ASSERT_EQ(symlink(Outside.Path().c_str(), (Dir / "tree/victim").c_str()), 0);
        } else {
          ASSERT_EQ(rename((Dir / "elsewhere").c_str(), (Dir / "tree/victim").c_str()), 0);
        }
      };
      TScanContext Context;
      Context.WalkThreads = Threads;
      const auto Root = TDiskScanner(Context, &Lister).Scan(Dir / "tree");
      ASSERT_EQ(Root->Children.size(), 1u);
      EXPECT_TRUE(Root->Children[0]->Leaves.empty());
      EXPECT_EQ(Root->TotalSize, 5);
      EXPECT_EQ(Root->TotalDirs, 2);
    }
  }
}

using DiskScannerMountTest = testing::TScanMountTest;

TEST_F(DiskScannerMountTest, MountsBelowTheScanRootAreNotEntered) {
  if (const std::string Failure = MakeTreeWithMountsBelow(); !Failure.empty()) {
    GTEST_SKIP() << Failure;
  }
  TScanContext Context;
  TDiskScanner Scanner(Context);
  const auto Root = Scanner.Scan(FTree);
  EXPECT_EQ(Root->TotalSize, 10);
  EXPECT_EQ(Root->TotalDirs, 2);
  EXPECT_EQ(Scanner.BytesScanned(), 10);
  // Scanned itself, a mount point is walked like any folder.
  EXPECT_EQ(TDiskScanner(Context).Scan(FTmpfs)->TotalSize, 20);
}

TEST(DiskScannerTest, SizeSumsStopAtTheLargestSizeInsteadOfWrapping) {
  constexpr int64_t kMax = INT64_MAX;
  TFakeDirectoryLister Lister;
  Lister.Folders["/s/"] = {FakeFile("a.img", kMax), FakeFile("b.img", kMax), FakeDir("sub"),
                           FakeDir("sub2")};
  Lister.Folders["/s/sub/"] = {FakeFile("c.img", kMax)};
  Lister.Folders["/s/sub2/"] = {FakeFile("d.img", 1), FakeFile("e.txt", 1)};
  TScanContext Context;
  TDiskScanner Scanner(Context, &Lister);
  const auto Root = Scanner.Scan("/s");
  EXPECT_EQ(Root->TotalSize, kMax);
  EXPECT_EQ(Root->TotalFiles, 5);
  EXPECT_EQ(Root->Children[0]->TotalSize, kMax);
  EXPECT_EQ(Root->Children[1]->TotalSize, 2);
  EXPECT_EQ(ExtensionTotalsOf(*Root).Find(".img")->Bytes, kMax);
  EXPECT_EQ(ExtensionTotalsOf(*Root).Find(".img")->Files, 4);
  EXPECT_EQ(ExtensionTotalsOf(*Root).Find(".txt")->Bytes, 1);
  EXPECT_EQ(Scanner.BytesScanned(), kMax);
}

}  // namespace
}  // namespace dunstrel
