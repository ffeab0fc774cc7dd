#include "scan/ScanTree.h"

#include <algorithm>
#include <new>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "common/Calendar.h"
#include "common/ReleaseStorage.h"
#include "common/SaturatingSum.h"
#include "platform/Memory.h"
#include "platform/Paths.h"
#include "platform/TextCasing.h"

namespace dunstrel {

namespace {

constexpr int64_t kBlockBytes = 512;

// Whole 512-byte blocks holding Bytes; none for a negative count.
int64_t BlocksOf(int64_t Bytes) {
  return Bytes <= 0 ? 0 : Bytes / kBlockBytes + (Bytes % kBlockBytes != 0 ? 1 : 0);
}

// A hard-linked file's identity: its file system and its inode.
struct TIdentityHash {
  size_t operator()(const std::pair<uint64_t, uint64_t>& Id) const {
    return std::hash<uint64_t>{}(Id.first * 0x9E3779B97F4A7C15ull ^ Id.second);
  }
};

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
  return FParent->Store().LargeFiguresOf(*this).Allocated;
}

int64_t TFileLeaf::LargeSize() const {
  return FParent->Store().LargeFiguresOf(*this).Size;
}

TLeafBlocks::TLeafBlocks()
    : FBases(static_cast<char**>(platform::MapPages(kMaxBlocks * sizeof(char*)))) {
  if (FBases == nullptr) {
    throw std::bad_alloc();
  }
}

TLeafBlocks::~TLeafBlocks() {
  platform::UnmapPages(FBases, kMaxBlocks * sizeof(char*));
}

uint32_t TLeafBlocks::Add(char* Base) {
  const std::lock_guard Lock(FLock);
  if (FCount == kMaxBlocks) {
    throw ETooManyFiles("More files than one scan can hold: their names and figures take over " +
                        std::to_string(kMaxBlocks * kBlockBytes >> 30) + " GiB");
  }
  FBases[FCount] = Base;
  return static_cast<uint32_t>(FCount++);
}

TScanArena::~TScanArena() {
  for (const TBlock& Block : FBlocks) {
    platform::UnmapPages(Block.Pages, Block.Bytes);
  }
}

void TScanArena::NewBlock() {
  void* Pages = platform::MapPages(TLeafBlocks::kBlockBytes);
  if (Pages == nullptr) {
    throw std::bad_alloc();
  }
  FBlocks.push_back({Pages, TLeafBlocks::kBlockBytes});
  FNumber = FNumbers.Add(static_cast<char*>(Pages));
  FBase = FCursor = static_cast<char*>(Pages);
  FLeft = TLeafBlocks::kBlockBytes;
}

void* TScanArena::Allocate(size_t Bytes, size_t Alignment) {
  if (Bytes + Alignment > TLeafBlocks::kBlockBytes) {
    // A text too long to share a block (no leaf is) gets pages of its own.
    void* Pages = platform::MapPages(Bytes);
    if (Pages == nullptr) {
      throw std::bad_alloc();
    }
    FBlocks.push_back({Pages, Bytes});
    return Pages;
  }
  const size_t Padding = (Alignment - reinterpret_cast<uintptr_t>(FCursor) % Alignment) % Alignment;
  if (FCursor == nullptr || Padding + Bytes > FLeft) {
    NewBlock();
    return Allocate(Bytes, Alignment);
  }
  char* Result = FCursor + Padding;
  FCursor = Result + Bytes;
  FLeft -= Padding + Bytes;
  return Result;
}

void* TScanArena::AllocateLeaf(size_t Bytes, size_t Alignment, uint32_t& Handle) {
  auto* Place = static_cast<char*>(Allocate(Bytes, Alignment));
  Handle = (FNumber << TLeafBlocks::kPlaceBits) | static_cast<uint32_t>((Place - FBase) >> 1);
  return Place;
}

void TLeafList::Reorder(std::span<const size_t> Places) {
  std::vector<uint32_t> Ordered;
  Ordered.reserve(FHandles.capacity());
  for (const size_t Place : Places) {
    Ordered.push_back(FHandles[Place]);
  }
  FHandles.swap(Ordered);
}

TScanStore::TScanStore() : EmptyExt(Exts.Intern("")) {}

TScanStore::~TScanStore() = default;

TScanArena& TScanStore::NewArena() {
  const std::lock_guard Lock(FLock);
  return FArenas.emplace_back(FNumbers);
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
                               TScanArena& Arena, uint32_t& Handle) {
  // Leaves are trivially destructible: releasing the blocks releases them.
  static_assert(std::is_trivially_destructible_v<TFileLeaf>);
  const auto Length = static_cast<uint16_t>(std::min<size_t>(Name.size(), UINT16_MAX));
  const int64_t Blocks = BlocksOf(Allocated);
  const auto Kept = static_cast<uint32_t>(std::min<int64_t>(Blocks, TFileLeaf::kBlocksKeptAside));
  auto* Place = static_cast<char*>(
      Arena.AllocateLeaf(sizeof(TFileLeaf) + Length, alignof(TFileLeaf), Handle));
  std::copy_n(Name.data(), Length, Place + sizeof(TFileLeaf));
  // A size below 0 (a saved scan may claim one) is kept aside too, as it is.
  const bool SizeFits = Size >= 0 && static_cast<uint64_t>(Size) < TFileLeaf::kSizeKeptAside;
  auto* Leaf = new (Place)
      TFileLeaf(Parent, Ext, SizeFits ? static_cast<uint64_t>(Size) : TFileLeaf::kSizeKeptAside,
                Kept, Stamp, Length);
  if (!SizeFits || Kept == TFileLeaf::kBlocksKeptAside) {
    const std::lock_guard Lock(FLock);
    // The whole blocks, held at the largest size where a claimed size leaves no room for them.
    FLarge.emplace(
        Leaf,
        TLargeFigures{Size, Blocks <= INT64_MAX / kBlockBytes ? Blocks * kBlockBytes : INT64_MAX});
  }
  return Leaf;
}

TScanStore::TLargeFigures TScanStore::LargeFiguresOf(const TFileLeaf& Leaf) const {
  const std::lock_guard Lock(FLock);
  const auto Found = FLarge.find(&Leaf);
  return Found == FLarge.end() ? TLargeFigures{} : Found->second;
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

void TScanStore::TakeHardLinks(TScanStore& Other) {
  if (&Other == this || Other.FHardLinks.empty()) {
    return;
  }
  FHardLinks.insert(FHardLinks.end(), Other.FHardLinks.begin(), Other.FHardLinks.end());
  std::sort(FHardLinks.begin(), FHardLinks.end(),
            [](const THardLink& A, const THardLink& B) { return A.Leaf < B.Leaf; });
  ReleaseStorage(Other.FHardLinks);
}

void TScanStore::ForgetHardLinks(const TLeafSet& Gone) {
  if (!Gone.Empty()) {
    std::erase_if(FHardLinks, [&Gone](const THardLink& Link) { return Gone.Contains(Link.Leaf); });
  }
}

const THardLink* HardLinkOf(const TFileLeaf& Leaf) {
  return Leaf.IsHardLinked() ? Leaf.Parent().Top().Store().HardLinkOf(Leaf) : nullptr;
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

namespace {

// Where leaves stand in the order of their tree (a folder's files, then its sub-folders, each
// in list order), learnt only for the folders asked about: a folder's place is its parent's
// followed by its index among its siblings plus one, a file's its folder's followed by 0 and
// its index among the files, so that plain comparison puts a folder's files before all its
// sub-folders.
class TTreePlaces {
 public:
  std::vector<uint32_t> PlaceOf(const TFileLeaf& Leaf) {
    std::vector<uint32_t> Place = PlaceOf(Leaf.Parent());
    Place.push_back(0);
    Place.push_back(IndexOf(Leaf));
    return Place;
  }

 private:
  const std::vector<uint32_t>& PlaceOf(const TDirNode& Folder) {
    if (const auto Known = FFolders.find(&Folder); Known != FFolders.end()) {
      return Known->second;
    }
    // The chain up to the first folder already placed (or the top), then placed downwards:
    // no recursion at any depth.
    std::vector<const TDirNode*> Chain;
    for (const TDirNode* Up = &Folder; Up != nullptr && !FFolders.contains(Up); Up = Up->Parent()) {
      Chain.push_back(Up);
    }
    for (auto Node = Chain.rbegin(); Node != Chain.rend(); ++Node) {
      std::vector<uint32_t> Place;
      if (const TDirNode* Parent = (*Node)->Parent()) {
        Place = FFolders.at(Parent);
        Place.push_back(ChildIndexOf(**Node) + 1);
      }
      FFolders.emplace(*Node, std::move(Place));
    }
    return FFolders.at(&Folder);
  }

  uint32_t ChildIndexOf(const TDirNode& Folder) {
    const TDirNode& Parent = *Folder.Parent();
    auto [Indices, New] = FChildIndices.try_emplace(&Parent);
    if (New) {
      for (size_t I = 0; I < Parent.Children.size(); ++I) {
        Indices->second.emplace(Parent.Children[I].get(), static_cast<uint32_t>(I));
      }
    }
    return Indices->second.at(&Folder);
  }

  uint32_t IndexOf(const TFileLeaf& Leaf) {
    const TDirNode& Folder = Leaf.Parent();
    auto [Indices, New] = FLeafIndices.try_emplace(&Folder);
    if (New) {
      for (size_t I = 0; I < Folder.Leaves.size(); ++I) {
        if (Folder.Leaves[I]->IsHardLinked()) {
          Indices->second.emplace(Folder.Leaves[I], static_cast<uint32_t>(I));
        }
      }
    }
    return Indices->second.at(&Leaf);
  }

  std::unordered_map<const TDirNode*, std::vector<uint32_t>> FFolders;
  std::unordered_map<const TDirNode*, std::unordered_map<const TDirNode*, uint32_t>> FChildIndices;
  std::unordered_map<const TDirNode*, std::unordered_map<const TFileLeaf*, uint32_t>> FLeafIndices;
};

void AddDiskUsageUpwards(TDirNode* Folder, int64_t Bytes) {
  for (; Folder != nullptr; Folder = Folder->Parent()) {
    Folder->TotalDiskUsage = SaturatingAdd(Folder->TotalDiskUsage, Bytes);
  }
}

}  // namespace

void RecountHardLinks(TDirNode& Top, const std::vector<THardLinkChange>& Changed) {
  TScanStore& Store = Top.Store();
  if (Changed.empty() || Store.FHardLinks.empty()) {
    return;
  }
  using TIdentity = std::pair<uint64_t, uint64_t>;
  std::unordered_map<TIdentity, const THardLinkChange*, TIdentityHash> ById;
  for (const THardLinkChange& Change : Changed) {
    ById.emplace(TIdentity(Change.Volume, Change.FileId), &Change);
  }
  // The names still in the tree of each file, by their place in the table.
  std::unordered_map<TIdentity, std::vector<size_t>, TIdentityHash> Names;
  for (size_t I = 0; I < Store.FHardLinks.size(); ++I) {
    const THardLink& Link = Store.FHardLinks[I];
    if (ById.contains(TIdentity(Link.Volume, Link.FileId))) {
      Names[TIdentity(Link.Volume, Link.FileId)].push_back(I);
    }
  }
  // Every decision first, then the changes, which allocate nothing.
  struct TDecision {
    size_t Entry;
    bool Repeat;
    bool StillLinked;
    uint32_t Links;
  };
  std::vector<TDecision> Decisions;
  TTreePlaces Places;
  for (auto& [Identity, Entries] : Names) {
    const THardLinkChange& Change = *ById.at(Identity);
    uint32_t Links = Store.FHardLinks[Entries.front()].Links;
    if (Change.LinksNow != 0) {
      Links = Change.LinksNow;
    } else {
      Links = Links > Change.NamesDeleted ? Links - Change.NamesDeleted : 0;
    }
    Links = std::max(Links, static_cast<uint32_t>(Entries.size()));
    std::vector<std::pair<std::vector<uint32_t>, size_t>> Ordered;
    Ordered.reserve(Entries.size());
    for (const size_t Entry : Entries) {
      Ordered.emplace_back(Places.PlaceOf(*Store.FHardLinks[Entry].Leaf), Entry);
    }
    std::sort(Ordered.begin(), Ordered.end());
    for (size_t I = 0; I < Ordered.size(); ++I) {
      Decisions.push_back({Ordered[I].second, I > 0, Links > 1, Links});
    }
  }
  for (const TDecision& Decision : Decisions) {
    THardLink& Link = Store.FHardLinks[Decision.Entry];
    auto& Leaf = const_cast<TFileLeaf&>(*Link.Leaf);
    Link.Links = Decision.Links;
    if (Leaf.IsHardLinkRepeat() != Decision.Repeat) {
      const int64_t Blocks = Leaf.Allocated();
      Leaf.FLinkRepeat = Decision.Repeat ? 1 : 0;
      AddDiskUsageUpwards(const_cast<TDirNode*>(&Leaf.Parent()),
                          Decision.Repeat ? -Blocks : Blocks);
    }
    if (!Decision.StillLinked) {
      Leaf.FHardLinked = 0;
      Link.Leaf = nullptr;  // dropped below
    }
  }
  std::erase_if(Store.FHardLinks, [](const THardLink& Link) { return Link.Leaf == nullptr; });
}

TDirNode::TDirNode(std::string_view FullPath)
    : FOwnedStore(std::make_unique<TScanStore>()), FStore(FOwnedStore.get()), FNameIsPath(true) {
  const std::string_view Copy = FStore->CopyText(FullPath);
  FName = Copy.data();
  FNameLength = static_cast<uint32_t>(Copy.size());
}

TDirNode::TDirNode(std::string_view FullPath, std::string Name) : TDirNode(FullPath) {
  FStore->RootName = std::move(Name);
}

TDirNode::TDirNode(TDirNode& Parent, std::string_view Name, bool NameIsPath, TScanArena& Arena)
    : FStore(Parent.FStore), FParent(&Parent), FNameIsPath(NameIsPath) {
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

const TDirNode& TDirNode::Top() const {
  const TDirNode* Node = this;
  while (Node->FParent != nullptr) {
    Node = Node->FParent;
  }
  return *Node;
}

TDirNode& TDirNode::AdoptChild(std::unique_ptr<TDirNode> Child) {
  const_cast<TDirNode&>(Top()).Store().TakeHardLinks(Child->Store());
  Child->FParent = this;
  Children.push_back(std::move(Child));
  return *Children.back();
}

std::unique_ptr<TDirNode> TDirNode::ReplaceChild(const TDirNode& Old,
                                                 std::unique_ptr<TDirNode> Fresh) {
  const auto Place =
      std::find_if(Children.begin(), Children.end(),
                   [&Old](const std::unique_ptr<TDirNode>& Child) { return Child.get() == &Old; });
  if (Place == Children.end()) {
    return nullptr;
  }
  const_cast<TDirNode&>(Top()).Store().TakeHardLinks(Fresh->Store());
  // Fresh was named by its whole path, as the top of its walk; here it is named as Old was.
  if (!Old.FNameIsPath) {
    const std::string_view Last =
        platform::LastComponent(std::string_view(Fresh->FName, Fresh->FNameLength));
    Fresh->FName = Last.data();
    Fresh->FNameLength = static_cast<uint32_t>(Last.size());
    Fresh->FNameIsPath = false;
  }
  Fresh->FParent = this;
  std::swap(*Place, Fresh);
  return Fresh;
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
  uint32_t Handle = 0;
  TFileLeaf* Leaf = FStore->NewLeaf(*this, Name, Ext, Size, Allocated, Stamp, Arena, Handle);
  Leaves.FHandles.push_back(Handle);
  return *Leaf;
}

}  // namespace dunstrel
