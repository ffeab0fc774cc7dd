#pragma once

#include <algorithm>
#include <sstream>
#include <string>

#include "scan/ScanTree.h"

namespace dunstrel::testing {

// The folder of a tree at a path relative to its root ("a/b"; "" is the root); none when a part
// is missing.
inline const TDirNode* FolderAt(const TDirNode& Root, const std::string& Relative) {
  const TDirNode* Folder = &Root;
  std::istringstream Parts(Relative);
  for (std::string Part; Folder != nullptr && std::getline(Parts, Part, '/');) {
    const auto Found = std::find_if(Folder->Children.begin(), Folder->Children.end(),
                                    [&Part](const auto& Child) { return Child->Name() == Part; });
    Folder = Found == Folder->Children.end() ? nullptr : Found->get();
  }
  return Folder;
}

// The file of a tree at a path relative to its root; none when it or its folder is missing.
inline const TFileLeaf* FileAt(const TDirNode& Root, const std::string& Relative) {
  const size_t Slash = Relative.rfind('/');
  const TDirNode* Folder =
      Slash == std::string::npos ? &Root : FolderAt(Root, Relative.substr(0, Slash));
  if (Folder == nullptr) {
    return nullptr;
  }
  const std::string Name = Relative.substr(Slash == std::string::npos ? 0 : Slash + 1);
  for (const TFileLeaf* Leaf : Folder->Leaves) {
    if (Leaf->Name() == Name) {
      return Leaf;
    }
  }
  return nullptr;
}

}  // namespace dunstrel::testing
