#include <fcntl.h>

#include <gtest/gtest.h>

#include "platform/posix/MountRoots.h"
#include "support/PrivateMounts.h"

namespace dunstrel::platform {
namespace {

using MountRootsTest = testing::TMountTest;

// Each way of telling a mount root must find bind mounts and other file systems alike, also on
// kernels that answer less than this one: the records are cut down to what those give.
TEST_F(MountRootsTest, EveryWayOfTellingFindsBindMountsAndOtherFileSystems) {
  const std::string Parent = FDir.MakeDir("parent");
  const std::string Bound = FDir.MakeDir("parent/bound");
  const std::string Tmpfs = FDir.MakeDir("parent/tmpfs");
  const std::string Plain = FDir.MakeDir("parent/plain");
  for (const std::string& Failure : {Mount(FDir.MakeDir("elsewhere"), Bound), Mount("", Tmpfs)}) {
    if (!Failure.empty()) {
      GTEST_SKIP() << Failure;
    }
  }
  struct statx ParentInfo {};
  ASSERT_TRUE(StatxNoFollow(AT_FDCWD, Parent.c_str(), ParentInfo));

  const struct {
    const char* Kernel;
    bool HasAttribute;
    bool HasMountId;
  } kKernels[] = {{"mount-root attribute", true, true},
                  {"mount id only", false, true},
                  {"neither: mountinfo", false, false}};
  const struct {
    std::string Path;
    bool IsMountRoot;
  } kFolders[] = {{Bound, true}, {Tmpfs, true}, {Plain, false}};
  for (const auto& Kernel : kKernels) {
    TMountRootTest Test;
    for (const auto& Folder : kFolders) {
      SCOPED_TRACE(std::string(Kernel.Kernel) + ": " + Folder.Path);
      struct statx Info {};
      ASSERT_TRUE(StatxNoFollow(AT_FDCWD, Folder.Path.c_str(), Info));
      struct statx Above = ParentInfo;
      if (!Kernel.HasAttribute) {
        Info.stx_attributes_mask &= ~static_cast<uint64_t>(STATX_ATTR_MOUNT_ROOT);
      }
      if (!Kernel.HasMountId) {
        Info.stx_mask &= ~STATX_MNT_ID;
        Above.stx_mask &= ~STATX_MNT_ID;
      }
      EXPECT_EQ(Test.IsMountRoot(Info, Above), Folder.IsMountRoot);
    }
  }
}

}  // namespace
}  // namespace dunstrel::platform
