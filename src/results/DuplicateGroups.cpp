#include "results/DuplicateGroups.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "common/Prefetch.h"
#include "common/ReleaseStorage.h"
#include "platform/TextCasing.h"

namespace dunstrel {

namespace {

int64_t SaturatedProduct(int64_t Count, int64_t Size) {
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
  if (Count <= 0 || Size == 0) {
    return 0;
  }
  if (Size > 0) {
    return Count > kMax / Size ? kMax : Count * Size;
  }
  return Count > kMin / Size ? kMin : Count * Size;
}

// A group while grouping runs: its members are a slice of TGrouper::Members.
struct TFoundGroup {
  size_t First = 0;
  size_t Count = 0;
  size_t SecondPosition = 0;  // where the member that completed the group is in the files array
  int64_t Bytes = 0;
};

// Most bytes first; equal bytes in the order the groups were completed. A total order, so the
// groups kept at the cut do not depend on how the sort breaks ties.
bool ComesBefore(const TFoundGroup& A, const TFoundGroup& B) {
  if (A.Bytes != B.Bytes) {
    return A.Bytes > B.Bytes;
  }
  return A.SecondPosition < B.SecondPosition;
}

// Files of equal size are neighbours in an array sorted by size, so the grouping only has to
// tell names apart within each run of one size, and builds no key text per file: a run's names
// are hashed upper-cased into one reused buffer, sorted by hash, and the names of equal hashes
// compared to be sure.
class TGrouper {
 public:
  enum class EOutcome { Done, Stopped, Unsorted };

  explicit TGrouper(const platform::ITextCasing& Casing)
      : FCasing(&Casing), FAsciiLikeRoot(Casing.MapsAsciiLikeRoot()) {}

  EOutcome Run(std::span<TFileLeaf* const> Files, const TDupProgress& Progress) {
    const size_t Total = Files.size();
    for (size_t I = 0; I < Total; ++I) {
      if (I + kPrefetchAhead < Total) {
        // The leaf and its name, which runs on past the leaf's own cache line.
        if (const TFileLeaf* Ahead = Files[I + kPrefetchAhead]) {
          Prefetch(Ahead);
          Prefetch(reinterpret_cast<const void*>(reinterpret_cast<uintptr_t>(Ahead) + 64));
        }
      }
      if (const TFileLeaf* File = Files[I]) {
        if (FRun.empty() || File->Size() != FRunSize) {
          if (!FRun.empty() && File->Size() > FRunSize) {
            return EOutcome::Unsorted;
          }
          ResolveRun();
          FRunSize = File->Size();
        }
        FRun.push_back({File, I});
      }
      if ((I % kDupProgressStep == 0 || I == Total - 1) && Progress && !Progress(I + 1, Total)) {
        return EOutcome::Stopped;
      }
    }
    ResolveRun();
    return EOutcome::Done;
  }

  std::vector<const TFileLeaf*> Members;
  std::vector<TFoundGroup> Found;

 private:
  struct TRunFile {
    const TFileLeaf* File;
    size_t Position;
  };
  struct THashed {
    size_t Hash;
    size_t Index;  // into FRun
    bool operator<(const THashed& Other) const {
      return Hash != Other.Hash ? Hash < Other.Hash : Index < Other.Index;
    }
  };

  // The name upper-cased as the keys of the maps are, in Buffer.
  std::string_view UpperName(std::string_view Name, std::string& Buffer) const {
    if (FAsciiLikeRoot) {
      Buffer.resize(Name.size());
      unsigned char NonAscii = 0;
      for (size_t I = 0; I < Name.size(); ++I) {
        const auto C = static_cast<unsigned char>(Name[I]);
        NonAscii |= C;
        Buffer[I] = static_cast<char>(static_cast<unsigned char>(C - 'a') < 26 ? C - 32 : C);
      }
      if (NonAscii < 0x80) {
        return Buffer;
      }
    }
    Buffer = FCasing->ToUpper(Name);
    return Buffer;
  }

  // Splits the current run into groups of equal upper-cased names, members in array order.
  void ResolveRun() {
    if (FRun.size() >= 2) {
      FHashed.clear();
      for (size_t I = 0; I < FRun.size(); ++I) {
        const size_t Hash = std::hash<std::string_view>{}(UpperName(FRun[I].File->Name(), FA));
        FHashed.push_back({Hash, I});
      }
      std::sort(FHashed.begin(), FHashed.end());
      for (size_t Begin = 0; Begin < FHashed.size();) {
        size_t End = Begin + 1;
        while (End < FHashed.size() && FHashed[End].Hash == FHashed[Begin].Hash) {
          ++End;
        }
        if (End - Begin >= 2) {
          SplitByName(Begin, End);
        }
        Begin = End;
      }
    }
    FRun.clear();
  }

