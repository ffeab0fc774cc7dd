#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "treemap/TreemapKeys.h"

namespace dunstrel {

// Finds a map's items by path key. Items do not store their paths, so the index is built from
// the scan tree on the first search after a build: a map is rebuilt on every resize, and
// building the key of each of a million items would cost more than the layout itself. It keeps
// only a hash and an item number per item, 16 bytes, and confirms a match by building the
// candidate's key.
class TPathIndex {
 public:
  // Appends the full path of item Index to Out.
  using TAppendPath = std::function<void(size_t Index, std::string& Out)>;

  explicit TPathIndex(TAppendPath AppendPath);

  // Forgets the index; the next search builds it for items 0 .. Count - 1.
  void Reset(size_t Count);

  // The items whose key is Key, in ascending order, appended to Out.
  void FindAll(std::string_view Key, std::vector<size_t>& Out) const;
  // The last such item: a later item with the same key stands in front of earlier ones.
  std::optional<size_t> FindLast(std::string_view Key) const;
  // Every item whose key is one of Keys, in ascending order.
  std::vector<size_t> FindAllOf(const TKeySet& Keys) const;

 private:
  struct TSlot {
    uint64_t Hash;
    size_t Index;
  };

  void BuildIfNeeded() const;
  uint64_t HashOfPath(std::string_view FullPath) const;
  bool HasKey(size_t Index, std::string_view Key) const;
  std::pair<const TSlot*, const TSlot*> Candidates(std::string_view Key) const;

  TAppendPath FAppendPath;
  size_t FCount = 0;
  mutable bool FBuilt = false;
  mutable std::vector<TSlot> FSlots;  // by hash, then by item
  mutable std::string FScratch;
};

}  // namespace dunstrel
