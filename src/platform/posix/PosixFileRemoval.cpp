#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "platform/FileRemoval.h"
#include "platform/RemovalTarget.h"
#include "platform/posix/ErrnoProblem.h"
#include "platform/posix/FileDescriptor.h"
#include "platform/posix/MountRoots.h"

namespace dunstrel::platform {

namespace {

// Folders kept open at once, whatever the depth: deeper down, the shallower ones are closed and
// opened again through ".." when the walk comes back to them. Under a tighter limit of open
// files, more of them are closed whenever an open finds no descriptor left.
constexpr size_t kOpenLevels = 32;

constexpr const char* kRootRefused = "\"/\" is the root of the system and is never deleted";
constexpr const char* kMountPointRefused =
    "it is the mount point of a file system, which is never deleted; unmount it first";
constexpr const char* kMountInside = "a file system mounted inside it was left alone";
constexpr const char* kMovedAway = "part of it was moved elsewhere while it was being deleted";
constexpr const char* kReplaced =
    "it was replaced by another entry while it was being deleted, and was left alone";

bool IsDotOrDotDot(const char* Name) {
  return Name[0] == '.' && (Name[1] == '\0' || (Name[1] == '.' && Name[2] == '\0'));
}

int OpenFolderNoFollow(int ParentFd, const char* Name) {
  return openat(ParentFd, Name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// Opens the folder Name of ParentFd and checks that it is still the folder Expected.
DIR* OpenSameFolder(int ParentFd, const char* Name, const struct statx& Expected) {
  const int Fd = OpenFolderNoFollow(ParentFd, Name);
  if (Fd < 0) {
    return nullptr;
  }
  struct statx Opened {};
  if (!StatxNoFollow(Fd, "", Opened) || !SameFolder(Opened, Expected)) {
    close(Fd);
    errno = ESTALE;
    return nullptr;
  }
  DIR* Dir = fdopendir(Fd);
  if (Dir == nullptr) {
    close(Fd);
  }
  return Dir;
}

// A "moved" check that failed reads ESTALE: said in words, the rest as the system says it.
TProblem ErrnoProblem() {
  return errno == ESTALE ? TProblem{TProblemKind::Replaced, kMovedAway} : ProblemOfErrno(errno);
}

bool Refuse(TProblem* Failure, TProblem Why) {
  if (Failure != nullptr) {
    *Failure = std::move(Why);
  }
  return false;
}

bool Refuse(TProblem* Failure, TProblemKind Kind, std::string Why) {
  return Refuse(Failure, TProblem{Kind, std::move(Why)});
}

bool RefuseWithErrno(TProblem* Failure) {
  return Refuse(Failure, ErrnoProblem());
}

// Empties a folder depth-first with an explicit stack, so neither the call stack nor the open
// descriptors grow with the depth. Entries are addressed relative to their open parent, and a
// folder is entered only after checking that the one opened is the one listed, so a rename or a
// swap for a link during the removal cannot redirect it elsewhere.
class TFolderEmptier {
 public:
  TFolderEmptier() = default;
  TFolderEmptier(const TFolderEmptier&) = delete;
  TFolderEmptier& operator=(const TFolderEmptier&) = delete;
  ~TFolderEmptier() {
    for (TLevel& Level : FLevels) {
      if (Level.Dir != nullptr) {
        closedir(Level.Dir);
      }
    }
  }

  // Dir (taken over) is the open folder described by Info.
  bool Empty(DIR* Dir, const struct statx& Info) {
    FLevels.push_back({Dir, {}, Info, false, {}});
    while (!FLevels.empty()) {
      Step();
    }
    return !FFailed;
  }

  const TProblem& Failure() const { return FFailure; }

 private:
  struct TLevel {
    DIR* Dir = nullptr;  // null while closed to bound the open descriptors
    std::string NameInParent;
    struct statx Info {};
    bool RemovedInPass = false;
    std::set<std::string> LeftAlone;  // entries that could not be removed, not tried again
  };

  void Fail(TProblem Why) {
    if (!FFailed) {
      FFailed = true;
      FFailure = std::move(Why);
    }
  }
  void FailWithErrno() { Fail(ErrnoProblem()); }

  void Step() {
    TLevel& Current = FLevels.back();
    const int CurrentFd = dirfd(Current.Dir);
    errno = 0;
    const dirent* Entry = readdir(Current.Dir);
    if (Entry == nullptr) {
      if (errno != 0) {
        FailWithErrno();
      } else if (Current.RemovedInPass) {
        // Removing entries while reading may make the listing skip some: read again until a
        // pass removes nothing.
        Current.RemovedInPass = false;
        rewinddir(Current.Dir);
        return;
      }
      LeaveFolder();
      return;
    }
    const std::string Name = Entry->d_name;
    if (IsDotOrDotDot(Name.c_str()) || Current.LeftAlone.contains(Name)) {
      return;
    }
    struct statx Info {};
    if (!StatxNoFollow(CurrentFd, Name.c_str(), Info)) {
      if (errno != ENOENT) {
        FailWithErrno();
        Current.LeftAlone.insert(Name);
      }
      return;
    }
    // A file bind-mounted here is a mount as much as a folder is.
    if (FMounts.IsMountRoot(Info, Current.Info)) {
      Fail({TProblemKind::RefusedPath, kMountInside});
      Current.LeftAlone.insert(Name);
      return;
    }
    if (S_ISDIR(Info.stx_mode)) {
      DIR* Child =
          WithDescriptorRoom([&] { return OpenSameFolder(CurrentFd, Name.c_str(), Info); });
      if (Child != nullptr) {
        EnterFolder(Child, Name, Info);
        return;
      }
      if (errno != ENOTDIR && errno != ELOOP) {
        if (errno != ENOENT) {
          FailWithErrno();
          Current.LeftAlone.insert(Name);
        }
        return;
      }
      // Replaced by a file or a link since it was looked at: removed as such below.
    }
    if (unlinkat(CurrentFd, Name.c_str(), 0) == 0) {
      Current.RemovedInPass = true;
    } else if (errno != ENOENT) {
      // A folder in the place of the file that was looked at: left for the next pass.
      errno == EISDIR ? Fail({TProblemKind::Replaced, kMovedAway}) : FailWithErrno();
      Current.LeftAlone.insert(Name);
    }
  }

  // Runs Open, and while it fails for want of a descriptor closes the shallowest level still
  // open above the deepest and tries again.
  template <typename F>
  DIR* WithDescriptorRoom(F&& Open) {
    for (;;) {
      DIR* Dir = Open();
      if (Dir != nullptr || (errno != EMFILE && errno != ENFILE)) {
        return Dir;
      }
      const int Error = errno;
      const auto Shallowest = std::find_if(FLevels.begin(), FLevels.end() - 1,
                                           [](const TLevel& L) { return L.Dir != nullptr; });
      if (Shallowest == FLevels.end() - 1) {
        errno = Error;
        return nullptr;
      }
      closedir(Shallowest->Dir);
      Shallowest->Dir = nullptr;
    }
  }

  void EnterFolder(DIR* Child, const std::string& Name, const struct statx& Info) {
    FLevels.push_back({Child, Name, Info, false, {}});
    if (FLevels.size() > kOpenLevels) {
      TLevel& Shallow = FLevels[FLevels.size() - 1 - kOpenLevels];
      if (Shallow.Dir != nullptr) {
        closedir(Shallow.Dir);
        Shallow.Dir = nullptr;
      }
    }
  }

  void LeaveFolder() {
    TLevel Done = std::move(FLevels.back());
    FLevels.pop_back();
    if (FLevels.empty()) {
      closedir(Done.Dir);
      return;
    }
    TLevel& Parent = FLevels.back();
    if (Parent.Dir == nullptr) {
      Parent.Dir =
          WithDescriptorRoom([&] { return OpenSameFolder(dirfd(Done.Dir), "..", Parent.Info); });
    }
    closedir(Done.Dir);
    if (Parent.Dir == nullptr) {
      // The folder was moved out from under the removal: what is left above is not reachable
      // safely any more.
      Fail({TProblemKind::Replaced, kMovedAway});
      for (TLevel& Level : FLevels) {
        if (Level.Dir != nullptr) {
          closedir(Level.Dir);
        }
      }
      FLevels.clear();
      return;
    }
    if (unlinkat(dirfd(Parent.Dir), Done.NameInParent.c_str(), AT_REMOVEDIR) == 0) {
      Parent.RemovedInPass = true;
    } else if (errno != ENOENT) {
      // A failure inside it has been recorded first, when there was one.
      errno == ENOTDIR ? Fail({TProblemKind::Replaced, kMovedAway}) : FailWithErrno();
      Parent.LeftAlone.insert(Done.NameInParent);
    }
  }

  std::vector<TLevel> FLevels;
  TMountRootTest FMounts;
  bool FFailed = false;
  TProblem FFailure;
};

// Why the entry Info, found in the open folder ParentFd, may not be removed at all, before
// anything in it is touched: the system's root, or the root of a mount (a folder or a file bound
// there), which only unmounting can take away.
const char* RefusedEntry(int ParentFd, const struct statx& Info) {
  struct statx SystemRoot {};
  if (StatxNoFollow(AT_FDCWD, "/", SystemRoot) && SameFolder(Info, SystemRoot)) {
    return kRootRefused;
  }
  struct statx Parent {};
  TMountRootTest Mounts;
  if (!StatxNoFollow(ParentFd, "", Parent) || Mounts.IsMountRoot(Info, Parent)) {
    return kMountPointRefused;  // a folder whose parent cannot be looked at is left alone too
  }
  return nullptr;
}

}  // namespace

bool DeletePermanently(const std::string& Path, TProblem* Failure) {
  if (Failure != nullptr) {
    *Failure = {};
  }
  std::string Why;
  const std::optional<TRemovalTarget> Target = ReadRemovalTarget(Path, Why);
  if (!Target) {
    return Refuse(Failure, TProblemKind::RefusedPath, Why);
  }
  if (Target->Name.empty()) {
    return Refuse(Failure, TProblemKind::RefusedPath, kRootRefused);
  }
  // The entry is named by its open parent and its own name, never followed.
  const TFileDescriptor Parent(open(Target->Parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!Parent.IsOpen()) {
    return RefuseWithErrno(Failure);
  }
  const char* Name = Target->Name.c_str();
  struct statx Info {};
  if (!StatxNoFollow(Parent.Get(), Name, Info)) {
    return RefuseWithErrno(Failure);
  }
  if (const char* Refused = RefusedEntry(Parent.Get(), Info)) {
    return Refuse(Failure, TProblemKind::RefusedPath, Refused);
  }
  if (!S_ISDIR(Info.stx_mode)) {
    if (unlinkat(Parent.Get(), Name, 0) == 0) {
      return true;
    }
    return errno == EISDIR ? Refuse(Failure, TProblemKind::Replaced, kReplaced)
                           : RefuseWithErrno(Failure);
  }
  DIR* Dir = OpenSameFolder(Parent.Get(), Name, Info);
  if (Dir == nullptr) {
    // ESTALE, ENOTDIR, ELOOP: no longer the folder that was looked at.
    return errno == ESTALE || errno == ENOTDIR || errno == ELOOP
               ? Refuse(Failure, TProblemKind::Replaced, kReplaced)
               : RefuseWithErrno(Failure);
  }
  TFolderEmptier Emptier;
  if (!Emptier.Empty(Dir, Info)) {
    return Refuse(Failure, Emptier.Failure());
  }
  // Only the emptied folder itself is removed, not one that took its place meanwhile.
  struct statx Now {};
  if (!StatxNoFollow(Parent.Get(), Name, Now) || !SameFolder(Now, Info)) {
    return Refuse(Failure, TProblemKind::Replaced, kReplaced);
  }
  if (unlinkat(Parent.Get(), Name, AT_REMOVEDIR) == 0) {
    return true;
  }
  return errno == ENOTDIR ? Refuse(Failure, TProblemKind::Replaced, kReplaced)
                          : RefuseWithErrno(Failure);
}

}  // namespace dunstrel::platform
