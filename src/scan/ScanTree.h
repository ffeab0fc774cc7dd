#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <iterator>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/DirectoryLister.h"
#include "platform/LocalTime.h"
#include "scan/ExtStats.h"
#include "scan/LeafSet.h"
#include "scan/SizeCount.h"

namespace dunstrel {

// Local date-time: days since 1899-12-30, the time of day as the fraction; 0 means no date.
using TDateTime = double;

// The local date-time of a file stamp, with the offset in force at the stamp's own date;
// 0 for a stamp of 0 or one the platform cannot convert.
TDateTime FileTimeToLocalDateTime(platform::TFileStamp Stamp);

class TDirNode;
class TScanStore;

// Gives every hard-linked file's data one place in the disk usage: the first of its names in the
// order of the tree (a folder's files, then its sub-folders, each in listing order), whatever
// order the walk met them in. The others become repeats, and the disk usage of their folders
// drops by their size.
void CountHardLinksOnce(TDirNode& Root);

// One hard-linked file whose names left the tree or came into it.
struct THardLinkChange {
  uint64_t Volume = 0;
  uint64_t FileId = 0;
  // Names of it that left the tree and are gone from the file system too (deleted, not moved):
  // its link count drops by as many.
  uint32_t NamesDeleted = 0;
  // Its link count as a walk read it just now; 0 when no walk did.
  uint32_t LinksNow = 0;
};

// Counts the data of each file of Changed once again after names of it left the tree of Top or
// came into it, as a scan of the changed disk would: at its first name in the tree's order, the
// others as repeats, with the disk usage of their folders up to Top following. A file left with
// one name is no longer a hard link. Takes a pass over the tree's hard links and the folders that
// hold names of Changed, not a walk of the tree.
void RecountHardLinks(TDirNode& Top, const std::vector<THardLinkChange>& Changed);

class TFileLeaf;

// A scan whose files and names take more storage than its leaves can be numbered in.
class ETooManyFiles : public std::length_error {
 public:
  using std::length_error::length_error;
};

// The blocks of one scan's storage by number, so that a folder lists its files by 32-bit
// handles (a block's number and a place in it) instead of 64-bit pointers.
class TLeafBlocks {
 public:
  // A block holds 256 KiB, and a leaf starts at an even place in it.
  static constexpr unsigned kPlaceBits = 17;
  static constexpr size_t kBlockBytes = size_t{2} << kPlaceBits;
  static constexpr size_t kMaxBlocks = size_t{1} << (32 - kPlaceBits);

  TLeafBlocks();
  ~TLeafBlocks();
  TLeafBlocks(const TLeafBlocks&) = delete;
  TLeafBlocks& operator=(const TLeafBlocks&) = delete;

  // The number of a new block at Base; ETooManyFiles once every number is taken (8 GiB of
  // leaves and names, some 150 million files).
  uint32_t Add(char* Base);
  TFileLeaf* LeafAt(uint32_t Handle) const {
    return reinterpret_cast<TFileLeaf*>(FBases[Handle >> kPlaceBits] +
                                        (size_t{Handle & ((1u << kPlaceBits) - 1)} << 1));
  }

 private:
  // kMaxBlocks entries in pages of their own: only those in use take memory.
  char** FBases;
  std::mutex FLock;  // guards FCount while threads fill the tree
  size_t FCount = 0;
};

// Storage one thread fills on its own: blocks of pages taken from the system and given back
// whole when the arena ends.
class TScanArena {
 public:
  explicit TScanArena(TLeafBlocks& Numbers) : FNumbers(Numbers) {}
  ~TScanArena();
  TScanArena(const TScanArena&) = delete;
  TScanArena& operator=(const TScanArena&) = delete;

  void* Allocate(size_t Bytes, size_t Alignment);
  // The same for a leaf and its name, with its handle.
  void* AllocateLeaf(size_t Bytes, size_t Alignment, uint32_t& Handle);

 private:
  void NewBlock();

