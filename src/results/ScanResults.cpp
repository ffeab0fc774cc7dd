#include "results/ScanResults.h"

#include <algorithm>

namespace dunstrel {

const TDirNode* TScanResults::LargestTopFolder() const {
  return Root != nullptr && !Root->Children.empty() ? Root->Children.front().get() : nullptr;
}

size_t TScanResults::ExtensionOf(const TFileLeaf& File) const {
  // A scan of a folder keeps all its files in one storage: the key alone tells the row, without
  // a look at the file's folder.
  const std::vector<uint32_t>* Rows = nullptr;
  if (ExtensionRowOfKey.size() == 1) {
    Rows = &ExtensionRowOfKey.front().second;
  } else {
    const TScanStore* Store = &File.Parent().Store();
    const auto Found = std::find_if(ExtensionRowOfKey.begin(), ExtensionRowOfKey.end(),
                                    [Store](const auto& Entry) { return Entry.first == Store; });
    Rows = Found != ExtensionRowOfKey.end() ? &Found->second : nullptr;
  }
  return Rows != nullptr && File.ExtKey() < Rows->size() ? (*Rows)[File.ExtKey()] : kNoExtensionRow;
}

std::unique_ptr<TDirNode> TakeTreeBack(std::shared_ptr<const TScanResults>&& Results) {
  std::shared_ptr<const TScanResults> Last = std::move(Results);
  if (Last == nullptr || Last.use_count() != 1) {
    return nullptr;
  }
  // Results are only ever made as changeable objects and shared as constants; the last holder
  // may take them apart.
  auto& Owned = const_cast<TScanResults&>(*Last);
  Owned.Duplicates.Clear();
  Owned.DisplayFiles = {};
  Owned.AllFiles.clear();
  return std::move(Owned.Root);
}

}  // namespace dunstrel
