#include "views/TabSelection.h"

#include <algorithm>

#include "common/ReleaseStorage.h"

namespace dunstrel {

const void* TTabSelection::KeyOf(const TSelectedItem& Item) {
  return std::visit([](const auto* Object) { return static_cast<const void*>(Object); }, Item);
}

void TTabSelection::Clear() {
  // A whole extension may have been selected.
  ReleaseStorage(FItems);
  ReleaseStorage(FKeys);
  FPrimary.reset();
}

void TTabSelection::Add(const TSelectedItem& Item) {
  if (KeyOf(Item) != nullptr && FKeys.insert(KeyOf(Item)).second) {
    FItems.push_back(Item);
  }
}

void TTabSelection::Replace(const std::vector<TSelectedItem>& Items, TSelectionOrigin Origin) {
  Clear();
  FOrigin = Origin;
  FItems.reserve(Items.size());
  for (const TSelectedItem& Item : Items) {
    Add(Item);
  }
  if (!FItems.empty()) {
    FPrimary = FItems.front();
  }
}

void TTabSelection::Change(const std::vector<TSelectedItem>& Removed,
                           const std::vector<TSelectedItem>& Added, TSelectionOrigin Origin) {
  FOrigin = Origin;
  size_t Taken = 0;
  for (const TSelectedItem& Item : Removed) {
    Taken += FKeys.erase(KeyOf(Item));
  }
  if (Taken > 0) {
    std::erase_if(FItems, [this](const TSelectedItem& Item) { return !Contains(Item); });
    if (FPrimary && !Contains(*FPrimary)) {
      FPrimary.reset();
    }
  }
  for (const TSelectedItem& Item : Added) {
    Add(Item);
  }
  if (!Added.empty() && Contains(Added.back())) {
    FPrimary = Added.back();
  }
}

void TTabSelection::Toggle(const TSelectedItem& Item, TSelectionOrigin Origin) {
  if (Contains(Item)) {
    Change({Item}, {}, Origin);
  } else {
    Change({}, {Item}, Origin);
  }
}

std::string ItemPath(const TSelectedItem& Item) {
  if (const auto* File = std::get_if<const TFileLeaf*>(&Item)) {
    return (*File)->FullPath();
  }
  return std::string(std::get<const TDirNode*>(Item)->FullPath());
}

int64_t ItemSize(const TSelectedItem& Item) {
  if (const auto* File = std::get_if<const TFileLeaf*>(&Item)) {
    return (*File)->Size;
  }
  return std::get<const TDirNode*>(Item)->TotalSize;
}

}  // namespace dunstrel
