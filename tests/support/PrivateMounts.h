#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace dunstrel::testing {

// Moves this process into a mount namespace of its own (as `unshare -m` does), whose mounts no
// other process sees and which vanish with it. Empty when that worked, otherwise why not: the
// text a test gives when it skips.
std::string EnterPrivateMountNamespace();

// A mount made for one test and taken away at the end of scope. Source empty: a new tmpfs;
// otherwise a bind mount of the folder Source.
class TScopedMount {
 public:
  TScopedMount(const std::string& Source, const std::string& Target);
  ~TScopedMount();
  TScopedMount(const TScopedMount&) = delete;
  TScopedMount& operator=(const TScopedMount&) = delete;

  // Empty when mounted, otherwise why not.
  const std::string& Failure() const { return FFailure; }

 private:
  std::string FTarget;
  std::string FFailure;
};

// A test that mounts inside its temporary folder, in a mount namespace of its own; skipped, with
// the reason, where the machine refuses one.
class TMountTest : public ::testing::Test {
 protected:
  void SetUp() override;
  // Mounts Source (empty: a new tmpfs) at Target until the test ends. Empty when mounted,
  // otherwise why not, for GTEST_SKIP.
  std::string Mount(const std::string& Source, const std::string& Target);

  TTempDir FDir;

 private:
  std::vector<std::unique_ptr<TScopedMount>> FMounts;  // taken away before FDir is removed
};

}  // namespace dunstrel::testing
