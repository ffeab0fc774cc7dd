#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "scan/KeyColors.h"
#include "scan/ScanTree.h"

namespace dunstrel {

// The groups kept after grouping: those with the most bytes.
inline constexpr size_t kMaxDupGroups = 2000;
// Grouping reports its progress, and may be stopped, once per this many files.
inline constexpr size_t kDupProgressStep = 800;

// Files that look like copies of one another: the same name apart from letter case and the same
// size to the byte. The files belong to the scan tree.
struct TDupGroup {
  std::string FileName;  // spelled as in the second member
  int64_t Size = 0;
  platform::TFileStamp ModifiedFT = 0;  // the second member's
  TColor Color = kGrey;
  std::vector<const TFileLeaf*> Files;  // at least two, in the order of the files array

  // Files times Size, held at the largest value instead of overflowing.
  int64_t Bytes() const;
};

// The key that puts a file into a group: its name upper-cased with the user's locale, "|", its
// size in decimal ("REPORT.PDF|1024"). A group's colour is ColorForKey of it.
std::string DupGroupKey(std::string_view Name, int64_t Size);

// The result of one grouping: the groups, most bytes first. It is moved, never copied by
// accident: it can hold millions of members.
struct TDuplicates {
  TDuplicates() = default;
  TDuplicates(TDuplicates&&) = default;
  TDuplicates& operator=(TDuplicates&&) = default;
  TDuplicates(const TDuplicates&) = delete;
  TDuplicates& operator=(const TDuplicates&) = delete;

  void Clear();

  std::vector<TDupGroup> Groups;
  // The groups that come after the cut, most bytes first, up to kMaxDupGroups of them: when a
  // change of the files takes groups out of Groups, the next ones come from here without grouping
  // every file again. A group in neither ranks after the last of them (or of Groups while this is
  // empty), and there is none while Groups is not full.
  std::vector<TDupGroup> NextGroups;
};

// Called with (files done, all files) once every kDupProgressStep files and after the last;
// returns false to stop the grouping.
using TDupProgress = std::function<bool(size_t Done, size_t Total)>;

// Groups AllFiles (every file of the scan, largest first, as FlattenAllFiles makes it; null
// entries are skipped) into Result, replacing what it held: the kMaxDupGroups groups with the
// most bytes, most first (equal bytes in the order their second member comes in AllFiles),
// and the next ones up to as many again. Returns false when Progress stopped it; Result then
// holds the groups found so far, unsorted and uncut.
[[nodiscard]] bool GroupDuplicates(std::span<TFileLeaf* const> AllFiles, TDuplicates& Result,
                                   const TDupProgress& Progress = {});

}  // namespace dunstrel
