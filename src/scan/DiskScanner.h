#pragma once

#include <cstdint>
#include <functional>
#include <memory>
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

// Called on the scanning thread with the folder being read, the files taken so far and the
// folders entered so far; at most once per 80 ms.
using TScanProgressEvent = std::function<void(std::string_view Path, int64_t Files, int64_t Dirs)>;

// Walks one folder tree depth-first, in listing order, into a scan tree. Folders are walked with
// an explicit stack, so any depth the file system allows is safe.
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

  int64_t FilesScanned() const { return FFiles; }
  int64_t DirsScanned() const { return FDirs; }
  int64_t BytesScanned() const { return FBytes; }

  TScanProgressEvent OnProgress;

 private:
  struct TFrame {
    TDirNode* Node = nullptr;
    platform::TDirListing Listing;
    size_t Next = 0;
  };
  struct TCompiledMask {
    std::string Upper;
    std::optional<TFileMask> Mask;  // compiled when first reached
  };

  void ForgetWalk();
  // Seen: the folder's entry in its parent's listing; none for the scan root.
  void EnterFolder(TDirNode& Node, const platform::TDirEntry* Seen);
  void LeaveFolder();
  void TakeFile(TFrame& Frame, size_t Index);
  void ReportProgress(std::string_view Path);
  bool IsExcluded(std::string_view Name, const TDirNode& Folder, int64_t Size,
                  platform::TFileStamp Stamp);
  bool MatchesPattern(std::string_view Name, const TDirNode& Folder);
  TExtKey LowerExt(std::string_view Name, TScanStore& Store);

  const TScanContext& FContext;
  std::unique_ptr<platform::IDirectoryLister> FOwnedLister;
  platform::IDirectoryLister& FLister;
  const platform::ITickSource& FTick;

  int64_t FFiles = 0;
  int64_t FDirs = 0;
  int64_t FBytes = 0;
  uint32_t FLastProgressTick = 0;

  std::vector<TFrame> FFrames;  // kept between folders so listings reuse their buffers
  size_t FDepth = 0;
  std::unordered_map<std::string_view, TExtKey> FExtCache;  // raw extension -> key
  std::string_view FLastRawExt;  // files of one folder often share their extension
  TExtKey FLastExt = 0;
  TExtStatsAccumulator FExtSums;
  std::vector<TCompiledMask> FMasks;
  const TDirNode* FUpperFolderOf = nullptr;
  std::u32string FUpperFolder;  // the folder part of the full path, upper-cased, with delimiter
  std::u32string FUpperName;
  std::u32string FUpperPath;
};

}  // namespace dunstrel
