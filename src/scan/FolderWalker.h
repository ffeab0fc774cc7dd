#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/DirectoryLister.h"
#include "platform/Tick.h"
#include "scan/FileMask.h"
#include "scan/ScanContext.h"
#include "scan/ScanTree.h"

namespace dunstrel {

// Called on a scanning thread with the folder being read, the files taken so far and the
// folders entered so far; at most once per 80 ms, never two calls at once.
using TScanProgressEvent = std::function<void(std::string_view Path, int64_t Files, int64_t Dirs)>;

// What every thread of one scan shares: the settings, the counts and the progress throttle.
class TWalkShared {
 public:
  TWalkShared(const TScanContext& Context, platform::IDirectoryLister& Lister,
              const platform::ITickSource& Tick, const TScanProgressEvent& OnProgress);

  void ResetCounters();
  void AddCounts(int64_t Files, int64_t Dirs, int64_t Bytes);
  // The time has come for a progress report: a cheap test made before each entry.
  bool ProgressDue(uint32_t Now) const;
  // Reports when no other thread does and the last report is 80 ms old; Flush brings the
  // caller's own counts in first.
  void ReportProgress(std::string_view Path, uint32_t Now, const std::function<void()>& Flush);

  const TScanContext& Context;
  platform::IDirectoryLister& Lister;
  const platform::ITickSource& Tick;
  const TScanProgressEvent& OnProgress;
  std::vector<std::string> UpperMasks;  // the name masks, upper-cased once

  std::atomic<int64_t> Files{0};
  std::atomic<int64_t> Dirs{0};
  std::atomic<int64_t> Bytes{0};

 private:
  std::atomic<uint32_t> FLastProgressTick{0};
  std::mutex FProgressLock;
};

// The state one thread needs to take a scan's entries into its tree: its own counts (handed to
// the shared ones now and then), compiled masks, extension cache and storage.
class TFolderWalker {
 public:
  TFolderWalker(TWalkShared& Shared, TScanStore& Store, TScanArena& Arena);
  ~TFolderWalker();
  TFolderWalker(const TFolderWalker&) = delete;
  TFolderWalker& operator=(const TFolderWalker&) = delete;

  // Counts Node as one folder entered and reports progress.
  void EnterFolder(TDirNode& Node);
  // Makes room in Node for the folders and files of Batch, to be taken next: exactly for a
  // folder read in one batch, growing by half at least for a larger one.
  static void MakeRoom(TDirNode& Node, const platform::TDirListing& Batch);
  // A new sub-folder of Node, the entry Seen named Name, counted as one folder until its walk adds
  // more. A folder whose own information was refused is marked as one that cannot be read: it
  // is not to be entered.
  TDirNode& AddChild(TDirNode& Node, std::string_view Name, const platform::TDirEntry& Seen);
  // A file entry of Node: dropped by the filters or taken as a leaf; progress is reported.
  void TakeFile(TDirNode& Node, std::string_view Name, const platform::TDirEntry& Entry);
  // Marks Node as a folder that could not be read, or not wholly; None stands for a reason
  // the lister did not give.
  static void NoteProblem(TDirNode& Node, platform::TListProblem Problem);
  // Sums Node's totals from its files and its sub-folders, which are done.
  void FinishFolder(TDirNode& Node);
  void ReportProgress(const TDirNode& Folder);
  // Hands the counts taken since the last call to the shared ones.
  void Flush();
  // Hands the identities of the hard-linked files taken to the tree's store; once the walker's
  // part of the walk is done.
  void HandOverHardLinks();

 private:
  struct TCompiledMask {
    const std::string* Upper;
    std::optional<TFileMask> Mask;  // compiled when first reached
  };

  bool IsExcluded(std::string_view Name, const TDirNode& Folder, int64_t Size,
                  platform::TFileStamp Stamp);
  bool MatchesPattern(std::string_view Name, const TDirNode& Folder);
  TExtKey LowerExt(std::string_view Name);

  TWalkShared& FShared;
  TScanStore& FStore;
  TScanArena& FArena;
  int64_t FFiles = 0;
  int64_t FDirs = 0;
  int64_t FBytes = 0;
  std::unordered_map<std::string_view, TExtKey> FExtCache;  // raw extension -> key
  std::string_view FLastRawExt;  // files of one folder often share their extension
  TExtKey FLastExt = 0;
  std::vector<THardLink> FHardLinks;  // not yet handed to the store
  std::vector<TCompiledMask> FMasks;
  const TDirNode* FUpperFolderOf = nullptr;
  std::u32string FUpperFolder;  // the folder part of the full path, upper-cased, with delimiter
  std::u32string FUpperName;
  std::u32string FUpperPath;
};

}  // namespace dunstrel
