// The walk on several threads against the walk on one: the same trees, counts and failures.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <optional>
#include <random>

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

constexpr int kThreadCounts[] = {2, 5, 32};

// Node by node, without recursion: paths, leaves in order, children in order, totals and
// statistics.
void ExpectSameTree(const TDirNode& Expected, const TDirNode& Actual) {
  std::vector<std::pair<const TDirNode*, const TDirNode*>> Pending{{&Expected, &Actual}};
  while (!Pending.empty()) {
    const auto [E, A] = Pending.back();
    Pending.pop_back();
    ASSERT_EQ(E->FullPath(), A->FullPath());
    ASSERT_EQ(E->Name(), A->Name());
    ASSERT_EQ(E->TotalSize, A->TotalSize) << E->FullPath();
    ASSERT_EQ(E->TotalFiles, A->TotalFiles) << E->FullPath();
    ASSERT_EQ(E->TotalDirs, A->TotalDirs) << E->FullPath();
    ASSERT_EQ(E->TotalDiskUsage, A->TotalDiskUsage) << E->FullPath();
    ASSERT_EQ(E->OwnDiskUsage, A->OwnDiskUsage) << E->FullPath();
    ASSERT_EQ(E->ReadProblem, A->ReadProblem) << E->FullPath();
    ASSERT_EQ(E->UnreadableFolders, A->UnreadableFolders) << E->FullPath();
    ASSERT_EQ(E->Leaves.size(), A->Leaves.size()) << E->FullPath();
    for (size_t I = 0; I < E->Leaves.size(); ++I) {
      const TFileLeaf& L = *E->Leaves[I];
      const TFileLeaf& R = *A->Leaves[I];
      ASSERT_EQ(L.Name(), R.Name()) << E->FullPath();
      ASSERT_EQ(L.Size(), R.Size()) << L.FullPath();
      ASSERT_EQ(L.ModifiedFT(), R.ModifiedFT()) << L.FullPath();
      ASSERT_EQ(L.Ext(), R.Ext()) << L.FullPath();
      ASSERT_EQ(L.Allocated(), R.Allocated()) << L.FullPath();
      ASSERT_EQ(L.IsHardLinked(), R.IsHardLinked()) << L.FullPath();
      ASSERT_EQ(L.IsHardLinkRepeat(), R.IsHardLinkRepeat()) << L.FullPath();
      ASSERT_EQ(&R.Parent(), A);
    }
    const TExtensionTotals ETotals = ExtensionTotalsOf(*E);
    const TExtensionTotals ATotals = ExtensionTotalsOf(*A);
    const std::vector<TExtStatPair>& EStats = ETotals.Rows();
    const std::vector<TExtStatPair>& AStats = ATotals.Rows();
    ASSERT_EQ(EStats.size(), AStats.size()) << E->FullPath();
    for (size_t I = 0; I < EStats.size(); ++I) {
      ASSERT_EQ(EStats[I].Ext, AStats[I].Ext) << E->FullPath();
      ASSERT_EQ(EStats[I].Bytes, AStats[I].Bytes) << E->FullPath();
      ASSERT_EQ(EStats[I].Files, AStats[I].Files) << E->FullPath();
    }
    ASSERT_EQ(E->Children.size(), A->Children.size()) << E->FullPath();
    for (size_t I = 0; I < E->Children.size(); ++I) {
      ASSERT_EQ(A->Children[I]->Parent(), A);
      Pending.emplace_back(E->Children[I].get(), A->Children[I].get());
    }
  }
}

struct TWalkResult {
  std::unique_ptr<TDirNode> Root;
  int64_t Files = 0;
  int64_t Dirs = 0;
  int64_t Bytes = 0;
  std::string Error;
};

