#include "results/ScanJob.h"

#include <new>

#include "common/ErrorText.h"
#include "common/SaturatingSum.h"
#include "localisation/translation.h"
#include "platform/FileSystem.h"
#include "results/ScanExport.h"
#include "scan/DiskScanner.h"

namespace dunstrel {

namespace {

// The walk reports progress at most this often.
constexpr uint32_t kProgressInterval = 90;

class TWalkSource final : public IScanSource {
 public:
  TWalkSource(TScanSource Source, std::unique_ptr<platform::IDirectoryLister> Lister,
              const platform::ITickSource& Tick)
      : FSource(std::move(Source)), FLister(std::move(Lister)), FTick(Tick) {}

  TSourceTree Load(const TScanContext& Context,
                   const std::function<void(const TWalkProgress&)>& Progress) override {
    TDiskScanner Scanner(Context, FLister.get(), FTick);
    // Counts of the drives already finished, and the tick of the last report.
    TWalkProgress Before;
    uint32_t LastTick = FTick.NowMs();
    Scanner.OnProgress = [&](std::string_view Path, int64_t Files, int64_t Dirs) {
      const uint32_t Now = FTick.NowMs();
      if (static_cast<uint32_t>(Now - LastTick) < kProgressInterval) {
        return;
      }
      LastTick = Now;
      Progress({std::string(Path), Files + Before.Files, Dirs + Before.Dirs,
                SaturatingAdd(Scanner.BytesScanned(), Before.Bytes)});
    };
    if (!FSource.AllDrives) {
      Scanner.ResetCounters();
      return {Scanner.Scan(FSource.PathToScan)};
    }
    auto Root = std::make_unique<TDirNode>(std::string(), "(All Drives)");
    for (const std::string& Drive : FSource.Drives) {
      if (Context.IsCancelled()) {
        break;
      }
      Scanner.ResetCounters();
      std::unique_ptr<TDirNode> Node = Scanner.Scan(Drive);
      if (Node != nullptr && !Context.IsCancelled()) {  // a drive cut short is not kept
        Root->TotalSize = SaturatingAdd(Root->TotalSize, Node->TotalSize);
        Root->TotalDiskUsage = SaturatingAdd(Root->TotalDiskUsage, Node->TotalDiskUsage);
        Root->TotalFiles += Node->TotalFiles;
        Root->TotalDirs += Node->TotalDirs;
        Root->UnreadableFolders += Node->UnreadableFolders;
        Root->AdoptChild(std::move(Node));
      }
      Before.Files += Scanner.FilesScanned();
      Before.Dirs += Scanner.DirsScanned();
      Before.Bytes = SaturatingAdd(Before.Bytes, Scanner.BytesScanned());
      Progress({Drive, Before.Files, Before.Dirs, Before.Bytes});
    }
    return {std::move(Root)};
  }

 private:
  const TScanSource FSource;
  const std::unique_ptr<platform::IDirectoryLister> FLister;
  const platform::ITickSource& FTick;
};

// Whether the folders of a tree are on this machine: the top folder, or for a scan of every
// drive, each drive.
bool TreeIsHere(const TDirNode& Root) {
  if (!Root.FullPath().empty()) {
    return platform::DirectoryExists(Root.FullPath());
  }
  for (const auto& Drive : Root.Children) {
    if (!platform::DirectoryExists(Drive->FullPath())) {
      return false;
    }
  }
  return true;
}

class TSavedScanSource final : public IScanSource {
 public:
  explicit TSavedScanSource(std::string File) : FFile(std::move(File)) {}

  TSourceTree Load(const TScanContext& Context,
                   const std::function<void(const TWalkProgress&)>&) override {
    const std::optional<platform::TEntryInfo> Info = platform::GetEntryInfo(FFile);
    // The reader stops only by an error from its progress call: a reading stopped is told apart
    // from a failed one by the context.
    std::unique_ptr<TDirNode> Root = LoadScanFile(FFile, [&Context](int64_t) {
      if (Context.IsCancelled()) {
        throw EScanFileError("Cancelled by user");
      }
    });
    const bool Here = TreeIsHere(*Root);
    return {std::move(Root), Here, Info.has_value() ? Info->Modified : 0};
  }

