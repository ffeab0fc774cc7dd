#include "results/BaselineComparison.h"

#include <algorithm>
#include <deque>
#include <string>
#include <utility>

#include "localisation/TextFormat.h"
#include "localisation/translation.h"
#include "scan/PathKeys.h"

namespace dunstrel {

namespace {

// How one folder's entries are told apart: by their names as the file system compares them
// (a drive under the root of every drive by its path).
class TNameKeys {
 public:
  std::string_view Of(const TDirNode& Folder) {
    if (Folder.NameIsPath()) {
      return Kept(PathKey(Folder.FullPath()));
    }
    return Of(Folder.Name());
  }
  std::string_view Of(const TFileLeaf& File) { return Of(File.Name()); }
  void Clear() { FKept.clear(); }

 private:
  std::string_view Of(std::string_view Name) {
    if constexpr (kPathKeyIsThePath) {
      return Name;
    } else {
      return Kept(PathKey(Name));
    }
  }
  std::string_view Kept(std::string Key) { return FKept.emplace_back(std::move(Key)); }

  std::deque<std::string> FKept;
};

// The entries of one folder of the baseline by key, each found at most once.
template <typename TEntry>
class TBaselineEntries {
 public:
  template <typename TItems>
  void Index(const TItems& Items, TNameKeys& Keys) {
    FSorted.clear();
    FSorted.reserve(Items.size());
    for (size_t I = 0; I < Items.size(); ++I) {
      FSorted.push_back({Keys.Of(*Items[I]), I});
    }
    std::sort(FSorted.begin(), FSorted.end());
    FMatched.assign(Items.size(), false);
  }
  // The index of the entry of Key not matched yet; none is Items.size().
  size_t Match(std::string_view Key) {
    auto Found = std::lower_bound(FSorted.begin(), FSorted.end(), std::pair(Key, size_t{0}));
    for (; Found != FSorted.end() && Found->first == Key; ++Found) {
      if (!FMatched[Found->second]) {
        FMatched[Found->second] = true;
        return Found->second;
      }
    }
    return FMatched.size();
  }
  bool Matched(size_t Index) const { return FMatched[Index]; }

 private:
  std::vector<std::pair<std::string_view, size_t>> FSorted;
  std::vector<bool> FMatched;
};

// Entries collected in blocks of a fixed size and then moved into one vector of exactly their
// number, a block at a time: never twice the memory of the result, as a growing vector would take.
template <typename T>
class TBlocks {
 public:
  void Add(const T& Item) {
    if (FBlocks.empty() || FBlocks.back().size() == kBlock) {
      FBlocks.emplace_back().reserve(kBlock);
    }
    FBlocks.back().push_back(Item);
    ++FCount;
  }
  void MoveInto(std::vector<T>& Out) {
    Out.clear();
    Out.reserve(FCount);
    for (std::vector<T>& Block : FBlocks) {
      Out.insert(Out.end(), Block.begin(), Block.end());
      std::vector<T>().swap(Block);
    }
    FBlocks.clear();
    FCount = 0;
  }

