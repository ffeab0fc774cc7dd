#pragma once

#include <string>

#include "support/PrivateMounts.h"

namespace dunstrel::testing {

// A mount test with a tree to scan that has mounts below its root:
//   tree/a/file.bin   10 bytes
//   tree/a/loop       the tree bound into itself, which would count it twice
//   tree/tmpfs        another file system, holding other.bin of 20 bytes
// A scan that enters no mount counts 10 bytes in two folders.
class TScanMountTest : public TMountTest {
 protected:
  // Makes the tree; empty when its mounts are in place, otherwise why not, for GTEST_SKIP.
  std::string MakeTreeWithMountsBelow() {
    FTree = FDir.MakeDir("tree");
    FDir.MakeFile("tree/a/file.bin", 10);
    FTmpfs = FDir.MakeDir("tree/tmpfs");
    for (const std::string& Failure :
         {Mount(FTree, FDir.MakeDir("tree/a/loop")), Mount("", FTmpfs)}) {
      if (!Failure.empty()) {
        return Failure;
      }
    }
    FDir.MakeFile("tree/tmpfs/other.bin", 20);
    return {};
  }

  std::string FTree;
  std::string FTmpfs;
};

}  // namespace dunstrel::testing
