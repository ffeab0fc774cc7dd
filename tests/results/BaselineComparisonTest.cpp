// The growth of every folder and file since a saved scan of the same folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "results/BaselineComparison.h"
#include "results/ScanExport.h"
#include "scan/ScanModel.h"
#include "support/TempDir.h"

namespace dunstrel {
namespace {

namespace fs = std::filesystem;
using testing::TTempDir;

std::unique_ptr<TDirNode> ScanOf(const std::string& Path) {
  TScanContext Context;
  return TDiskScanner(Context).Scan(Path);
}

// The entry of the tree at a path relative to the root: a folder when it ends in "/".
struct TEntry {
  const TDirNode* Folder = nullptr;
  const TFileLeaf* File = nullptr;
};

TEntry Find(const TDirNode& Root, std::string Relative) {
  const bool IsFolder = Relative.empty() || Relative.back() == '/';
  if (IsFolder && !Relative.empty()) {
    Relative.pop_back();
  }
  const TDirNode* Folder = &Root;
  size_t Start = 0;
  for (size_t Slash; Folder != nullptr && (Slash = Relative.find('/', Start)) != std::string::npos;
       Start = Slash + 1) {
    const std::string Part = Relative.substr(Start, Slash - Start);
    const TDirNode* Next = nullptr;
    for (const auto& Child : Folder->Children) {
      Next = Child->Name() == Part ? Child.get() : Next;
    }
    Folder = Next;
  }
  const std::string Last = Relative.substr(Start);
  if (Folder == nullptr || Last.empty()) {
    return {Folder, nullptr};
  }
  if (IsFolder) {
    for (const auto& Child : Folder->Children) {
      if (Child->Name() == Last) {
        return {Child.get(), nullptr};
      }
    }
    return {};
  }
  for (const TFileLeaf* Leaf : Folder->Leaves) {
    if (Leaf->Name() == Last) {
      return {nullptr, Leaf};
    }
  }
  return {};
}

TEST(BaselineComparisonTest, GrowthOfEveryEntrySinceTheBaseline) {
  const TTempDir Dir;
  const TTempDir Saved;
  Dir.MakeFile("grown.txt", 100);
  Dir.MakeFile("shrunk.txt", 500);
  Dir.MakeFile("same.txt", 42);
  Dir.MakeFile("gone.txt", 70);
  Dir.MakeFile("Case.txt", 10);
  Dir.MakeFile("keep/inner.bin", 1000);
  Dir.MakeFile("keep/stays.bin", 5);
  Dir.MakeFile("olddir/a", 300);
  Dir.MakeFile("olddir/deeper/b", 400);
  const std::string Baseline = Saved / "baseline.json.zst";
  SaveScanFile(*ScanOf(Dir.Path()), Baseline);

  Dir.MakeFile("grown.txt", 300);
  Dir.MakeFile("shrunk.txt", 200);
  fs::remove(Dir / "gone.txt");
  Dir.MakeFile("case.txt", 20);  // a twin of Case.txt by case only: another file
  Dir.MakeFile("added.txt", 64);
  Dir.MakeFile("keep/inner.bin", 4000);
  fs::remove_all(Dir / "olddir");
  Dir.MakeFile("newdir/x", 11);
  Dir.MakeFile("newdir/sub/y", 22);

  const std::unique_ptr<TDirNode> Current = ScanOf(Dir.Path());
  const TBaselineComparison Comparison = CompareWithBaseline(*Current, *LoadScanFile(Baseline));
  struct TCase {
    const char* Path;
    TGrowthKind Kind;
    int64_t Bytes;
  };
  const TCase Cases[] = {
      {"grown.txt", TGrowthKind::Grown, 200},
      {"shrunk.txt", TGrowthKind::Shrunk, -300},
      {"same.txt", TGrowthKind::Unchanged, 0},
      {"Case.txt", TGrowthKind::Unchanged, 0},
      {"case.txt", TGrowthKind::New, 20},
      {"added.txt", TGrowthKind::New, 64},
      {"keep/", TGrowthKind::Grown, 3000},
      {"keep/inner.bin", TGrowthKind::Grown, 3000},
      {"keep/stays.bin", TGrowthKind::Unchanged, 0},
      {"newdir/", TGrowthKind::New, 33},
      {"newdir/sub/", TGrowthKind::New, 22},
      {"newdir/sub/y", TGrowthKind::New, 22},
      // 200 + -300 + 20 + 64 + 3000 + 33 - 70 (gone.txt) - 700 (olddir)
      {"", TGrowthKind::Grown, 2247},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Path);
    const TEntry Entry = Find(*Current, Case.Path);
    ASSERT_TRUE(Entry.Folder != nullptr || Entry.File != nullptr);
    const TGrowth Growth = Entry.File ? Comparison.Of(*Entry.File, TSizeCount::ApparentSize)
                                      : Comparison.Of(*Entry.Folder, TSizeCount::ApparentSize);
    EXPECT_EQ(Growth.Kind, Case.Kind);
    EXPECT_EQ(Growth.Bytes, Case.Bytes);
  }
  // In the other count, the figures are the allocated space's.
  const TGrowth RootUsage = Comparison.Of(*Current, TSizeCount::DiskUsage);
  EXPECT_EQ(RootUsage.Bytes, Current->TotalDiskUsage - LoadScanFile(Baseline)->TotalDiskUsage);

  const auto Removed = Comparison.RemovedFrom(*Current);
  ASSERT_EQ(Removed.size(), 2u);
  std::vector<std::string> Seen;
  for (const TRemovedEntry& Entry : Removed) {
    Seen.push_back(std::string(Entry.Name) + (Entry.IsFolder ? "/ " : " ") +
                   std::to_string(Entry.OldSizeIn(TSizeCount::ApparentSize)) + " " +
                   std::to_string(Entry.OldFiles));
  }
  std::sort(Seen.begin(), Seen.end());
  EXPECT_EQ(Seen, (std::vector<std::string>{"gone.txt 70 1", "olddir/ 700 2"}));
  EXPECT_TRUE(Comparison.RemovedFrom(*Find(*Current, "keep/").Folder).empty());
  EXPECT_EQ(Comparison.Removed().size(), 2u);
}

TEST(BaselineComparisonTest, BaselineOfAnotherFolderIsRefused) {
  const TTempDir Dir;
  const TTempDir Other;
  const TTempDir Saved;
  Dir.MakeFile("a", 1);
  Other.MakeFile("a", 1);
  SaveScanFile(*ScanOf(Other.Path()), Saved / "other.json");
  const std::unique_ptr<TDirNode> Current = ScanOf(Dir.Path());
  try {
    (void)CompareWithBaseline(*Current, *LoadScanFile(Saved / "other.json"));
    ADD_FAILURE() << "a baseline of another folder was compared";
  } catch (const EBaselineMismatch& Error) {
    const std::string Message = Error.what();
    EXPECT_NE(Message.find(Other.Path()), std::string::npos) << Message;
    EXPECT_NE(Message.find(Dir.Path()), std::string::npos) << Message;
  }
  // A folder inside the scanned one is another folder too.
  SaveScanFile(*ScanOf(Dir.MakeDir("inner")), Saved / "inner.json");
  EXPECT_THROW((void)CompareWithBaseline(*ScanOf(Dir.Path()), *LoadScanFile(Saved / "inner.json")),
               EBaselineMismatch);
}

}  // namespace
}  // namespace dunstrel
