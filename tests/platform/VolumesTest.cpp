#ifndef _WIN32
#include <sys/statvfs.h>
#endif

#include <gtest/gtest.h>

#include "platform/Volumes.h"

namespace dunstrel::platform {
namespace {

#ifdef _WIN32
TEST(VolumesTest, ThisMachineHasADriveWithUsedBytes) {
  const std::vector<std::string> Roots = SystemVolumes().LocalDriveRoots();
  ASSERT_FALSE(Roots.empty());
  EXPECT_TRUE(SystemVolumes().UsedBytes(Roots.front()).has_value()) << Roots.front();
  EXPECT_FALSE(SystemVolumes().UsedBytes("C:\\no\\such\\folder").has_value());
}
#else
// The mount table is Linux's.
TEST(VolumesTest, LocalDrivesFromMountInfo) {
  const char* MountInfo =
      "22 1 0:21 / / rw,relatime - overlay overlay rw,lowerdir=/x\n"
      "23 22 0:5 / /proc rw,nosuid - proc proc rw\n"
      "24 22 0:22 / /sys rw - sysfs sysfs rw\n"
      "25 22 0:23 / /dev rw - devtmpfs udev rw\n"
      "26 22 0:24 / /run rw - tmpfs tmpfs rw\n"
      "27 22 8:2 / /home rw,relatime shared:1 - ext4 /dev/sda2 rw\n"
      "28 22 8:2 /ann/data /srv/data rw - ext4 /dev/sda2 rw\n"  // bind mount: same device
      "29 22 8:1 / /boot/efi rw - vfat /dev/sda1 rw\n"
      "30 22 0:40 / /mnt/nas rw - nfs4 nas:/export rw\n"
      "31 22 7:0 / /snap/core/1 ro - squashfs /dev/loop0 ro\n"
      "32 22 8:17 / /media/usb\\040disk rw - exfat /dev/sdb1 rw\n"
      "33 22 0:50 / /mnt/fuse rw - fuse.sshfs host: rw\n"
      "34 22 8:33 /sub /mnt/part rw - xfs /dev/sdc1 rw\n"
      "35 22 8:33 / /mnt/whole rw - xfs /dev/sdc1 rw\n"
      "malformed line\n";
  const std::vector<TMountEntry> Mounts = ParseMountInfo(MountInfo);
  ASSERT_EQ(Mounts.size(), 14u);
  EXPECT_EQ(Mounts[10].MountPoint, "/media/usb disk");
  EXPECT_EQ(Mounts[5].FileSystemType, "ext4");
  EXPECT_EQ(SelectLocalDriveRoots(Mounts),
            (std::vector<std::string>{"/", "/home", "/boot/efi", "/media/usb disk", "/mnt/whole"}));
}

TEST(VolumesTest, ThisMachineHasARootDriveWithUsedBytes) {
  const std::vector<std::string> Roots = SystemVolumes().LocalDriveRoots();
  ASSERT_FALSE(Roots.empty());
  EXPECT_EQ(Roots.front(), "/");
  EXPECT_TRUE(SystemVolumes().UsedBytes("/").has_value());
  EXPECT_FALSE(SystemVolumes().UsedBytes("/no/such/folder").has_value());
  EXPECT_FALSE(SystemVolumes().UsedEntries("/no/such/folder").has_value());
}

TEST(VolumesTest, UsedEntriesAreTheUsedInodes) {
  struct statvfs Info {};
  ASSERT_EQ(statvfs("/tmp", &Info), 0);
  if (Info.f_files == 0) {
    GTEST_SKIP() << "/tmp is on a file system that counts no inodes";
  }
  const std::optional<int64_t> Entries = SystemVolumes().UsedEntries("/tmp");
  ASSERT_TRUE(Entries.has_value());
  // Other programs make and remove files meanwhile.
  EXPECT_NEAR(static_cast<double>(*Entries), static_cast<double>(Info.f_files - Info.f_ffree),
              1000.0);
}
#endif

}  // namespace
}  // namespace dunstrel::platform
