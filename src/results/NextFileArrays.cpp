#include "results/NextFileArrays.h"

#include <algorithm>
#include <functional>
#include <unordered_map>

#include "common/SaturatingSum.h"
#include "results/FileArrays.h"

namespace dunstrel {

namespace {

bool LargerFirst(const TFileLeaf* A, const TFileLeaf* B) {
  return A->Size() > B->Size();
}

// The files of one size in Files, largest first.
std::span<TFileLeaf* const> RunOf(std::span<TFileLeaf* const> Files, int64_t Size) {
  const auto First =
      std::lower_bound(Files.begin(), Files.end(), Size,
                       [](const TFileLeaf* File, int64_t S) { return File->Size() > S; });
  const auto Last = std::upper_bound(
      First, Files.end(), Size, [](int64_t S, const TFileLeaf* File) { return S > File->Size(); });
  return {First, Last};
}

void CopyDuplicates(const TDuplicates& From, TDuplicates& To) {
  To.Clear();
  To.Groups = From.Groups;
  To.NextGroups = From.NextGroups;
}

// A group that may be shown after the change, ranked as the grouping ranks: most bytes first,
// equal bytes in the order of their second members in the files array.
struct TCandidate {
  TDupGroup Group;
  int64_t Bytes = 0;
  size_t Second = 0;   // the position of its second member in the next files array
  bool Moved = false;  // members left it or took others' places
};

bool RanksBefore(const TCandidate& A, int64_t Bytes, size_t Second) {
  return A.Bytes != Bytes ? A.Bytes > Bytes : A.Second < Second;
}

// Where the given files are in Files: one pass over the run of each of their sizes.
std::unordered_map<const TFileLeaf*, size_t> PositionsOf(std::span<TFileLeaf* const> Files,
                                                         std::vector<const TFileLeaf*> Wanted) {
  std::unordered_map<const TFileLeaf*, size_t> Positions;
  Positions.reserve(Wanted.size());
  for (const TFileLeaf* File : Wanted) {
    Positions.emplace(File, 0);
  }
  std::sort(Wanted.begin(), Wanted.end(), LargerFirst);
  for (size_t I = 0; I < Wanted.size();) {
    const int64_t Size = Wanted[I]->Size();
    const std::span<TFileLeaf* const> Run = RunOf(Files, Size);
    const size_t Offset = static_cast<size_t>(Run.data() - Files.data());
    for (size_t K = 0; K < Run.size(); ++K) {
      if (const auto Found = Positions.find(Run[K]); Found != Positions.end()) {
        Found->second = Offset + K;
      }
    }
    while (I < Wanted.size() && Wanted[I]->Size() == Size) {
      ++I;
    }
  }
  return Positions;
}

// A file that came in under the name and size of one that left (the same file walked again,
// most often) takes its place in whatever group that one was in.
struct TNameAndSize {
  std::string_view Name;
  int64_t Size;
  bool operator==(const TNameAndSize&) const = default;
};

struct TNameAndSizeHash {
  size_t operator()(const TNameAndSize& Key) const {
    return std::hash<std::string_view>{}(Key.Name) ^
           static_cast<size_t>(Key.Size) * 0x9E3779B97F4A7C15ull;
  }
};

// The groups after the change, worked out from the previous ones: a file gone leaves its group,
// one that came in under a gone file's name and size takes its place, and only the sizes of the
// other files that came are grouped again. A group known to neither previous list only shrinks,
// or keeps its size, and so stays behind the last one known. False when what is known cannot
// settle which groups make the cut (too many of them lost members); the caller then groups every
// file.
bool FollowGroups(const TDuplicates& Previous, std::span<TFileLeaf* const> NextAllFiles,
                  const TTreeChange& Change, TDuplicates& Next) {
  const TLeafSet& Gone = Change.GoneFiles();
  std::unordered_map<const TFileLeaf*, TFileLeaf*> Successors;
  std::vector<int64_t> Sizes;  // of the files that came as no gone file's successor
  if (!Change.AddedFiles().empty()) {
    std::unordered_map<TNameAndSize, std::vector<const TFileLeaf*>, TNameAndSizeHash> GoneByName;
    GoneByName.reserve(Gone.Size());
    Gone.ForEach([&GoneByName](const TFileLeaf* File) {
      GoneByName[{File->Name(), File->Size()}].push_back(File);
    });
    for (TFileLeaf* File : Change.AddedFiles()) {
      const auto Found = GoneByName.find({File->Name(), File->Size()});
      if (Found == GoneByName.end() || Found->second.empty()) {
        Sizes.push_back(File->Size());
        continue;
      }
      Successors.emplace(Found->second.back(), File);
      Found->second.pop_back();
    }
  }
  std::sort(Sizes.begin(), Sizes.end(), std::greater<>());
  Sizes.erase(std::unique(Sizes.begin(), Sizes.end()), Sizes.end());
  const auto Regrouped = [&Sizes](int64_t Size) {
    return std::binary_search(Sizes.begin(), Sizes.end(), Size, std::greater<>());
  };

  std::vector<TCandidate> Candidates;
  const bool OthersExist = Previous.Groups.size() >= kMaxDupGroups;
  const TDupGroup* Last = nullptr;
  if (OthersExist) {
    Last = Previous.NextGroups.empty() ? &Previous.Groups.back() : &Previous.NextGroups.back();
  }
  bool LastStays = Last != nullptr && !Regrouped(Last->Size);
  for (const std::vector<TDupGroup>* Known : {&Previous.Groups, &Previous.NextGroups}) {
    for (const TDupGroup& Group : *Known) {
      if (Regrouped(Group.Size)) {
        continue;
      }
      TCandidate Candidate{Group, Group.Bytes(), 0, false};
      std::vector<const TFileLeaf*>& Members = Candidate.Group.Files;
      for (const TFileLeaf*& Member : Members) {
        if (Gone.Contains(Member)) {
          const auto Successor = Successors.find(Member);
          Member = Successor == Successors.end() ? nullptr : Successor->second;
          Candidate.Moved = true;
        }
      }
      if (!Candidate.Moved) {
        Candidates.push_back(std::move(Candidate));
        continue;
      }
      LastStays = LastStays && &Group != Last;
      std::erase(Members, nullptr);
      if (Members.size() >= 2) {
        Candidate.Bytes = Candidate.Group.Bytes();
        Candidates.push_back(std::move(Candidate));
      }
    }
  }
  if (!Sizes.empty()) {
    std::vector<TFileLeaf*> Gathered;  // largest first, as the sizes are taken
    for (const int64_t Size : Sizes) {
      const std::span<TFileLeaf* const> Run = RunOf(NextAllFiles, Size);
      Gathered.insert(Gathered.end(), Run.begin(), Run.end());
    }
    TDuplicates Found;
    if (!GroupDuplicates(Gathered, Found)) {
      return false;
    }
    for (std::vector<TDupGroup>* Groups : {&Found.Groups, &Found.NextGroups}) {
      for (TDupGroup& Group : *Groups) {
        const int64_t Bytes = Group.Bytes();
        Candidates.push_back({std::move(Group), Bytes, 0, false});
      }
    }
  }

  // Where the members are now: the second one ranks a group among those of equal bytes, and a
  // group whose members moved takes them in the array's order again.
  std::vector<const TFileLeaf*> Wanted;
  for (const TCandidate& Candidate : Candidates) {
    if (Candidate.Moved) {
      Wanted.insert(Wanted.end(), Candidate.Group.Files.begin(), Candidate.Group.Files.end());
    } else {
      Wanted.push_back(Candidate.Group.Files[1]);
    }
  }
  if (LastStays) {
    Wanted.push_back(Last->Files[1]);
  }
  const std::unordered_map<const TFileLeaf*, size_t> Positions =
      PositionsOf(NextAllFiles, std::move(Wanted));
  for (TCandidate& Candidate : Candidates) {
    TDupGroup& Group = Candidate.Group;
    if (Candidate.Moved) {
      std::sort(Group.Files.begin(), Group.Files.end(),
                [&Positions](const TFileLeaf* A, const TFileLeaf* B) {
                  return Positions.at(A) < Positions.at(B);
                });
      Group.FileName = Group.Files[1]->Name();
      Group.ModifiedFT = Group.Files[1]->ModifiedFT();
    }
    Candidate.Second = Positions.at(Group.Files[1]);
  }
  std::sort(Candidates.begin(), Candidates.end(), [](const TCandidate& A, const TCandidate& B) {
    return RanksBefore(A, B.Bytes, B.Second);
  });
  // The candidates certain to rank before every group not known: before the last one known
  // where it stays as it was, else with more bytes than it had.
  size_t Certain = Candidates.size();
  if (OthersExist) {
    const int64_t Bytes = Last->Bytes();
    const size_t Second = LastStays ? Positions.at(Last->Files[1]) + 1 : 0;
    Certain = static_cast<size_t>(
        std::find_if(Candidates.begin(), Candidates.end(),
                     [&](const TCandidate& C) { return !RanksBefore(C, Bytes, Second); }) -
        Candidates.begin());
    if (Certain < kMaxDupGroups) {
      return false;
    }
  }
  Next.Clear();
  const size_t Shown = std::min(Certain, kMaxDupGroups);
  const size_t Kept = std::min(Certain, 2 * kMaxDupGroups);
  Next.Groups.reserve(Shown);
  Next.NextGroups.reserve(Kept - Shown);
  for (size_t I = 0; I < Kept; ++I) {
    (I < Shown ? Next.Groups : Next.NextGroups).push_back(std::move(Candidates[I].Group));
  }
  return true;
}

}  // namespace

std::vector<TFileLeaf*> FilesAfterChange(std::span<TFileLeaf* const> AllFiles,
                                         int64_t AllTotalBytes, const TLeafSet& Gone,
                                         std::span<TFileLeaf* const> Added, TSizeCount Count,
                                         int64_t& TotalBytes) {
  // The sum follows from what changes: no file that stays is read.
  TotalBytes = AllTotalBytes;
  Gone.ForEach([&TotalBytes, Count](const TFileLeaf* File) { TotalBytes -= File->SizeIn(Count); });
  std::vector<TFileLeaf*> Kept;
  Kept.reserve(AllFiles.size() + Added.size() - std::min(AllFiles.size(), Gone.Size()));
  for (TFileLeaf* File : AllFiles) {
    if (!Gone.Contains(File)) {
      Kept.push_back(File);
    }
  }
  if (Added.empty()) {
    return Kept;
  }
  const auto Larger = [Count](const TFileLeaf* A, const TFileLeaf* B) {
    return A->SizeIn(Count) > B->SizeIn(Count);
  };
  std::vector<TFileLeaf*> Coming(Added.begin(), Added.end());
  std::stable_sort(Coming.begin(), Coming.end(), Larger);
  for (const TFileLeaf* File : Coming) {
    TotalBytes = SaturatingAdd(TotalBytes, File->SizeIn(Count));
  }
  // Each one's place found by a search, the files between copied in blocks: few files are read.
  std::vector<TFileLeaf*> Merged;
  Merged.reserve(Kept.size() + Coming.size());
  auto From = Kept.begin();
  for (TFileLeaf* File : Coming) {
    const auto Place = std::upper_bound(From, Kept.end(), File, Larger);
    Merged.insert(Merged.end(), From, Place);
    Merged.push_back(File);
    From = Place;
  }
  Merged.insert(Merged.end(), From, Kept.end());
  return Merged;
}

bool DuplicatesAfterChange(const TDuplicates& Previous, std::span<TFileLeaf* const> NextAllFiles,
                           const TTreeChange& Change, TDuplicates& Next,
                           const TDupProgress& Progress) {
  if (Change.GoneFiles().Empty() && Change.AddedFiles().empty()) {
    CopyDuplicates(Previous, Next);
    return true;
  }
  return FollowGroups(Previous, NextAllFiles, Change, Next) ||
         GroupDuplicates(NextAllFiles, Next, Progress);
}

bool NextFileArrays(std::span<TFileLeaf* const> AllFiles, int64_t AllTotalBytes,
                    const TDuplicates& Duplicates, const TTreeChange& Change, size_t Largest,
                    TSizeCount Count, TNextFileArrays& Next, const TDupProgress& Progress) {
  Next.AllFiles = FilesAfterChange(AllFiles, AllTotalBytes, Change.GoneFiles(), Change.AddedFiles(),
                                   Count, Next.AllTotalBytes);
  const std::span<TFileLeaf* const> Display =
      TakeLargestFiles(Next.AllFiles, Largest, Count, Next.DisplayTotalBytes);
  Next.DisplayFiles.assign(Display.begin(), Display.end());
  if (Count != TSizeCount::ApparentSize) {
    // The groups are of files of one name and size, found along an array in size order: in
    // another order they are grouped again.
    return GroupDuplicates(Next.AllFiles, Next.Duplicates, Progress);
  }
  return DuplicatesAfterChange(Duplicates, Next.AllFiles, Change, Next.Duplicates, Progress);
}

}  // namespace dunstrel
