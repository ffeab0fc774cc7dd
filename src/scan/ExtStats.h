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

}  // namespace dunstrel
