#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <vector>

#include "platform/DirectoryLister.h"
#include "platform/Paths.h"
#include "platform/posix/MountRoots.h"
#include "platform/posix/StatStamp.h"

namespace dunstrel::platform {

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY;

// Every sub-folder is opened relative to its parent's descriptor, never by its path, and only
// after checking that it is still the folder its parent's listing saw: a folder swapped for a
// link during the scan is not followed out of the tree. The open folders from the scan root down
// to the last one listed are kept; deeper than kOpenFolders, the shallower ones are closed and
// opened again through ".." (with the same check) when the walk comes back up.
class TPosixDirectoryLister final : public IDirectoryLister {
 public:
  TPosixDirectoryLister() : FBuffer(std::make_unique_for_overwrite<char[]>(kBufferSize)) {}
  ~TPosixDirectoryLister() override { ForgetAll(); }
  TPosixDirectoryLister(const TPosixDirectoryLister&) = delete;
  TPosixDirectoryLister& operator=(const TPosixDirectoryLister&) = delete;

  bool List(const std::string& Folder, TDirListing& Out) override {
    Out.Clear();
    ForgetAll();
    return Hold(StripTrailingDelimiter(Folder), open(Folder.c_str(), kFolderFlags)) && Read(Out);
  }

  bool ListSubFolder(const std::string& Folder, const TDirEntry& Seen, TDirListing& Out) override {
    Out.Clear();
    std::string Path = StripTrailingDelimiter(Folder);
    const std::string Name(LastComponent(Path));
    const int ParentFd = HeldFolder(ParentPath(Path));
    if (ParentFd < 0 || Name.empty() || Name == "/") {
      return false;
    }
    const struct statx ParentInfo = FHeld.back().Info;
    if (!Hold(std::move(Path), openat(ParentFd, Name.c_str(), kFolderFlags | O_NOFOLLOW))) {
      return false;
    }
    const struct statx& Info = FHeld.back().Info;
    const bool Swapped =
        Seen.FileId != 0 && (DeviceOf(Info) != Seen.Volume || Info.stx_ino != Seen.FileId);
    // Nothing the listing would have marked as a mount point is entered either.
    if (Swapped || FMounts.IsMountRoot(Info, ParentInfo)) {
      Release();
      return false;
    }
    return Read(Out);
  }

 private:
  static constexpr size_t kBufferSize = 256 * 1024;
  static constexpr size_t kOpenFolders = 16;

  struct THeldFolder {
    std::string Path;  // without a trailing delimiter, except "/"
    int Fd = -1;       // -1 while closed to bound the open descriptors
    struct statx Info {};
  };

  // Takes over Fd, the folder at Path, as the deepest held one.
  bool Hold(std::string Path, int Fd) {
    if (Fd < 0) {
      return false;
    }
    THeldFolder Folder{std::move(Path), Fd, {}};
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
      const int Parent = openat(Done.Fd, "..", kFolderFlags | O_NOFOLLOW);
      struct statx Info {};
      if (Parent >= 0 && StatxNoFollow(Parent, "", Info) && SameFolder(Info, FHeld.back().Info)) {
        FHeld.back().Fd = Parent;
      } else if (Parent >= 0) {
        close(Parent);  // moved elsewhere meanwhile: its sub-folders are not listed any more
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
  // is opened by its path: its sub-folders are still checked against its listing.
  int HeldFolder(const std::string& Path) {
    while (!FHeld.empty() && FHeld.back().Path != Path) {
      Release();
    }
    if (FHeld.empty() && !Hold(Path, open(Path.c_str(), kFolderFlags))) {
      return -1;
    }
    return FHeld.back().Fd;
  }

  // Reads the deepest held folder.
  bool Read(TDirListing& Out) {
    const int DirFd = FHeld.back().Fd;
    for (;;) {
      const ssize_t Read = getdents64(DirFd, FBuffer.get(), kBufferSize);
      if (Read <= 0) {
        // An error part-way keeps what was read, as a listing that ends early would.
        return Read == 0 || Out.Count() > 0;
      }
      for (ssize_t Pos = 0; Pos < Read;) {
        const auto* Raw = reinterpret_cast<const dirent64*>(FBuffer.get() + Pos);
        Pos += Raw->d_reclen;
        AddEntry(DirFd, *Raw, Out);
      }
    }
  }

  void AddEntry(int DirFd, const dirent64& Raw, TDirListing& Out) {
    const char* Name = Raw.d_name;
    if (Name[0] == '.' && (Name[1] == '\0' || (Name[1] == '.' && Name[2] == '\0'))) {
      return;
    }
    const std::string_view NameView(Name, std::strlen(Name));
    if (Raw.d_type == DT_LNK) {
      Out.Add(NameView, false, true, 0, 0);
      return;
    }
    struct statx Info {};
    if (!StatxNoFollow(DirFd, Name, Info)) {
      return;  // gone since the folder was read
    }
    const TFileStamp Stamp = StampOfTime(Info.stx_mtime.tv_sec, Info.stx_mtime.tv_nsec);
    if (S_ISLNK(Info.stx_mode)) {
      Out.Add(NameView, false, true, 0, 0);
    } else if (S_ISDIR(Info.stx_mode)) {
      Out.Add(NameView, true, FMounts.IsMountRoot(Info, FHeld.back().Info), 0, Stamp,
              DeviceOf(Info), Info.stx_ino);
    } else {
      Out.Add(NameView, false, false, static_cast<int64_t>(Info.stx_size), Stamp);
    }
  }

  std::unique_ptr<char[]> FBuffer;  // left uninitialised: only what the kernel fills is touched
  std::vector<THeldFolder> FHeld;   // the scan root first
  TMountRootTest FMounts;
};

}  // namespace

std::unique_ptr<IDirectoryLister> CreateDirectoryLister() {
  return std::make_unique<TPosixDirectoryLister>();
}

}  // namespace dunstrel::platform
