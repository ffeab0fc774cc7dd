// Disk usage as `du` counts it: allocated blocks, folders' own blocks, hard-linked data once; and
// the apparent size exactly as before.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "scan/ScanModel.h"
#include "support/TempDir.h"

namespace dunstrel {
namespace {

using testing::TTempDir;

// Writes Size bytes of data (not a hole) into a new file at Path.
void WriteFile(const std::string& Path, size_t Size) {
  const int Fd = open(Path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
  ASSERT_GE(Fd, 0) << Path;
  const std::string Data(Size, 'x');
  ASSERT_EQ(write(Fd, Data.data(), Data.size()), static_cast<ssize_t>(Data.size()));
  close(Fd);
}

// What `du -s -B1` says of Path; -1 when it cannot be run.
int64_t DuOf(const std::string& Path) {
  const std::string Command = "du -s -B1 '" + Path + "' 2>/dev/null";
  FILE* Pipe = popen(Command.c_str(), "r");
  if (Pipe == nullptr) {
    return -1;
  }
  long long Bytes = -1;
  if (std::fscanf(Pipe, "%lld", &Bytes) != 1) {
    Bytes = -1;
  }
  pclose(Pipe);
  return Bytes;
}

struct TCounted {
  int64_t ApparentSize = 0;  // st_size of every name
  int64_t Repeats = 0;       // names of data met before, in the tree's own order
  int64_t MarkedWrongly = 0;
};

// Walks the scanned tree in its own order (a folder's files, then its sub-folders) and checks
// every leaf against the file system: the first name of each inode counts, the others are
// repeats.
TCounted CountByStat(const TDirNode& Root) {
  TCounted Counted;
  std::set<std::pair<dev_t, ino_t>> Seen;
  std::vector<const TDirNode*> Pending{&Root};
  while (!Pending.empty()) {
    const TDirNode* Folder = Pending.back();
    Pending.pop_back();
    for (const TFileLeaf* Leaf : Folder->Leaves) {
      struct stat Info {};
      if (lstat(Leaf->FullPath().c_str(), &Info) != 0) {
        ++Counted.MarkedWrongly;
        continue;
      }
      Counted.ApparentSize += Info.st_size;
      const bool Repeat = !Seen.emplace(Info.st_dev, Info.st_ino).second;
      Counted.Repeats += Repeat ? 1 : 0;
      if (Repeat != Leaf->IsHardLinkRepeat() || Leaf->Allocated() != Info.st_blocks * 512 ||
          Leaf->SizeIn(TSizeCount::DiskUsage) != (Repeat ? 0 : Info.st_blocks * 512)) {
        ++Counted.MarkedWrongly;
      }
    }
    for (auto Child = Folder->Children.rbegin(); Child != Folder->Children.rend(); ++Child) {
      Pending.push_back(Child->get());
    }
  }
  return Counted;
}

TEST(DiskUsageTest, TotalsEqualDuAndTheSumOfSizes) {
  struct TCase {
    const char* Name;
    std::function<void(const TTempDir& Dir, const TTempDir& Outside)> Make;
    int64_t Repeats;
  };
  const std::vector<TCase> Cases = {
      {"sparse and written files",
       [](const TTempDir& Dir, const TTempDir&) {
         Dir.MakeFile("sparse.img", 50'000'000);
         WriteFile(Dir.MakeDir("data") + "/written.bin", 70'000);
         WriteFile(Dir / "small.txt", 3);
       },
       0},
      {"hard links in one folder",
       [](const TTempDir& Dir, const TTempDir&) {
         WriteFile(Dir / "a", 20'000);
         ASSERT_EQ(link((Dir / "a").c_str(), (Dir / "b").c_str()), 0);
         ASSERT_EQ(link((Dir / "a").c_str(), (Dir / "c").c_str()), 0);
       },
       2},
      {"hard links across sub-folders",
       [](const TTempDir& Dir, const TTempDir&) {
         WriteFile(Dir.MakeDir("x/deep") + "/a", 30'000);
         Dir.MakeDir("y");
         Dir.MakeDir("z");
         ASSERT_EQ(link((Dir / "x/deep/a").c_str(), (Dir / "y/b").c_str()), 0);
         ASSERT_EQ(link((Dir / "x/deep/a").c_str(), (Dir / "z/c").c_str()), 0);
         WriteFile(Dir / "z/own", 10'000);
       },
       2},
      {"a hard link to a file outside the root",
       [](const TTempDir& Dir, const TTempDir& Outside) {
         WriteFile(Outside / "original", 40'000);
         ASSERT_EQ(link((Outside / "original").c_str(), (Dir / "inside").c_str()), 0);
       },
       0},
      {"folders' own blocks",
       [](const TTempDir& Dir, const TTempDir&) {
         const std::string Big = Dir.MakeDir("many");
         for (int I = 0; I < 1500; ++I) {  // a folder table of several blocks
           Dir.MakeFile("many/a-rather-long-file-name-" + std::to_string(I));
         }
         Dir.MakeDir("empty/emptier");
       },
       0},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    const TTempDir Dir;
    const TTempDir Outside;
    Case.Make(Dir, Outside);
    const int64_t Du = DuOf(Dir.Path());
    ASSERT_GT(Du, 0) << "du could not be run";
    for (const int Threads : {1, 16}) {
      SCOPED_TRACE(Threads);
      TScanContext Context;
      Context.WalkThreads = Threads;
      const auto Root = TDiskScanner(Context).Scan(Dir.Path());
      EXPECT_EQ(Root->TotalIn(TSizeCount::DiskUsage), Du);
      const TCounted Counted = CountByStat(*Root);
      EXPECT_EQ(Root->TotalIn(TSizeCount::ApparentSize), Counted.ApparentSize);
      EXPECT_EQ(Root->TotalSize, Counted.ApparentSize);
      EXPECT_EQ(Counted.Repeats, Case.Repeats);
      EXPECT_EQ(Counted.MarkedWrongly, 0);
      EXPECT_EQ(Root->UnreadableFolders, 0);
    }
  }
}

// A folder's disk usage is its own blocks, its files' (repeats as nothing) and its sub-folders'.
TEST(DiskUsageTest, EveryFolderSumsItsOwnBlocksFilesAndSubFolders) {
  const TTempDir Dir;
  WriteFile(Dir.MakeDir("p/q") + "/a", 9000);
  ASSERT_EQ(link((Dir / "p/q/a").c_str(), (Dir / "p/b").c_str()), 0);
  WriteFile(Dir / "p/c", 100);
  TScanContext Context;
  const auto Root = TDiskScanner(Context).Scan(Dir.Path());
  std::vector<const TDirNode*> Pending{Root.get()};
  while (!Pending.empty()) {
    const TDirNode& Folder = *Pending.back();
    Pending.pop_back();
    struct stat Own {};
    ASSERT_EQ(lstat(Folder.FullPath().c_str(), &Own), 0);
    EXPECT_EQ(Folder.OwnDiskUsage, Own.st_blocks * 512) << Folder.FullPath();
    int64_t Sum = Folder.OwnDiskUsage;
    for (const TFileLeaf* Leaf : Folder.Leaves) {
      Sum += Leaf->SizeIn(TSizeCount::DiskUsage);
    }
    for (const auto& Child : Folder.Children) {
      Sum += Child->TotalDiskUsage;
      Pending.push_back(Child.get());
    }
    EXPECT_EQ(Folder.TotalDiskUsage, Sum) << Folder.FullPath();
  }
}

}  // namespace
}  // namespace dunstrel
