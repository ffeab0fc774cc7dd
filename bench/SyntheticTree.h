#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "scan/ScanTree.h"

namespace dunstrel::bench {

// A synthetic folder tree shaped like a real disk: most folders 3 to 10 deep and some 20, a
// median of about 2 files per folder with a long tail up to 10,000, about 250 extensions of
// skewed frequency (with upper-case variants, names without extension, dot-files and names
// that are not ASCII or not even UTF-8), sizes from 0 bytes to several GiB, a few percent of
// files that repeat a name and size of another folder, and some links. The same seed always
// gives the same tree.
struct TSyntheticTreeShape {
  uint64_t Seed = 1;
  int64_t Files = 1'000'000;
  int64_t Folders = 40'000;
};

enum class ELinkKind { ToFile, ToFolder, Loop, Dangling };

struct TSyntheticFile {
  uint32_t Folder = 0;
  std::string Name;
  int64_t Size = 0;
  uint64_t Stamp = 0;
  int64_t HardLinkOf = -1;  // index of the file this one is a hard link to
};

struct TSyntheticLink {
  uint32_t Folder = 0;
  std::string Name;
  ELinkKind Kind = ELinkKind::Dangling;
  std::string Target;
};

struct TSyntheticTree {
  std::vector<std::string> FolderPaths;  // relative to the root; "" is the root itself
  std::vector<uint32_t> FolderParents;   // index of each folder's parent (the root's is 0)
  std::vector<TSyntheticFile> Files;     // hard links included
  std::vector<TSyntheticLink> Links;     // symbolic links
};

TSyntheticTree GenerateSyntheticTree(const TSyntheticTreeShape& Shape);

// The tree as a scan would have built it below RootPath (symbolic links left out, as a scan
// leaves them out; hard links count as the files they are).
std::unique_ptr<TDirNode> BuildScanTree(const TSyntheticTree& Tree, const std::string& RootPath);

// Creates the tree on disk below Root (which must not exist yet); files are sparse.
void WriteSyntheticTree(const TSyntheticTree& Tree, const std::string& Root);

}  // namespace dunstrel::bench
