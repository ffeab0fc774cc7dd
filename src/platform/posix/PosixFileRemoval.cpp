#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/FileRemoval.h"

namespace dunstrel::platform {

namespace {

struct TOpenFolder {
  DIR* Dir = nullptr;
  std::string NameInParent;
  bool RemovedInPass = false;
};

bool IsDotOrDotDot(const char* Name) {
  return Name[0] == '.' && (Name[1] == '\0' || (Name[1] == '.' && Name[2] == '\0'));
}

// Opens a folder without following a link in its last component. ENOTDIR or ELOOP mean the entry
// is not a folder (or no longer one).
int OpenFolderNoFollow(int ParentFd, const char* Name) {
  return openat(ParentFd, Name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

bool LooksLikeFolder(int ParentFd, const dirent& Entry) {
  if (Entry.d_type != DT_UNKNOWN) {
    return Entry.d_type == DT_DIR;
  }
  struct stat Info {};
  return fstatat(ParentFd, Entry.d_name, &Info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(Info.st_mode);
}

// Empties the open folder FolderFd (taken over) depth-first with an explicit stack, so the depth
// of the tree never exhausts the call stack. Entries are addressed relative to their open parent
// folder, so renaming a folder above during the removal cannot redirect it elsewhere.
bool RemoveContents(int FolderFd, dev_t Device) {
  DIR* Top = fdopendir(FolderFd);
  if (Top == nullptr) {
    close(FolderFd);
    return false;
  }
  bool Ok = true;
  std::vector<TOpenFolder> Stack;
  Stack.push_back({Top, {}, false});
  while (!Stack.empty()) {
    TOpenFolder& Current = Stack.back();
    const int CurrentFd = dirfd(Current.Dir);
    errno = 0;
    const dirent* Entry = readdir(Current.Dir);
    if (Entry == nullptr) {
      if (errno != 0) {
        Ok = false;
      }
      // Removing entries while reading may make the listing skip some; read again until a pass
      // removes nothing.
      if (errno == 0 && Current.RemovedInPass) {
        Current.RemovedInPass = false;
        rewinddir(Current.Dir);
        continue;
      }
      const std::string Name = std::move(Current.NameInParent);
      closedir(Current.Dir);
      Stack.pop_back();
      if (!Stack.empty()) {
        if (unlinkat(dirfd(Stack.back().Dir), Name.c_str(), AT_REMOVEDIR) == 0) {
          Stack.back().RemovedInPass = true;
        } else {
          Ok = false;
        }
      }
      continue;
    }
    if (IsDotOrDotDot(Entry->d_name)) {
      continue;
    }
    if (LooksLikeFolder(CurrentFd, *Entry)) {
      const int ChildFd = OpenFolderNoFollow(CurrentFd, Entry->d_name);
      if (ChildFd >= 0) {
        struct stat Info {};
        if (fstat(ChildFd, &Info) != 0 || Info.st_dev != Device) {
          close(ChildFd);  // a mount point: its contents are not ours to remove
          Ok = false;
          continue;
        }
        DIR* Child = fdopendir(ChildFd);
        if (Child == nullptr) {
          close(ChildFd);
          Ok = false;
          continue;
        }
        Stack.push_back({Child, Entry->d_name, false});
        continue;
      }
      if (errno != ENOTDIR && errno != ELOOP) {
        Ok = false;
        continue;
      }
      // Replaced by a file or a link since it was listed: removed as such below.
    }
    if (unlinkat(CurrentFd, Entry->d_name, 0) == 0) {
      Current.RemovedInPass = true;
    } else if (errno != ENOENT) {
      Ok = false;
    }
  }
  return Ok;
}

}  // namespace

bool DeletePermanently(const std::string& Path) {
  if (Path.empty()) {
    return false;
  }
  struct stat Info {};
  if (lstat(Path.c_str(), &Info) != 0) {
    return false;
  }
  if (!S_ISDIR(Info.st_mode)) {
    return unlink(Path.c_str()) == 0;
  }
  const int FolderFd = OpenFolderNoFollow(AT_FDCWD, Path.c_str());
  if (FolderFd < 0) {
    return false;
  }
  const bool ContentsGone = RemoveContents(FolderFd, Info.st_dev);
  return rmdir(Path.c_str()) == 0 && ContentsGone;
}

}  // namespace dunstrel::platform