  // Names of one hash are nearly always one name; a collision costs a comparison per pair.
  void SplitByName(size_t Begin, size_t End) {
    FTaken.assign(End - Begin, false);
    for (size_t A = Begin; A < End; ++A) {
      if (FTaken[A - Begin]) {
        continue;
      }
      const std::string_view Name = UpperName(FRun[FHashed[A].Index].File->Name(), FA);
      TFoundGroup Group{.First = Members.size()};
      for (size_t B = A + 1; B < End; ++B) {
        if (!FTaken[B - Begin] && UpperName(FRun[FHashed[B].Index].File->Name(), FB) == Name) {
          FTaken[B - Begin] = true;
          if (Group.Count == 0) {
            Members.push_back(FRun[FHashed[A].Index].File);
            Group.SecondPosition = FRun[FHashed[B].Index].Position;
            Group.Count = 1;
          }
          Members.push_back(FRun[FHashed[B].Index].File);
          ++Group.Count;
        }
      }
      if (Group.Count >= 2) {
        Group.Bytes = SaturatedProduct(static_cast<int64_t>(Group.Count), FRunSize);
        Found.push_back(Group);
      }
    }
  }

  const platform::ITextCasing* FCasing;
  bool FAsciiLikeRoot;
  int64_t FRunSize = 0;
  std::vector<TRunFile> FRun;
  std::vector<THashed> FHashed;
  std::vector<bool> FTaken;
  std::string FA;
  std::string FB;
};

void AddGroups(const TGrouper& Grouper, std::span<const TFoundGroup> Found,
               std::vector<TDupGroup>& Groups) {
  Groups.reserve(Found.size());
  for (const TFoundGroup& Group : Found) {
    const auto Begin = Grouper.Members.begin() + static_cast<std::ptrdiff_t>(Group.First);
    const TFileLeaf& Second = *Begin[1];
    TDupGroup& Added = Groups.emplace_back();
    Added.FileName = Second.Name();
    Added.Size = Second.Size();
    Added.ModifiedFT = Second.ModifiedFT();
    Added.Color = ColorForKey(DupGroupKey(Second.Name(), Second.Size()));
    Added.Files.assign(Begin, Begin + static_cast<std::ptrdiff_t>(Group.Count));
  }
}

}  // namespace

int64_t TDupGroup::Bytes() const {
  return SaturatedProduct(static_cast<int64_t>(Files.size()), Size);
}

std::string DupGroupKey(std::string_view Name, int64_t Size) {
  std::string Key = platform::UserTextCasing().ToUpper(Name);
  Key += '|';
  Key += std::to_string(Size);
  return Key;
}

void TDuplicates::Clear() {
  ReleaseStorage(Groups);
  ReleaseStorage(NextGroups);
}

bool GroupDuplicates(std::span<TFileLeaf* const> AllFiles, TDuplicates& Result,
                     const TDupProgress& Progress) {
  Result.Clear();
  const platform::ITextCasing& Casing = platform::UserTextCasing();
  TGrouper Grouper(Casing);
  TGrouper::EOutcome Outcome = Grouper.Run(AllFiles, Progress);
  if (Outcome == TGrouper::EOutcome::Unsorted) {
    // Ordered in another count (the disk usage): group a copy sorted by size, ties in their
    // given order. Each file's size is read once and sorted beside it, so the sort does not go
    // back to the scattered leaves for every comparison.
    struct TSized {
      int64_t Size;
      size_t Position;
      TFileLeaf* File;
    };
    std::vector<TSized> Sized;
    Sized.reserve(AllFiles.size());
    for (size_t I = 0; I < AllFiles.size(); ++I) {
      if (AllFiles[I] != nullptr) {
        Sized.push_back({AllFiles[I]->Size(), I, AllFiles[I]});
      }
    }
    std::sort(Sized.begin(), Sized.end(), [](const TSized& A, const TSized& B) {
      return A.Size != B.Size ? A.Size > B.Size : A.Position < B.Position;
    });
    std::vector<TFileLeaf*> Sorted(Sized.size());
    std::transform(Sized.begin(), Sized.end(), Sorted.begin(),
                   [](const TSized& Entry) { return Entry.File; });
    ReleaseStorage(Sized);
    Grouper = TGrouper(Casing);
    Outcome = Grouper.Run(Sorted, Progress);
  }
  std::vector<TFoundGroup>& Found = Grouper.Found;
  if (Outcome == TGrouper::EOutcome::Stopped) {
    AddGroups(Grouper, Found, Result.Groups);
    return false;
  }
  const auto Shown =
      Found.begin() + static_cast<std::ptrdiff_t>(std::min(Found.size(), kMaxDupGroups));
  const auto Kept =
      Found.begin() + static_cast<std::ptrdiff_t>(std::min(Found.size(), 2 * kMaxDupGroups));
  std::nth_element(Found.begin(), Kept, Found.end(), ComesBefore);
  std::sort(Found.begin(), Kept, ComesBefore);
  AddGroups(Grouper, std::span(Found.begin(), Shown), Result.Groups);
  AddGroups(Grouper, std::span(Shown, Kept), Result.NextGroups);
  return true;
}

}  // namespace dunstrel
