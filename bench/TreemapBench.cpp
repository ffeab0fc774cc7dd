// dunstrel-treemap-bench [Google Benchmark flags]
// Builds each treemap for a 1920 x 700 canvas over synthetic scan trees of 100,000 and
// 1,000,000 files. Besides the time per build it reports, per file of the tree, the heap the
// built layout keeps (layout_B_per_file) and the most it held during the build
// (peak_B_per_file).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <numeric>

#include "HeapCounter.h"
#include "MachineReference.h"
#include "SyntheticTree.h"
#include "results/DuplicateGroups.h"
#include "results/FileArrays.h"
#include "treemap/Treemap.h"

namespace dunstrel::bench {
namespace {

constexpr TRect kCanvas = {0, 0, 1920, 700};
constexpr int64_t kFilesPerFolder = 25;

struct TBenchTree {
  std::unique_ptr<TDirNode> Root;
  std::vector<const TFileLeaf*> FilesBySize;  // largest first, as the window keeps them
  std::vector<const TFileLeaf*> FilesByFolder;
  TDuplicates Duplicates;
  std::vector<TDupFile> DuplicateFiles;  // every member of every group, in its group's colour
};

std::vector<const TFileLeaf*> FilesOf(const TDirNode& Root) {
  std::vector<const TFileLeaf*> Files;
  std::vector<const TDirNode*> Pending{&Root};
  while (!Pending.empty()) {
    const TDirNode* Folder = Pending.back();
    Pending.pop_back();
    Files.insert(Files.end(), Folder->Leaves.begin(), Folder->Leaves.end());
    for (const auto& Child : Folder->Children) {
      Pending.push_back(Child.get());
    }
  }
  return Files;
}

// What the window's tree views do to the tree before the nested maps are built: every list of
// sub-folders sorted by TotalSize and every list of files by Size, largest first.
void SortListsBySize(TDirNode& Root) {
  std::vector<TDirNode*> Pending{&Root};
  while (!Pending.empty()) {
    TDirNode* Folder = Pending.back();
    Pending.pop_back();
    std::sort(Folder->Children.begin(), Folder->Children.end(),
              [](const auto& A, const auto& B) { return A->TotalSize > B->TotalSize; });
    std::vector<size_t> Places(Folder->Leaves.size());
    std::iota(Places.begin(), Places.end(), size_t{0});
    std::sort(Places.begin(), Places.end(), [Folder](size_t A, size_t B) {
      return Folder->Leaves[A]->Size() > Folder->Leaves[B]->Size();
    });
    Folder->Leaves.Reorder(Places);
    for (const auto& Child : Folder->Children) {
      Pending.push_back(Child.get());
    }
  }
}

// The tree of Files files, as the window holds it after its views are built (ListsSorted) or
// in listing order.
const TBenchTree& TreeOf(int64_t Files, bool ListsSorted = true) {
  static std::map<std::pair<int64_t, bool>, TBenchTree> Trees;
  TBenchTree& Tree = Trees[{Files, ListsSorted}];
  if (!Tree.Root) {
    Tree.Root = BuildScanTree(
        GenerateSyntheticTree({.Seed = 1, .Files = Files, .Folders = Files / kFilesPerFolder}),
        "/bench");
    if (ListsSorted) {
      SortListsBySize(*Tree.Root);
    }
    Tree.FilesByFolder = FilesOf(*Tree.Root);
    Tree.FilesBySize = Tree.FilesByFolder;
    std::stable_sort(Tree.FilesBySize.begin(), Tree.FilesBySize.end(),
                     [](const TFileLeaf* A, const TFileLeaf* B) { return A->Size() > B->Size(); });
    std::vector<TFileLeaf*> AllFiles;
    int64_t AllBytes = 0;
    FlattenAllFiles(Tree.Root.get(), TSizeCount::ApparentSize, AllFiles, AllBytes);
    if (!GroupDuplicates(AllFiles, Tree.Duplicates)) {
      std::abort();
    }
    for (const TDupGroup& Group : Tree.Duplicates.Groups) {
      for (const TFileLeaf* File : Group.Files) {
        Tree.DuplicateFiles.push_back({File, Group.Color});
      }
    }
  }
  return Tree;
}

// Times Build on a layout of its own, then measures on a fresh one what a build keeps and
// what it needs at most.
template <typename TLayout, typename TBuild, typename TItemCount>
void Measure(benchmark::State& State, TBuild Build, TItemCount Items, bool ListsSorted = true) {
  const TBenchTree& Tree = TreeOf(State.range(0), ListsSorted);
  {
    TLayout Layout;
    for (auto _ : State) {
      Build(Layout, Tree);
      benchmark::ClobberMemory();
    }
  }
  const int64_t Before = LiveHeapBytes();
  ResetPeakHeapBytes();
  auto Layout = std::make_unique<TLayout>();
  Build(*Layout, Tree);
  const double Files = static_cast<double>(Tree.FilesByFolder.size());
  State.counters["items"] = static_cast<double>(Items(*Layout));
  State.counters["layout_B_per_file"] = static_cast<double>(LiveHeapBytes() - Before) / Files;
  State.counters["peak_B_per_file"] = static_cast<double>(PeakHeapBytes() - Before) / Files;
}

void FlatMap(benchmark::State& State) {
  Measure<TFlatTreemapLayout>(
      State,
      [](TFlatTreemapLayout& Map, const TBenchTree& Tree) {
        Map.BuildFromFiles(Tree.FilesBySize, TSizeCount::ApparentSize, kCanvas);
      },
      [](const TFlatTreemapLayout& Map) { return Map.Items().size(); });
}

// Files in folder order: the build sorts them itself.
void FlatMapUnsorted(benchmark::State& State) {
  Measure<TFlatTreemapLayout>(
      State,
      [](TFlatTreemapLayout& Map, const TBenchTree& Tree) {
        Map.BuildFromFiles(Tree.FilesByFolder, TSizeCount::ApparentSize, kCanvas);
      },
      [](const TFlatTreemapLayout& Map) { return Map.Items().size(); });
}

void FilesInFoldersMap(benchmark::State& State) {
  Measure<THierTreemapLayout>(
      State,
      [](THierTreemapLayout& Map, const TBenchTree& Tree) {
        Map.BuildFromRootSquarified(Tree.Root.get(), TSizeCount::ApparentSize, kCanvas);
      },
      [](const THierTreemapLayout& Map) { return Map.Items().size(); });
}

// The same over a tree whose lists are still in listing order: every folder's entries sorted.
void FilesInFoldersMapListingOrder(benchmark::State& State) {
  Measure<THierTreemapLayout>(
      State,
      [](THierTreemapLayout& Map, const TBenchTree& Tree) {
        Map.BuildFromRootSquarified(Tree.Root.get(), TSizeCount::ApparentSize, kCanvas);
      },
      [](const THierTreemapLayout& Map) { return Map.Items().size(); }, false);
}

void FolderMap(benchmark::State& State) {
  Measure<TFolderTreemapLayout>(
      State,
      [](TFolderTreemapLayout& Map, const TBenchTree& Tree) {
        Map.BuildFromRoot(Tree.Root.get(), TSizeCount::ApparentSize, kCanvas);
      },
      [](const TFolderTreemapLayout& Map) { return Map.Items().size(); });
}

void DuplicatesMap(benchmark::State& State) {
  Measure<TDupTreemapLayout>(
      State,
      [](TDupTreemapLayout& Map, const TBenchTree& Tree) {
        Map.BuildFromRootDuplicates(Tree.Root.get(), Tree.DuplicateFiles, TSizeCount::ApparentSize,
                                    kCanvas);
      },
      [](const TDupTreemapLayout& Map) { return Map.Items().size(); });
}

void Sizes(benchmark::internal::Benchmark* Bench) {
  Bench->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
}

// The machine's reference task, timed beside the layouts so that their figures can be compared
// across machines.
void MachineReference(benchmark::State& State) {
  for (auto _ : State) {
    State.counters["machine_ref_ms"] = MachineReferenceMs();
  }
}

BENCHMARK(MachineReference)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(FlatMap)->Apply(Sizes);
BENCHMARK(FlatMapUnsorted)->Apply(Sizes);
BENCHMARK(FilesInFoldersMap)->Apply(Sizes);
BENCHMARK(FilesInFoldersMapListingOrder)->Apply(Sizes);
BENCHMARK(FolderMap)->Apply(Sizes);
BENCHMARK(DuplicatesMap)->Apply(Sizes);

}  // namespace
}  // namespace dunstrel::bench

BENCHMARK_MAIN();
