#include "treemap/PathIndex.h"

#include <algorithm>
#include <bit>
#include <unordered_map>

#include "common/Prefetch.h"
#include "common/ReleaseStorage.h"
#include "platform/Paths.h"

namespace dunstrel {

namespace {

// A key is hashed as two parts, the text before its last delimiter and the name after it, so
// that a folder's part is hashed once for all the files inside it, and a file adds only its name.
uint64_t HashOfParts(uint64_t FolderHash, std::string_view Name) {
  uint64_t Hash = FolderHash * 0x9E3779B97F4A7C15 ^ std::hash<std::string_view>{}(Name);
  Hash ^= Hash >> 33;
  Hash *= 0xFF51AFD7ED558CCD;
  Hash ^= Hash >> 33;
  return Hash;
}

uint64_t HashOfKey(std::string_view Key) {
  const size_t Delimiter = Key.rfind(platform::kPathDelimiter);
  if (Delimiter == std::string_view::npos) {
    return HashOfParts(std::hash<std::string_view>{}({}), Key);
  }
  return HashOfParts(std::hash<std::string_view>{}(Key.substr(0, Delimiter)),
                     Key.substr(Delimiter + 1));
}

// The hashes of the items' keys, as HashOfKey gives them for the keys themselves.
class TKeyHasher {
 public:
  uint64_t HashOf(const TPathOwner& Owner) {
    if constexpr (kPathKeyIsThePath) {
      if (Owner.File == nullptr) {
        return HashOfKey(Owner.Dir == nullptr ? std::string_view() : Owner.Dir->FullPath());
      }
      const TDirNode* Folder = &Owner.File->Parent();
      const auto [Found, Added] = FFolderHash.try_emplace(Folder, 0);
      if (Added) {
        Found->second = std::hash<std::string_view>{}(FolderPartOfFilePaths(Folder->FullPath()));
      }
      return HashOfParts(Found->second, Owner.File->Name());
    } else {
      FScratch.clear();
      AppendPathOf(Owner, FScratch);
      return HashOfKey(PathKey(FScratch));
    }
  }

 private:
  std::unordered_map<const TDirNode*, uint64_t> FFolderHash;
  std::string FScratch;
};

}  // namespace

void AppendPathOf(const TPathOwner& Owner, std::string& Out) {
  if (Owner.File != nullptr) {
    Owner.File->AppendFullPath(Out);
  } else if (Owner.Dir != nullptr) {
    Out += Owner.Dir->FullPath();
  }
}

std::string PathOf(const TPathOwner& Owner) {
  std::string Path;
  AppendPathOf(Owner, Path);
  return Path;
}

TPathIndex::TPathIndex(TOwnerOf OwnerOf) : FOwnerOf(std::move(OwnerOf)) {}

void TPathIndex::Reset(size_t Count) {
  FCount = Count;
  FBuilt = false;
  ReleaseStorage(FStarts);
  ReleaseStorage(FItems);
}

void TPathIndex::BuildIfNeeded() const {
  if (FBuilt) {
    return;
  }
  // About one item per bucket.
  const int BucketBits = std::max(1, static_cast<int>(std::bit_width(FCount)));
  const size_t Buckets = size_t{1} << BucketBits;
  FShift = 64 - BucketBits;
  std::vector<uint32_t> BucketOf(FCount);
  FStarts.assign(Buckets + 1, 0);
  TKeyHasher Hasher;
  for (size_t Index = 0; Index < FCount; ++Index) {
    if (Index + kPrefetchAhead < FCount) {
      const TPathOwner Ahead = FOwnerOf(Index + kPrefetchAhead);
      Prefetch(Ahead.File != nullptr ? static_cast<const void*>(Ahead.File) : Ahead.Dir);
    }
    BucketOf[Index] = static_cast<uint32_t>(Hasher.HashOf(FOwnerOf(Index)) >> FShift);
  }
  // Counted in a loop of its own: its scattered increments overlap far better there.
  for (const uint32_t Bucket : BucketOf) {
    ++FStarts[Bucket];
  }
  // Counts to ends, then filled from the back, which turns them into starts and leaves every
  // bucket in ascending item order.
  uint32_t End = 0;
  for (size_t Bucket = 0; Bucket <= Buckets; ++Bucket) {
    End += FStarts[Bucket];
    FStarts[Bucket] = End;
  }
  FItems.resize(FCount);
  for (size_t Index = FCount; Index-- > 0;) {
    FItems[--FStarts[BucketOf[Index]]] = static_cast<uint32_t>(Index);
  }
  FBuilt = true;
}

bool TPathIndex::HasKey(size_t Index, std::string_view Key) const {
  FScratch.clear();
  AppendPathOf(FOwnerOf(Index), FScratch);
  if constexpr (kPathKeyIsThePath) {
    return FScratch == Key;
  } else {
    return PathKey(FScratch) == Key;
  }
}

std::pair<const uint32_t*, const uint32_t*> TPathIndex::Candidates(std::string_view Key) const {
  BuildIfNeeded();
  if (FCount == 0) {
    return {nullptr, nullptr};
  }
  const uint64_t Bucket = HashOfKey(Key) >> FShift;
  return {FItems.data() + FStarts[Bucket], FItems.data() + FStarts[Bucket + 1]};
}

void TPathIndex::FindAll(std::string_view Key, std::vector<size_t>& Out) const {
  const auto [First, Last] = Candidates(Key);
  for (const uint32_t* Item = First; Item != Last; ++Item) {
    if (HasKey(*Item, Key)) {
      Out.push_back(*Item);
    }
  }
}

std::optional<size_t> TPathIndex::FindLast(std::string_view Key) const {
  const auto [First, Last] = Candidates(Key);
  for (const uint32_t* Item = Last; Item != First; --Item) {
    if (HasKey(*(Item - 1), Key)) {
      return *(Item - 1);
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
