#include "results/FileArrays.h"

#include <algorithm>

#include "common/SaturatingSum.h"

namespace dunstrel {

namespace {

int64_t SumOfSizes(const std::vector<TFileLeaf*>& Files) {
  int64_t Total = 0;
  for (const TFileLeaf* File : Files) {
    Total = SaturatingAdd(Total, File->Size);
  }
  return Total;
}

}  // namespace

void FlattenAllFiles(const TDirNode* Root, std::vector<TFileLeaf*>& Files, int64_t& TotalBytes) {
  Files.clear();
  TotalBytes = 0;
  if (Root == nullptr) {
    return;
  }
  Files.reserve(static_cast<size_t>(std::max<int64_t>(Root->TotalFiles, 0)));
  // Pre-order with an explicit stack: a tree of any depth is safe. Children are pushed in
  // reverse so that they are visited in list order.
  std::vector<const TDirNode*> Pending{Root};
  while (!Pending.empty()) {
    const TDirNode* Node = Pending.back();
    Pending.pop_back();
    Files.insert(Files.end(), Node->Leaves.begin(), Node->Leaves.end());
    for (auto Child = Node->Children.rbegin(); Child != Node->Children.rend(); ++Child) {
      Pending.push_back(Child->get());
    }
  }
  std::sort(Files.begin(), Files.end(),
            [](const TFileLeaf* A, const TFileLeaf* B) { return A->Size > B->Size; });
  TotalBytes = SumOfSizes(Files);
}

void TakeLargestFiles(const std::vector<TFileLeaf*>& AllFiles, size_t Limit,
                      std::vector<TFileLeaf*>& Largest, int64_t& TotalBytes) {
  const size_t Count = std::min(AllFiles.size(), Limit);
  Largest.assign(AllFiles.begin(), AllFiles.begin() + static_cast<std::ptrdiff_t>(Count));
  TotalBytes = SumOfSizes(Largest);
}

}  // namespace dunstrel
