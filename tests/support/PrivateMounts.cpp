#include "support/PrivateMounts.h"

#include <sched.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstring>

namespace dunstrel::testing {

namespace {

std::string Why(const char* What) {
  return std::string(What) + ": " + std::strerror(errno);
}

}  // namespace

std::string EnterPrivateMountNamespace() {
  static const std::string Failure = [] {
    if (unshare(CLONE_NEWNS) != 0) {
      return Why("unshare(CLONE_NEWNS)");
    }
    // Mounts made from here on must not reach the namespace the test was started in.
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
      return Why("making the namespace's mounts private");
    }
    return std::string();
  }();
  return Failure;
}

TScopedMount::TScopedMount(const std::string& Source, const std::string& Target) : FTarget(Target) {
  const int Result = Source.empty()
                         ? mount("dunstrel-test", Target.c_str(), "tmpfs", 0, "size=16m")
                         : mount(Source.c_str(), Target.c_str(), nullptr, MS_BIND, nullptr);
  if (Result != 0) {
    FFailure = Why(Source.empty() ? "mounting a tmpfs" : "a bind mount");
    FTarget.clear();
  }
}

TScopedMount::~TScopedMount() {
  if (!FTarget.empty()) {
    umount2(FTarget.c_str(), MNT_DETACH);
  }
}

void TMountTest::SetUp() {
  const std::string Failure = EnterPrivateMountNamespace();
  if (!Failure.empty()) {
    GTEST_SKIP() << "skipped: this test mounts file systems and needs a mount namespace of its "
                    "own, which the machine refused: "
                 << Failure;
  }
}

std::string TMountTest::Mount(const std::string& Source, const std::string& Target) {
  FMounts.push_back(std::make_unique<TScopedMount>(Source, Target));
  const std::string& Failure = FMounts.back()->Failure();
  return Failure.empty() ? Failure : "skipped: the machine refused " + Failure;
}

}  // namespace dunstrel::testing
