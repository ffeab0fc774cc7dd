#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/LocalTime.h"
#include "scan/ExtStats.h"

namespace dunstrel {

// Local date-time: days since 1899-12-30, the time of day as the fraction; 0 means no date.
using TDateTime = double;

// The local date-time of a file stamp, with the offset in force at the stamp's own date;
// 0 for a stamp of 0 or one the platform cannot convert.
TDateTime FileTimeToLocalDateTime(platform::TFileStamp Stamp);

class TDirNode;
class TScanStore;

// Storage one thread fills on its own: blocks of pages taken from the system and given back
// whole when the arena ends.
class TScanArena {
 public:
  TScanArena() = default;
  ~TScanArena();
  TScanArena(const TScanArena&) = delete;
  TScanArena& operator=(const TScanArena&) = delete;

  void* Allocate(size_t Bytes, size_t Alignment);

 private:
  struct TBlock {
    void* Pages;
    size_t Bytes;
  };
  std::vector<TBlock> FBlocks;
  char* FCursor = nullptr;
  size_t FLeft = 0;
};

// One file of a scan. A leaf lives in its scan's storage with its name right behind it, and
// refers to its folder for the path and to the scan's extension pool, so that millions of them
// stay small.
class TFileLeaf {
 public:
  // The name as the directory listing returned it.
  std::string_view Name() const {
    return std::string_view(reinterpret_cast<const char*>(this + 1), FNameLength);
  }
  // The folder's path, one delimiter, the name.
  std::string FullPath() const;
  void AppendFullPath(std::string& Out) const;
  // Lower-cased extension with its dot; empty when the name has no dot.
  const std::string& Ext() const;
  // The extension's number in the scan's pool.
  TExtKey ExtKey() const { return FExt; }
  const TDirNode& Parent() const { return *FParent; }

  // The local last-write time; 0 when there is none.
  TDateTime GetModifiedDateTime() const { return FileTimeToLocalDateTime(ModifiedFT); }

  int64_t Size = 0;
  platform::TFileStamp ModifiedFT = 0;

 private:
  friend class TScanStore;
  TFileLeaf(const TDirNode& Parent, TExtKey Ext, int64_t Size, platform::TFileStamp Stamp,
            uint16_t NameLength)
      : Size(Size), ModifiedFT(Stamp), FParent(&Parent), FExt(Ext), FNameLength(NameLength) {}

  const TDirNode* FParent;
  TExtKey FExt;
  uint16_t FNameLength;
};

// Storage shared by all nodes of one scan: leaves, their names and the extension keys. It is
// owned by the scan's root node and released with it.
class TScanStore {
 public:
  TScanStore();
  ~TScanStore();
  TScanStore(const TScanStore&) = delete;
  TScanStore& operator=(const TScanStore&) = delete;

  std::string_view CopyText(std::string_view Text) { return CopyText(Text, FMainArena); }
  std::string_view CopyText(std::string_view Text, TScanArena& Arena);
  // Names longer than any file system allows are cut to 65535 bytes.
  TFileLeaf* NewLeaf(const TDirNode& Parent, std::string_view Name, TExtKey Ext, int64_t Size,
                     platform::TFileStamp Stamp, TScanArena& Arena);
  TScanArena& MainArena() { return FMainArena; }
  // One more arena, for one more thread filling this tree; it lives as long as the store.
  TScanArena& NewArena();
  // Exts.Intern under the store's lock: threads filling one tree call it at the same time.
  TExtKey InternExt(std::string_view Text);

  TExtKeyPool Exts;
  const TExtKey EmptyExt;  // the leaf extension of names without a dot
  const TExtKey NoExt;     // their statistics key, "(none)"

 private:
  TScanArena FMainArena;
  std::mutex FLock;  // guards FArenas, and Exts while threads fill the tree
  std::deque<TScanArena> FArenas;
};

// One folder of a scan with the totals and extension statistics of its whole subtree.
class TDirNode {
  // Declared first: the statistics below are built on the store.
  std::unique_ptr<TScanStore> FOwnedStore;
  TScanStore* FStore;

 public:
  // A root folder with storage of its own.
  explicit TDirNode(std::string_view FullPath = {});
  // A root whose name differs from the last component of its path ("(All Drives)").
  TDirNode(std::string_view FullPath, std::string Name);
  // Frees the subtree without recursion, so that any depth can be released.
  ~TDirNode();
  TDirNode(const TDirNode&) = delete;
  TDirNode& operator=(const TDirNode&) = delete;

  // The path without a trailing delimiter (except the root "/"), kept in the scan's storage.
  std::string_view FullPath() const { return FFullPath; }
  // The last component of the path; a drive root's whole path; or the name given at creation.
  std::string_view Name() const;
  TDirNode* Parent() const { return FParent; }
  TScanStore& Store() const { return *FStore; }

  // A new, empty sub-folder appended to Children (totals are the caller's to add); its path is
  // kept in Arena, one of this tree's store, or its main one.
  TDirNode& AddChild(std::string_view FullPath);
  TDirNode& AddChild(std::string_view FullPath, TScanArena& Arena);
  // Takes over a tree scanned on its own (a drive under the whole-computer root).
  TDirNode& AdoptChild(std::unique_ptr<TDirNode> Child);
  // A new leaf appended to Leaves; Ext is the extension text (lower-cased and interned here).
  TFileLeaf& AddLeaf(std::string_view Name, std::string_view Ext, int64_t Size,
                     platform::TFileStamp Stamp);
  // The same with an interned key of this tree's store.
  TFileLeaf& AddLeafWithKey(std::string_view Name, TExtKey Ext, int64_t Size,
                            platform::TFileStamp Stamp);
  TFileLeaf& AddLeafWithKey(std::string_view Name, TExtKey Ext, int64_t Size,
                            platform::TFileStamp Stamp, TScanArena& Arena);

  int64_t TotalSize = 0;
  int64_t TotalFiles = 0;
  int64_t TotalDirs = 0;
  std::vector<std::unique_ptr<TDirNode>> Children;
  std::vector<TFileLeaf*> Leaves;  // owned through the store
  TExtStats ExtStats;

 private:
  TDirNode(TDirNode& Parent, std::string_view FullPath, TScanArena& Arena);

  TDirNode* FParent = nullptr;
  std::string_view FFullPath;
  std::unique_ptr<std::string> FOwnName;  // only when the name is not part of the path
};

}  // namespace dunstrel