TWalkResult Walk(const std::string& Path, int Threads, platform::IDirectoryLister* Lister,
                 const std::function<void(TScanContext&)>& Setup) {
  TScanContext Context;
  Context.WalkThreads = Threads;
  if (Setup) {
    Setup(Context);
  }
  TWalkResult Result;
  TDiskScanner Scanner(Context, Lister);
  try {
    Result.Root = Scanner.Scan(Path);
  } catch (const std::exception& Error) {
    Result.Error = Error.what();
  }
  Result.Files = Scanner.FilesScanned();
  Result.Dirs = Scanner.DirsScanned();
  Result.Bytes = Scanner.BytesScanned();
  return Result;
}

// Scans Path on one thread and then on several, each time with a fresh lister from MakeLister
// (none: the platform's), and expects the same outcome.
void ExpectSameWalks(const std::string& Path,
                     const std::function<std::unique_ptr<platform::IDirectoryLister>()>& MakeLister,
                     const std::function<void(TScanContext&)>& Setup = nullptr) {
  auto OneLister = MakeLister ? MakeLister() : nullptr;
  const TWalkResult One = Walk(Path, 1, OneLister.get(), Setup);
  for (const int Threads : kThreadCounts) {
    SCOPED_TRACE(Threads);
    auto Lister = MakeLister ? MakeLister() : nullptr;
    const TWalkResult Many = Walk(Path, Threads, Lister.get(), Setup);
    EXPECT_EQ(Many.Error, One.Error);
    ASSERT_EQ(Many.Root == nullptr, One.Root == nullptr);
    if (One.Error.empty()) {
      ExpectSameTree(*One.Root, *Many.Root);
      EXPECT_EQ(Many.Files, One.Files);
      EXPECT_EQ(Many.Dirs, One.Dirs);
      EXPECT_EQ(Many.Bytes, One.Bytes);
    }
  }
}

