#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/DirectoryLister.h"
#include "platform/Paths.h"
#include "platform/posix/MountRoots.h"
#include "platform/posix/StatStamp.h"

namespace dunstrel::platform {

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY;
// One getdents64 call per batch: about a thousand entries of short names, fewer of long ones.
constexpr size_t kBatchBytes = 32 * 1024;

bool IsDotOrDotDot(const char* Name) {
  return Name[0] == '.' && (Name[1] == '\0' || (Name[1] == '.' && Name[2] == '\0'));
}

// The mount-root test, shared by the threads of one walk.
class TSharedMountTest {
 public:
  bool IsMountRoot(const struct statx& Folder, const struct statx& Parent) {
    const std::lock_guard Lock(FLock);
    return FTest.IsMountRoot(Folder, Parent);
  }

 private:
  std::mutex FLock;
  TMountRootTest FTest;
};

// Reads one batch of the open folder DirFd (whose own statx is FolderInfo) into Out. Returns
// the bytes getdents64 gave: 0 at the end, negative on an error. Resume becomes the position
// after the last entry read.
ssize_t ReadBatch(int DirFd, const struct statx& FolderInfo, char* Buffer, TSharedMountTest& Mounts,
                  TDirListing& Out, off_t& Resume) {
  const ssize_t Read = getdents64(DirFd, Buffer, kBatchBytes);
  for (ssize_t Pos = 0; Pos < Read;) {
    const auto& Raw = *reinterpret_cast<const dirent64*>(Buffer + Pos);
    Pos += Raw.d_reclen;
    Resume = Raw.d_off;
    const char* Name = Raw.d_name;
    if (IsDotOrDotDot(Name)) {
      continue;
    }
    const std::string_view NameView(Name, std::strlen(Name));
    if (Raw.d_type == DT_LNK) {
      Out.Add(NameView, false, true, 0, 0);
      continue;
    }
    struct statx Info {};
    if (!StatxNoFollow(DirFd, Name, Info)) {
      continue;  // gone since the folder was read
    }
    const TFileStamp Stamp = StampOfTime(Info.stx_mtime.tv_sec, Info.stx_mtime.tv_nsec);
    if (S_ISLNK(Info.stx_mode)) {
      Out.Add(NameView, false, true, 0, 0);
    } else if (S_ISDIR(Info.stx_mode)) {
      Out.Add(NameView, true, Mounts.IsMountRoot(Info, FolderInfo), 0, Stamp, DeviceOf(Info),
              Info.stx_ino);
    } else {
      Out.Add(NameView, false, false, static_cast<int64_t>(Info.stx_size), Stamp);
    }
  }
  return Read;
}

// Whether Info, a folder just opened as the entry Seen of its parent (ParentInfo), may be listed:
// still the folder the parent's listing saw, and no mount point.
bool MayEnter(const struct statx& Info, const TDirEntry& Seen, const struct statx& ParentInfo,
              TSharedMountTest& Mounts) {
  const bool Swapped =
      Seen.FileId != 0 && (DeviceOf(Info) != Seen.Volume || Info.stx_ino != Seen.FileId);
  return !Swapped && !Mounts.IsMountRoot(Info, ParentInfo);
}

// A folder of a walk on several threads: where it is, to open it again, and its descriptor
// while it is open.
struct TPlace {
  std::shared_ptr<TPlace> Parent;  // none for the scan root
  std::string Name;                // the scan root's whole path
  struct statx Info {};
  std::mutex Lock;  // guards Fd
  int Fd = -1;
};

class TPosixDirectoryLister;

// A folder being read by a walk on several threads. Its descriptor stays open while the folders
// found in it wait to be opened, unless too many are open: then it is closed when the reading
// ends, and opened again through its parents, checked folder by folder, when one of them needs it.
class TPosixFolderReader final : public IFolderReader {
 public:
  TPosixFolderReader(TPosixDirectoryLister& Lister, std::shared_ptr<TPlace> Place)
      : FLister(Lister), FPlace(std::move(Place)) {}
  ~TPosixFolderReader() override;
  TPosixFolderReader(const TPosixFolderReader&) = delete;
  TPosixFolderReader& operator=(const TPosixFolderReader&) = delete;

