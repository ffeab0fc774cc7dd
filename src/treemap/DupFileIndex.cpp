#include "treemap/DupFileIndex.h"

#include <algorithm>
#include <cstring>

#include "common/Prefetch.h"
#include "platform/Paths.h"

namespace dunstrel {

namespace {

const std::vector<TDupFile> kNoFiles;
constexpr int kNameBitsLog2 = 16;

// From the length and the last eight bytes of a name, which tell most names apart.
uint32_t CheapNameHash(std::string_view Name) {
  uint64_t Tail = 0;
  const size_t Bytes = std::min<size_t>(Name.size(), sizeof(Tail));
  if (Bytes > 0) {
    std::memcpy(&Tail, Name.data() + Name.size() - Bytes, Bytes);
  }
  return static_cast<uint32_t>(((Tail + Name.size()) * 0x9E3779B97F4A7C15) >> (64 - kNameBitsLog2));
}

// The key of a path, without a copy where the path is its own key.
template <typename TUse>
auto WithKey(std::string_view Path, TUse&& Use) {
  if constexpr (kPathKeyIsThePath) {
    return Use(Path);
  } else {
    return Use(std::string_view(PathKey(Path)));
  }
}

}  // namespace

TDupFileIndex::TDupFileIndex(const TColorByPathKey& Colors)
    : FColors(&Colors), FNameBits((size_t{1} << kNameBitsLog2) / 64, 0) {
  for (const auto& [Key, Color] : Colors) {
    const std::string_view Whole(Key);
    const size_t Delimiter = Whole.rfind(platform::kPathDelimiter);
    const bool HasFolder = Delimiter != std::string_view::npos;
    ++FKeysInFolder[Whole.substr(0, HasFolder ? Delimiter : 0)];
    const std::string_view Name = Whole.substr(HasFolder ? Delimiter + 1 : 0);
    FNames.insert(Name);
    const uint32_t Bit = CheapNameHash(Name);
    FNameBits[Bit / 64] |= uint64_t{1} << (Bit % 64);
  }
}

bool TDupFileIndex::MayBeAName(std::string_view Name) const {
  const uint32_t Bit = CheapNameHash(Name);
  return (FNameBits[Bit / 64] >> (Bit % 64) & 1) != 0;
}

const std::string& TDupFileIndex::PathOf(const TDirNode& Folder) {
  if (&Folder == FLastFolder) {
    return FLastPath;
  }
  if (Folder.Parent() != nullptr && Folder.Parent() == FLastFolder && !Folder.NameIsPath()) {
    if (FLastPath.empty() || FLastPath.back() != platform::kPathDelimiter) {
      FLastPath.push_back(platform::kPathDelimiter);
    }
    FLastPath.append(Folder.Name());
  } else if (FLastFolder != nullptr && FLastFolder->Parent() == &Folder &&
             !FLastFolder->NameIsPath() && !Folder.NameIsPath()) {
    // Up from a sub-folder: its name and delimiter go.
    FLastPath.resize(FLastPath.size() - FLastFolder->Name().size() - 1);
  } else {
    FLastPath = Folder.FullPath();
  }
  FLastFolder = &Folder;
  return FLastPath;
}

const std::vector<TDupFile>& TDupFileIndex::FilesIn(const TDirNode& Folder) {
  if (FColors == nullptr || FColors->empty()) {
    return kNoFiles;
  }
  if (const auto Known = FFilesOfFolder.find(&Folder); Known != FFilesOfFolder.end()) {
    return Known->second;
  }
  const size_t Keys = WithKey(FolderPartOfFilePaths(PathOf(Folder)), [this](std::string_view Key) {
    const auto Found = FKeysInFolder.find(Key);
    return Found == FKeysInFolder.end() ? 0 : Found->second;
  });
  if (Keys == 0) {
    return kNoFiles;
  }
  std::vector<TDupFile>& Files = FFilesOfFolder[&Folder];
  const std::vector<TFileLeaf*>& Leaves = Folder.Leaves;
  // A folder holds a name once, so a key matches one of its files at most: once every key of
  // the folder has its file, the rest cannot match.
  for (size_t I = 0; I < Leaves.size() && Files.size() < Keys; ++I) {
    if (I + kPrefetchAhead < Leaves.size()) {
      Prefetch(Leaves[I + kPrefetchAhead]);
    }
    const TFileLeaf* File = Leaves[I];
    // Where a key ends with the file's own name, most files are ruled out by it.
    if (kPathKeyIsThePath && (!MayBeAName(File->Name()) || !FNames.contains(File->Name()))) {
      continue;
    }
    FScratch = PathOf(Folder);
    if (FScratch.empty() || FScratch.back() != platform::kPathDelimiter) {
      FScratch.push_back(platform::kPathDelimiter);
    }
    FScratch.append(File->Name());
    const auto Found =
        WithKey(FScratch, [this](std::string_view Key) { return FColors->find(Key); });
    if (Found != FColors->end()) {
      Files.push_back({File, Found->second});
    }
  }
  return Files;
}

}  // namespace dunstrel
