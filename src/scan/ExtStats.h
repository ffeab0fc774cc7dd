#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace dunstrel {

// An extension key as stored once per scan (lower-cased with its dot, or "(none)"): its number
// in the scan's pool.
using TExtKey = uint32_t;

inline constexpr std::string_view kNoExtensionKey = "(none)";

// Keeps one copy of every extension text of a scan, so that leaves and statistics refer to it
// by number instead of holding a string each.
class TExtKeyPool {
 public:
  TExtKey Intern(std::string_view Text);
  const std::string& Text(TExtKey Key) const { return FTexts[Key]; }
  std::optional<TExtKey> Find(std::string_view Text) const;
  size_t Count() const { return FTexts.size(); }

 private:
  std::deque<std::string> FTexts;
  std::unordered_map<std::string_view, TExtKey> FIndex;
};

struct TExtStat {
  int64_t Bytes = 0;
  int64_t Files = 0;
};

struct TExtStatPair {
  std::string Ext;
  int64_t Bytes = 0;
  int64_t Files = 0;
};

// Bytes and file counts per extension key of one folder's whole subtree. A compact array kept
// in key order: a scan holds one per folder, so a hash map each would cost far more memory.
class TExtStats {
 public:
  explicit TExtStats(TExtKeyPool& Pool) : FPool(&Pool) {}

  // Counts one file; AExt is lower-cased with the user's locale and "" becomes "(none)".
  void AddFile(std::string_view AExt, int64_t ASize);
  // Counts one file under a key of this pool that is already normalised.
  void AddKey(TExtKey Key, int64_t ASize);
  // Adds every entry of Src; nothing when Src is absent.
  void MergeFrom(const TExtStats* Src);
  // Takes away the bytes and files of Part, a part of what these statistics count (of this scan's
  // pool or another's); an extension left with no file goes.
  void Remove(const TExtStats& Part);
  // Largest Bytes first; equal Bytes in no defined order.
  std::vector<TExtStatPair> ToSortedArrayByBytesDesc() const;

  size_t Count() const { return FEntries.size(); }
  // The entry of an exact key text.
  std::optional<TExtStat> Find(std::string_view Key) const;

 private:
  // Packed to 20 bytes: millions of these exist in a large scan.
#pragma pack(push, 4)
  struct TEntry {
    int64_t Bytes;
    int64_t Files;
    TExtKey Key;
  };
#pragma pack(pop)

  friend class TExtStatsAccumulator;
  TEntry& EntryFor(TExtKey Key);

  TExtKeyPool* FPool;
  std::vector<TEntry> FEntries;  // ordered by Key
};

// Sums the statistics of one folder (its files and its children's statistics) in an array
// indexed by key, and hands them over in one exact allocation: cheaper than growing a sorted
// array file by file. One accumulator serves a whole scan, folder after folder.
class TExtStatsAccumulator {
 public:
  void Add(TExtKey Key, int64_t Bytes, int64_t Files);
  void AddAll(const TExtStats& Stats);
  // Replaces Target's entries with the sums, and starts again from empty.
  void MoveInto(TExtStats& Target);

 private:
  std::vector<TExtStat> FDense;
  std::vector<TExtKey> FTouched;
};

}  // namespace dunstrel
