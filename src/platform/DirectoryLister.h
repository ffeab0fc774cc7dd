#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/LocalTime.h"

namespace dunstrel::platform {

// Why a folder, or some of its entries, could not be read.
enum class TListProblem : uint8_t {
  None,
  AccessDenied,
  // Every descriptor the process may have is in use: a walk tries such a folder again later.
  TooManyOpen,
  Other,
};

struct TDirEntry {
  uint32_t NameOffset = 0;
  uint32_t NameLength = 0;
  bool IsDirectory = false;
  // Never entered and never counted: symbolic links, and mount points (folders where another
  // file system, or a bind mount of the same one, is mounted).
  bool IsReparse = false;
  // A folder whose own information could not be had (its parent may be listed but not
  // searched): it cannot be entered either.
  TListProblem Problem = TListProblem::None;
  int64_t Size = 0;
  // The space the file system gives it: allocated blocks, which may be fewer than the size says
  // (a sparse file) or more.
  int64_t Allocated = 0;
  TFileStamp Stamp = 0;
  // Which file the entry was when listed (device and inode on Linux); 0 where not known. Known
  // for every folder, and for files with more than one link (Links).
  uint64_t Volume = 0;
  uint64_t FileId = 0;
  uint32_t Links = 1;
};

// All entries of one folder, in the order the file system returned them. Names live in one
// buffer so that a listing of thousands of entries costs two allocations, reused from folder to
// folder.
class TDirListing {
 public:
  void Clear() {
    FNames.clear();
    FEntries.clear();
    Problem = TListProblem::None;
  }
  // An entry as the listing gives it; Allocated defaults to the size where the file system says
  // nothing of its blocks.
  void Add(std::string_view Name, bool IsDirectory, bool IsReparse, int64_t Size, TFileStamp Stamp,
           uint64_t Volume = 0, uint64_t FileId = 0) {
    TDirEntry Entry;
    Entry.IsDirectory = IsDirectory;
    Entry.IsReparse = IsReparse;
    Entry.Size = Size;
    Entry.Allocated = Size;
    Entry.Stamp = Stamp;
    Entry.Volume = Volume;
    Entry.FileId = FileId;
    Add(Name, Entry);
  }
  // Entry with its name; its name fields are set here.
  void Add(std::string_view Name, TDirEntry Entry) {
    Entry.NameOffset = static_cast<uint32_t>(FNames.size());
    Entry.NameLength = static_cast<uint32_t>(Name.size());
    FEntries.push_back(Entry);
    FNames.append(Name);
  }
  size_t Count() const { return FEntries.size(); }
  const TDirEntry& Entry(size_t Index) const { return FEntries[Index]; }
  std::string_view Name(size_t Index) const {
    const TDirEntry& E = FEntries[Index];
    return std::string_view(FNames).substr(E.NameOffset, E.NameLength);
  }

  // With no entries: why the folder could not be listed. With some: why others could not be
  // read (an error part-way, or entries whose information is refused).
  TListProblem Problem = TListProblem::None;

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
  // The next entries of the folder into Out (emptied first); false when there are none left. A
  // batch may hold no entry but a problem (reading failed part-way).
  virtual bool Next(TDirListing& Out) = 0;
};

class IDirectoryLister {
 public:
  virtual ~IDirectoryLister() = default;
  // Reads every entry of Folder into Out (emptied first). False when the folder cannot be
  // listed: access denied, gone, path too long, not a folder; Out.Problem says which. Sizes and
  // stamps come from the listing; no file is ever opened.
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
  // since are all done with; false when there are none left. As with IFolderReader::Next, a
  // batch may hold only a problem.
  virtual bool ListMore(const std::string& Folder, TDirListing& Out) {
    (void)Folder;
    Out.Clear();
    return false;
  }

  // For a walk on several threads, callable from all of them at once: opens the scan root
  // (Parent none, Seen none) or Folder, found as Seen in the listing of Parent, with the checks
  // of ListSubFolder; a root given with Seen (a folder walked again) is opened by its path but
  // only while it is still the folder Seen. None when the folder cannot be listed, and Problem says
  // why. Here: ListFirst and ListMore, one call at a time, each folder read whole and then handed
  // out in batches.
  virtual std::shared_ptr<IFolderReader> OpenFolder(const std::string& Folder,
                                                    const std::shared_ptr<IFolderReader>& Parent,
                                                    const TDirEntry* Seen, TListProblem& Problem);

  // The folder at Folder itself (a scan's root), as its parent's listing would show it, its
  // blocks included; none where it cannot be had.
  virtual std::optional<TDirEntry> StatFolder(const std::string& Folder) {
    (void)Folder;
    return std::nullopt;
  }

  // How many folders a walk may read at once with the descriptors the process may open.
  virtual size_t ConcurrentFolderLimit() const { return SIZE_MAX; }

 private:
  std::mutex FOpenLock;
};

// A new lister of the platform's file system; each scan uses its own, on one thread.
std::unique_ptr<IDirectoryLister> CreateDirectoryLister();

}  // namespace dunstrel::platform
