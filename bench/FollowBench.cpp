// dunstrel-follow-bench [--files N] [--repeat N] [--dir PATH]
// The results following the disk, on the synthetic tree (1,000,000 files in 40,000 folders
// unless told otherwise) with its results' file arrays and duplicate groups:
// - rescan: a folder of about 10,000 files is written to disk and walked again; the time beyond
//   a plain walk of it (rescan_extra_ms) covers the parent's listing, preparing the change, the
//   next file arrays and the edit of the tree;
// - prune: that folder and two others of about its size taken out one after another
//   (prune_ms: preparing the change, the next file arrays, the edit of the tree);
// - compare: the tree, after both, against a saved scan of it as it was (compare_ms: reading the
//   file and matching), with the heap the comparison keeps and the most it held beyond the
//   baseline's own tree, per entry of the tree; then against a saved scan where every file had
//   another size, the most a comparison keeps (all_changed_...).
// Prints one JSON line, with machine_ref_ms (sorting 10 million 64-bit integers) for scale.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "HeapCounter.h"
#include "MachineReference.h"
#include "SyntheticTree.h"
#include "results/BaselineComparison.h"
#include "results/DuplicateGroups.h"
#include "results/FileArrays.h"
#include "results/NextFileArrays.h"
#include "results/ScanExport.h"
#include "results/ScanResults.h"
#include "scan/ScanModel.h"
#include "scan/TreeChange.h"