 private:
  const std::string FFile;
};

// The one way a job's failures are told.
std::string FailureText(const std::exception& Error) {
  if (dynamic_cast<const std::bad_alloc*>(&Error) != nullptr) {
    return Translate("Not enough memory to finish the scan.");
  }
  return DescribeError(Error);
}

}  // namespace

std::unique_ptr<IScanSource> WalkSource(TScanSource Source,
                                        std::unique_ptr<platform::IDirectoryLister> Lister,
                                        const platform::ITickSource& Tick) {
  return std::make_unique<TWalkSource>(std::move(Source), std::move(Lister), Tick);
}

std::unique_ptr<IScanSource> SavedScanSource(std::string File) {
  return std::make_unique<TSavedScanSource>(std::move(File));
}

TScanJob::TScanJob(std::shared_ptr<const TScanContext> Context, std::unique_ptr<IScanSource> Source,
                   TSizeCount Count, TFormatSettings Settings)
    : FContext(std::move(Context)),
      FSource(std::move(Source)),
      FCount(Count),
      FSettings(std::move(Settings)) {}

void TScanJob::SetNotices(TScanJobNotices Notices) {
  const std::lock_guard Lock(FLock);
  FNotices = std::move(Notices);
}

void TScanJob::DetachNotices() {
  const std::lock_guard Lock(FLock);
  FNotices = {};
}

template <typename TNotice, typename... TArgs>
void TScanJob::Notify(TNotice TScanJobNotices::*Which, const TArgs&... Args) {
  const std::lock_guard Lock(FLock);
  if (FNotices.*Which) {
    (FNotices.*Which)(Args...);
  }
}

void TScanJob::Run() {
  TScanOutcome Outcome = Make();
  {
    const std::lock_guard Lock(FLock);
    FOutcome = std::move(Outcome);
    FFinished = true;
    FFinishedSignal.notify_all();
  }
  Notify(&TScanJobNotices::Ended);
}

TScanOutcome TScanJob::Make() {
  using TEnd = TScanOutcome::TEnd;
  TScanOutcome Outcome;
  TSourceTree Tree;
  try {
    Tree = FSource->Load(*FContext, [this](const TWalkProgress& Progress) {
      Notify(&TScanJobNotices::Walked, Progress);
    });
  } catch (const std::exception& Error) {
    Outcome.End = TEnd::SourceFailed;
    Outcome.Err = FailureText(Error);
  }
  if (FContext->IsCancelled()) {
    Outcome.End = TEnd::SourceStopped;
    Outcome.Err.clear();
    return Outcome;
  }
  if (Tree.Root == nullptr) {
    return Outcome;
  }
  Outcome.FoldersHere = Tree.FoldersHere;
  Outcome.Written = Tree.Written;
  try {
    Outcome.Results = BuildScanResults(
        std::move(Tree.Root), FCount, *FContext, FSettings,
        [this](const TBuildStatus& Status) { Notify(&TScanJobNotices::Building, Status); });
    Outcome.End = Outcome.Results != nullptr ? TEnd::Done : TEnd::BuildStopped;
  } catch (const std::exception& Error) {
    Outcome.End = TEnd::BuildFailed;
    Outcome.Err = FailureText(Error);
  }
  return Outcome;
}

bool TScanJob::WaitFinished(std::chrono::milliseconds Timeout) const {
  std::unique_lock Lock(FLock);
  return FFinishedSignal.wait_for(Lock, Timeout, [this] { return FFinished; });
}

TScanOutcome TScanJob::TakeOutcome() {
  const std::lock_guard Lock(FLock);
  return std::move(FOutcome);
}

}  // namespace dunstrel
