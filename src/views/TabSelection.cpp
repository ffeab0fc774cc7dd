#include "views/TabSelection.h"

#include <algorithm>

#include "common/ReleaseStorage.h"

namespace dunstrel {

const void* TTabSelection::KeyOf(const TSelectedItem& Item) {
  return std::visit([](const auto* Object) { return static_cast<const void*>(Object); }, Item);
}

size_t TTabSelection::ExtensionOf(const TSelectedItem& Item) const {
  const auto* File = std::get_if<const TFileLeaf*>(&Item);
  return File != nullptr && *File != nullptr && FResults != nullptr ? FResults->ExtensionOf(**File)
                                                                    : TScanResults::kNoExtensionRow;
}

void TTabSelection::SetResults(const TScanResults* Results) {
  Clear();
  FResults = Results;
}

size_t TTabSelection::Size() const {
  return FItems.size() + FFilesOfExtensions;
}

bool TTabSelection::Contains(const TFileLeaf& File) const {
  if (!FExtensions.empty() && HasExtension(FResults->ExtensionOf(File))) {
    return true;
  }
  return FKeys.contains(&File);
}

bool TTabSelection::Contains(const TSelectedItem& Item) const {
  return HasExtension(ExtensionOf(Item)) || FKeys.contains(KeyOf(Item));
}

std::vector<TSelectedItem> TTabSelection::AllItems() const {
  std::vector<TSelectedItem> All;
  All.reserve(Size());
  const auto At = static_cast<std::ptrdiff_t>(std::min(FExtensionsAt, FItems.size()));
  All.insert(All.end(), FItems.begin(), FItems.begin() + At);
  if (!FExtensions.empty()) {
    for (const TFileLeaf* File : FResults->AllFiles) {
      if (HasExtension(FResults->ExtensionOf(*File))) {
        All.emplace_back(File);
      }
    }
  }
  All.insert(All.end(), FItems.begin() + At, FItems.end());
  return All;
}

std::optional<TSelectedItem> TTabSelection::First() const {
  if (!FExtensions.empty() && FExtensionsAt == 0) {
    for (const TFileLeaf* File : FResults->AllFiles) {
      if (HasExtension(FResults->ExtensionOf(*File))) {
        return File;
      }
    }
  }
  return FItems.empty() ? std::nullopt : std::optional<TSelectedItem>(FItems.front());
}

void TTabSelection::Clear() {
  // A whole folder of files may have been selected.
  ReleaseStorage(FItems);
  ReleaseStorage(FKeys);
  FExtensions.clear();
  ReleaseStorage(FChosen);
  FFilesOfExtensions = 0;
  FExtensionsAt = 0;
  FPrimary.reset();
}

void TTabSelection::Add(const TSelectedItem& Item) {
  if (KeyOf(Item) != nullptr && !HasExtension(ExtensionOf(Item)) &&
      FKeys.insert(KeyOf(Item)).second) {
    FItems.push_back(Item);
  }
}

void TTabSelection::RemoveItems(const std::vector<TSelectedItem>& Removed) {
  size_t Taken = 0;
  for (const TSelectedItem& Item : Removed) {
    Taken += FKeys.erase(KeyOf(Item));
  }
  if (Taken == 0) {
    return;
  }
  size_t Before = 0;
  for (size_t I = 0; I < FItems.size() && I < FExtensionsAt; ++I) {
    Before += FKeys.contains(KeyOf(FItems[I])) ? 0 : 1;
  }
  FExtensionsAt -= Before;
  std::erase_if(FItems, [this](const TSelectedItem& Item) { return !FKeys.contains(KeyOf(Item)); });
  if (FPrimary && !Contains(*FPrimary)) {
    FPrimary.reset();
  }
}

void TTabSelection::AddExtension(size_t Row) {
  if (FResults == nullptr || Row >= FResults->Extensions.size() || HasExtension(Row)) {
    return;
  }
  if (FExtensions.empty()) {
    FExtensionsAt = FItems.size();
  }
  // The files of the extension chosen one by one before are now in it.
  std::vector<TSelectedItem> Inside;
  for (const TSelectedItem& Item : FItems) {
    if (ExtensionOf(Item) == Row) {
      Inside.push_back(Item);
    }
  }
  RemoveItems(Inside);
  FChosen.resize(FResults->Extensions.size(), 0);
  FChosen[Row] = 1;
  FExtensions.push_back(Row);
  FFilesOfExtensions += static_cast<size_t>(FResults->Extensions[Row].Files);
}

void TTabSelection::Unfold(const std::vector<TSelectedItem>& Items) {
  std::vector<char> Unfolded(FChosen.size(), 0);
  bool Any = false;
  for (const TSelectedItem& Item : Items) {
    const size_t Row = ExtensionOf(Item);
    if (HasExtension(Row)) {
      Unfolded[Row] = 1;
      FChosen[Row] = 0;
      FFilesOfExtensions -= static_cast<size_t>(FResults->Extensions[Row].Files);
      Any = true;
    }
  }
  if (!Any) {
    return;
  }
  std::erase_if(FExtensions, [&](size_t Row) { return Unfolded[Row] != 0; });
  std::vector<TSelectedItem> Files;
  for (const TFileLeaf* File : FResults->AllFiles) {
    const size_t Row = FResults->ExtensionOf(*File);
    if (Row < Unfolded.size() && Unfolded[Row] != 0 && FKeys.insert(File).second) {
      Files.emplace_back(File);
    }
  }
  const size_t At = std::min(FExtensionsAt, FItems.size());
  FItems.insert(FItems.begin() + static_cast<std::ptrdiff_t>(At), Files.begin(), Files.end());
  FExtensionsAt = FExtensions.empty() ? 0 : At + Files.size();
}

void TTabSelection::Replace(const std::vector<TSelectedItem>& Items, TSelectionOrigin Origin) {
  Clear();
  FOrigin = Origin;
  FItems.reserve(Items.size());
  for (const TSelectedItem& Item : Items) {
    Add(Item);
  }
  if (!FItems.empty()) {
    FPrimary = FItems.front();
  }
}

void TTabSelection::ReplaceWithExtensions(const std::vector<size_t>& Rows,
                                          TSelectionOrigin Origin) {
  Clear();
  FOrigin = Origin;
  for (const size_t Row : Rows) {
    AddExtension(Row);
  }
}

void TTabSelection::Change(const std::vector<TSelectedItem>& Removed,
                           const std::vector<TSelectedItem>& Added, TSelectionOrigin Origin) {
  FOrigin = Origin;
  Unfold(Removed);
  RemoveItems(Removed);
  for (const TSelectedItem& Item : Added) {
    Add(Item);
  }
  if (!Added.empty() && Contains(Added.back())) {
    FPrimary = Added.back();
  }
}

void TTabSelection::ChangeExtensions(const std::vector<size_t>& Removed,
                                     const std::vector<size_t>& Added, TSelectionOrigin Origin) {
  FOrigin = Origin;
  for (const size_t Row : Removed) {
    // A row shown chosen may stand for files chosen one by one: they go with it.
    std::vector<TSelectedItem> Inside;
    for (const TSelectedItem& Item : FItems) {
      if (ExtensionOf(Item) == Row) {
        Inside.push_back(Item);
      }
    }
    RemoveItems(Inside);
    if (HasExtension(Row)) {
      FChosen[Row] = 0;
      std::erase(FExtensions, Row);
      FFilesOfExtensions -= static_cast<size_t>(FResults->Extensions[Row].Files);
    }
  }
  for (const size_t Row : Added) {
    AddExtension(Row);
  }
}

void TTabSelection::Toggle(const TSelectedItem& Item, TSelectionOrigin Origin) {
  if (Contains(Item)) {
    Change({Item}, {}, Origin);
  } else {
    Change({}, {Item}, Origin);
  }
}

std::string ItemPath(const TSelectedItem& Item) {
  if (const auto* File = std::get_if<const TFileLeaf*>(&Item)) {
    return (*File)->FullPath();
  }
  return std::string(std::get<const TDirNode*>(Item)->FullPath());
}

int64_t ItemSize(const TSelectedItem& Item, TSizeCount Count) {
  if (const auto* File = std::get_if<const TFileLeaf*>(&Item)) {
    return (*File)->SizeIn(Count);
  }
  return std::get<const TDirNode*>(Item)->TotalIn(Count);
}

}  // namespace dunstrel
