#include "scan/ScanTree.h"

#include <algorithm>
#include <new>

#include "common/Calendar.h"
#include "platform/Memory.h"
#include "platform/Paths.h"
#include "platform/TextCasing.h"

namespace dunstrel {

namespace {

constexpr size_t kStoreBlockSize = 256 * 1024;

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
  platform::AppendChildPath(FParent->FullPath(), Name(), Out);
}

const std::string& TFileLeaf::Ext() const {
  return FParent->Store().Exts.Text(FExt);
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
                               int64_t Size, platform::TFileStamp Stamp, TScanArena& Arena) {
  // Leaves are trivially destructible: releasing the blocks releases them.
  static_assert(std::is_trivially_destructible_v<TFileLeaf>);
  const auto Length = static_cast<uint16_t>(std::min<size_t>(Name.size(), UINT16_MAX));
  auto* Place = static_cast<char*>(Arena.Allocate(sizeof(TFileLeaf) + Length, alignof(TFileLeaf)));
  std::copy_n(Name.data(), Length, Place + sizeof(TFileLeaf));
  return new (Place) TFileLeaf(Parent, Ext, Size, Stamp, Length);
}

TDirNode::TDirNode(std::string_view FullPath)
    : FOwnedStore(std::make_unique<TScanStore>()),
      FStore(FOwnedStore.get()),
      ExtStats(FStore->Exts),
      FFullPath(FStore->CopyText(FullPath)) {}

TDirNode::TDirNode(std::string_view FullPath, std::string Name) : TDirNode(FullPath) {
  FOwnName = std::make_unique<std::string>(std::move(Name));
}

TDirNode::TDirNode(TDirNode& Parent, std::string_view FullPath, TScanArena& Arena)
    : FStore(Parent.FStore),
      ExtStats(FStore->Exts),
      FParent(&Parent),
      FFullPath(FStore->CopyText(FullPath, Arena)) {}

std::string_view TDirNode::Name() const {
  if (FOwnName) {
    return *FOwnName;
  }
  const std::string_view Last = platform::LastComponent(FFullPath);
  return Last.empty() ? FFullPath : Last;  // a drive root such as "C:"
}

TDirNode::~TDirNode() {
  std::vector<std::unique_ptr<TDirNode>> Pending = std::move(Children);
  while (!Pending.empty()) {
    std::unique_ptr<TDirNode> Node = std::move(Pending.back());
    Pending.pop_back();
    for (auto& Child : Node->Children) {
      Pending.push_back(std::move(Child));
    }
    Node->Children.clear();
  }
}

TDirNode& TDirNode::AddChild(std::string_view FullPath) {
  return AddChild(FullPath, FStore->MainArena());
}

TDirNode& TDirNode::AddChild(std::string_view FullPath, TScanArena& Arena) {
  Children.push_back(std::unique_ptr<TDirNode>(new TDirNode(*this, FullPath, Arena)));
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
  return AddLeafWithKey(Name, FStore->Exts.Intern(Lower), Size, Stamp);
}

TFileLeaf& TDirNode::AddLeafWithKey(std::string_view Name, TExtKey Ext, int64_t Size,
                                    platform::TFileStamp Stamp) {
  return AddLeafWithKey(Name, Ext, Size, Stamp, FStore->MainArena());
}

TFileLeaf& TDirNode::AddLeafWithKey(std::string_view Name, TExtKey Ext, int64_t Size,
                                    platform::TFileStamp Stamp, TScanArena& Arena) {
  Leaves.push_back(FStore->NewLeaf(*this, Name, Ext, Size, Stamp, Arena));
  return *Leaves.back();
}

}  // namespace dunstrel