  bool Next(TDirListing& Out) override;
  const std::shared_ptr<TPlace>& Place() const { return FPlace; }

 private:
  TPosixDirectoryLister& FLister;
  std::shared_ptr<TPlace> FPlace;
  off_t FResume = 0;
  bool FAtEnd = false;
};

// Every sub-folder is opened relative to its parent's descriptor, never by its path, and only
// after checking that it is still the folder its parent's listing saw: a folder swapped for a
// link during the scan is not followed out of the tree. For a walk on one thread, the open
// folders from the scan root down to the last one listed are kept; deeper than kOpenFolders,
// the shallower ones are closed and opened again through ".." (with the same check, and at the
// position their reading had reached) when the walk comes back up.
class TPosixDirectoryLister final : public IDirectoryLister {
 public:
  TPosixDirectoryLister() : FBuffer(std::make_unique_for_overwrite<char[]>(kBatchBytes)) {
    rlimit Limit{};
    if (getrlimit(RLIMIT_NOFILE, &Limit) == 0 && Limit.rlim_cur != RLIM_INFINITY) {
      FOpenBudget = std::clamp<int64_t>(static_cast<int64_t>(Limit.rlim_cur) / 4, 8, 4096);
    }
  }
  ~TPosixDirectoryLister() override { ForgetAll(); }
  TPosixDirectoryLister(const TPosixDirectoryLister&) = delete;
  TPosixDirectoryLister& operator=(const TPosixDirectoryLister&) = delete;

  bool List(const std::string& Folder, TDirListing& Out) override {
    return ListFirst(Folder, nullptr, Out) && ReadHeld(Out, true);
  }

  bool ListSubFolder(const std::string& Folder, const TDirEntry& Seen, TDirListing& Out) override {
    return ListFirst(Folder, &Seen, Out) && ReadHeld(Out, true);
  }

  bool ListFirst(const std::string& Folder, const TDirEntry* Seen, TDirListing& Out) override {
    Out.Clear();
    if (Seen == nullptr) {
      ForgetAll();
      return Hold(StripTrailingDelimiter(Folder), open(Folder.c_str(), kFolderFlags)) &&
             ReadHeld(Out, false);
    }
    std::string Path = StripTrailingDelimiter(Folder);
    const std::string Name(LastComponent(Path));
    const int ParentFd = HeldFolder(ParentPath(Path), true);
    if (ParentFd < 0 || Name.empty() || Name == "/") {
      return false;
    }
    const struct statx ParentInfo = FHeld.back().Info;
    if (!Hold(std::move(Path), openat(ParentFd, Name.c_str(), kFolderFlags | O_NOFOLLOW))) {
      return false;
    }
    if (!MayEnter(FHeld.back().Info, *Seen, ParentInfo, FMounts)) {
      Release();
      return false;
    }
    return ReadHeld(Out, false);
  }

  bool ListMore(const std::string& Folder, TDirListing& Out) override {
    Out.Clear();
    return HeldFolder(StripTrailingDelimiter(Folder), false) >= 0 && ReadHeld(Out, false) &&
           Out.Count() > 0;
  }

  std::shared_ptr<IFolderReader> OpenFolder(const std::string& Folder,
                                            const std::shared_ptr<IFolderReader>& Parent,
                                            const TDirEntry* Seen) override {
    auto Place = std::make_shared<TPlace>();
    if (Parent == nullptr || Seen == nullptr) {
      Place->Name = StripTrailingDelimiter(Folder);
      Place->Fd = open(Folder.c_str(), kFolderFlags);
    } else {
      const auto* ParentReader = dynamic_cast<const TPosixFolderReader*>(Parent.get());
      Place->Name = LastComponent(StripTrailingDelimiter(Folder));
      if (ParentReader == nullptr || Place->Name.empty() || Place->Name == "/") {
        return nullptr;
      }
      Place->Parent = ParentReader->Place();
      Place->Fd = OpenIn(*Place->Parent, Place->Name, true);
    }
    if (Place->Fd < 0) {
      return nullptr;
    }
    ++FOpen;
    auto Reader = std::make_shared<TPosixFolderReader>(*this, Place);  // closes Fd from here on
    if (!StatxNoFollow(Place->Fd, "", Place->Info) ||
        (Seen != nullptr && Place->Parent != nullptr &&
         !MayEnter(Place->Info, *Seen, Place->Parent->Info, FMounts))) {
      return nullptr;
    }
    return Reader;
  }

