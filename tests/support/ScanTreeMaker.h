#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "scan/ScanTree.h"

namespace dunstrel::testing {

// A scan tree made in memory, with the totals, statistics and times a scan of such files would
// leave: results and views can be tried without a file on disk. Paths are below a root that
// need not exist.
class TScanTreeMaker {
 public:
  explicit TScanTreeMaker(std::string RootPath = "/scan");

  const std::string& Path() const { return FPath; }
  // The path of a relative name below the root.
  std::string operator/(std::string_view Relative) const;

  // A file of this size with its parent folders; it takes Used bytes on the disk, or its size in
  // whole 512-byte blocks when not given, and was last written DaysLater days after the others.
  // Its path.
  std::string MakeFile(std::string_view Relative, int64_t Size, int64_t Used = -1,
                       int DaysLater = 0);
  TDirNode& MakeDir(std::string_view Relative);

  // The tree made so far; the maker starts afresh.
  std::unique_ptr<TDirNode> Take();

 private:
  TDirNode& Folder(std::string_view Relative);

  std::string FPath;
  std::unique_ptr<TDirNode> FRoot;
};

}  // namespace dunstrel::testing