namespace {

using namespace dunstrel;
using TClock = std::chrono::steady_clock;
constexpr int64_t kFolderFiles = 10'000;

double Milliseconds(TClock::duration Duration) {
  return std::chrono::duration<double, std::milli>(Duration).count();
}

double Median(std::vector<double> Values) {
  std::sort(Values.begin(), Values.end());
  return Values.empty() ? 0 : Values[Values.size() / 2];
}

int64_t ResidentBytes() {
  std::ifstream Statm("/proc/self/statm");
  int64_t Size = 0;
  int64_t Resident = 0;
  Statm >> Size >> Resident;
  return Resident * 4096;
}

// The files of a synthetic tree's folders, by index, and each folder's files below it.
struct TFolderFiles {
  std::vector<int64_t> Own;
  std::vector<int64_t> Below;
};

TFolderFiles CountFiles(const bench::TSyntheticTree& Tree) {
  TFolderFiles Counts{std::vector<int64_t>(Tree.FolderPaths.size()),
                      std::vector<int64_t>(Tree.FolderPaths.size())};
  for (const bench::TSyntheticFile& File : Tree.Files) {
    ++Counts.Own[File.Folder];
  }
  Counts.Below = Counts.Own;
  for (size_t I = Tree.FolderPaths.size(); I-- > 1;) {  // parents come before their children
    Counts.Below[Tree.FolderParents[I]] += Counts.Below[I];
  }
  return Counts;
}

bool IsBelow(const bench::TSyntheticTree& Tree, uint32_t Folder, uint32_t Top) {
  for (; Folder != 0; Folder = Tree.FolderParents[Folder]) {
    if (Folder == Top) {
      return true;
    }
  }
  return Top == 0;
}

// Count folders holding about kFolderFiles files, none inside another, nearest first.
std::vector<uint32_t> PickFolders(const bench::TSyntheticTree& Tree, size_t Count) {
  const TFolderFiles Files = CountFiles(Tree);
  std::vector<uint32_t> Order;
  for (uint32_t I = 1; I < Tree.FolderPaths.size(); ++I) {
    Order.push_back(I);
  }
  std::sort(Order.begin(), Order.end(), [&Files](uint32_t A, uint32_t B) {
    return std::llabs(Files.Below[A] - kFolderFiles) < std::llabs(Files.Below[B] - kFolderFiles);
  });
  std::vector<uint32_t> Picked;
  for (const uint32_t Folder : Order) {
    if (Picked.size() == Count) {
      break;
    }
    const bool Apart = std::none_of(Picked.begin(), Picked.end(), [&](uint32_t Other) {
      return IsBelow(Tree, Folder, Other) || IsBelow(Tree, Other, Folder);
    });
    if (Apart) {
      Picked.push_back(Folder);
    }
  }
  return Picked;
}

// The folder Top with its files and the folders above it, as a tree of its own to write to disk.
bench::TSyntheticTree PartOf(const bench::TSyntheticTree& Tree, uint32_t Top) {
  bench::TSyntheticTree Part;
  std::vector<int64_t> NewIndex(Tree.FolderPaths.size(), -1);
  for (uint32_t I = 0; I < Tree.FolderPaths.size(); ++I) {
    const bool Above = IsBelow(Tree, Top, I) && I != Top;
    if (I == 0 || Above || IsBelow(Tree, I, Top)) {
      NewIndex[I] = static_cast<int64_t>(Part.FolderPaths.size());
      Part.FolderPaths.push_back(Tree.FolderPaths[I]);
      Part.FolderParents.push_back(
          static_cast<uint32_t>(I == 0 ? 0 : NewIndex[Tree.FolderParents[I]]));
    }
  }
  for (const bench::TSyntheticFile& File : Tree.Files) {
    if (File.Folder != 0 && IsBelow(Tree, File.Folder, Top)) {
      bench::TSyntheticFile Copy = File;
      Copy.Folder = static_cast<uint32_t>(NewIndex[File.Folder]);
      Copy.HardLinkOf = -1;  // its other name may be elsewhere
      Part.Files.push_back(std::move(Copy));
    }
  }
  return Part;
}

const TDirNode* FolderAt(const TDirNode& Root, const std::string& Relative) {
  const TDirNode* Folder = &Root;
  size_t Start = 0;
  while (Folder != nullptr && Start <= Relative.size()) {
    const size_t Slash = std::min(Relative.find('/', Start), Relative.size());
    const std::string_view Part(Relative.data() + Start, Slash - Start);
    const TDirNode* Next = nullptr;
    for (const auto& Child : Folder->Children) {
      Next = Child->Name() == Part ? Child.get() : Next;
    }
    Folder = Next;
    Start = Slash + 1;
  }
  return Folder;
}

struct TResults {
  std::unique_ptr<TDirNode> Root;
  std::vector<TFileLeaf*> AllFiles;
  int64_t AllTotalBytes = 0;
  TDuplicates Duplicates;
};

TResults BuildResults(const bench::TSyntheticTree& Tree, const std::string& RootPath) {
  TResults Results;
  Results.Root = bench::BuildScanTree(Tree, RootPath);
  FlattenAllFiles(Results.Root.get(), TSizeCount::ApparentSize, Results.AllFiles,
                  Results.AllTotalBytes);
  (void)GroupDuplicates(Results.AllFiles, Results.Duplicates);
  return Results;
}

// The parts of following one change.
struct TFollowTimes {
  double Files = 0;       // the files array and the largest list
  double Duplicates = 0;  // the duplicate groups
  double Apply = 0;       // the edit of the tree
  double Total() const { return Files + Duplicates + Apply; }
};

// Follows Change as the results will: the next arrays, then the edit of the tree; the change
// is prepared already.
TFollowTimes FollowChange(TResults& Results, TTreeChange Change) {
  TFollowTimes Times;
  auto Start = TClock::now();
  TNextFileArrays Next;
  Next.AllFiles =
      FilesAfterChange(Results.AllFiles, Results.AllTotalBytes, Change.GoneFiles(),
                       Change.AddedFiles(), TSizeCount::ApparentSize, Next.AllTotalBytes);
  const std::span<TFileLeaf* const> Display =
      TakeLargestFiles(Next.AllFiles, TScanResults::kLargestFilesShown, TSizeCount::ApparentSize,
                       Next.DisplayTotalBytes);
  Next.DisplayFiles.assign(Display.begin(), Display.end());
  Times.Files = Milliseconds(TClock::now() - Start);
  Start = TClock::now();
  (void)DuplicatesAfterChange(Results.Duplicates, Next.AllFiles, Change, Next.Duplicates);
  Times.Duplicates = Milliseconds(TClock::now() - Start);
  Start = TClock::now();
  const TDetachedFolders Detached = std::move(Change).Apply(*Results.Root);
  Times.Apply = Milliseconds(TClock::now() - Start);
  Results.AllFiles = std::move(Next.AllFiles);
  Results.AllTotalBytes = Next.AllTotalBytes;
  Results.Duplicates = std::move(Next.Duplicates);
  return Times;
}

// The medians of each part.
TFollowTimes Medians(const std::vector<TFollowTimes>& All) {
  const auto Of = [&All](double TFollowTimes::*Part) {
    std::vector<double> Values;
    for (const TFollowTimes& Times : All) {
      Values.push_back(Times.*Part);
    }
    return Median(Values);
  };
  return {Of(&TFollowTimes::Files), Of(&TFollowTimes::Duplicates), Of(&TFollowTimes::Apply)};
}

// One comparison with a saved scan, as File > "Compare with Saved Scan..." makes it.
struct TCompareFigures {
  double LoadMs = 0;
  double MatchMs = 0;
  double KeptPerEntry = 0;      // heap the comparison keeps
  double PeakPerEntry = 0;      // the most it held while matching, beyond the baseline's tree
  double BaselinePerEntry = 0;  // resident memory of the baseline's tree while it is read
  size_t Removed = 0;
};

TCompareFigures CompareWith(const TDirNode& Root, const std::string& Baseline) {
  TCompareFigures Figures;
  const auto Entries = static_cast<double>(Root.TotalFiles + Root.TotalDirs);
  const int64_t ResidentBefore = ResidentBytes();
  const auto LoadStart = TClock::now();
  std::unique_ptr<TDirNode> Saved = LoadScanFile(Baseline);
  Figures.LoadMs = Milliseconds(TClock::now() - LoadStart);
  Figures.BaselinePerEntry = static_cast<double>(ResidentBytes() - ResidentBefore) / Entries;
  const int64_t HeapBefore = bench::LiveHeapBytes();
  bench::ResetPeakHeapBytes();
  const auto MatchStart = TClock::now();
  const TBaselineComparison Comparison = CompareWithBaseline(Root, *Saved);
  Figures.MatchMs = Milliseconds(TClock::now() - MatchStart);
  Figures.PeakPerEntry = static_cast<double>(bench::PeakHeapBytes() - HeapBefore) / Entries;
  Figures.KeptPerEntry = static_cast<double>(bench::LiveHeapBytes() - HeapBefore) / Entries;
  Figures.Removed = Comparison.Removed().size();
  return Figures;
}

}  // namespace