  struct TBlock {
    void* Pages;
    size_t Bytes;
  };
  TLeafBlocks& FNumbers;
  std::vector<TBlock> FBlocks;
  char* FBase = nullptr;  // of the block being filled
  uint32_t FNumber = 0;   // its number
  char* FCursor = nullptr;
  size_t FLeft = 0;
};

// One file of a scan. A leaf lives in its scan's storage with its name right behind it, and
// refers to its folder for the path and to the scan's extension pool, so that millions of them
// stay small: packed to 2-byte alignment, a leaf and its name take 32 bytes plus the name.
// Sizes of 256 TiB and more (sparse files) and allocations of 512 GiB and more are rare, and
// kept aside by the store.
#pragma pack(push, 2)
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
  TDateTime GetModifiedDateTime() const { return FileTimeToLocalDateTime(FStamp); }

  // The space the file takes on its disk: its allocated blocks.
  int64_t Allocated() const;
  // More than one name in the file system refers to this file's data (FileId and Volume of
  // its hard link are kept by the scan's store).
  bool IsHardLinked() const { return FHardLinked != 0; }
  // The same data was met earlier in the scan, under another name: its disk usage is counted
  // there, and here as nothing.
  bool IsHardLinkRepeat() const { return FLinkRepeat != 0; }
  // The figure of this file in either count.
  int64_t SizeIn(TSizeCount Count) const {
    if (Count == TSizeCount::ApparentSize) {
      return Size();
    }
    return IsHardLinkRepeat() ? 0 : Allocated();
  }

  // The apparent size and the last-write stamp. Read by value only: the leaf is packed, so a
  // reference to one of its fields could be misaligned.
  int64_t Size() const {
    const uint64_t Stored = FSizeLow | (uint64_t{FSizeHigh} << 32);
    return Stored != kSizeKeptAside ? static_cast<int64_t>(Stored) : LargeSize();
  }
  platform::TFileStamp ModifiedFT() const { return FStamp; }

 private:
  friend class TScanStore;
  friend void CountHardLinksOnce(TDirNode& Root);
  friend void RecountHardLinks(TDirNode& Top, const std::vector<THardLinkChange>& Changed);
  // Allocated space in 512-byte blocks; this value means that the store keeps a larger one.
  static constexpr uint32_t kBlocksKeptAside = (1u << 30) - 1;
  // The size in 48 bits; this value means that the store keeps it.
  static constexpr uint64_t kSizeKeptAside = (uint64_t{1} << 48) - 1;

  int64_t LargeSize() const;

  TFileLeaf(const TDirNode& Parent, TExtKey Ext, uint64_t Size, uint32_t Blocks,
            platform::TFileStamp Stamp, uint16_t NameLength)
      : FSizeLow(static_cast<uint32_t>(Size)),
        FSizeHigh(static_cast<uint16_t>(Size >> 32)),
        FStamp(Stamp),
        FParent(&Parent),
        FExt(Ext),
        FBlocks(Blocks),
        FHardLinked(0),
        FLinkRepeat(0),
        FNameLength(NameLength) {}

  uint32_t FSizeLow;
  uint16_t FSizeHigh;
  platform::TFileStamp FStamp;
  const TDirNode* FParent;
  TExtKey FExt;
  uint32_t FBlocks : 30;
  uint32_t FHardLinked : 1;
  uint32_t FLinkRepeat : 1;
  uint16_t FNameLength;
};
#pragma pack(pop)

// The identity of a file with more than one hard link, kept beside the tree: few files have
// one, so the leaves need not carry it.
struct THardLink {
  const TFileLeaf* Leaf = nullptr;
  uint64_t Volume = 0;  // the file system's device
  uint64_t FileId = 0;  // the inode
  uint32_t Links = 0;   // how many names the file has on its file system
};

// The identity of a hard-linked leaf of a tree once CountHardLinksOnce has run, kept by the store
// of the tree's top folder; none for another leaf, or one that has left its tree.
const THardLink* HardLinkOf(const TFileLeaf& Leaf);

// Storage shared by all nodes of one scan: leaves, their names, the folders' names, the extension
// keys, the hard links' identities and the rare allocations too large for a leaf. It is owned by
// the scan's root node and released with it.
class TScanStore {
 public:
  TScanStore();
  ~TScanStore();
  TScanStore(const TScanStore&) = delete;
  TScanStore& operator=(const TScanStore&) = delete;

