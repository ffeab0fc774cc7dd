#include "scan/ExtStats.h"

#include <algorithm>

#include "common/SaturatingSum.h"
#include "platform/TextCasing.h"

namespace dunstrel {

TExtKey TExtKeyPool::Intern(std::string_view Text) {
  const auto Found = FIndex.find(Text);
  if (Found != FIndex.end()) {
    return Found->second;
  }
  const auto Key = static_cast<TExtKey>(FTexts.size());
  const std::string& Stored = FTexts.emplace_back(Text);
  FIndex.emplace(std::string_view(Stored), Key);
  return Key;
}

std::optional<TExtKey> TExtKeyPool::Find(std::string_view Text) const {
  const auto Found = FIndex.find(Text);
  if (Found == FIndex.end()) {
    return std::nullopt;
  }
  return Found->second;
}

void TExtStats::AddFile(std::string_view AExt, int64_t ASize) {
  const std::string Key = platform::UserTextCasing().ToLower(AExt);
  AddKey(FPool->Intern(Key.empty() ? kNoExtensionKey : std::string_view(Key)), ASize);
}

void TExtStats::AddKey(TExtKey Key, int64_t ASize) {
  TEntry& Entry = EntryFor(Key);
  Entry.Bytes = SaturatingAdd(Entry.Bytes, ASize);
  Entry.Files += 1;
}

TExtStats::TEntry& TExtStats::EntryFor(TExtKey Key) {
  auto Found = std::lower_bound(FEntries.begin(), FEntries.end(), Key,
                                [](const TEntry& E, TExtKey K) { return E.Key < K; });
  if (Found == FEntries.end() || Found->Key != Key) {
    Found = FEntries.insert(Found, TEntry{0, 0, Key});
  }
  return *Found;
}

void TExtStats::MergeFrom(const TExtStats* Src) {
  if (Src == nullptr || Src->FEntries.empty()) {
    return;
  }
  if (Src->FPool != FPool) {
    // Statistics of another scan (a drive under the whole-computer root) are re-keyed here.
    for (const TEntry& E : Src->FEntries) {
      TEntry& Mine = EntryFor(FPool->Intern(Src->FPool->Text(E.Key)));
      Mine.Bytes = SaturatingAdd(Mine.Bytes, E.Bytes);
      Mine.Files += E.Files;
    }
    return;
  }
  if (FEntries.empty()) {
    FEntries = Src->FEntries;
    return;
  }
  // Both arrays are in key order: one merge pass, into an array of exactly the united size.
  const auto MergeInto = [&](auto&& Emit) {
    auto Mine = FEntries.begin();
    auto Theirs = Src->FEntries.begin();
    while (Mine != FEntries.end() || Theirs != Src->FEntries.end()) {
      if (Theirs == Src->FEntries.end() || (Mine != FEntries.end() && Mine->Key < Theirs->Key)) {
        Emit(*Mine++);
      } else if (Mine == FEntries.end() || Theirs->Key < Mine->Key) {
        Emit(*Theirs++);
      } else {
        TEntry Sum = *Mine++;
        Sum.Bytes = SaturatingAdd(Sum.Bytes, Theirs->Bytes);
        Sum.Files += Theirs->Files;
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

void TExtStats::Remove(const TExtStats& Part) {
  for (const TEntry& Taken : Part.FEntries) {
    TExtKey Key = Taken.Key;
    if (Part.FPool != FPool) {
      const std::optional<TExtKey> Mine = FPool->Find(Part.FPool->Text(Taken.Key));
      if (!Mine) {
        continue;
      }
      Key = *Mine;
    }
    const auto Found = std::lower_bound(FEntries.begin(), FEntries.end(), Key,
                                        [](const TEntry& E, TExtKey K) { return E.Key < K; });
    if (Found != FEntries.end() && Found->Key == Key) {
      Found->Bytes -= Taken.Bytes;
      Found->Files -= Taken.Files;
    }
  }
  std::erase_if(FEntries, [](const TEntry& E) { return E.Files <= 0; });
}

std::vector<TExtStatPair> TExtStats::ToSortedArrayByBytesDesc() const {
  std::vector<TExtStatPair> Pairs;
  Pairs.reserve(FEntries.size());
  for (const TEntry& E : FEntries) {
    Pairs.push_back({FPool->Text(E.Key), E.Bytes, E.Files});
  }
  std::sort(Pairs.begin(), Pairs.end(),
            [](const TExtStatPair& A, const TExtStatPair& B) { return A.Bytes > B.Bytes; });
  return Pairs;
}

std::optional<TExtStat> TExtStats::Find(std::string_view Key) const {
  const std::optional<TExtKey> Number = FPool->Find(Key);
  if (!Number) {
    return std::nullopt;
  }
  const auto Found = std::lower_bound(FEntries.begin(), FEntries.end(), *Number,
                                      [](const TEntry& E, TExtKey K) { return E.Key < K; });
  if (Found == FEntries.end() || Found->Key != *Number) {
    return std::nullopt;
  }
  return TExtStat{Found->Bytes, Found->Files};
}

void TExtStatsAccumulator::Add(TExtKey Key, int64_t Bytes, int64_t Files) {
  if (Key >= FDense.size()) {
    FDense.resize(std::max<size_t>(Key + 1, FDense.size() * 2));
  }
  TExtStat& Stat = FDense[Key];
  if (Stat.Files == 0) {
    FTouched.push_back(Key);
  }
  Stat.Bytes = SaturatingAdd(Stat.Bytes, Bytes);
  Stat.Files += Files;
}

void TExtStatsAccumulator::AddAll(const TExtStats& Stats) {
  for (const TExtStats::TEntry& E : Stats.FEntries) {
    Add(E.Key, E.Bytes, E.Files);
  }
}

void TExtStatsAccumulator::MoveInto(TExtStats& Target) {
  std::sort(FTouched.begin(), FTouched.end());
  Target.FEntries.clear();
  Target.FEntries.reserve(FTouched.size());
  for (const TExtKey Key : FTouched) {
    TExtStat& Stat = FDense[Key];
    Target.FEntries.push_back({Stat.Bytes, Stat.Files, Key});
    Stat = {};
  }
  Target.FEntries.shrink_to_fit();
  FTouched.clear();
}

}  // namespace dunstrel
