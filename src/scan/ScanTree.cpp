#include "scan/ScanTree.h"

#include <algorithm>
#include <new>
#include <unordered_set>
#include <utility>

#include "common/Calendar.h"
#include "common/ReleaseStorage.h"
#include "platform/Memory.h"
#include "platform/Paths.h"
#include "platform/TextCasing.h"

namespace dunstrel {

namespace {

constexpr size_t kStoreBlockSize = 256 * 1024;
constexpr int64_t kBlockBytes = 512;

// Whole 512-byte blocks holding Bytes; none for a negative count.
int64_t BlocksOf(int64_t Bytes) {
  return Bytes <= 0 ? 0 : Bytes / kBlockBytes + (Bytes % kBlockBytes != 0 ? 1 : 0);
}

}  // namespace

TDateTime FileTimeToLocalDateTime(platform::TFileStamp Stamp) {
  if (Stamp == 0) {
    return 0;
  }
  const auto Fields = platform::StampToLocalFields(Stamp);
  // A date-time is composed only for the years 1 to 9999; a later date (a stamp set far ahead)
  // has none.
  if (!Fields || Fields->Year < 1 || Fields->Year > 9999) {
    return 0;
  }
  return EncodeDateTime({Fields->Year, Fields->Month, Fields->Day, Fields->Hour, Fields->Minute,
                         Fields->Second, Fields->Millisecond});
}

std::string TFileLeaf::FullPath() const {
  std::string Path;
  AppendFullPath(Path);
  return Path;
}

void TFileLeaf::AppendFullPath(std::string& Out) const {
  FParent->AppendFullPath(Out);
  if (Out.empty() || Out.back() != platform::kPathDelimiter) {
    Out.push_back(platform::kPathDelimiter);
  }
  Out.append(Name());
}

const std::string& TFileLeaf::Ext() const {
  return FParent->Store().Exts.Text(FExt);
}

int64_t TFileLeaf::Allocated() const {
  if (FBlocks != kBlocksKeptAside) {
    return static_cast<int64_t>(FBlocks) * kBlockBytes;
  }
  return FParent->Store().LargeAllocation(*this);
}

TScanArena::~TScanArena() {
  for (const TBlock& Block : FBlocks) {
    platform::UnmapPages(Block.Pages, Block.Bytes);
  }
}

void* TScanArena::Allocate(size_t Bytes, size_t Alignment) {
  const size_t Padding = (Alignment - reinterpret_cast<uintptr_t>(FCursor) % Alignment) % Alignment;
  if (FCursor == nullptr || Padding + Bytes > FLeft) {
    const size_t BlockSize = std::max(kStoreBlockSize, Bytes + Alignment);
    void* Pages = platform::MapPages(BlockSize);
    if (Pages == nullptr) {
      throw std::bad_alloc();
    }
    FBlocks.push_back({Pages, BlockSize});
    FCursor = static_cast<char*>(Pages);
    FLeft = BlockSize;
    return Allocate(Bytes, Alignment);
  }
  char* Result = FCursor + Padding;
  FCursor = Result + Bytes;
  FLeft -= Padding + Bytes;
  return Result;
}

TScanStore::TScanStore() : EmptyExt(Exts.Intern("")), NoExt(Exts.Intern(kNoExtensionKey)) {}

TScanStore::~TScanStore() = default;

TScanArena& TScanStore::NewArena() {
  const std::lock_guard Lock(FLock);
  return FArenas.emplace_back();
}

TExtKey TScanStore::InternExt(std::string_view Text) {
  const std::lock_guard Lock(FLock);
  return Exts.Intern(Text);
}

std::string_view TScanStore::CopyText(std::string_view Text, TScanArena& Arena) {
  char* Copy = static_cast<char*>(Arena.Allocate(Text.size(), 1));
  std::copy(Text.begin(), Text.end(), Copy);
  return std::string_view(Copy, Text.size());
}

TFileLeaf* TScanStore::NewLeaf(const TDirNode& Parent, std::string_view Name, TExtKey Ext,
                               int64_t Size, int64_t Allocated, platform::TFileStamp Stamp,
                               TScanArena& Arena) {
  // Leaves are trivially destructible: releasing the blocks releases them.
  static_assert(std::is_trivially_destructible_v<TFileLeaf>);
  const auto Length = static_cast<uint16_t>(std::min<size_t>(Name.size(), UINT16_MAX));
  const int64_t Blocks = BlocksOf(Allocated);
  const auto Kept = static_cast<uint32_t>(std::min<int64_t>(Blocks, TFileLeaf::kBlocksKeptAside));
  auto* Place = static_cast<char*>(Arena.Allocate(sizeof(TFileLeaf) + Length, alignof(TFileLeaf)));
  std::copy_n(Name.data(), Length, Place + sizeof(TFileLeaf));
  auto* Leaf = new (Place) TFileLeaf(Parent, Ext, Size, Kept, Stamp, Length);
  if (Kept == TFileLeaf::kBlocksKeptAside) {
    const std::lock_guard Lock(FLock);
    FLarge.emplace(Leaf, Blocks * kBlockBytes);
  }
  return Leaf;
}

int64_t TScanStore::LargeAllocation(const TFileLeaf& Leaf) const {
  const std::lock_guard Lock(FLock);
  const auto Found = FLarge.find(&Leaf);
  return Found == FLarge.end() ? 0 : Found->second;
}

void TScanStore::NoteHardLink(TFileLeaf& Leaf, uint64_t Volume, uint64_t FileId, uint32_t Links,
                              std::vector<THardLink>& Pending) {
  Leaf.FHardLinked = 1;
  Pending.push_back({&Leaf, Volume, FileId, Links});
}

void TScanStore::AddHardLinks(std::vector<THardLink>& Pending) {
  if (Pending.empty()) {
    return;
  }
  {
    const std::lock_guard Lock(FLock);
    FHardLinks.insert(FHardLinks.end(), Pending.begin(), Pending.end());
  }
  ReleaseStorage(Pending);
}

const THardLink* TScanStore::HardLinkOf(const TFileLeaf& Leaf) const {
  const auto Found =
      std::lower_bound(FHardLinks.begin(), FHardLinks.end(), &Leaf,
                       [](const THardLink& Link, const TFileLeaf* Key) { return Link.Leaf < Key; });
  return Found != FHardLinks.end() && Found->Leaf == &Leaf ? &*Found : nullptr;
}

void TScanStore::SetVolume(const TDirNode& Folder, uint64_t Volume) {
  FVolumes[&Folder] = Volume;
}

std::optional<uint64_t> TScanStore::OwnVolume(const TDirNode& Folder) const {
  const auto Found = FVolumes.find(&Folder);
  if (Found == FVolumes.end()) {
    return std::nullopt;
  }
  return Found->second;
}

void CountHardLinksOnce(TDirNode& Root) {
  TScanStore& Store = Root.Store();
  std::vector<THardLink>& Links = Store.FHardLinks;
  if (Links.empty()) {
    return;
  }
  std::sort(Links.begin(), Links.end(),
            [](const THardLink& A, const THardLink& B) { return A.Leaf < B.Leaf; });
  Links.shrink_to_fit();
  std::unordered_set<const TDirNode*> Holders;
  for (const THardLink& Link : Links) {
    Holders.insert(&Link.Leaf->Parent());
  }
  struct TIdentityHash {
    size_t operator()(const std::pair<uint64_t, uint64_t>& Id) const {
      return std::hash<uint64_t>{}(Id.first * 0x9E3779B97F4A7C15ull ^ Id.second);
    }
  };
  std::unordered_set<std::pair<uint64_t, uint64_t>, TIdentityHash> Seen;
  Seen.reserve(Links.size());
  // Depth-first: a folder's files, then its sub-folders, each in listing order.
  std::vector<TDirNode*> Pending{&Root};
  while (!Pending.empty()) {
    TDirNode* Folder = Pending.back();
    Pending.pop_back();
    if (Holders.contains(Folder)) {
      for (TFileLeaf* Leaf : Folder->Leaves) {
        if (!Leaf->IsHardLinked()) {
          continue;
        }
        const THardLink* Link = Store.HardLinkOf(*Leaf);
        if (Link == nullptr || Seen.emplace(Link->Volume, Link->FileId).second) {
          continue;
        }
        Leaf->FLinkRepeat = 1;
        const int64_t Counted = Leaf->Allocated();
        for (TDirNode* Up = Folder; Up != nullptr; Up = Up->Parent()) {
          Up->TotalDiskUsage -= Counted;
          if (Up == &Root) {
            break;
          }
        }
      }
    }
    for (auto Child = Folder->Children.rbegin(); Child != Folder->Children.rend(); ++Child) {
      Pending.push_back(Child->get());
    }
  }
}

TDirNode::TDirNode(std::string_view FullPath)
    : FOwnedStore(std::make_unique<TScanStore>()),
      FStore(FOwnedStore.get()),
      ExtStats(FStore->Exts),
      FNameIsPath(true) {
  const std::string_view Copy = FStore->CopyText(FullPath);
  FName = Copy.data();
  FNameLength = static_cast<uint32_t>(Copy.size());
}

TDirNode::TDirNode(std::string_view FullPath, std::string Name) : TDirNode(FullPath) {
  FStore->RootName = std::move(Name);
}

TDirNode::TDirNode(TDirNode& Parent, std::string_view Name, bool NameIsPath, TScanArena& Arena)
    : FStore(Parent.FStore), ExtStats(FStore->Exts), FParent(&Parent), FNameIsPath(NameIsPath) {
  const std::string_view Copy = FStore->CopyText(Name, Arena);
  FName = Copy.data();
  FNameLength = static_cast<uint32_t>(Copy.size());
}

std::string_view TDirNode::Name() const {
  const std::string_view Own(FName, FNameLength);
  if (!FNameIsPath) {
    return Own;
  }
  if (FOwnedStore != nullptr && !FOwnedStore->RootName.empty()) {
    return FOwnedStore->RootName;
  }
  const std::string_view Last = platform::LastComponent(Own);
  return Last.empty() ? Own : Last;  // a drive root such as "C:"
}

std::string TDirNode::FullPath() const {
  std::string Path;
  AppendFullPath(Path);
  return Path;
}

void TDirNode::AppendFullPath(std::string& Out) const {
  // Measured first, then written from its end: no recursion and one allocation, at any depth.
  size_t Below = 0;
  const TDirNode* Top = this;
  for (; !Top->FNameIsPath; Top = Top->FParent) {
    Below += 1 + Top->FNameLength;
  }
  const std::string_view TopPath(Top->FName, Top->FNameLength);
  const bool TopEndsInDelimiter = !TopPath.empty() && TopPath.back() == platform::kPathDelimiter;
  const size_t Start = Out.size();
  const size_t Length = TopPath.size() + Below - (TopEndsInDelimiter && Below > 0 ? 1 : 0);
  Out.resize(Start + Length);
  char* End = Out.data() + Start + Length;
  for (const TDirNode* Node = this; Node != Top; Node = Node->FParent) {
    End -= Node->FNameLength;
    std::copy_n(Node->FName, Node->FNameLength, End);
    *--End = platform::kPathDelimiter;
  }
  // Under a top that ends in its delimiter ("/"), that delimiter is the first component's.
  std::copy(TopPath.begin(), TopPath.end(), Out.begin() + static_cast<ptrdiff_t>(Start));
}

TDirNode::~TDirNode() {
  // The deepest folders go first, found through the children's lists and left through the
  // parents' pointers: nothing is allocated, so this is safe while an error unwinds.
  TDirNode* Node = this;
  for (;;) {
    if (!Node->Children.empty()) {
      Node = Node->Children.back().get();
      continue;
    }
    if (Node == this) {
      break;
    }
    TDirNode* Up = Node->FParent;
    Up->Children.pop_back();  // Node has no children left: it goes at once
    Node = Up;
  }
}

TDirNode& TDirNode::AddChild(std::string_view FullPath) {
  const bool IsDrive = FNameIsPath && FNameLength == 0;
  return AddNamedChild(IsDrive ? FullPath : platform::LastComponent(FullPath));
}

TDirNode& TDirNode::AddNamedChild(std::string_view Name) {
  return AddNamedChild(Name, FStore->MainArena());
}

TDirNode& TDirNode::AddNamedChild(std::string_view Name, TScanArena& Arena) {
  // Under a root of an empty path (every drive), the sub-folders are drives named by their paths.
  const bool IsDrive = FNameIsPath && FNameLength == 0;
  Children.push_back(std::unique_ptr<TDirNode>(new TDirNode(*this, Name, IsDrive, Arena)));
  return *Children.back();
}

TDirNode& TDirNode::AdoptChild(std::unique_ptr<TDirNode> Child) {
  Child->FParent = this;
  Children.push_back(std::move(Child));
  return *Children.back();
}

TFileLeaf& TDirNode::AddLeaf(std::string_view Name, std::string_view Ext, int64_t Size,
                             platform::TFileStamp Stamp) {
  const std::string Lower = platform::UserTextCasing().ToLower(Ext);
  return AddLeafWithKey(Name, FStore->Exts.Intern(Lower), Size, Size, Stamp);
}

TFileLeaf& TDirNode::AddLeafWithKey(std::string_view Name, TExtKey Ext, int64_t Size,
                                    int64_t Allocated, platform::TFileStamp Stamp) {
  return AddLeafWithKey(Name, Ext, Size, Allocated, Stamp, FStore->MainArena());
}

TFileLeaf& TDirNode::AddLeafWithKey(std::string_view Name, TExtKey Ext, int64_t Size,
                                    int64_t Allocated, platform::TFileStamp Stamp,
                                    TScanArena& Arena) {
  Leaves.push_back(FStore->NewLeaf(*this, Name, Ext, Size, Allocated, Stamp, Arena));
  return *Leaves.back();
}

}  // namespace dunstrel