// A random tree in a table: links to folders (among them loops to an ancestor), links to files,
// folders that cannot be listed or are gone by the time they are read, mount points, and files
// of many extensions, sizes and stamps.
std::map<std::string, std::vector<testing::TFakeEntry>> RandomFakeTree(unsigned Seed) {
  std::mt19937 Random(Seed);
  const char* Exts[] = {".txt", ".TXT", ".Jpg", "", ".tar.gz", ".c", ".LOG"};
  std::map<std::string, std::vector<testing::TFakeEntry>> Tree;
  std::vector<std::string> Folders{"/t/"};
  for (size_t I = 0; I < Folders.size() && Folders.size() < 400; ++I) {
    auto& Entries = Tree[Folders[I]];
    const int Count = static_cast<int>(Random() % 12);
    for (int E = 0; E < Count; ++E) {
      const std::string Name = "e" + std::to_string(E);
      switch (Random() % 8) {
        case 0:
        case 1: {
          Entries.push_back(FakeDir(Name));
          const unsigned Fate = Random() % 10;
          if (Fate != 0) {  // 1 in 10 cannot be listed
            Folders.push_back(Folders[I] + Name + "/");
          }
          break;
        }
        case 2:
          // A link to a folder (a loop to the root), a mount point, a link to a file.
          Entries.push_back({Name, Random() % 2 == 0, true, 0, 0});
          break;
        default:
          Entries.push_back({Name + Exts[Random() % 7], false, false,
                             static_cast<int64_t>(Random() % 100'000),
                             static_cast<platform::TFileStamp>(Random()) * 1'000'000ULL});
      }
    }
  }
  return Tree;
}

TEST(ConcurrentWalkTest, SameTreeAsTheOneThreadWalkOnTablesOfFolders) {
  const std::vector<std::pair<const char*, std::function<void(TScanContext&)>>> Filters = {
      {"no filters", nullptr},
      {"size and masks",
       [](TScanContext& C) {
         C.ExcludeLessThan = true;
         C.LessThanBytes = 30'000;
         C.ExcludePattern = true;
         C.PatternMasks = {"*.log", "*/E1/*"};
       }},
      {"invalid mask",
       [](TScanContext& C) {
         C.ExcludePattern = true;
         C.PatternMasks = {"[abc"};
       }},
  };
  for (const unsigned Seed : {1u, 2u, 3u}) {
    for (const auto& [Name, Setup] : Filters) {
      SCOPED_TRACE(std::string(Name) + ", seed " + std::to_string(Seed));
      for (const size_t Batch : {size_t{0}, size_t{3}}) {
        ExpectSameWalks(
            "/t",
            [Seed, Batch]() -> std::unique_ptr<platform::IDirectoryLister> {
              auto Lister = std::make_unique<TFakeDirectoryLister>();
              Lister->Folders = RandomFakeTree(Seed);
              Lister->BatchSize = Batch;
              return Lister;
            },
            Setup);
      }
    }
  }
}

TEST(ConcurrentWalkTest, SameTreeAsTheOneThreadWalkOnRealFolders) {
  const TTempDir Dir;
  std::optional<testing::TScopedMount> InMemory;
  if (testing::EnterPrivateMountNamespace().empty()) {
    InMemory.emplace("", Dir.Path());
  }
  std::mt19937 Random(11);
  const char* Exts[] = {".txt", ".TXT", ".jpg", "", ".c"};
  for (int I = 0; I < 600; ++I) {
    std::string Folder;
    for (int Depth = static_cast<int>(Random() % 5); Depth > 0; --Depth) {
      Folder += "d" + std::to_string(Random() % 4) + "/";
    }
    Dir.MakeFile(Folder + "f" + std::to_string(I) + Exts[Random() % 5],
                 static_cast<int64_t>(Random() % 5000));
  }
  Dir.MakeDir("empty/inner");
  Dir.MakeFile("big/huge-folder-0", 1);
  for (int I = 1; I < 3000; ++I) {  // more than one batch
    Dir.MakeFile("big/huge-folder-" + std::to_string(I), I);
  }
  ASSERT_EQ(symlink(Dir.Path().c_str(), (Dir / "d1/loop").c_str()), 0);
  ASSERT_EQ(symlink((Dir / "d2").c_str(), (Dir / "d0/to-d2").c_str()), 0);
  ASSERT_EQ(symlink("nowhere", (Dir / "dangling").c_str()), 0);
  ASSERT_TRUE(testing::MakeFolderChain(Dir.MakeDir("chain"), 400, 7));
  // Hard links within and across folders: the same one counts, whichever thread met it first.
  for (int I = 0; I < 40; ++I) {
    const std::string Target = Dir / ("big/huge-folder-" + std::to_string(I * 50 + 1));
    const std::string Name = "d" + std::to_string(I % 4) + "/link-" + std::to_string(I);
    ASSERT_EQ(link(Target.c_str(), (Dir / Name).c_str()), 0) << Name;
  }
  ExpectSameWalks(Dir.Path(), nullptr);
  const TWalkResult Unlimited = Walk(Dir.Path(), 1, nullptr, nullptr);
  for (const uint64_t Descriptors : {64, 16}) {
    // Descriptors run short: folders are opened again through their parents when needed, and
    // a folder that cannot be opened waits for another to be closed.
    SCOPED_TRACE(Descriptors);
    const testing::TScopedFileLimit Limit(Descriptors);
    for (const int Threads : {1, 16}) {
      SCOPED_TRACE(Threads);
      const TWalkResult Limited = Walk(Dir.Path(), Threads, nullptr, nullptr);
      ExpectSameTree(*Unlimited.Root, *Limited.Root);
      EXPECT_EQ(Limited.Root->UnreadableFolders, 0);
    }
  }
}

using ConcurrentWalkMountTest = testing::TScanMountTest;

TEST_F(ConcurrentWalkMountTest, MountsBelowTheRootAreLeftOutAsByOneThread) {
  if (const std::string Failure = MakeTreeWithMountsBelow(); !Failure.empty()) {
    GTEST_SKIP() << Failure;
  }
  ExpectSameWalks(FTree, nullptr);
  TScanContext Context;
  Context.WalkThreads = 8;
  EXPECT_EQ(TDiskScanner(Context).Scan(FTree)->TotalSize, 10);
}

// The platform's lister, counting the entries it hands out.
class TCountingLister : public platform::IDirectoryLister {
 public:
  std::atomic<int64_t> Delivered{0};

  bool List(const std::string& Folder, platform::TDirListing& Out) override {
    return Count(FReal->List(Folder, Out), Out);
  }
  bool ListFirst(const std::string& Folder, const platform::TDirEntry* Seen,
                 platform::TDirListing& Out) override {
    return Count(FReal->ListFirst(Folder, Seen, Out), Out);
  }
  bool ListMore(const std::string& Folder, platform::TDirListing& Out) override {
    return Count(FReal->ListMore(Folder, Out), Out);
  }
  std::shared_ptr<platform::IFolderReader> OpenFolder(
      const std::string& Folder, const std::shared_ptr<platform::IFolderReader>& Parent,
      const platform::TDirEntry* Seen, platform::TListProblem& Problem) override {
    auto* Counted = dynamic_cast<TCountedReader*>(Parent.get());
    auto Real =
        FReal->OpenFolder(Folder, Counted == nullptr ? nullptr : Counted->Real, Seen, Problem);
    return Real == nullptr ? nullptr : std::make_shared<TCountedReader>(Real, Delivered);
  }

 private:
  struct TCountedReader : platform::IFolderReader {
    TCountedReader(std::shared_ptr<platform::IFolderReader> AReal, std::atomic<int64_t>& ACount)
        : Real(std::move(AReal)), Count(ACount) {}
    bool Next(platform::TDirListing& Out) override {
      const bool More = Real->Next(Out);
      Count += static_cast<int64_t>(Out.Count());
      return More;
    }
    std::shared_ptr<platform::IFolderReader> Real;
    std::atomic<int64_t>& Count;
  };

  bool Count(bool Listed, const platform::TDirListing& Out) {
    Delivered += static_cast<int64_t>(Out.Count());
    return Listed;
  }

  std::unique_ptr<platform::IDirectoryLister> FReal = platform::CreateDirectoryLister();
};

// 7 ms pass between two readings, on any thread.
class TSteppingTick : public platform::ITickSource {
 public:
  uint32_t NowMs() const override { return FNow += 7; }

 private:
  mutable std::atomic<uint32_t> FNow{0};
};

TEST(ConcurrentWalkTest, ProgressAndStopInsideAHugeFolder) {
  const TTempDir Dir;
  std::optional<testing::TScopedMount> InMemory;
  if (testing::EnterPrivateMountNamespace().empty()) {
    InMemory.emplace("", Dir.Path());
  }
  constexpr int kFiles = 200'000;
  const std::string Huge = Dir.MakeDir("huge");
  for (int I = 0; I < kFiles; ++I) {
    const std::string Name = Huge + "/" + std::to_string(I);
    close(open(Name.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
  }
  for (const int Threads : {1, 8}) {
    SCOPED_TRACE(Threads);
    TCountingLister Lister;
    const TSteppingTick Tick;
    TScanContext Context;
    Context.WalkThreads = Threads;
    TDiskScanner Scanner(Context, &Lister, Tick);
    int64_t FilesAtStop = 0;
    Scanner.OnProgress = [&](std::string_view Path, int64_t Files, int64_t) {
      if (Files > 0 && !Context.IsCancelled()) {
        EXPECT_EQ(Path, Huge);
        FilesAtStop = Files;
        Context.Cancel();
      }
    };
    const auto Root = Scanner.Scan(Dir.Path());
    ASSERT_NE(Root, nullptr);
    // Progress came while the folder was being read, and Stop ended its reading.
    EXPECT_GT(FilesAtStop, 0);
    EXPECT_LT(Lister.Delivered.load(), kFiles / 10);
    EXPECT_LE(Scanner.FilesScanned(), Lister.Delivered.load());
  }
}

}  // namespace
}  // namespace dunstrel
