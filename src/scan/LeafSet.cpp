#include "scan/LeafSet.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace dunstrel {

bool TLeafSet::Insert(const TFileLeaf* Leaf) {
  if (Leaf == nullptr) {
    return false;
  }
  if ((FCount + 1) * 2 > FSlots.size()) {
    Rehash(std::max<size_t>(16, FSlots.size() * 2));
  }
  size_t Slot = SlotOf(Leaf);
  for (; FSlots[Slot] != nullptr; Slot = (Slot + 1) & FMask) {
    if (FSlots[Slot] == Leaf) {
      return false;
    }
  }
  FSlots[Slot] = Leaf;
  ++FCount;
  return true;
}

void TLeafSet::Reserve(size_t Count) {
  const size_t Slots = std::bit_ceil(std::max<size_t>(16, Count * 2));
  if (Slots > FSlots.size()) {
    Rehash(Slots);
  }
}

void TLeafSet::Rehash(size_t Slots) {
  std::vector<const TFileLeaf*> Old(Slots, nullptr);
  std::swap(Old, FSlots);
  FMask = Slots - 1;
  FShift = 64 - static_cast<unsigned>(std::countr_zero(Slots));
  FCount = 0;
  for (const TFileLeaf* Leaf : Old) {
    if (Leaf != nullptr) {
      Insert(Leaf);
    }
  }
}

}  // namespace dunstrel
