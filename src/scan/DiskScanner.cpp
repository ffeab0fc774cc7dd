#include "scan/DiskScanner.h"

#include "common/SaturatingSum.h"
#include "platform/Paths.h"
#include "platform/TextCasing.h"
#include "platform/TextEncoding.h"

namespace dunstrel {

TDiskScanner::TDiskScanner(const TScanContext& AContext, platform::IDirectoryLister* Lister,
                           const platform::ITickSource& Tick)
    : FContext(AContext),
      FOwnedLister(Lister == nullptr ? platform::CreateDirectoryLister() : nullptr),
      FLister(Lister == nullptr ? *FOwnedLister : *Lister),
      FTick(Tick) {
  for (const std::string& Mask : FContext.PatternMasks) {
    FMasks.push_back({platform::UserTextCasing().ToUpper(Mask), std::nullopt});
  }
  ResetCounters();
}

TDiskScanner::~TDiskScanner() = default;

void TDiskScanner::ResetCounters() {
  FFiles = 0;
  FDirs = 0;
  FBytes = 0;
  FLastProgressTick = FTick.NowMs();
}

std::unique_ptr<TDirNode> TDiskScanner::Scan(std::string_view ARootPath) {
  if (FContext.IsCancelled()) {
    return nullptr;
  }
  auto Root = std::make_unique<TDirNode>(platform::StripTrailingDelimiter(ARootPath));
  ForgetWalk();  // a walk cut short by an invalid mask may have left some behind
  EnterFolder(*Root, nullptr);
  while (FDepth > 0) {
    TFrame& Frame = FFrames[FDepth - 1];
    if (Frame.Next >= Frame.Listing.Count() || FContext.IsCancelled()) {
      LeaveFolder();
      continue;
    }
    const size_t Index = Frame.Next++;
    const platform::TDirEntry& Entry = Frame.Listing.Entry(Index);
    if (Entry.IsReparse) {
      continue;
    }
    const std::string_view Name = Frame.Listing.Name(Index);
    if (Name == "." || Name == "..") {
      continue;
    }
    if (!Entry.IsDirectory) {
      TakeFile(Frame, Index);
      continue;
    }
    if (FContext.IsCancelled()) {
      continue;  // the folder is not entered; the loop leaves at its next check
    }
    std::string ChildPath;
    platform::AppendChildPath(Frame.Node->FullPath(), Name, ChildPath);
    const platform::TDirEntry Seen = Entry;  // Frame and its listing may move from here on
    EnterFolder(Frame.Node->AddChild(ChildPath), &Seen);
  }
  ForgetWalk();
  return Root;
}

void TDiskScanner::ForgetWalk() {
  FDepth = 0;
  FFrames = {};       // the listings of the largest folders need not outlive the walk
  FExtCache.clear();  // its keys belong to the walked tree's store
  FLastRawExt = {};
  FUpperFolderOf = nullptr;
}

void TDiskScanner::EnterFolder(TDirNode& Node, const platform::TDirEntry* Seen) {
  if (FFrames.size() == FDepth) {
    FFrames.emplace_back();
  }
  TFrame& Frame = FFrames[FDepth++];
  Frame.Node = &Node;
  Frame.Next = 0;
  ++FDirs;
  Node.TotalDirs = 1;
  ReportProgress(Node.FullPath());
  const std::string Folder = platform::WithTrailingDelimiter(Node.FullPath());
  const bool Listed = Seen == nullptr ? FLister.List(Folder, Frame.Listing)
                                      : FLister.ListSubFolder(Folder, *Seen, Frame.Listing);
  if (!Listed) {
    Frame.Listing.Clear();  // an unreadable folder stays an empty node
    return;
  }
  size_t Folders = 0;
  size_t Files = 0;
  for (size_t I = 0; I < Frame.Listing.Count(); ++I) {
    const platform::TDirEntry& Entry = Frame.Listing.Entry(I);
    if (!Entry.IsReparse) {
      ++(Entry.IsDirectory ? Folders : Files);
    }
  }
  Node.Children.reserve(Folders);
  Node.Leaves.reserve(Files);
}

void TDiskScanner::LeaveFolder() {
  TDirNode& Node = *FFrames[--FDepth].Node;
  if (Node.Leaves.size() != Node.Leaves.capacity()) {
    Node.Leaves.shrink_to_fit();  // files were dropped, or the walk was cut short
  }
  // The folder's statistics: its own files and its sub-folders', summed once, now that all of
  // them are known.
  const TScanStore& Store = Node.Store();
  for (const TFileLeaf* Leaf : Node.Leaves) {
    const TExtKey Key = Leaf->ExtKey();
    FExtSums.Add(Key == Store.EmptyExt ? Store.NoExt : Key, Leaf->Size, 1);
  }
  for (const auto& Child : Node.Children) {
    FExtSums.AddAll(Child->ExtStats);
  }
  FExtSums.MoveInto(Node.ExtStats);
  if (FDepth == 0) {
    return;
  }
  TDirNode& Parent = *FFrames[FDepth - 1].Node;
  Parent.TotalSize = SaturatingAdd(Parent.TotalSize, Node.TotalSize);
  Parent.TotalFiles += Node.TotalFiles;
  Parent.TotalDirs += Node.TotalDirs;
}

void TDiskScanner::TakeFile(TFrame& Frame, size_t Index) {
  const platform::TDirEntry& Entry = Frame.Listing.Entry(Index);
  const std::string_view Name = Frame.Listing.Name(Index);
  TDirNode& Node = *Frame.Node;
  if (IsExcluded(Name, Node, Entry.Size, Entry.Stamp)) {
    FBytes = SaturatingAdd(FBytes, Entry.Size);
    ReportProgress(Node.FullPath());
    return;
  }
  Node.AddLeafWithKey(Name, LowerExt(Name, Node.Store()), Entry.Size, Entry.Stamp);
  Node.TotalSize = SaturatingAdd(Node.TotalSize, Entry.Size);
  Node.TotalFiles += 1;
  ++FFiles;
  FBytes = SaturatingAdd(FBytes, Entry.Size);
  ReportProgress(Node.FullPath());
}

void TDiskScanner::ReportProgress(std::string_view Path) {
  if (!OnProgress) {
    return;
  }
  const uint32_t Now = FTick.NowMs();
  if (static_cast<uint32_t>(Now - FLastProgressTick) < 80) {
    return;
  }
  FLastProgressTick = Now;
  OnProgress(Path, FFiles, FDirs);
}

bool TDiskScanner::IsExcluded(std::string_view Name, const TDirNode& Folder, int64_t Size,
                              platform::TFileStamp Stamp) {
  if (FContext.ExcludeLessThan && FContext.LessThanBytes > 0 && Size < FContext.LessThanBytes) {
    return true;
  }
  if (FContext.ExcludePattern && MatchesPattern(Name, Folder)) {
    return true;
  }
  if (FContext.ExcludeModifiedBefore && FContext.ModifiedBefore > 0) {
    const TDateTime Modified = FileTimeToLocalDateTime(Stamp);
    if (Modified > 0 && Modified < FContext.ModifiedBefore) {
      return true;
    }
  }
  return false;
}

bool TDiskScanner::MatchesPattern(std::string_view Name, const TDirNode& Folder) {
  if (FMasks.empty()) {
    return false;
  }
  const platform::ITextCasing& Casing = platform::UserTextCasing();
  if (FUpperFolderOf != &Folder) {
    // Every file of a folder shares the folder part of its path: cased once per folder.
    FUpperFolderOf = &Folder;
    FUpperFolder.clear();
    std::string Base;
    platform::AppendChildPath(Folder.FullPath(), "", Base);
    platform::AppendUpperCodePoints(Casing, Base, FUpperFolder);
  }
  FUpperName.clear();
  platform::AppendUpperCodePoints(Casing, Name, FUpperName);
  FUpperPath.assign(FUpperFolder);
  FUpperPath.append(FUpperName);
  for (TCompiledMask& Compiled : FMasks) {
    if (Compiled.Upper.empty()) {
      continue;
    }
    if (!Compiled.Mask) {
      Compiled.Mask.emplace(Compiled.Upper);  // an invalid mask throws here, at every test
    }
    if (Compiled.Mask->Matches(FUpperName) || Compiled.Mask->Matches(FUpperPath)) {
      return true;
    }
  }
  return false;
}

TExtKey TDiskScanner::LowerExt(std::string_view Name, TScanStore& Store) {
  const size_t Dot = Name.rfind('.');
  if (Dot == std::string_view::npos) {
    return Store.EmptyExt;
  }
  const std::string_view Raw = Name.substr(Dot);
  if (Raw == FLastRawExt) {
    return FLastExt;
  }
  auto Cached = FExtCache.find(Raw);
  if (Cached == FExtCache.end()) {
    const TExtKey Key = Store.Exts.Intern(platform::UserTextCasing().ToLower(Raw));
    Cached = FExtCache.emplace(Store.CopyText(Raw), Key).first;
  }
  FLastRawExt = Cached->first;
  FLastExt = Cached->second;
  return FLastExt;
}

}  // namespace dunstrel