 private:
  static constexpr size_t kBlock = 16384;
  std::vector<std::vector<T>> FBlocks;
  size_t FCount = 0;
};

// The path a message names a tree by.
std::string ShownPath(const TDirNode& Root) {
  const std::string Path = Root.FullPath();
  return Path.empty() ? std::string(Root.Name()) : Path;
}

}  // namespace

bool TBaselineComparison::IsNew(const void* Entry, const TDirNode* Folder) const {
  if (std::binary_search(FNew.begin(), FNew.end(), Entry)) {
    return true;
  }
  for (; Folder != nullptr; Folder = Folder->Parent()) {
    if (std::binary_search(FNew.begin(), FNew.end(), static_cast<const void*>(Folder))) {
      return true;
    }
  }
  return false;
}

TGrowth TBaselineComparison::GrowthOf(const void* Entry, const TDirNode* Folder, int64_t Now,
                                      TSizeCount Count) const {
  const auto Found = std::lower_bound(
      FChanged.begin(), FChanged.end(), Entry,
      [](const TChanged& Changed, const void* Key) { return Changed.Entry < Key; });
  if (Found != FChanged.end() && Found->Entry == Entry) {
    const int64_t Bytes =
        Count == TSizeCount::ApparentSize ? Found->ApparentSize : Found->DiskUsage;
    return {Bytes > 0   ? TGrowthKind::Grown
            : Bytes < 0 ? TGrowthKind::Shrunk
                        : TGrowthKind::Unchanged,
            Bytes};
  }
  if (IsNew(Entry, Folder)) {
    return {TGrowthKind::New, Now};
  }
  return {};
}

TGrowth TBaselineComparison::Of(const TFileLeaf& File, TSizeCount Count) const {
  return GrowthOf(&File, &File.Parent(), File.SizeIn(Count), Count);
}

TGrowth TBaselineComparison::Of(const TDirNode& Folder, TSizeCount Count) const {
  return GrowthOf(&Folder, Folder.Parent(), Folder.TotalIn(Count), Count);
}

std::span<const TRemovedEntry> TBaselineComparison::RemovedFrom(const TDirNode& Folder) const {
  const auto First = std::lower_bound(
      FRemoved.begin(), FRemoved.end(), &Folder,
      [](const TRemovedEntry& Entry, const TDirNode* Key) { return Entry.Folder < Key; });
  const auto Last = std::upper_bound(
      First, FRemoved.end(), &Folder,
      [](const TDirNode* Key, const TRemovedEntry& Entry) { return Key < Entry.Folder; });
  return {First, Last};
}

size_t TBaselineComparison::KeptBytes() const {
  return FChanged.capacity() * sizeof(TChanged) + FNew.capacity() * sizeof(const void*) +
         FRemoved.capacity() * sizeof(TRemovedEntry) + FRemovedNames.capacity();
}

TBaselineComparison CompareWithBaseline(const TDirNode& Current, const TDirNode& Baseline) {
  if (PathKey(Current.FullPath()) != PathKey(Baseline.FullPath())) {
    throw EBaselineMismatch(FormatText(
        Translate("The saved scan is of %s, not of %s: only a saved scan of the same folder can "
                  "be compared."),
        {ShownPath(Baseline), ShownPath(Current)}));
  }
  TBaselineComparison Result;
  std::vector<size_t> NameOffsets;  // of each removed entry's name, viewed once all are kept
  const auto NoteRemoved = [&](const TDirNode& Folder, std::string_view Name, bool IsFolder,
                               int64_t Apparent, int64_t DiskUsage, int64_t Files) {
    NameOffsets.push_back(Result.FRemovedNames.size());
    Result.FRemovedNames.insert(Result.FRemovedNames.end(), Name.begin(), Name.end());
    Result.FRemoved.push_back({&Folder, Name, IsFolder, Apparent, DiskUsage, Files});
  };
  TBlocks<TBaselineComparison::TChanged> Changed;
  TBlocks<const void*> New;
  const auto NoteSizes = [&Changed](const void* Entry, int64_t Apparent, int64_t DiskUsage) {
    if (Apparent != 0 || DiskUsage != 0) {
      Changed.Add({Entry, Apparent, DiskUsage});
    }
  };
  NoteSizes(&Current, Current.TotalSize - Baseline.TotalSize,
            Current.TotalDiskUsage - Baseline.TotalDiskUsage);

  TNameKeys Keys;
  TBaselineEntries<TFileLeaf> Files;
  TBaselineEntries<TDirNode> Folders;
  // Folders of both, matched by path, walked without recursion.
  std::vector<std::pair<const TDirNode*, const TDirNode*>> Pending{{&Current, &Baseline}};
  while (!Pending.empty()) {
    const auto [Now, Then] = Pending.back();
    Pending.pop_back();
    Keys.Clear();
    Files.Index(Then->Leaves, Keys);
    for (const TFileLeaf* File : Now->Leaves) {
      const size_t Found = Files.Match(Keys.Of(*File));
      if (Found == Then->Leaves.size()) {
        New.Add(File);
        continue;
      }
      const TFileLeaf& Old = *Then->Leaves[Found];
      NoteSizes(File, File->Size() - Old.Size(),
                File->SizeIn(TSizeCount::DiskUsage) - Old.SizeIn(TSizeCount::DiskUsage));
    }
    for (size_t I = 0; I < Then->Leaves.size(); ++I) {
      if (!Files.Matched(I)) {
        const TFileLeaf& Old = *Then->Leaves[I];
        NoteRemoved(*Now, Old.Name(), false, Old.Size(), Old.SizeIn(TSizeCount::DiskUsage), 1);
      }
    }
    Folders.Index(Then->Children, Keys);
    for (const auto& Child : Now->Children) {
      const size_t Found = Folders.Match(Keys.Of(*Child));
      if (Found == Then->Children.size()) {
        New.Add(Child.get());
        continue;
      }
      const TDirNode& Old = *Then->Children[Found];
      NoteSizes(Child.get(), Child->TotalSize - Old.TotalSize,
                Child->TotalDiskUsage - Old.TotalDiskUsage);
      Pending.emplace_back(Child.get(), &Old);
    }
    for (size_t I = 0; I < Then->Children.size(); ++I) {
      if (!Folders.Matched(I)) {
        const TDirNode& Old = *Then->Children[I];
        NoteRemoved(*Now, Old.Name(), true, Old.TotalSize, Old.TotalDiskUsage, Old.TotalFiles);
      }
    }
  }
  Result.FRemovedNames.shrink_to_fit();  // the names stay where they are from here on
  for (size_t I = 0; I < Result.FRemoved.size(); ++I) {
    Result.FRemoved[I].Name = std::string_view(Result.FRemovedNames.data() + NameOffsets[I],
                                               Result.FRemoved[I].Name.size());
  }
  std::stable_sort(
      Result.FRemoved.begin(), Result.FRemoved.end(),
      [](const TRemovedEntry& A, const TRemovedEntry& B) { return A.Folder < B.Folder; });
  Changed.MoveInto(Result.FChanged);
  std::sort(Result.FChanged.begin(), Result.FChanged.end(),
            [](const auto& A, const auto& B) { return A.Entry < B.Entry; });
  New.MoveInto(Result.FNew);
  std::sort(Result.FNew.begin(), Result.FNew.end());
  Result.FRemoved.shrink_to_fit();
  return Result;
}

}  // namespace dunstrel