int main(int argc, char* argv[]) {
  bench::TSyntheticTreeShape Shape;
  int Repeat = 5;
  std::string Dir = std::filesystem::temp_directory_path().string();
  for (int I = 1; I + 1 < argc; I += 2) {
    if (std::strcmp(argv[I], "--files") == 0) {
      Shape.Files = std::atoll(argv[I + 1]);
      Shape.Folders = std::max<int64_t>(1, Shape.Files / 25);
    } else if (std::strcmp(argv[I], "--repeat") == 0) {
      Repeat = std::max(1, std::atoi(argv[I + 1]));
    } else if (std::strcmp(argv[I], "--dir") == 0) {
      Dir = argv[I + 1];
    }
  }
  const double MachineRef = dunstrel::bench::MachineReferenceMs();
  const bench::TSyntheticTree Tree = bench::GenerateSyntheticTree(Shape);
  const std::vector<uint32_t> Folders = PickFolders(Tree, 3);
  const uint32_t Chosen = Folders.front();
  const std::string RootPath = Dir + "/dunstrel-follow-bench";
  const std::string Baseline = Dir + "/dunstrel-follow-bench.json";
  std::filesystem::remove_all(RootPath);
  try {
    bench::WriteSyntheticTree(PartOf(Tree, Chosen), RootPath);
    TResults Results = BuildResults(Tree, RootPath);
    const int64_t Entries = Results.Root->TotalFiles + Results.Root->TotalDirs;
    SaveScanFile(*Results.Root, Baseline);
    const std::string FolderPath = RootPath + "/" + Tree.FolderPaths[Chosen];

    // Walked again, Repeat times, against a plain walk of the same folder.
    TScanContext Context;
    std::vector<double> Walks;
    std::vector<double> Rescans;
    std::vector<TFollowTimes> Follows;
    int64_t FolderFiles = 0;
    for (int Run = 0; Run < Repeat; ++Run) {
      const auto WalkStart = TClock::now();
      FolderFiles = TDiskScanner(Context).Scan(FolderPath)->TotalFiles;
      Walks.push_back(Milliseconds(TClock::now() - WalkStart));
      const TDirNode& Folder = *FolderAt(*Results.Root, Tree.FolderPaths[Chosen]);
      const auto Start = TClock::now();
      TRescanWalk Walk = TDiskScanner(Context).Rescan(Folder);
      TTreeChange Change = TTreeChange::AfterRescan(Folder, std::move(Walk));
      Follows.push_back(FollowChange(Results, std::move(Change)));
      Rescans.push_back(Milliseconds(TClock::now() - Start));
    }

    // Taken out: the folder walked again, then others of its size.
    std::vector<double> Prunes;
    std::vector<TFollowTimes> PruneParts;
    for (size_t I = 0; I < Folders.size(); ++I) {
      const TDirNode* Folder = FolderAt(*Results.Root, Tree.FolderPaths[Folders[I]]);
      const auto Start = TClock::now();
      const TDirNode* const Gone[] = {Folder};
      TTreeChange Change = TTreeChange::Removal({}, Gone, true);
      PruneParts.push_back(FollowChange(Results, std::move(Change)));
      Prunes.push_back(Milliseconds(TClock::now() - Start));
    }

    // Compared with the tree as it was saved, and with one where every file had another size.
    const TCompareFigures Compared = CompareWith(*Results.Root, Baseline);
    {
      bench::TSyntheticTree Resized = Tree;
      for (bench::TSyntheticFile& File : Resized.Files) {
        File.Size += 1;
      }
      SaveScanFile(*bench::BuildScanTree(Resized, RootPath), Baseline);
    }
    const TCompareFigures AllChanged = CompareWith(*Results.Root, Baseline);
    const TFollowTimes RescanParts = Medians(Follows);
    const TFollowTimes PrunePart = Medians(PruneParts);
    std::printf(
        "{\"files\":%lld,\"entries\":%lld,\"folder_files\":%lld,\"walk_ms\":%.1f,"
        "\"rescan_ms\":%.1f,\"rescan_extra_ms\":%.1f,\"rescan_files_ms\":%.1f,"
        "\"rescan_duplicates_ms\":%.1f,\"rescan_apply_ms\":%.1f,\"prune_ms\":%.1f,"
        "\"prune_ms_most\":%.1f,\"prune_files_ms\":%.1f,\"prune_duplicates_ms\":%.1f,"
        "\"prune_apply_ms\":%.1f,\"compare_ms\":%.1f,\"compare_load_ms\":%.1f,"
        "\"compare_match_ms\":%.1f,\"compare_kept_bytes_per_entry\":%.1f,"
        "\"compare_peak_bytes_per_entry\":%.1f,\"compare_removed_entries\":%zu,"
        "\"all_changed_compare_ms\":%.1f,\"all_changed_kept_bytes_per_entry\":%.1f,"
        "\"all_changed_peak_bytes_per_entry\":%.1f,\"baseline_tree_bytes_per_entry\":%.1f,"
        "\"machine_ref_ms\":%.1f}\n",
        static_cast<long long>(Shape.Files), static_cast<long long>(Entries),
        static_cast<long long>(FolderFiles), Median(Walks), Median(Rescans),
        Median(Rescans) - Median(Walks), RescanParts.Files, RescanParts.Duplicates,
        RescanParts.Apply, Median(Prunes), *std::max_element(Prunes.begin(), Prunes.end()),
        PrunePart.Files, PrunePart.Duplicates, PrunePart.Apply, Compared.LoadMs + Compared.MatchMs,
        Compared.LoadMs, Compared.MatchMs, Compared.KeptPerEntry, Compared.PeakPerEntry,
        Compared.Removed, AllChanged.LoadMs + AllChanged.MatchMs, AllChanged.KeptPerEntry,
        AllChanged.PeakPerEntry, AllChanged.BaselinePerEntry, MachineRef);
  } catch (const std::exception& Error) {
    std::fprintf(stderr, "dunstrel-follow-bench: %s\n", Error.what());
    std::filesystem::remove_all(RootPath);
    std::filesystem::remove(Baseline);
    return 1;
  }
  std::filesystem::remove_all(RootPath);
  std::filesystem::remove(Baseline);
  return 0;
}