  std::string_view CopyText(std::string_view Text) { return CopyText(Text, FMainArena); }
  std::string_view CopyText(std::string_view Text, TScanArena& Arena);
  // Names longer than any file system allows are cut to 65535 bytes. Allocated is rounded up to
  // whole 512-byte blocks. Handle receives the leaf's handle in LeafNumbers.
  TFileLeaf* NewLeaf(const TDirNode& Parent, std::string_view Name, TExtKey Ext, int64_t Size,
                     int64_t Allocated, platform::TFileStamp Stamp, TScanArena& Arena,
                     uint32_t& Handle);
  TScanArena& MainArena() { return FMainArena; }
  const TLeafBlocks& LeafNumbers() const { return FNumbers; }
  // One more arena, for one more thread filling this tree; it lives as long as the store.
  TScanArena& NewArena();
  // Exts.Intern under the store's lock: threads filling one tree call it at the same time.
  TExtKey InternExt(std::string_view Text);

  // Marks Leaf as one of several names of its data and adds its identity to Pending, which the
  // caller hands over with AddHardLinks (a thread filling the tree keeps its own).
  void NoteHardLink(TFileLeaf& Leaf, uint64_t Volume, uint64_t FileId, uint32_t Links,
                    std::vector<THardLink>& Pending);
  // Takes the identities of Pending (emptied), under the store's lock.
  void AddHardLinks(std::vector<THardLink>& Pending);
  // The identity of a hard-linked leaf of this store's tree, once CountHardLinksOnce has run. A
  // tree keeps the identities of all its leaves in the store of its top folder, those of folders
  // taken over from other trees (drives, folders walked again) included.
  const THardLink* HardLinkOf(const TFileLeaf& Leaf) const;
  bool HasHardLinks() const { return !FHardLinks.empty(); }
  // Takes over the identities Other holds (the store of a tree that joins this one).
  void TakeHardLinks(TScanStore& Other);
  // Forgets the identities of the leaves of Gone (which left the tree).
  void ForgetHardLinks(const TLeafSet& Gone);

  // The file system (device) of a folder where it is known and differs from its parent's: the
  // scan's root, and mount points in a scan of another tool. Kept beside the tree, being rare.
  void SetVolume(const TDirNode& Folder, uint64_t Volume);
  std::optional<uint64_t> OwnVolume(const TDirNode& Folder) const;

  TExtKeyPool Exts;
  const TExtKey EmptyExt;  // the leaf extension of names without a dot
  // The text the legends list a key under: a name without a dot has the empty extension, and
  // its files are counted under "(none)".
  std::string_view ExtensionKeyText(TExtKey Key) const {
    return Key == EmptyExt ? kNoExtensionKey : std::string_view(Exts.Text(Key));
  }
  // The name of the root when it is not the last component of its path ("(All Drives)").
  std::string RootName;

 private:
  friend class TFileLeaf;
  friend void CountHardLinksOnce(TDirNode& Root);
  friend void RecountHardLinks(TDirNode& Top, const std::vector<THardLinkChange>& Changed);

  // A leaf's figures that do not fit in it; 0 where it has none.
  struct TLargeFigures {
    int64_t Size = 0;
    int64_t Allocated = 0;
  };
  TLargeFigures LargeFiguresOf(const TFileLeaf& Leaf) const;

  TLeafBlocks FNumbers;  // before the arenas, which number their blocks in it
  TScanArena FMainArena{FNumbers};
  mutable std::mutex FLock;  // guards FArenas, FLarge, and Exts and FHardLinks while threads
                             // fill the tree
  std::deque<TScanArena> FArenas;
  std::unordered_map<const TFileLeaf*, TLargeFigures> FLarge;  // sizes and allocations too
                                                               // large for a leaf
  std::vector<THardLink> FHardLinks;                           // in leaf order once counted
  std::unordered_map<const TDirNode*, uint64_t> FVolumes;  // where they differ from the parent's
};

// The files of one folder, in the folder's order, listed by their handles in the scan's storage:
// half the size of pointers, for millions of them.
class TLeafList {
 public:
  explicit TLeafList(const TLeafBlocks& Numbers) : FNumbers(&Numbers) {}

