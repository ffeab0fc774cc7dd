#include "scan/ScanTree.h"

#include <algorithm>

#include "common/Calendar.h"
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
  if (!Fields) {
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

TDateTime TFileLeaf::GetModifiedDateTime() {
  if (Modified == 0) {
    Modified = FileTimeToLocalDateTime(ModifiedFT);
  }
  return Modified;
}

TScanStore::TScanStore() : EmptyExt(Exts.Intern("")), NoExt(Exts.Intern(kNoExtensionKey)) {}

TScanStore::~TScanStore() = default;

void* TScanStore::Allocate(size_t Bytes, size_t Alignment) {
  const size_t Padding = (Alignment - reinterpret_cast<uintptr_t>(FCursor) % Alignment) % Alignment;
  if (FCursor == nullptr || Padding + Bytes > FLeft) {
    const size_t BlockSize = std::max(kStoreBlockSize, Bytes + Alignment);
    FBlocks.push_back(std::make_unique<char[]>(BlockSize));
    FCursor = FBlocks.back().get();
    FLeft = BlockSize;
    return Allocate(Bytes, Alignment);
  }
  char* Result = FCursor + Padding;
  FCursor = Result + Bytes;
  FLeft -= Padding + Bytes;
  return Result;
}

std::string_view TScanStore::CopyName(std::string_view Name) {
  char* Copy = static_cast<char*>(Allocate(Name.size(), 1));
  std::copy(Name.begin(), Name.end(), Copy);
  return std::string_view(Copy, Name.size());
}

TFileLeaf* TScanStore::NewLeaf(const TDirNode& Parent, std::string_view Name, TExtKey Ext,
                               int64_t Size, platform::TFileStamp Stamp) {
  // Leaves are trivially destructible: releasing the blocks releases them.
  static_assert(std::is_trivially_destructible_v<TFileLeaf>);
  void* Place = Allocate(sizeof(TFileLeaf), alignof(TFileLeaf));
  return new (Place) TFileLeaf(Parent, CopyName(Name), Ext, Size, Stamp);
}

TDirNode::TDirNode(std::string FullPath)
    : FOwnedStore(std::make_unique<TScanStore>()),
      FStore(FOwnedStore.get()),
      ExtStats(FStore->Exts),
      FFullPath(std::move(FullPath)) {
  SetName({});
}

TDirNode::TDirNode(std::string FullPath, std::string Name) : TDirNode(std::move(FullPath)) {
  SetName(std::move(Name));
}

TDirNode::TDirNode(TDirNode& Parent, std::string FullPath)
    : FStore(Parent.FStore),
      ExtStats(FStore->Exts),
      FParent(&Parent),
      FFullPath(std::move(FullPath)) {
  SetName({});
}

void TDirNode::SetName(std::string Name) {
  if (!Name.empty()) {
    FOwnName = std::move(Name);
    FName = FOwnName;
    return;
  }
  FName = platform::LastComponent(FFullPath);
  if (FName.empty()) {
    FName = FFullPath;  // a drive root such as "C:"
  }
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

TDirNode& TDirNode::AddChild(std::string FullPath) {
  Children.push_back(std::unique_ptr<TDirNode>(new TDirNode(*this, std::move(FullPath))));
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
  Leaves.push_back(FStore->NewLeaf(*this, Name, Ext, Size, Stamp));
  return *Leaves.back();
}

}  // namespace dunstrel
