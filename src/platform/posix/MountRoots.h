#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <optional>
#include <set>
#include <utility>

namespace dunstrel::platform {

// What the removal and the lister ask of every folder they meet: type, size, allocated blocks,
// stamp, identity, link count and mount.
inline constexpr unsigned kStatxFields = STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_BLOCKS |
                                         STATX_MTIME | STATX_INO | STATX_NLINK | STATX_MNT_ID;

// statx of Name inside DirFd, or of DirFd itself when Name is empty. Never follows a symbolic
// link and never triggers an automount.
bool StatxNoFollow(int DirFd, const char* Name, struct statx& Out);

inline dev_t DeviceOf(const struct statx& Info) {
  return makedev(Info.stx_dev_major, Info.stx_dev_minor);
}

inline bool SameFolder(const struct statx& A, const struct statx& B) {
  return DeviceOf(A) == DeviceOf(B) && A.stx_ino == B.stx_ino;
}

// Tells whether a folder is the root of a mount: a file system mounted there, or a bind mount of
// a folder of the same file system, which has the same device as its parent.
class TMountRootTest {
 public:
  // Folder and Parent as StatxNoFollow gives them.
  bool IsMountRoot(const struct statx& Folder, const struct statx& Parent);

 private:
  // For kernels that answer neither the mount-root attribute nor the mount id: the identities of
  // the mount points in /proc/self/mountinfo, read once. A folder that is bound elsewhere matches
  // too, so such a folder is left alone; erring that way never loses data.
  std::optional<std::set<std::pair<dev_t, ino_t>>> FMountPoints;
};

}  // namespace dunstrel::platform
