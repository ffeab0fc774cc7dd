#include "platform/posix/MountRoots.h"

#include <fstream>
#include <sstream>

#include "platform/Volumes.h"

namespace dunstrel::platform {

bool StatxNoFollow(int DirFd, const char* Name, struct statx& Out) {
  const int Flags = AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT | (Name[0] == '\0' ? AT_EMPTY_PATH : 0);
  return statx(DirFd, Name, Flags, kStatxFields, &Out) == 0;
}

bool TMountRootTest::IsMountRoot(const struct statx& Folder, const struct statx& Parent) {
  if ((Folder.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0) {
    return (Folder.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
  }
  if ((Folder.stx_mask & STATX_MNT_ID) != 0 && (Parent.stx_mask & STATX_MNT_ID) != 0) {
    return Folder.stx_mnt_id != Parent.stx_mnt_id;
  }
  if (DeviceOf(Folder) != DeviceOf(Parent)) {
    return true;
  }
  if (!FMountPoints) {
    std::ifstream File("/proc/self/mountinfo");
    std::stringstream Text;
    Text << File.rdbuf();
    FMountPoints.emplace();
    for (const TMountEntry& Mount : ParseMountInfo(Text.str())) {
      struct stat Info {};
      if (stat(Mount.MountPoint.c_str(), &Info) == 0) {
        FMountPoints->emplace(Info.st_dev, Info.st_ino);
      }
    }
  }
  return FMountPoints->contains({DeviceOf(Folder), static_cast<ino_t>(Folder.stx_ino)});
}

}  // namespace dunstrel::platform