  TSharedMountTest& Mounts() { return FMounts; }
  bool OverBudget() const { return FOpen.load(std::memory_order_relaxed) > FOpenBudget; }
  // Closes a descriptor of a place; the place's lock is held.
  void CloseHeld(TPlace& Place) {
    if (Place.Fd >= 0) {
      close(Place.Fd);
      Place.Fd = -1;
      --FOpen;
    }
  }

 private:
  static constexpr size_t kOpenFolders = 16;

  struct THeldFolder {
    std::string Path;  // without a trailing delimiter, except "/"
    int Fd = -1;       // -1 while closed to bound the open descriptors
    struct statx Info {};
    off_t Resume = 0;  // where reading goes on after the folder is opened again
    bool AtEnd = false;
    bool AnyRead = false;
  };

  // Name inside Place, opened without following a link. Place is opened again when it was
  // closed; kept open then when its reader lives on to close it (Keep) and descriptors allow.
  int OpenIn(TPlace& Place, const std::string& Name, bool Keep) {
    {
      const std::lock_guard Lock(Place.Lock);
      if (Place.Fd >= 0) {
        return openat(Place.Fd, Name.c_str(), kFolderFlags | O_NOFOLLOW);
      }
    }
    // Opened again without holding Place's lock: a deep chain of closed folders is then reopened
    // one lock at a time, not under the locks of every folder in it.
    const int PlaceFd = Reopen(Place);
    if (PlaceFd < 0) {
      return -1;
    }
    const int Fd = openat(PlaceFd, Name.c_str(), kFolderFlags | O_NOFOLLOW);
    const std::lock_guard Lock(Place.Lock);
    if (Place.Fd < 0 && Keep && !OverBudget()) {
      Place.Fd = PlaceFd;
      ++FOpen;
    } else {
      close(PlaceFd);  // not wanted, or another thread has reopened it meanwhile
    }
    return Fd;
  }

  // A new descriptor of Place, whose lock is not held (its parent, name and identity never
  // change): opened inside its parent, or by its path for the scan root, and only when it is
  // still the same folder.
  int Reopen(TPlace& Place) {
    const int Fd = Place.Parent == nullptr ? open(Place.Name.c_str(), kFolderFlags)
                                           : OpenIn(*Place.Parent, Place.Name, false);
    struct statx Info {};
    if (Fd >= 0 && StatxNoFollow(Fd, "", Info) && SameFolder(Info, Place.Info)) {
      return Fd;
    }
    if (Fd >= 0) {
      close(Fd);
    }
    return -1;
  }

  // Takes over Fd, the folder at Path, as the deepest held one.
  bool Hold(std::string Path, int Fd) {
    if (Fd < 0) {
      return false;
    }
    THeldFolder Folder{std::move(Path), Fd, {}, 0, false, false};
    if (!StatxNoFollow(Fd, "", Folder.Info)) {
      close(Fd);
      return false;
    }
    FHeld.push_back(std::move(Folder));
    if (FHeld.size() > kOpenFolders) {
      int& Shallow = FHeld[FHeld.size() - 1 - kOpenFolders].Fd;
      if (Shallow >= 0) {
        close(Shallow);
        Shallow = -1;
      }
    }
    return true;
  }

