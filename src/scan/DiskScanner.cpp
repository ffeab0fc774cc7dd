#include "scan/DiskScanner.h"

#include <optional>
#include <stdexcept>
#include <string>

#include "platform/Memory.h"
#include "platform/Paths.h"
#include "scan/ConcurrentWalk.h"

namespace dunstrel {

TDiskScanner::TDiskScanner(const TScanContext& AContext, platform::IDirectoryLister* Lister,
                           const platform::ITickSource& Tick)
    : FContext(AContext),
      FOwnedLister(Lister == nullptr ? platform::CreateDirectoryLister() : nullptr),
      FShared(AContext, Lister == nullptr ? *FOwnedLister : *Lister, Tick, OnProgress) {
  // A large scan's arrays come and go with each scan: their memory must go back each time.
  platform::PreferMemoryGivenBack();
}

TDiskScanner::~TDiskScanner() = default;

void TDiskScanner::ResetCounters() {
  FShared.ResetCounters();
}

std::unique_ptr<TDirNode> TDiskScanner::Scan(std::string_view ARootPath) {
  if (FContext.IsCancelled()) {
    return nullptr;
  }
  auto Root = std::make_unique<TDirNode>(platform::StripTrailingDelimiter(ARootPath));
  if (const auto Own = FShared.Lister.StatFolder(Root->FullPath())) {
    Root->OwnDiskUsage = Own->Allocated;
    if (Own->Volume != 0) {
      Root->Store().SetVolume(*Root, Own->Volume);
    }
  }
  Walk(*Root, nullptr);
  return Root;
}

TRescanWalk TDiskScanner::Rescan(const TDirNode& Folder) {
  if (Folder.Parent() == nullptr) {
    throw std::invalid_argument("the top of a scan tree is scanned anew, not walked again");
  }
  if (FContext.IsCancelled()) {
    return {};
  }
  const std::string Path = Folder.FullPath();
  std::optional<platform::TDirEntry> Seen;
  if (Folder.NameIsPath()) {
    // A drive under the root of every drive, found as a scan finds its root.
    Seen = FShared.Lister.StatFolder(Path);
  } else {
    platform::TDirListing Listing;
    if (FShared.Lister.List(platform::WithTrailingDelimiter(Folder.Parent()->FullPath()),
                            Listing)) {
      for (size_t I = 0; I < Listing.Count(); ++I) {
        const platform::TDirEntry& Entry = Listing.Entry(I);
        if (Listing.Name(I) == Folder.Name() && Entry.IsDirectory && !Entry.IsReparse) {
          Seen = Entry;
          break;
        }
      }
    }
  }
  if (!Seen) {
    return {TRescanOutcome::Gone, nullptr};
  }
  auto Fresh = std::make_unique<TDirNode>(Path);
  Fresh->OwnDiskUsage = Seen->Allocated;
  if (Seen->Volume != 0) {
    Fresh->Store().SetVolume(*Fresh, Seen->Volume);
  }
  if (Seen->Problem != platform::TListProblem::None) {
    TFolderWalker::NoteProblem(*Fresh, Seen->Problem);  // listed, but not to be entered
  }
  Walk(*Fresh, Folder.NameIsPath() ? nullptr : &*Seen);
  if (FContext.IsCancelled()) {
    return {};
  }
  return {TRescanOutcome::Walked, std::move(Fresh)};
}

void TDiskScanner::Walk(TDirNode& Root, const platform::TDirEntry* Seen) {
  if (FContext.WalkThreads > 1) {
    WalkConcurrently(FShared, Root, static_cast<size_t>(FContext.WalkThreads), Seen);
  } else {
    WalkInOrder(Root, Seen);
  }
  CountHardLinksOnce(Root);
}

void TDiskScanner::WalkInOrder(TDirNode& Root, const platform::TDirEntry* Seen) {
  TFolderWalker Walker(FShared, Root.Store(), Root.Store().MainArena());
  FDepth = 0;
  EnterFolder(Walker, Root, Seen);
  try {
    while (FDepth > 0) {
      TFrame& Frame = FFrames[FDepth - 1];
      if (FContext.IsCancelled() || (Frame.Next >= Frame.Listing.Count() && !ListMore(Frame))) {
        Walker.FinishFolder(*Frame.Node);
        --FDepth;
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
        Walker.TakeFile(*Frame.Node, Name, Entry);
        continue;
      }
      if (FContext.IsCancelled()) {
        continue;  // the folder is not entered; the loop leaves at its next check
      }
      const platform::TDirEntry Seen = Entry;  // Frame and its listing may move from here on
      EnterFolder(Walker, Walker.AddChild(*Frame.Node, Name, Seen), &Seen);
    }
    Walker.HandOverHardLinks();
  } catch (...) {
    FFrames = {};
    throw;
  }
  FFrames = {};  // the listings of the largest folders need not outlive the walk
}

void TDiskScanner::EnterFolder(TFolderWalker& Walker, TDirNode& Node,
                               const platform::TDirEntry* Seen) {
  if (FFrames.size() == FDepth) {
    FFrames.emplace_back();
  }
  TFrame& Frame = FFrames[FDepth++];
  Frame.Node = &Node;
  Frame.Next = 0;
  Walker.EnterFolder(Node);
  bool Listed = false;
  if (Node.ReadProblem == platform::TListProblem::None) {  // else its information was refused
    Listed = FShared.Lister.ListFirst(platform::WithTrailingDelimiter(Node.FullPath()), Seen,
                                      Frame.Listing);
    if (!Listed || Frame.Listing.Problem != platform::TListProblem::None) {
      TFolderWalker::NoteProblem(Node, Frame.Listing.Problem);
    }
  }
  Frame.More = Listed;
  if (!Listed) {
    Frame.Listing.Clear();
  }
  TFolderWalker::MakeRoom(Node, Frame.Listing);
}

bool TDiskScanner::ListMore(TFrame& Frame) {
  Frame.Next = 0;
  Frame.More =
      Frame.More && FShared.Lister.ListMore(platform::WithTrailingDelimiter(Frame.Node->FullPath()),
                                            Frame.Listing);
  if (Frame.More && Frame.Listing.Problem != platform::TListProblem::None) {
    TFolderWalker::NoteProblem(*Frame.Node, Frame.Listing.Problem);
  }
  if (!Frame.More) {
    Frame.Listing.Clear();
  }
  TFolderWalker::MakeRoom(*Frame.Node, Frame.Listing);
  return Frame.More;
}

}  // namespace dunstrel
