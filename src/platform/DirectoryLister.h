#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/LocalTime.h"

namespace dunstrel::platform {

struct TDirEntry {
  uint32_t NameOffset = 0;
  uint32_t NameLength = 0;
  bool IsDirectory = false;
  // Never entered and never counted: symbolic links, and folders of another file system than
  // the listed one (mount points).
  bool IsReparse = false;
  int64_t Size = 0;
  TFileStamp Stamp = 0;
};

// All entries of one folder, in the order the file system returned them. Names live in one
// buffer so that a listing of thousands of entries costs two allocations, reused from folder to
// folder.
class TDirListing {
 public:
  void Clear() {
    FNames.clear();
    FEntries.clear();
  }
  void Add(std::string_view Name, bool IsDirectory, bool IsReparse, int64_t Size,
           TFileStamp Stamp) {
    FEntries.push_back({static_cast<uint32_t>(FNames.size()), static_cast<uint32_t>(Name.size()),
                        IsDirectory, IsReparse, Size, Stamp});
    FNames.append(Name);
  }
  size_t Count() const { return FEntries.size(); }
  const TDirEntry& Entry(size_t Index) const { return FEntries[Index]; }
  std::string_view Name(size_t Index) const {
    const TDirEntry& E = FEntries[Index];
    return std::string_view(FNames).substr(E.NameOffset, E.NameLength);
  }

 private:
  std::string FNames;
  std::vector<TDirEntry> FEntries;
};

class IDirectoryLister {
 public:
  virtual ~IDirectoryLister() = default;
  // Reads every entry of Folder into Out (emptied first). False when the folder cannot be
  // listed: access denied, gone, path too long, not a folder. Sizes and stamps come from the
  // listing; no file is ever opened.
  virtual bool List(const std::string& Folder, TDirListing& Out) = 0;
};

// A new lister of the platform's file system; each scan uses its own, on one thread.
std::unique_ptr<IDirectoryLister> CreateDirectoryLister();

}  // namespace dunstrel::platform
