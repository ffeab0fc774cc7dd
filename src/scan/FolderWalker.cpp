#include "scan/FolderWalker.h"

#include <algorithm>

#include "common/SaturatingSum.h"
#include "platform/Paths.h"
#include "platform/TextCasing.h"
#include "platform/TextEncoding.h"

namespace dunstrel {

namespace {

constexpr uint32_t kProgressIntervalMs = 80;

}  // namespace

TWalkShared::TWalkShared(const TScanContext& AContext, platform::IDirectoryLister& ALister,
                         const platform::ITickSource& ATick, const TScanProgressEvent& AOnProgress)
    : Context(AContext), Lister(ALister), Tick(ATick), OnProgress(AOnProgress) {
  for (const std::string& Mask : Context.PatternMasks) {
    UpperMasks.push_back(platform::UserTextCasing().ToUpper(Mask));
  }
  ResetCounters();
}

void TWalkShared::ResetCounters() {
  Files = 0;
  Dirs = 0;
  Bytes = 0;
  FLastProgressTick = Tick.NowMs();
}

void TWalkShared::AddCounts(int64_t AddFiles, int64_t AddDirs, int64_t AddBytes) {
  Files.fetch_add(AddFiles, std::memory_order_relaxed);
  Dirs.fetch_add(AddDirs, std::memory_order_relaxed);
  int64_t Old = Bytes.load(std::memory_order_relaxed);
  while (
      !Bytes.compare_exchange_weak(Old, SaturatingAdd(Old, AddBytes), std::memory_order_relaxed)) {
  }
}

bool TWalkShared::ProgressDue(uint32_t Now) const {
  return static_cast<uint32_t>(Now - FLastProgressTick.load(std::memory_order_relaxed)) >=
         kProgressIntervalMs;
}

void TWalkShared::ReportProgress(std::string_view Path, uint32_t Now,
                                 const std::function<void()>& Flush) {
  const std::unique_lock Lock(FProgressLock, std::try_to_lock);
  if (!Lock.owns_lock() || !ProgressDue(Now)) {
    return;  // another thread reports right now, or just did
  }
  FLastProgressTick.store(Now, std::memory_order_relaxed);
  Flush();
  OnProgress(Path, Files.load(std::memory_order_relaxed), Dirs.load(std::memory_order_relaxed));
}

TFolderWalker::TFolderWalker(TWalkShared& Shared, TScanStore& Store, TScanArena& Arena)
    : FShared(Shared), FStore(Store), FArena(Arena) {
  for (const std::string& Upper : FShared.UpperMasks) {
    FMasks.push_back({&Upper, std::nullopt});
  }
}

TFolderWalker::~TFolderWalker() {
  Flush();
}

void TFolderWalker::HandOverHardLinks() {
  FStore.AddHardLinks(FHardLinks);
}

void TFolderWalker::EnterFolder(TDirNode& Node) {
  ++FDirs;
  Node.TotalDirs = 1;
  ReportProgress(Node);
}

namespace {

template <typename TList>
void Grow(TList& Items, size_t More) {
  if (Items.size() + More > Items.capacity()) {
    Items.reserve(std::max(Items.size() + More, Items.capacity() + Items.capacity() / 2));
  }
}

}  // namespace

void TFolderWalker::MakeRoom(TDirNode& Node, const platform::TDirListing& Batch) {
  size_t Folders = 0;
  size_t Files = 0;
  for (size_t I = 0; I < Batch.Count(); ++I) {
    const platform::TDirEntry& Entry = Batch.Entry(I);
    if (!Entry.IsReparse) {
      ++(Entry.IsDirectory ? Folders : Files);
    }
  }
  Grow(Node.Children, Folders);
  Grow(Node.Leaves, Files);
}

TDirNode& TFolderWalker::AddChild(TDirNode& Node, std::string_view Name,
                                  const platform::TDirEntry& Seen) {
  TDirNode& Child = Node.AddNamedChild(Name, FArena);
  Child.TotalDirs = 1;
  Child.OwnDiskUsage = Seen.Allocated;
  if (Seen.Problem != platform::TListProblem::None) {
    NoteProblem(Child, Seen.Problem);
  }
  return Child;
}

void TFolderWalker::TakeFile(TDirNode& Node, std::string_view Name,
                             const platform::TDirEntry& Entry) {
  if (!IsExcluded(Name, Node, Entry.Size, Entry.Stamp)) {
    TFileLeaf& Leaf =
        Node.AddLeafWithKey(Name, LowerExt(Name), Entry.Size, Entry.Allocated, Entry.Stamp, FArena);
    if (Entry.Links > 1) {
      FStore.NoteHardLink(Leaf, Entry.Volume, Entry.FileId, Entry.Links, FHardLinks);
    }
    Node.TotalSize = SaturatingAdd(Node.TotalSize, Entry.Size);
    Node.TotalDiskUsage = SaturatingAdd(Node.TotalDiskUsage, Leaf.Allocated());
    Node.TotalFiles += 1;
    ++FFiles;
  }
  FBytes = SaturatingAdd(FBytes, Entry.Size);
  ReportProgress(Node);
}

void TFolderWalker::NoteProblem(TDirNode& Node, platform::TListProblem Problem) {
  Node.ReadProblem =
      Problem == platform::TListProblem::None ? platform::TListProblem::Other : Problem;
}

void TFolderWalker::FinishFolder(TDirNode& Node) {
  if (Node.Leaves.size() != Node.Leaves.capacity()) {
    Node.Leaves.shrink_to_fit();  // files were dropped, or the walk was cut short
  }
  // The folder's totals: its own files' and its sub-folders', summed once, now that all of them
  // are known.
  Node.TotalDiskUsage = SaturatingAdd(Node.TotalDiskUsage, Node.OwnDiskUsage);
  Node.UnreadableFolders = Node.ReadProblem != platform::TListProblem::None ? 1 : 0;
  for (const auto& Child : Node.Children) {
    Node.TotalSize = SaturatingAdd(Node.TotalSize, Child->TotalSize);
    Node.TotalDiskUsage = SaturatingAdd(Node.TotalDiskUsage, Child->TotalDiskUsage);
    Node.TotalFiles += Child->TotalFiles;
    Node.TotalDirs += Child->TotalDirs;
    Node.UnreadableFolders += Child->UnreadableFolders;
  }
}

void TFolderWalker::ReportProgress(const TDirNode& Folder) {
  if (!FShared.OnProgress) {
    return;
  }
  const uint32_t Now = FShared.Tick.NowMs();
  if (FShared.ProgressDue(Now)) {
    FShared.ReportProgress(Folder.FullPath(), Now, [this] { Flush(); });
  }
}

void TFolderWalker::Flush() {
  if (FFiles != 0 || FDirs != 0 || FBytes != 0) {
    FShared.AddCounts(FFiles, FDirs, FBytes);
    FFiles = 0;
    FDirs = 0;
    FBytes = 0;
  }
}

bool TFolderWalker::IsExcluded(std::string_view Name, const TDirNode& Folder, int64_t Size,
                               platform::TFileStamp Stamp) {
  const TScanContext& Context = FShared.Context;
  if (Context.ExcludeLessThan && Context.LessThanBytes > 0 && Size < Context.LessThanBytes) {
    return true;
  }
  if (Context.ExcludePattern && MatchesPattern(Name, Folder)) {
    return true;
  }
  if (Context.ExcludeModifiedBefore && Context.ModifiedBefore > 0) {
    const TDateTime Modified = FileTimeToLocalDateTime(Stamp);
    if (Modified > 0 && Modified < Context.ModifiedBefore) {
      return true;
    }
  }
  return false;
}

bool TFolderWalker::MatchesPattern(std::string_view Name, const TDirNode& Folder) {
  if (FMasks.empty()) {
    return false;
  }
  const platform::ITextCasing& Casing = platform::UserTextCasing();
  if (FUpperFolderOf != &Folder) {
    // Every file of a folder shares the folder part of its path: cased once per folder.
    FUpperFolderOf = &Folder;
    FUpperFolder.clear();
    std::string Base = Folder.FullPath();
    if (Base.empty() || Base.back() != platform::kPathDelimiter) {
      Base.push_back(platform::kPathDelimiter);
    }
    platform::AppendUpperCodePoints(Casing, Base, FUpperFolder);
  }
  FUpperName.clear();
  platform::AppendUpperCodePoints(Casing, Name, FUpperName);
  FUpperPath.assign(FUpperFolder);
  FUpperPath.append(FUpperName);
  for (TCompiledMask& Compiled : FMasks) {
    if (Compiled.Upper->empty()) {
      continue;
    }
    if (!Compiled.Mask) {
      Compiled.Mask.emplace(*Compiled.Upper);  // an invalid mask throws here, at every test
    }
    if (Compiled.Mask->Matches(FUpperName) || Compiled.Mask->Matches(FUpperPath)) {
      return true;
    }
  }
  return false;
}

TExtKey TFolderWalker::LowerExt(std::string_view Name) {
  const size_t Dot = Name.rfind('.');
  if (Dot == std::string_view::npos) {
    return FStore.EmptyExt;
  }
  const std::string_view Raw = Name.substr(Dot);
  if (Raw == FLastRawExt) {
    return FLastExt;
  }
  auto Cached = FExtCache.find(Raw);
  if (Cached == FExtCache.end()) {
    const TExtKey Key = FStore.InternExt(platform::UserTextCasing().ToLower(Raw));
    Cached = FExtCache.emplace(FStore.CopyText(Raw, FArena), Key).first;
  }
  FLastRawExt = Cached->first;
  FLastExt = Cached->second;
  return FLastExt;
}

}  // namespace dunstrel
