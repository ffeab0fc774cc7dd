#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/DirectoryLister.h"
#include "platform/Tick.h"
#include "scan/FolderWalker.h"
#include "scan/ScanContext.h"
#include "scan/ScanTree.h"

namespace dunstrel {

// What walking a folder of a scan tree again found.
enum class TRescanOutcome : uint8_t {
  Walked,     // the folder is there: Fresh is its new tree
  Gone,       // no longer there as a scan would find it
  Cancelled,  // the scan's context was cancelled: nothing was kept
};

struct TRescanWalk {
  TRescanOutcome Outcome = TRescanOutcome::Cancelled;
  // A tree of its own, topped by the folder named by its whole path.
  std::unique_ptr<TDirNode> Fresh;
};

// Walks one folder tree into a scan tree, children and leaves in listing order. With one thread
// (the context's WalkThreads) the walk is depth-first and pre-order on the calling thread; with
// more, folders are read on that many threads at once, which keeps a cold disk busy, and the tree
// comes out the same. Folders are walked without recursion, so any depth is safe.
class TDiskScanner {
 public:
  // Lister and Tick are the platform's unless a test hands in its own.
  explicit TDiskScanner(const TScanContext& AContext, platform::IDirectoryLister* Lister = nullptr,
                        const platform::ITickSource& Tick = platform::SystemTick());
  ~TDiskScanner();

  void ResetCounters();
  // The tree of ARootPath (one trailing delimiter removed), or none when the scan was already
  // cancelled. A cancelled walk returns the partial tree. Throws EInvalidMask from the name test.
  std::unique_ptr<TDirNode> Scan(std::string_view ARootPath);
  // Walks Folder, a folder of a scan tree below its top (the top itself is scanned anew), again
  // with this scanner's filters, threads and cancellation, into a tree of its own. Gone when the
  // folder is not there as a scan of its tree would find it: missing, no longer a folder, or a
  // link or a mount point now; it is entered only as the folder its parent's listing shows.
  // Reads the names of Folder and its parents only: the tree may be shown meanwhile, not changed.
  // Throws std::invalid_argument for the top of a tree, EInvalidMask from the name test.
  TRescanWalk Rescan(const TDirNode& Folder);

  // Safe to read from the progress callback, on any thread.
  int64_t FilesScanned() const { return FShared.Files.load(std::memory_order_relaxed); }
  int64_t DirsScanned() const { return FShared.Dirs.load(std::memory_order_relaxed); }
  int64_t BytesScanned() const { return FShared.Bytes.load(std::memory_order_relaxed); }

  TScanProgressEvent OnProgress;

 private:
  struct TFrame {
    TDirNode* Node = nullptr;
    platform::TDirListing Listing;
    size_t Next = 0;
    bool More = false;  // the lister may have further batches
  };

  // Walks Root, a new tree: opened as the entry Seen of its parent's listing, or by its path
  // alone when none is given.
  void Walk(TDirNode& Root, const platform::TDirEntry* Seen);
  void WalkInOrder(TDirNode& Root, const platform::TDirEntry* Seen);
  // Seen: the folder's entry in its parent's listing; none for a scan root named by its path.
  void EnterFolder(TFolderWalker& Walker, TDirNode& Node, const platform::TDirEntry* Seen);
  // The next batch of the deepest folder; false when it has no more entries.
  bool ListMore(TFrame& Frame);

  const TScanContext& FContext;
  std::unique_ptr<platform::IDirectoryLister> FOwnedLister;
  TWalkShared FShared;
  std::vector<TFrame> FFrames;  // kept between folders so listings reuse their buffers
  size_t FDepth = 0;
};

}  // namespace dunstrel
