#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
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

bool IsOutOfDescriptors(int Error) {
  return Error == EMFILE || Error == ENFILE;
}

TListProblem ProblemOf(int Error) {
  if (Error == EACCES || Error == EPERM) {
    return TListProblem::AccessDenied;
  }
  return IsOutOfDescriptors(Error) ? TListProblem::TooManyOpen : TListProblem::Other;
}

// The entry a listing gives for Info, a folder or a file that is neither a link nor a mount.
TDirEntry EntryOf(const struct statx& Info, bool IsDirectory) {
  TDirEntry Entry;
  Entry.IsDirectory = IsDirectory;
  Entry.Size = IsDirectory ? 0 : static_cast<int64_t>(Info.stx_size);
  Entry.Allocated =
      static_cast<int64_t>(std::min<uint64_t>(Info.stx_blocks, INT64_MAX / 512)) * 512;
  Entry.Stamp = StampOfTime(Info.stx_mtime.tv_sec, Info.stx_mtime.tv_nsec);
  Entry.Links = static_cast<uint32_t>(std::min<uint64_t>(Info.stx_nlink, UINT32_MAX));
  if (IsDirectory || Entry.Links > 1) {
    Entry.Volume = DeviceOf(Info);
    Entry.FileId = Info.stx_ino;
  }
  return Entry;
}

// How many descriptors a walk may hold: what the process's limit leaves beside those open now,
// less a few for the rest of the program.
int64_t DescriptorWindow() {
  constexpr int64_t kReserved = 4;
  constexpr int64_t kMost = 4096;
  rlimit Limit{};
  if (getrlimit(RLIMIT_NOFILE, &Limit) != 0 || Limit.rlim_cur == RLIM_INFINITY) {
    return kMost;
  }
  int64_t OpenNow = 16;  // a guess where the open descriptors cannot be counted
  if (DIR* Fds = opendir("/proc/self/fd")) {
    OpenNow = 0;
    while (const dirent* Entry = readdir(Fds)) {
      OpenNow += IsDotOrDotDot(Entry->d_name) ? 0 : 1;
    }
    closedir(Fds);
  }
  const auto Limited = static_cast<int64_t>(std::min<rlim_t>(Limit.rlim_cur, kMost * 4));
  return std::clamp<int64_t>(Limited - OpenNow - kReserved, 2, kMost);
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
// after the last entry read. An entry whose information is refused (a folder that may be read but
// not searched) sets Out.Problem; a folder among them is kept, as one that cannot be read.
ssize_t ReadBatch(int DirFd, const struct statx& FolderInfo, char* Buffer, TSharedMountTest& Mounts,
                  TDirListing& Out, off_t& Resume) {
  const ssize_t Read = getdents64(DirFd, Buffer, kBatchBytes);
  if (Read < 0) {
    Out.Problem = ProblemOf(errno);
  }
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
      const int Error = errno;
      if (Error == ENOENT) {
        continue;  // gone since the folder was read
      }
      Out.Problem = ProblemOf(Error);
      if (Raw.d_type == DT_DIR) {
        TDirEntry Refused;
        Refused.IsDirectory = true;
        Refused.Problem = ProblemOf(Error);
        Out.Add(NameView, Refused);
      }
      continue;
    }
    if (S_ISLNK(Info.stx_mode)) {
      Out.Add(NameView, false, true, 0, 0);
    } else if (S_ISDIR(Info.stx_mode)) {
      TDirEntry Entry = EntryOf(Info, true);
      Entry.IsReparse = Mounts.IsMountRoot(Info, FolderInfo);
      Out.Add(NameView, Entry);
    } else {
      Out.Add(NameView, EntryOf(Info, false));
    }
  }
  return Read;
}

// Whether Info, a folder just opened as the entry Seen of its parent (ParentInfo), may be listed:
// still the folder the parent's listing saw, and no mount point.
bool IsFolderSeen(const struct statx& Info, const TDirEntry& Seen) {
  return Seen.FileId == 0 || (DeviceOf(Info) == Seen.Volume && Info.stx_ino == Seen.FileId);
}

bool MayEnter(const struct statx& Info, const TDirEntry& Seen, const struct statx& ParentInfo,
              TSharedMountTest& Mounts) {
  return IsFolderSeen(Info, Seen) && !Mounts.IsMountRoot(Info, ParentInfo);
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
  bool FIdleNoted = false;
};

