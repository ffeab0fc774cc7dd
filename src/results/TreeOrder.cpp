#include "results/TreeOrder.h"

#include <algorithm>
#include <vector>

namespace dunstrel {

namespace {

void SortChildren(TDirNode& Node) {
  std::stable_sort(Node.Children.begin(), Node.Children.end(),
                   [](const std::unique_ptr<TDirNode>& A, const std::unique_ptr<TDirNode>& B) {
                     return A->TotalSize > B->TotalSize;
                   });
}

// Visits every folder of the tree, Root first, without recursion: a tree of any depth is safe.
template <typename TVisit>
bool ForEachFolder(TDirNode& Root, TVisit&& Visit) {
  std::vector<TDirNode*> Pending{&Root};
  while (!Pending.empty()) {
    TDirNode* Node = Pending.back();
    Pending.pop_back();
    if (!Visit(*Node)) {
      return false;
    }
    for (const std::unique_ptr<TDirNode>& Child : Node->Children) {
      Pending.push_back(Child.get());
    }
  }
  return true;
}

}  // namespace

int64_t CountFoldersBelow(const TDirNode* Root) {
  if (Root == nullptr) {
    return 0;
  }
  int64_t Count = -1;
  ForEachFolder(const_cast<TDirNode&>(*Root), [&Count](TDirNode&) {
    ++Count;
    return true;
  });
  return Count;
}

bool SortFoldersBySize(TDirNode& Root, int64_t Every, const TFolderProgress& Progress) {
  int64_t Done = -1;  // the root is not one of the folders below it
  return ForEachFolder(Root, [&](TDirNode& Node) {
    SortChildren(Node);
    ++Done;
    return !(Progress && Every > 0 && Done > 0 && Done % Every == 0) || Progress(Done);
  });
}

void SortFoldersAndFilesBySize(TDirNode& Root) {
  ForEachFolder(Root, [](TDirNode& Node) {
    SortChildren(Node);
    std::stable_sort(Node.Leaves.begin(), Node.Leaves.end(),
                     [](const TFileLeaf* A, const TFileLeaf* B) { return A->Size > B->Size; });
    return true;
  });
}

}  // namespace dunstrel