  class const_iterator {
   public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = TFileLeaf*;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = TFileLeaf*;

    const_iterator() = default;
    const_iterator(const TLeafBlocks* Numbers, const uint32_t* At) : FNumbers(Numbers), FAt(At) {}
    TFileLeaf* operator*() const { return FNumbers->LeafAt(*FAt); }
    TFileLeaf* operator[](difference_type N) const { return FNumbers->LeafAt(FAt[N]); }
    const_iterator& operator++() {
      ++FAt;
      return *this;
    }
    const_iterator operator++(int) { return {FNumbers, FAt++}; }
    const_iterator& operator--() {
      --FAt;
      return *this;
    }
    const_iterator operator--(int) { return {FNumbers, FAt--}; }
    const_iterator& operator+=(difference_type N) {
      FAt += N;
      return *this;
    }
    const_iterator& operator-=(difference_type N) {
      FAt -= N;
      return *this;
    }
    friend const_iterator operator+(const_iterator I, difference_type N) { return I += N; }
    friend const_iterator operator+(difference_type N, const_iterator I) { return I += N; }
    friend const_iterator operator-(const_iterator I, difference_type N) { return I -= N; }
    friend difference_type operator-(const const_iterator& A, const const_iterator& B) {
      return A.FAt - B.FAt;
    }
    friend bool operator==(const const_iterator& A, const const_iterator& B) {
      return A.FAt == B.FAt;
    }
    friend auto operator<=>(const const_iterator& A, const const_iterator& B) {
      return A.FAt <=> B.FAt;
    }

   private:
    const TLeafBlocks* FNumbers = nullptr;
    const uint32_t* FAt = nullptr;
  };
  using iterator = const_iterator;

  size_t size() const { return FHandles.size(); }
  bool empty() const { return FHandles.empty(); }
  size_t capacity() const { return FHandles.capacity(); }
  void reserve(size_t Count) { FHandles.reserve(Count); }
  void shrink_to_fit() { FHandles.shrink_to_fit(); }
  TFileLeaf* operator[](size_t I) const { return FNumbers->LeafAt(FHandles[I]); }
  TFileLeaf* front() const { return (*this)[0]; }
  TFileLeaf* back() const { return (*this)[size() - 1]; }
  const_iterator begin() const { return {FNumbers, FHandles.data()}; }
  const_iterator end() const { return {FNumbers, FHandles.data() + FHandles.size()}; }

  // Puts the files in the order of Places: the I-th becomes the one that was at Places[I].
  void Reorder(std::span<const size_t> Places);
  // Takes out the files Remove says yes to, keeping the order of the others.
  template <typename TRemove>
  void EraseIf(TRemove Remove) {
    std::erase_if(FHandles, [&](uint32_t Handle) { return Remove(FNumbers->LeafAt(Handle)); });
  }

 private:
  friend class TDirNode;

  const TLeafBlocks* FNumbers;
  std::vector<uint32_t> FHandles;
};

// One folder of a scan with the totals of its whole subtree (its extensions are counted when
// asked for: ExtensionTotalsOf). A folder keeps its own name only; its path is made from its
// parents' names when asked for.
class TDirNode {
  // Declared first: the nodes and leaves below live in the store.
  std::unique_ptr<TScanStore> FOwnedStore;
  TScanStore* FStore;

 public:
  // A root folder with storage of its own.
  explicit TDirNode(std::string_view FullPath = {});
  // A root whose name differs from the last component of its path ("(All Drives)").
  TDirNode(std::string_view FullPath, std::string Name);
  // Frees the subtree without recursion and without allocating, so that any depth can be
  // released, also while an error unwinds.
  ~TDirNode();
  TDirNode(const TDirNode&) = delete;
  TDirNode& operator=(const TDirNode&) = delete;