  // Closes the deepest held folder, opening its parent again when it was closed.
  void Release() {
    THeldFolder Done = std::move(FHeld.back());
    FHeld.pop_back();
    if (!FHeld.empty() && FHeld.back().Fd < 0 && Done.Fd >= 0) {
      THeldFolder& Parent = FHeld.back();
      const int Fd = openat(Done.Fd, "..", kFolderFlags | O_NOFOLLOW);
      struct statx Info {};
      if (Fd >= 0 && StatxNoFollow(Fd, "", Info) && SameFolder(Info, Parent.Info) &&
          (Parent.AtEnd || lseek(Fd, Parent.Resume, SEEK_SET) >= 0)) {
        Parent.Fd = Fd;
      } else if (Fd >= 0) {
        close(Fd);  // moved elsewhere meanwhile: its sub-folders are not listed any more
      }
    }
    if (Done.Fd >= 0) {
      close(Done.Fd);
    }
  }

  void ForgetAll() {
    for (const THeldFolder& Folder : FHeld) {
      if (Folder.Fd >= 0) {
        close(Folder.Fd);
      }
    }
    FHeld.clear();
  }

  // The descriptor of the folder at Path, which becomes the deepest held one; -1 when it cannot
  // be had. A folder that is not among the held ones (a walk in another order than depth-first)
  // is opened by its path when OpenByPath says so: its sub-folders are still checked against
  // its listing.
  int HeldFolder(const std::string& Path, bool OpenByPath) {
    const bool IsHeld = std::any_of(FHeld.begin(), FHeld.end(),
                                    [&](const THeldFolder& Folder) { return Folder.Path == Path; });
    if (!IsHeld && !OpenByPath) {
      return -1;
    }
    while (!FHeld.empty() && FHeld.back().Path != Path) {
      Release();
    }
    if (FHeld.empty() && (!OpenByPath || !Hold(Path, open(Path.c_str(), kFolderFlags)))) {
      return -1;
    }
    return FHeld.back().Fd;
  }

  // Reads the next batch of the deepest held folder (with Whole, all the rest) into Out, after
  // what it holds. An error part-way keeps what was read, as a listing that ends early would;
  // false for an error before anything was read.
  bool ReadHeld(TDirListing& Out, bool Whole) {
    THeldFolder& Folder = FHeld.back();
    const size_t Had = Out.Count();
    while (!Folder.AtEnd && Folder.Fd >= 0 && (Whole || Out.Count() == Had)) {
      const ssize_t Read =
          ReadBatch(Folder.Fd, Folder.Info, FBuffer.get(), FMounts, Out, Folder.Resume);
      if (Read <= 0) {
        Folder.AtEnd = true;
        if (Read < 0 && !Folder.AnyRead) {
          return false;
        }
      }
      Folder.AnyRead = true;
    }
    return true;
  }

  std::unique_ptr<char[]> FBuffer;  // left uninitialised: only what the kernel fills is touched
  std::vector<THeldFolder> FHeld;   // the scan root first
  TSharedMountTest FMounts;
  std::atomic<int64_t> FOpen{0};  // descriptors held by the readers of OpenFolder
  int64_t FOpenBudget = 256;
};

TPosixFolderReader::~TPosixFolderReader() {
  const std::lock_guard Lock(FPlace->Lock);
  FLister.CloseHeld(*FPlace);
}

bool TPosixFolderReader::Next(TDirListing& Out) {
  Out.Clear();
  // Each thread reads one folder at a time, into its own buffer.
  thread_local const std::unique_ptr<char[]> Buffer =
      std::make_unique_for_overwrite<char[]>(kBatchBytes);
  int Fd = -1;
  {
    const std::lock_guard Lock(FPlace->Lock);
    Fd = FPlace->Fd;  // only this reader closes it, and not while it reads
  }
  while (!FAtEnd && Fd >= 0 && Out.Count() == 0) {
    FAtEnd = ReadBatch(Fd, FPlace->Info, Buffer.get(), FLister.Mounts(), Out, FResume) <= 0;
  }
  if (FAtEnd && FLister.OverBudget()) {
    // Too many folders are open: the folders found here open it again if they need it.
    const std::lock_guard Lock(FPlace->Lock);
    FLister.CloseHeld(*FPlace);
  }
  return Out.Count() > 0;
}

}  // namespace

std::unique_ptr<IDirectoryLister> CreateDirectoryLister() {
  return std::make_unique<TPosixDirectoryLister>();
}

}  // namespace dunstrel::platform
