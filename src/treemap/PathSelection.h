#pragma once

#include <span>
#include <string>
#include <string_view>

#include "common/ReleaseStorage.h"
#include "scan/PathKeys.h"

namespace dunstrel {

// The selection of a map, kept by path key so that it may also name paths that have no item,
// and its primary item: the one most recently added. TItem answers PathKey().
template <typename TItem>
class TPathSelection {
 public:
  void Clear() {
    ReleaseStorage(FKeys);  // a whole extension may have been selected
    FPrimary = nullptr;
  }

  bool Empty() const { return FKeys.empty(); }
  bool Contains(std::string_view Key) const { return FKeys.find(Key) != FKeys.end(); }
  const TKeySet& Keys() const { return FKeys; }
  const TItem* Primary() const { return FPrimary; }

  // The item alone; nothing when there is no item or it has no path.
  void SetSingle(const TItem* Item) {
    Clear();
    if (Item == nullptr) {
      return;
    }
    std::string Key = Item->PathKey();
    if (!Key.empty()) {
      FKeys.insert(std::move(Key));
      FPrimary = Item;
    }
  }

  // Adds the item and makes it primary, or removes it; removing the primary item leaves none.
  void Toggle(const TItem* Item) {
    if (Item == nullptr) {
      return;
    }
    std::string Key = Item->PathKey();
    if (Key.empty()) {
      return;
    }
    const auto Found = FKeys.find(Key);
    if (Found == FKeys.end()) {
      FKeys.insert(std::move(Key));
      FPrimary = Item;
      return;
    }
    FKeys.erase(Found);
    if (FPrimary != nullptr && FPrimary->PathKey() == Key) {
      FPrimary = nullptr;
    }
  }

  // Replaces the selection by the keys of Paths, skipping empty ones. The primary item is the
  // item FindItem(key) gives for the first path that has one.
  template <typename TFindItem>
  void SetPaths(std::span<const std::string> Paths, TFindItem&& FindItem) {
    Clear();
    for (const std::string& Path : Paths) {
      if (Path.empty()) {
        continue;
      }
      std::string Key = PathKey(Path);
      if (FPrimary == nullptr) {
        FPrimary = FindItem(std::string_view(Key));
      }
      FKeys.insert(std::move(Key));
    }
  }

  // Adds one item's key; it becomes primary only when there is none yet.
  void AddKeepingPrimary(const TItem& Item) {
    FKeys.insert(Item.PathKey());
    if (FPrimary == nullptr) {
      FPrimary = &Item;
    }
  }

 private:
  TKeySet FKeys;
  const TItem* FPrimary = nullptr;
};

}  // namespace dunstrel