  // The path without a trailing delimiter (except the root "/"), made from the names up to the
  // scan's root. A new string each time: keep it, not a view of it.
  std::string FullPath() const;
  void AppendFullPath(std::string& Out) const;
  // The last component of the path; a drive root's whole path; or the name given at creation.
  std::string_view Name() const;
  TDirNode* Parent() const { return FParent; }
  // The folder of the tree without a parent: the scan's root.
  const TDirNode& Top() const;
  TScanStore& Store() const { return *FStore; }
  // Named by a whole path rather than a name: the scan's root, or a drive under the root of a
  // scan of every drive.
  bool NameIsPath() const { return FNameIsPath; }

  // A new, empty sub-folder appended to Children (totals are the caller's to add). FullPath is
  // this folder's path followed by the sub-folder's name; under a root of an empty path (every
  // drive) it is the drive's path, which becomes the sub-folder's name.
  TDirNode& AddChild(std::string_view FullPath);
  // The same by the sub-folder's name (a drive's path under a root of an empty path), kept in
  // Arena, one of this tree's store, or its main one.
  TDirNode& AddNamedChild(std::string_view Name);
  TDirNode& AddNamedChild(std::string_view Name, TScanArena& Arena);
  // Takes over a tree scanned on its own (a drive under the whole-computer root); the identities
  // of its hard links join this tree's.
  TDirNode& AdoptChild(std::unique_ptr<TDirNode> Child);
  // Puts Fresh, a tree of its own made by a walk of Old's path, in the place of Old (one of
  // Children), named as Old is, and hands Old over. Old keeps its parent, so that its paths read
  // as before while something still points into it; totals are the caller's.
  std::unique_ptr<TDirNode> ReplaceChild(const TDirNode& Old, std::unique_ptr<TDirNode> Fresh);
  // A new leaf appended to Leaves; Ext is the extension text (lower-cased and interned here). Its
  // allocated space is taken to be its size in whole 512-byte blocks.
  TFileLeaf& AddLeaf(std::string_view Name, std::string_view Ext, int64_t Size,
                     platform::TFileStamp Stamp);
  // The same with an interned key of this tree's store and the allocated space.
  TFileLeaf& AddLeafWithKey(std::string_view Name, TExtKey Ext, int64_t Size, int64_t Allocated,
                            platform::TFileStamp Stamp);
  TFileLeaf& AddLeafWithKey(std::string_view Name, TExtKey Ext, int64_t Size, int64_t Allocated,
                            platform::TFileStamp Stamp, TScanArena& Arena);

  // The subtree's total in either count.
  int64_t TotalIn(TSizeCount Count) const {
    return Count == TSizeCount::ApparentSize ? TotalSize : TotalDiskUsage;
  }

  int64_t TotalSize = 0;       // the sizes of all files in the subtree
  int64_t TotalDiskUsage = 0;  // the space they and the folders take, hard-linked data once
  int64_t OwnDiskUsage = 0;    // the space the folder itself takes (its entries' table)
  int64_t TotalFiles = 0;
  int64_t TotalDirs = 0;
  int64_t UnreadableFolders = 0;  // folders of the subtree, this one included, with ReadProblem
  std::vector<std::unique_ptr<TDirNode>> Children;
  TLeafList Leaves{FStore->LeafNumbers()};  // kept by the store
  // Why the folder, or some of its entries, could not be read; None when all could.
  platform::TListProblem ReadProblem = platform::TListProblem::None;

 private:
  TDirNode(TDirNode& Parent, std::string_view Name, bool NameIsPath, TScanArena& Arena);

  TDirNode* FParent = nullptr;
  const char* FName = nullptr;
  uint32_t FNameLength = 0;
  bool FNameIsPath = false;
};

// Calls Visit on Top and on every folder below it in the tree's order (a folder before its
// sub-folders, those in their order), without recursion: scan trees can be far deeper than the
// call stack.
template <typename TVisit>
void ForEachFolder(const TDirNode& Top, TVisit&& Visit) {
  std::vector<const TDirNode*> Pending{&Top};
  while (!Pending.empty()) {
    const TDirNode& Folder = *Pending.back();
    Pending.pop_back();
    Visit(Folder);
    for (auto Child = Folder.Children.rbegin(); Child != Folder.Children.rend(); ++Child) {
      Pending.push_back(Child->get());
    }
  }
}

}  // namespace dunstrel
