#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace dunstrel {

class TFileLeaf;

// Files of a scan by address, asked once for each file of an array of millions: open addressing
// in one array of a power of two slots, at most half of them used, so a test is a hash and a
// probe or two within the cache.
class TLeafSet {
 public:
  // True when Leaf was not in the set yet.
  bool Insert(const TFileLeaf* Leaf);
  bool Contains(const TFileLeaf* Leaf) const {
    if (FCount == 0) {
      return false;
    }
    for (size_t Slot = SlotOf(Leaf);; Slot = (Slot + 1) & FMask) {
      if (FSlots[Slot] == Leaf) {
        return true;
      }
      if (FSlots[Slot] == nullptr) {
        return false;
      }
    }
  }
  size_t Size() const { return FCount; }
  bool Empty() const { return FCount == 0; }
  // Makes room for Count files in all without growing again.
  void Reserve(size_t Count);
  // Calls Visit with every file of the set, in no defined order.
  template <typename TVisit>
  void ForEach(TVisit&& Visit) const {
    for (const TFileLeaf* Leaf : FSlots) {
      if (Leaf != nullptr) {
        Visit(Leaf);
      }
    }
  }

 private:
  size_t SlotOf(const TFileLeaf* Leaf) const {
    // Fibonacci hashing of the address: leaves lie a few dozen bytes apart in their storage.
    const auto Address = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(Leaf));
    return static_cast<size_t>((Address * 0x9E3779B97F4A7C15ull) >> FShift);
  }
  void Rehash(size_t Slots);

  std::vector<const TFileLeaf*> FSlots;
  size_t FMask = 0;
  unsigned FShift = 64;
  size_t FCount = 0;
};

}  // namespace dunstrel
