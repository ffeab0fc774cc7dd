#include "treemap/PathIndex.h"

#include <algorithm>

#include "treemap/TreemapKeys.h"

namespace dunstrel {

namespace {

uint64_t HashOfKey(std::string_view Key) {
  return std::hash<std::string_view>{}(Key);
}

}  // namespace

TPathIndex::TPathIndex(TAppendPath AppendPath) : FAppendPath(std::move(AppendPath)) {}

void TPathIndex::Reset(size_t Count) {
  FCount = Count;
  FBuilt = false;
  std::vector<TSlot>().swap(FSlots);
}

uint64_t TPathIndex::HashOfPath(std::string_view FullPath) const {
  if constexpr (kPathKeyIsThePath) {
    return HashOfKey(FullPath);
  } else {
    return HashOfKey(PathKey(FullPath));
  }
}

void TPathIndex::BuildIfNeeded() const {
  if (FBuilt) {
    return;
  }
  FSlots.clear();
  FSlots.reserve(FCount);
  for (size_t Index = 0; Index < FCount; ++Index) {
    FScratch.clear();
    FAppendPath(Index, FScratch);
    FSlots.push_back({HashOfPath(FScratch), Index});
  }
  std::sort(FSlots.begin(), FSlots.end(), [](const TSlot& A, const TSlot& B) {
    return A.Hash != B.Hash ? A.Hash < B.Hash : A.Index < B.Index;
  });
  FBuilt = true;
}

bool TPathIndex::HasKey(size_t Index, std::string_view Key) const {
  FScratch.clear();
  FAppendPath(Index, FScratch);
  if constexpr (kPathKeyIsThePath) {
    return FScratch == Key;
  } else {
    return PathKey(FScratch) == Key;
  }
}

std::pair<const TPathIndex::TSlot*, const TPathIndex::TSlot*> TPathIndex::Candidates(
    std::string_view Key) const {
  BuildIfNeeded();
  const uint64_t Hash = HashOfKey(Key);
  const auto [First, Last] =
      std::equal_range(FSlots.begin(), FSlots.end(), TSlot{Hash, 0},
                       [](const TSlot& A, const TSlot& B) { return A.Hash < B.Hash; });
  return {FSlots.data() + (First - FSlots.begin()), FSlots.data() + (Last - FSlots.begin())};
}

void TPathIndex::FindAll(std::string_view Key, std::vector<size_t>& Out) const {
  const auto [First, Last] = Candidates(Key);
  for (const TSlot* Slot = First; Slot != Last; ++Slot) {
    if (HasKey(Slot->Index, Key)) {
      Out.push_back(Slot->Index);
    }
  }
}

std::optional<size_t> TPathIndex::FindLast(std::string_view Key) const {
  const auto [First, Last] = Candidates(Key);
  for (const TSlot* Slot = Last; Slot != First; --Slot) {
    if (HasKey((Slot - 1)->Index, Key)) {
      return (Slot - 1)->Index;
    }
  }
  return std::nullopt;
}

std::vector<size_t> TPathIndex::FindAllOf(const TKeySet& Keys) const {
  std::vector<size_t> Indexes;
  for (const std::string& Key : Keys) {
    FindAll(Key, Indexes);
  }
  std::sort(Indexes.begin(), Indexes.end());
  Indexes.erase(std::unique(Indexes.begin(), Indexes.end()), Indexes.end());
  return Indexes;
}

}  // namespace dunstrel
