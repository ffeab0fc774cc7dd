#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DirectoryLister.h"
#include "platform/Tick.h"
#include "scan/ScanContext.h"
#include "scan/ScanTree.h"

namespace dunstrel {

struct TProgressValues {
  std::string Path;
  int64_t Files = 0;
  int64_t Dirs = 0;
  int64_t Bytes = 0;
};

// The progress a scan last stored: written by the scan task, read by the window's timer. The lock
// is held only to copy the four values in or out.
class TScanProgress {
 public:
  void SetProgress(std::string_view Path, int64_t Files, int64_t Dirs, int64_t Bytes);
  TProgressValues Read() const;

 private:
  mutable std::mutex FProgLock;
  std::string FProgPath;
  int64_t FProgFiles = 0;
  int64_t FProgDirs = 0;
  int64_t FProgBytes = 0;
};

// What to walk: one folder, or every drive under one artificial root.
struct TScanSource {
  bool AllDrives = false;
  std::string PathToScan;
  std::vector<std::string> Drives;
};

struct TScanOutcome {
  bool Ok = false;
  std::string Err;  // "TypeName: message" of an error that ended the walk
  std::unique_ptr<TDirNode> Root;
};

// One scan task. It holds shares of everything it reads or writes (the context, the progress
// record, its own directory listing and the tree it builds), so it may outlive the window that
// started it: a window that stops waiting for it frees nothing the task still uses.
class TScanJob {
 public:
  TScanJob(std::shared_ptr<const TScanContext> Context, std::shared_ptr<TScanProgress> Progress,
           std::unique_ptr<platform::IDirectoryLister> Lister, TScanSource Source,
           const platform::ITickSource& Tick = platform::SystemTick());

  // Called once on the task's thread after the outcome is stored, unless detached before.
  void SetCompletionNotice(std::function<void()> Notice);
  // After this returns the notice is never called again, and a call in progress has ended.
  void DetachCompletionNotice();

  // The task body: walks the source, stores the outcome, sends the notice.
  void Run();

  bool WaitFinished(std::chrono::milliseconds Timeout) const;
  // The outcome of a finished task; empty before and after it was taken.
  TScanOutcome TakeOutcome();

 private:
  TScanOutcome Walk();
  void StoreWalkProgress(std::string_view Path, int64_t Files, int64_t Dirs, int64_t Bytes);

  const std::shared_ptr<const TScanContext> FContext;
  const std::shared_ptr<TScanProgress> FProgress;
  const std::unique_ptr<platform::IDirectoryLister> FLister;
  const TScanSource FSource;
  const platform::ITickSource& FTick;

  // Counts of the drives already finished, and the tick of the last stored progress.
  int64_t FFilesOff = 0;
  int64_t FDirsOff = 0;
  int64_t FBytesOff = 0;
  uint32_t FLastTick = 0;

  mutable std::mutex FFinishLock;
  mutable std::condition_variable FFinishedSignal;
  bool FFinished = false;
  TScanOutcome FOutcome;
  std::function<void()> FNotice;
};

}  // namespace dunstrel
