#include "TreeParts.h"

#include <algorithm>
#include <vector>

namespace dunstrel::bench {

TTreeParts TreePartsOf(const TDirNode& Root) {
  TTreeParts Parts;
  std::vector<const TDirNode*> Pending{&Root};
  while (!Pending.empty()) {
    const TDirNode* Node = Pending.back();
    Pending.pop_back();
    Parts.Folders += sizeof(TDirNode);
    Parts.LeafLists += static_cast<double>(Node->Leaves.capacity() * sizeof(uint32_t));
    Parts.ChildLists += static_cast<double>(Node->Children.capacity() * sizeof(void*));
    for (const TFileLeaf* Leaf : Node->Leaves) {
      Parts.Leaves += static_cast<double>(sizeof(TFileLeaf) + (Leaf->Name().size() + 1) / 2 * 2);
    }
    for (const auto& Child : Node->Children) {
      Pending.push_back(Child.get());
    }
  }
  const auto Entries = static_cast<double>(std::max<int64_t>(1, Root.TotalFiles + Root.TotalDirs));
  Parts.Leaves /= Entries;
  Parts.LeafLists /= Entries;
  Parts.ChildLists /= Entries;
  Parts.Folders /= Entries;
  return Parts;
}

}  // namespace dunstrel::bench
