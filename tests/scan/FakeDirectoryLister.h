#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/DirectoryLister.h"

namespace dunstrel::testing {

struct TFakeEntry {
  std::string Name;
  bool IsDirectory = false;
  bool IsReparse = false;
  int64_t Size = 0;
  platform::TFileStamp Stamp = 0;
};

inline TFakeEntry FakeDir(std::string Name) {
  return {std::move(Name), true};
}
inline TFakeEntry FakeFile(std::string Name, int64_t Size) {
  return {std::move(Name), false, false, Size};
}

// A file system in a table: folder path (with its trailing delimiter) to entries. A folder not in
// the table cannot be listed. Folders are listed whole, or in batches of BatchSize entries.
class TFakeDirectoryLister : public platform::IDirectoryLister {
 public:
  std::map<std::string, std::vector<TFakeEntry>> Folders;
  std::vector<std::string> Listed;
  std::function<void(const std::string&)> OnList;
  size_t BatchSize = 0;

  bool List(const std::string& Folder, platform::TDirListing& Out) override {
    return Read(Folder, 0, Out);
  }
  bool ListFirst(const std::string& Folder, const platform::TDirEntry*,
                 platform::TDirListing& Out) override {
    return Read(Folder, BatchSize, Out);
  }
  bool ListMore(const std::string& Folder, platform::TDirListing& Out) override {
    Out.Clear();
    AddBatch(Folder, BatchSize, Out);
    return Out.Count() > 0;
  }

 private:
  bool Read(const std::string& Folder, size_t Batch, platform::TDirListing& Out) {
    Out.Clear();
    Listed.push_back(Folder);
    if (OnList) {
      OnList(Folder);
    }
    if (!Folders.contains(Folder)) {
      return false;
    }
    FNext[Folder] = 0;
    AddBatch(Folder, Batch, Out);
    return true;
  }

  void AddBatch(const std::string& Folder, size_t Batch, platform::TDirListing& Out) {
    const auto Found = Folders.find(Folder);
    if (Found == Folders.end()) {
      return;
    }
    const std::vector<TFakeEntry>& Entries = Found->second;
    size_t& Next = FNext[Folder];
    const size_t End = Batch == 0 ? Entries.size() : std::min(Entries.size(), Next + Batch);
    for (; Next < End; ++Next) {
      const TFakeEntry& E = Entries[Next];
      Out.Add(E.Name, E.IsDirectory, E.IsReparse, E.Size, E.Stamp);
    }
  }

  std::map<std::string, size_t> FNext;
};

}  // namespace dunstrel::testing
