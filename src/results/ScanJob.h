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

#include "localisation/TextFormat.h"
#include "platform/DirectoryLister.h"
#include "platform/LocalTime.h"
#include "platform/Tick.h"
#include "results/ResultsBuilder.h"
#include "results/ScanResults.h"
#include "scan/ScanContext.h"
#include "scan/ScanTree.h"
#include "scan/SizeCount.h"

namespace dunstrel {

// How far a walk has come.
struct TWalkProgress {
  std::string Path;
  int64_t Files = 0;
  int64_t Dirs = 0;
  int64_t Bytes = 0;
};

// What a job tells while it runs and when it ends. Each is called on the job's thread, never
// after DetachNotices has returned.
struct TScanJobNotices {
  std::function<void(const TWalkProgress&)> Walked;
  std::function<void(const TBuildStatus&)> Building;
  std::function<void()> Ended;
};

// What a job's source gives: a tree, whether the folders it describes are on this machine, and
// for a saved scan when its file was written (as near as the file system tells when the scan was
// made; 0 when unknown).
struct TSourceTree {
  std::unique_ptr<TDirNode> Root;
  bool FoldersHere = true;
  platform::TFileStamp Written = 0;
};

// Where a job's tree comes from. Load may end early once the context is cancelled, with any
// tree or an error: the job tells a stop from an end by the context alone.
class IScanSource {
 public:
  virtual ~IScanSource() = default;
  virtual TSourceTree Load(const TScanContext& Context,
                           const std::function<void(const TWalkProgress&)>& Progress) = 0;
};

// What to walk: one folder, or every drive under one artificial root.
struct TScanSource {
  bool AllDrives = false;
  std::string PathToScan;
  std::vector<std::string> Drives;
};

// A walk of the file system, on a listing of its own.
std::unique_ptr<IScanSource> WalkSource(TScanSource Source,
                                        std::unique_ptr<platform::IDirectoryLister> Lister,
                                        const platform::ITickSource& Tick = platform::SystemTick());
// A saved scan (the file's own bytes; "-" is standard input).
std::unique_ptr<IScanSource> SavedScanSource(std::string File);

struct TScanOutcome {
  enum class TEnd {
    Done,           // Results hold everything
    SourceStopped,  // the walk or the reading was cancelled
    SourceFailed,   // the walk or the reading failed: Err
    BuildStopped,   // the results' build was cancelled
    BuildFailed,    // the results' build failed: Err
  };
  TEnd End = TEnd::SourceFailed;
  // "TypeName: message" of the error that ended the job, or the user's words for running out of
  // memory.
  std::string Err;
  std::shared_ptr<const TScanResults> Results;
  // False for a saved scan of folders this machine does not have.
  bool FoldersHere = true;
  // When a saved scan's file was written; 0 when unknown and for a walk.
  platform::TFileStamp Written = 0;
};

// One background job that makes a scan's results: it takes a tree from its source (a walk, or a
// saved scan), then builds the results from it. It holds shares of everything it uses, so it may
// outlive whoever started it: one who stops waiting for it frees nothing the job still uses.
class TScanJob {
 public:
  TScanJob(std::shared_ptr<const TScanContext> Context, std::unique_ptr<IScanSource> Source,
           TSizeCount Count, TFormatSettings Settings);

  void SetNotices(TScanJobNotices Notices);
  // After this returns no notice is called again, and a call in progress has ended.
  void DetachNotices();

  // The job's body: loads, builds, stores the outcome, sends the end notice.
  void Run();

  bool WaitFinished(std::chrono::milliseconds Timeout) const;
  // The outcome of a finished job; empty before and after it was taken.
  TScanOutcome TakeOutcome();

 private:
  TScanOutcome Make();
  template <typename TNotice, typename... TArgs>
  void Notify(TNotice TScanJobNotices::*Which, const TArgs&... Args);

  const std::shared_ptr<const TScanContext> FContext;
  const std::unique_ptr<IScanSource> FSource;
  const TSizeCount FCount;
  const TFormatSettings FSettings;

  mutable std::mutex FLock;  // guards the notices and the outcome
  mutable std::condition_variable FFinishedSignal;
  bool FFinished = false;
  TScanOutcome FOutcome;
  TScanJobNotices FNotices;
};

}  // namespace dunstrel
