#include "results/NextFileArrays.h"

#include <algorithm>

#include "common/SaturatingSum.h"
#include "results/FileArrays.h"

namespace dunstrel {

namespace {

bool LargerFirst(const TFileLeaf* A, const TFileLeaf* B) {
  return A->Size > B->Size;
}

void CopyDuplicates(const TDuplicates& From, TDuplicates& To) {
  To.Clear();
  To.Groups = From.Groups;
  To.ColorByPathKey = From.ColorByPathKey;
  To.GroupByPathKey.reserve(From.GroupByPathKey.size());
  for (const auto& [Key, Group] : From.GroupByPathKey) {
    To.GroupByPathKey.emplace(Key, &To.Groups[static_cast<size_t>(Group - From.Groups.data())]);
  }
}

}  // namespace

std::vector<TFileLeaf*> FilesAfterChange(std::span<TFileLeaf* const> AllFiles, const TLeafSet& Gone,
                                         std::span<TFileLeaf* const> Added, int64_t& TotalBytes) {
  std::vector<TFileLeaf*> Kept;
  Kept.reserve(AllFiles.size() + Added.size() - std::min(AllFiles.size(), Gone.Size()));
  TotalBytes = 0;
  for (TFileLeaf* File : AllFiles) {
    if (!Gone.Contains(File)) {
      Kept.push_back(File);
      TotalBytes = SaturatingAdd(TotalBytes, File->Size);
    }
  }
  if (Added.empty()) {
    return Kept;
  }
  std::vector<TFileLeaf*> Coming(Added.begin(), Added.end());
  std::stable_sort(Coming.begin(), Coming.end(), LargerFirst);
  for (const TFileLeaf* File : Coming) {
    TotalBytes = SaturatingAdd(TotalBytes, File->Size);
  }
  std::vector<TFileLeaf*> Merged(Kept.size() + Coming.size());
  std::merge(Kept.begin(), Kept.end(), Coming.begin(), Coming.end(), Merged.begin(), LargerFirst);
  return Merged;
}

bool DuplicatesAfterChange(const TDuplicates& Previous, std::span<TFileLeaf* const> NextAllFiles,
                           const TTreeChange& Change, TDuplicates& Next,
                           const TDupProgress& Progress) {
  const TLeafSet& Gone = Change.GoneFiles();
  const bool GroupsTouched =
      std::any_of(Previous.Groups.begin(), Previous.Groups.end(), [&Gone](const TDupGroup& Group) {
        return std::any_of(Group.Files.begin(), Group.Files.end(),
                           [&Gone](const TFileLeaf* File) { return Gone.Contains(File); });
      });
  if (!GroupsTouched && Change.AddedFiles().empty()) {
    CopyDuplicates(Previous, Next);
    return true;
  }
  return GroupDuplicates(NextAllFiles, Next, Progress);
}

bool NextFileArrays(std::span<TFileLeaf* const> AllFiles, const TDuplicates& Duplicates,
                    const TTreeChange& Change, size_t Largest, TNextFileArrays& Next,
                    const TDupProgress& Progress) {
  Next.AllFiles =
      FilesAfterChange(AllFiles, Change.GoneFiles(), Change.AddedFiles(), Next.AllTotalBytes);
  TakeLargestFiles(Next.AllFiles, Largest, Next.DisplayFiles, Next.DisplayTotalBytes);
  return DuplicatesAfterChange(Duplicates, Next.AllFiles, Change, Next.Duplicates, Progress);
}

}  // namespace dunstrel
