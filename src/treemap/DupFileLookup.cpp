#include "treemap/DupFileLookup.h"

#include "platform/Paths.h"

namespace dunstrel {

TDupFileLookup::TDupFileLookup(const TColorByPathKey& Colors) : FColors(&Colors) {
  if constexpr (kPathKeyIsThePath) {
    FNames.reserve(Colors.size());
    for (const auto& [Key, Color] : Colors) {
      const size_t Delimiter = Key.rfind(platform::kPathDelimiter);
      FNames.insert(
          std::string_view(Key).substr(Delimiter == std::string::npos ? 0 : Delimiter + 1));
    }
  }
}

const TColor* TDupFileLookup::ColorOf(const TFileLeaf& File) const {
  if (FColors == nullptr || FColors->empty()) {
    return nullptr;
  }
  FScratch.clear();
  if constexpr (kPathKeyIsThePath) {
    if (!FNames.contains(File.Name())) {
      return nullptr;
    }
    File.AppendFullPath(FScratch);
  } else {
    FScratch = PathKey(File.FullPath());
  }
  const auto Found = FColors->find(FScratch);
  return Found == FColors->end() ? nullptr : &Found->second;
}

}  // namespace dunstrel
