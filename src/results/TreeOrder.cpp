#include "results/TreeOrder.h"

#include <algorithm>
#include <vector>

namespace dunstrel {

namespace {

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

// Visits every folder, calling Progress after every Every of the folders below the root.
template <typename TVisit>
bool ForEachFolderReporting(TDirNode& Root, int64_t Every, const TFolderProgress& Progress,
                            TVisit&& Visit) {
  int64_t Done = -1;  // the root is not one of the folders below it
  return ForEachFolder(Root, [&](TDirNode& Node) {
    Visit(Node);
    ++Done;
    return !(Progress && Every > 0 && Done > 0 && Done % Every == 0) || Progress(Done);
  });
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

bool SortFoldersBySize(TDirNode& Root, TSizeCount Count, int64_t Every,
                       const TFolderProgress& Progress) {
  return ForEachFolderReporting(Root, Every, Progress, [Count](TDirNode& Node) {
    std::stable_sort(
        Node.Children.begin(), Node.Children.end(),
        [Count](const std::unique_ptr<TDirNode>& A, const std::unique_ptr<TDirNode>& B) {
          return A->TotalIn(Count) > B->TotalIn(Count);
        });
  });
}

std::vector<TDirNode*> FoldersOf(TDirNode& Root) {
  std::vector<TDirNode*> Folders;
  ForEachFolder(Root, [&](TDirNode& Node) {
    Folders.push_back(&Node);
    return true;
  });
  return Folders;
}

bool SortFilesBySize(std::span<TDirNode* const> Folders, TSizeCount Count, int64_t Every,
                     const TFolderProgress& Progress) {
  // One buffer for all folders: the files with their sizes and places, sorted without a look
  // back at the files and without an allocation per folder.
  struct TSized {
    int64_t Size;
    size_t Place;
  };
  std::vector<TSized> Sized;
  std::vector<size_t> Places;
  int64_t Done = 0;
  for (TDirNode* Node : Folders) {
    Sized.clear();
    for (size_t I = 0; I < Node->Leaves.size(); ++I) {
      Sized.push_back({Node->Leaves[I]->SizeIn(Count), I});
    }
    // Equal sizes keep their order: the place breaks the tie.
    std::sort(Sized.begin(), Sized.end(), [](const TSized& A, const TSized& B) {
      return A.Size != B.Size ? A.Size > B.Size : A.Place < B.Place;
    });
    Places.clear();
    for (const TSized& File : Sized) {
      Places.push_back(File.Place);
    }
    Node->Leaves.Reorder(Places);
    ++Done;
    if (Progress && Every > 0 && Done % Every == 0 && !Progress(Done)) {
      return false;
    }
  }
  return true;
}

}  // namespace dunstrel