// Every sub-folder is opened relative to its parent's descriptor, never by its path, and only
// after checking that it is still the folder its parent's listing saw: a folder swapped for a
// link during the scan is not followed out of the tree. For a walk on one thread, the open
// folders from the scan root down to the last one listed are kept; deeper than kOpenFolders,
// the shallower ones are closed and opened again through ".." (with the same check, and at the
// position their reading had reached) when the walk comes back up.
class TPosixDirectoryLister final : public IDirectoryLister {
 public:
  // The descriptors of a walk stay within a window the process's limit leaves: on one thread the
  // folders kept open down the walk's path, on several the folders being read (with two more
  // each while a closed folder is opened again through its parents) and those kept open for the
  // sub-folders found in them.
  TPosixDirectoryLister()
      : FBuffer(std::make_unique_for_overwrite<char[]>(kBatchBytes)),
        FWindow(DescriptorWindow()),
        FKeepOpen(static_cast<size_t>(std::clamp<int64_t>(FWindow - 2, 1, 16))),
        FConcurrent(static_cast<size_t>(std::max<int64_t>(1, FWindow / 4))),
        FOpenBudget(std::max<int64_t>(1, FWindow - 3 * FWindow / 4)) {}
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
      return Hold(StripTrailingDelimiter(Folder), OpenInOrder(AT_FDCWD, Folder.c_str(), 0), Out) &&
             ReadHeld(Out, false);
    }
    std::string Path = StripTrailingDelimiter(Folder);
    const std::string Name(LastComponent(Path));
    const int ParentFd = HeldFolder(ParentPath(Path), true);
    if (ParentFd < 0 || Name.empty() || Name == "/") {
      Out.Problem = TListProblem::Other;
      return false;
    }
    const struct statx ParentInfo = FHeld.back().Info;
    if (!Hold(std::move(Path), OpenInOrder(ParentFd, Name.c_str(), O_NOFOLLOW), Out)) {
      return false;
    }
    if (!MayEnter(FHeld.back().Info, *Seen, ParentInfo, FMounts)) {
      Release();
      Out.Problem = TListProblem::Other;  // swapped for another folder or a mount meanwhile
      return false;
    }
    return ReadHeld(Out, false);
  }

  bool ListMore(const std::string& Folder, TDirListing& Out) override {
    Out.Clear();
    return HeldFolder(StripTrailingDelimiter(Folder), false) >= 0 && ReadHeld(Out, false) &&
           (Out.Count() > 0 || Out.Problem != TListProblem::None);
  }

  std::shared_ptr<IFolderReader> OpenFolder(const std::string& Folder,
                                            const std::shared_ptr<IFolderReader>& Parent,
                                            const TDirEntry* Seen, TListProblem& Problem) override {
    Problem = TListProblem::Other;
    auto Place = std::make_shared<TPlace>();
    const auto OpenPlace = [&] {
      if (Place->Parent == nullptr) {
        // A root with an entry of its parent's listing is that folder, never a link to one.
        return open(Place->Name.c_str(), kFolderFlags | (Seen != nullptr ? O_NOFOLLOW : 0));
      }
      return OpenIn(*Place->Parent, Place->Name, true);
    };
    if (Parent == nullptr || Seen == nullptr) {
      Place->Name = StripTrailingDelimiter(Folder);
    } else {
      const auto* ParentReader = dynamic_cast<const TPosixFolderReader*>(Parent.get());
      Place->Name = LastComponent(StripTrailingDelimiter(Folder));
      if (ParentReader == nullptr || Place->Name.empty() || Place->Name == "/") {
        return nullptr;
      }
      Place->Parent = ParentReader->Place();
    }
    Place->Fd = OpenPlace();
    if (Place->Fd < 0 && IsOutOfDescriptors(errno)) {
      CloseIdle();  // the folders kept open for later can be opened again when needed
      Place->Fd = OpenPlace();
    }
    if (Place->Fd < 0) {
      Problem = ProblemOf(errno);
      return nullptr;
    }
    ++FOpen;
    auto Reader = std::make_shared<TPosixFolderReader>(*this, Place);  // closes Fd from here on
    if (!StatxNoFollow(Place->Fd, "", Place->Info) ||
        (Seen != nullptr && Place->Parent != nullptr &&
         !MayEnter(Place->Info, *Seen, Place->Parent->Info, FMounts)) ||
        (Seen != nullptr && Place->Parent == nullptr && !IsFolderSeen(Place->Info, *Seen))) {
      return nullptr;
    }
    Problem = TListProblem::None;
    return Reader;
  }

  std::optional<TDirEntry> StatFolder(const std::string& Folder) override {
    struct statx Info {};
    if (statx(AT_FDCWD, Folder.c_str(), AT_NO_AUTOMOUNT, kStatxFields, &Info) != 0 ||
        !S_ISDIR(Info.stx_mode)) {
      return std::nullopt;
    }
    return EntryOf(Info, true);
  }

  size_t ConcurrentFolderLimit() const override { return FConcurrent; }

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

  // A place whose reading has ended and whose descriptor is kept for the sub-folders found in
  // it: the first to close when descriptors run out.
  void KeptIdle(const std::shared_ptr<TPlace>& Place) {
    const std::lock_guard Lock(FIdleLock);
    std::erase_if(FIdle, [](const std::weak_ptr<TPlace>& Idle) { return Idle.expired(); });
    FIdle.push_back(Place);
  }

 private:
  void CloseIdle() {
    std::vector<std::weak_ptr<TPlace>> Idle;
    {
      const std::lock_guard Lock(FIdleLock);
      Idle.swap(FIdle);
    }
    for (const std::weak_ptr<TPlace>& Weak : Idle) {
      if (const std::shared_ptr<TPlace> Place = Weak.lock()) {
        const std::lock_guard Lock(Place->Lock);
        CloseHeld(*Place);
      }
    }
  }

  // Opens Name in DirFd for the walk on one thread; when descriptors run out, the shallower
  // folders it keeps open are closed (Release opens them again) and the open is tried once more.
  int OpenInOrder(int DirFd, const char* Name, int MoreFlags) {
    int Fd = openat(DirFd, Name, kFolderFlags | MoreFlags);
    if (Fd < 0 && IsOutOfDescriptors(errno) && !FHeld.empty()) {
      for (size_t I = 0; I + 1 < FHeld.size(); ++I) {
        if (FHeld[I].Fd >= 0) {
          close(FHeld[I].Fd);
          FHeld[I].Fd = -1;
        }
      }
      Fd = openat(DirFd, Name, kFolderFlags | MoreFlags);
    }
    return Fd;
  }

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

  // Takes over Fd, the folder at Path, as the deepest held one; when Fd is none, Out.Problem
  // says why.
  bool Hold(std::string Path, int Fd, TDirListing& Out) {
    if (Fd < 0) {
      Out.Problem = ProblemOf(errno);
      return false;
    }
    THeldFolder Folder{std::move(Path), Fd, {}, 0, false, false};
    if (!StatxNoFollow(Fd, "", Folder.Info)) {
      Out.Problem = ProblemOf(errno);
      close(Fd);
      return false;
    }
    FHeld.push_back(std::move(Folder));
    if (FHeld.size() > FKeepOpen) {
      int& Shallow = FHeld[FHeld.size() - 1 - FKeepOpen].Fd;
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
    TDirListing Unused;
    if (FHeld.empty() &&
        (!OpenByPath || !Hold(Path, OpenInOrder(AT_FDCWD, Path.c_str(), 0), Unused))) {
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
          return false;  // Out.Problem says why
        }
      }
      Folder.AnyRead = true;
    }
    return true;
  }

  std::unique_ptr<char[]> FBuffer;  // left uninitialised: only what the kernel fills is touched
  std::vector<THeldFolder> FHeld;   // the scan root first
  TSharedMountTest FMounts;
  const int64_t FWindow;
  const size_t FKeepOpen;    // folders the walk on one thread keeps open
  const size_t FConcurrent;  // folders a walk on several threads reads at once
  const int64_t FOpenBudget;
  std::atomic<int64_t> FOpen{0};  // descriptors held by the readers of OpenFolder
  std::mutex FIdleLock;
  std::vector<std::weak_ptr<TPlace>> FIdle;  // places kept open after their reading ended
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
  if (FAtEnd && !FIdleNoted) {
    FIdleNoted = true;
    if (FLister.OverBudget()) {
      // Too many folders are open: the folders found here open it again if they need it.
      const std::lock_guard Lock(FPlace->Lock);
      FLister.CloseHeld(*FPlace);
    } else {
      FLister.KeptIdle(FPlace);
    }
  }
  return Out.Count() > 0 || Out.Problem != TListProblem::None;
}

}  // namespace

std::unique_ptr<IDirectoryLister> CreateDirectoryLister() {
  return std::make_unique<TPosixDirectoryLister>();
}

}  // namespace dunstrel::platform
