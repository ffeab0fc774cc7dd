#include "scan/ExtStats.h"

#include <algorithm>
#include <functional>

#include "platform/TextCasing.h"

namespace dunstrel {

TExtKey TExtKeyPool::Intern(std::string_view Text) {
  const auto Found = FIndex.find(Text);
  if (Found != FIndex.end()) {
    return Found->second;
  }
  const std::string& Stored = FTexts.emplace_back(Text);
  FIndex.emplace(std::string_view(Stored), &Stored);
  return &Stored;
}

void TExtStats::AddFile(std::string_view AExt, int64_t ASize) {
  const std::string Key = platform::UserTextCasing().ToLower(AExt);
  AddKey(FPool->Intern(Key.empty() ? kNoExtensionKey : std::string_view(Key)), ASize);
}

void TExtStats::AddKey(TExtKey Key, int64_t ASize) {
  TExtStat& Stat = EntryFor(Key);
  Stat.Bytes += ASize;
  Stat.Files += 1;
}

TExtStat& TExtStats::EntryFor(TExtKey Key) {
  const auto Less = [](const TEntry& E, TExtKey K) { return std::less<TExtKey>()(E.Key, K); };
  auto Found = std::lower_bound(FEntries.begin(), FEntries.end(), Key, Less);
  if (Found == FEntries.end() || Found->Key != Key) {
    Found = FEntries.insert(Found, TEntry{Key, {}});
  }
  return Found->Stat;
}

void TExtStats::MergeFrom(const TExtStats* Src) {
  if (Src == nullptr || Src->FEntries.empty()) {
    return;
  }
  if (Src->FPool != FPool) {
    // Statistics of another scan (a drive under the whole-computer root) are re-keyed here.
    for (const TEntry& E : Src->FEntries) {
      TExtStat& Stat = EntryFor(FPool->Intern(*E.Key));
      Stat.Bytes += E.Stat.Bytes;
      Stat.Files += E.Stat.Files;
    }
    return;
  }
  if (FEntries.empty()) {
    FEntries = Src->FEntries;
    return;
  }
  // Both arrays are in key order: one merge pass, into an array of exactly the united size.
  const std::less<TExtKey> Less;
  const auto MergeInto = [&](auto&& Emit) {
    auto Mine = FEntries.begin();
    auto Theirs = Src->FEntries.begin();
    while (Mine != FEntries.end() || Theirs != Src->FEntries.end()) {
      if (Theirs == Src->FEntries.end() ||
          (Mine != FEntries.end() && Less(Mine->Key, Theirs->Key))) {
        Emit(*Mine++);
      } else if (Mine == FEntries.end() || Less(Theirs->Key, Mine->Key)) {
        Emit(*Theirs++);
      } else {
        TEntry Sum = *Mine++;
        Sum.Stat.Bytes += Theirs->Stat.Bytes;
        Sum.Stat.Files += Theirs->Stat.Files;
        ++Theirs;
        Emit(Sum);
      }
    }
  };
  size_t United = 0;
  MergeInto([&](const TEntry&) { ++United; });
  std::vector<TEntry> Merged;
  Merged.reserve(United);
  MergeInto([&](const TEntry& E) { Merged.push_back(E); });
  FEntries = std::move(Merged);
}

std::vector<TExtStatPair> TExtStats::ToSortedArrayByBytesDesc() const {
  std::vector<TExtStatPair> Pairs;
  Pairs.reserve(FEntries.size());
  for (const TEntry& E : FEntries) {
    Pairs.push_back({*E.Key, E.Stat.Bytes, E.Stat.Files});
  }
  std::sort(Pairs.begin(), Pairs.end(),
            [](const TExtStatPair& A, const TExtStatPair& B) { return A.Bytes > B.Bytes; });
  return Pairs;
}

const TExtStat* TExtStats::Find(std::string_view Key) const {
  for (const TEntry& E : FEntries) {
    if (*E.Key == Key) {
      return &E.Stat;
    }
  }
  return nullptr;
}

}  // namespace dunstrel
