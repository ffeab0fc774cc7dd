#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scan/PathKeys.h"
#include "scan/ScanTree.h"

namespace dunstrel {

// What a map item's path comes from: a file of the scan tree, or else a folder.
struct TPathOwner {
  const TDirNode* Dir = nullptr;
  const TFileLeaf* File = nullptr;
};

void AppendPathOf(const TPathOwner& Owner, std::string& Out);
std::string PathOf(const TPathOwner& Owner);

// Finds a map's items by path key. Items do not store their paths, so the index is built from
// the scan tree on the first search after a build: a map is rebuilt on every resize, and the
// path of each of a million files would cost far more than the layout itself. It keeps 12
// bytes or less per item (the items in buckets by a hash of their key) and confirms a match by
// building the candidate's key.
class TPathIndex {
 public:
  using TOwnerOf = std::function<TPathOwner(size_t Index)>;

  explicit TPathIndex(TOwnerOf OwnerOf);

  // Forgets the index; the next search builds it for items 0 .. Count - 1.
  void Reset(size_t Count);

  // The items whose key is Key, in ascending order, appended to Out.
  void FindAll(std::string_view Key, std::vector<size_t>& Out) const;
  // The last such item: a later item with the same key stands in front of earlier ones.
  std::optional<size_t> FindLast(std::string_view Key) const;
  // Every item whose key is one of Keys, in ascending order.
  std::vector<size_t> FindAllOf(const TKeySet& Keys) const;

 private:
  void BuildIfNeeded() const;
  bool HasKey(size_t Index, std::string_view Key) const;
  // The items of Key's bucket, in ascending order.
  std::pair<const uint32_t*, const uint32_t*> Candidates(std::string_view Key) const;

  TOwnerOf FOwnerOf;
  size_t FCount = 0;
  mutable bool FBuilt = false;
  mutable int FShift = 63;                // a hash shifted right by this is its bucket
  mutable std::vector<uint32_t> FStarts;  // first item of every bucket, and the end
  mutable std::vector<uint32_t> FItems;   // item numbers, bucket after bucket
  mutable std::string FScratch;
};

}  // namespace dunstrel
