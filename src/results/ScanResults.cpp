#include "results/ScanResults.h"

#include "common/ReleaseStorage.h"
#include "results/FileArrays.h"

namespace dunstrel {

void TScanResults::FlattenAllFilesFromRoot() {
  FlattenAllFiles(Root.get(), AllFiles, AllTotalBytes);
}

void TScanResults::BuildLargestFilesList() {
  TakeLargestFiles(AllFiles, kLargestFilesShown, DisplayFiles, DisplayTotalBytes);
}

TDirNode* TScanResults::LargestTopFolder() const {
  return Root != nullptr && !Root->Children.empty() ? Root->Children.front().get() : nullptr;
}

void TScanResults::Clear() {
  Duplicates.Clear();
  ReleaseStorage(DisplayFiles);
  DisplayTotalBytes = 0;
  ReleaseStorage(AllFiles);
  AllTotalBytes = 0;
  Root.reset();
}

}  // namespace dunstrel
