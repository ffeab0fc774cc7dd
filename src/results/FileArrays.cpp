#include "results/FileArrays.h"

#include <algorithm>

#include "common/SaturatingSum.h"

namespace dunstrel {

namespace {

int64_t SumOfSizes(std::span<TFileLeaf* const> Files, TSizeCount Count) {
  int64_t Total = 0;
  for (const TFileLeaf* File : Files) {
    Total = SaturatingAdd(Total, File->SizeIn(Count));
  }
  return Total;
}

}  // namespace

void FlattenAllFiles(const TDirNode* Root, TSizeCount Count, std::vector<TFileLeaf*>& Files,
                     int64_t& TotalBytes) {
  Files.clear();
  TotalBytes = 0;
  if (Root == nullptr) {
    return;
  }
  // Each file is met once, with its size beside it: the sort then moves pairs through memory
  // instead of looking up two files for every comparison.
  struct TSized {
    int64_t Size;
    TFileLeaf* File;
  };
  std::vector<TSized> Sized;
  Sized.reserve(static_cast<size_t>(std::max<int64_t>(Root->TotalFiles, 0)));
  // Pre-order with an explicit stack: a tree of any depth is safe. Children are pushed in
  // reverse so that they are visited in list order.
  std::vector<const TDirNode*> Pending{Root};
  while (!Pending.empty()) {
    const TDirNode* Node = Pending.back();
    Pending.pop_back();
    for (TFileLeaf* File : Node->Leaves) {
      const int64_t Size = File->SizeIn(Count);
      Sized.push_back({Size, File});
      TotalBytes = SaturatingAdd(TotalBytes, Size);
    }
    for (auto Child = Node->Children.rbegin(); Child != Node->Children.rend(); ++Child) {
      Pending.push_back(Child->get());
    }
  }
  std::sort(Sized.begin(), Sized.end(),
            [](const TSized& A, const TSized& B) { return A.Size > B.Size; });
  Files.resize(Sized.size());
  std::transform(Sized.begin(), Sized.end(), Files.begin(),
                 [](const TSized& Entry) { return Entry.File; });
}

std::span<TFileLeaf* const> TakeLargestFiles(std::span<TFileLeaf* const> AllFiles, size_t Limit,
                                             TSizeCount Count, int64_t& TotalBytes) {
  const std::span<TFileLeaf* const> Largest = AllFiles.first(std::min(AllFiles.size(), Limit));
  TotalBytes = SumOfSizes(Largest, Count);
  return Largest;
}

}  // namespace dunstrel
