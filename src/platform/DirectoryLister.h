#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/LocalTime.h"

namespace dunstrel::platform {

struct TDirEntry {
  uint32_t NameOffset = 0;
  uint32_t NameLength = 0;
  bool IsDirectory = false;
  // Never entered and never counted: symbolic links, and mount points (folders where another
  // file system, or a bind mount of the same one, is mounted).
  bool IsReparse = false;
  int64_t Size = 0;
  TFileStamp Stamp = 0;
  // Which folder the entry was when listed (device and inode on Linux); 0 where not known.
  uint64_t Volume = 0;
  uint64_t FileId = 0;
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
  void Add(std::string_view Name, bool IsDirectory, bool IsReparse, int64_t Size, TFileStamp Stamp,
           uint64_t Volume = 0, uint64_t FileId = 0) {
    FEntries.push_back({static_cast<uint32_t>(FNames.size()), static_cast<uint32_t>(Name.size()),
                        IsDirectory, IsReparse, Size, Stamp, Volume, FileId});
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

// Entries handed to a walk at a time: few enough that progress and Stop are never held up for
// long inside a large folder.
inline constexpr size_t kListingBatch = 2048;

// One folder open for reading, batch by batch. Shared: the folders found in it are opened
// relative to it, on any thread, while they wait their turn.
class IFolderReader {
 public:
  virtual ~IFolderReader() = default;
  // The next entries of the folder into Out (emptied first); false when there are none left.
  virtual bool Next(TDirListing& Out) = 0;
};

class IDirectoryLister {
 public:
  virtual ~IDirectoryLister() = default;
  // Reads every entry of Folder into Out (emptied first). False when the folder cannot be
  // listed: access denied, gone, path too long, not a folder. Sizes and stamps come from the
  // listing; no file is ever opened.
  virtual bool List(const std::string& Folder, TDirListing& Out) = 0;
  // Lists Folder, found as the entry Seen in the listing of its parent folder. False also when
  // Folder is no longer the folder listed there (swapped for a link, a mount or another folder
  // since), so that a walk never strays out of the tree it was given. Without a way to tell,
  // the same as List.
  virtual bool ListSubFolder(const std::string& Folder, const TDirEntry& Seen, TDirListing& Out) {
    (void)Seen;
    return List(Folder, Out);
  }

  // For a walk in batches on one thread: the first entries of Folder (the scan root when Seen
  // is none, else as ListSubFolder), which ListMore continues. Here: every entry at once.
  virtual bool ListFirst(const std::string& Folder, const TDirEntry* Seen, TDirListing& Out) {
    return Seen == nullptr ? List(Folder, Out) : ListSubFolder(Folder, *Seen, Out);
  }
  // The next entries of Folder, the folder ListFirst began last or one whose sub-folders begun
  // since are all done with; false when there are none left.
  virtual bool ListMore(const std::string& Folder, TDirListing& Out) {
    (void)Folder;
    Out.Clear();
    return false;
  }

  // For a walk on several threads, callable from all of them at once: opens the scan root
  // (Parent none, Seen none) or Folder, found as Seen in the listing of Parent, with the checks
  // of ListSubFolder. None when the folder cannot be listed. Here: ListFirst and ListMore, one
  // call at a time, each folder read whole and then handed out in batches.
  virtual std::shared_ptr<IFolderReader> OpenFolder(const std::string& Folder,
                                                    const std::shared_ptr<IFolderReader>& Parent,
                                                    const TDirEntry* Seen);

 private:
  std::mutex FOpenLock;
};

// A new lister of the platform's file system; each scan uses its own, on one thread.
std::unique_ptr<IDirectoryLister> CreateDirectoryLister();

}  // namespace dunstrel::platform
