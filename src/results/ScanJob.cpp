#include "results/ScanJob.h"

#include <new>

#include "common/ErrorText.h"
#include "common/SaturatingSum.h"
#include "localisation/translation.h"
#include "scan/DiskScanner.h"

namespace dunstrel {

namespace {

// The walk stores progress at most this often; the window shows it on its own timer.
constexpr uint32_t kProgressStoreIntervalMs = 90;

}  // namespace

void TScanProgress::SetProgress(std::string_view Path, int64_t Files, int64_t Dirs, int64_t Bytes) {
  const std::lock_guard Lock(FProgLock);
  FProgPath = Path;
  FProgFiles = Files;
  FProgDirs = Dirs;
  FProgBytes = Bytes;
}

TProgressValues TScanProgress::Read() const {
  const std::lock_guard Lock(FProgLock);
  return {FProgPath, FProgFiles, FProgDirs, FProgBytes};
}

TScanJob::TScanJob(std::shared_ptr<const TScanContext> Context,
                   std::shared_ptr<TScanProgress> Progress,
                   std::unique_ptr<platform::IDirectoryLister> Lister, TScanSource Source,
                   const platform::ITickSource& Tick)
    : FContext(std::move(Context)),
      FProgress(std::move(Progress)),
      FLister(std::move(Lister)),
      FSource(std::move(Source)),
      FTick(Tick) {}

void TScanJob::SetCompletionNotice(std::function<void()> Notice) {
  const std::lock_guard Lock(FFinishLock);
  FNotice = std::move(Notice);
}

void TScanJob::DetachCompletionNotice() {
  const std::lock_guard Lock(FFinishLock);
  FNotice = nullptr;
}

void TScanJob::Run() {
  TScanOutcome Outcome = Walk();
  const std::lock_guard Lock(FFinishLock);
  FOutcome = std::move(Outcome);
  FFinished = true;
  if (FNotice) {
    FNotice();
  }
  FFinishedSignal.notify_all();
}

bool TScanJob::WaitFinished(std::chrono::milliseconds Timeout) const {
  std::unique_lock Lock(FFinishLock);
  return FFinishedSignal.wait_for(Lock, Timeout, [this] { return FFinished; });
}

TScanOutcome TScanJob::TakeOutcome() {
  const std::lock_guard Lock(FFinishLock);
  return std::move(FOutcome);
}

TScanOutcome TScanJob::Walk() {
  TScanOutcome Outcome;
  FLastTick = FTick.NowMs();
  try {
    TDiskScanner Scanner(*FContext, FLister.get(), FTick);
    Scanner.OnProgress = [this, &Scanner](std::string_view Path, int64_t Files, int64_t Dirs) {
      StoreWalkProgress(Path, Files, Dirs, Scanner.BytesScanned());
    };
    if (FSource.AllDrives) {
      auto Root = std::make_unique<TDirNode>(std::string(), "(All Drives)");
      for (const std::string& Drive : FSource.Drives) {
        if (FContext->IsCancelled()) {
          break;
        }
        Scanner.ResetCounters();
        std::unique_ptr<TDirNode> Node = Scanner.Scan(Drive);
        if (Node != nullptr && !FContext->IsCancelled()) {  // a drive cut short is not kept
          Root->TotalSize = SaturatingAdd(Root->TotalSize, Node->TotalSize);
          Root->TotalDiskUsage = SaturatingAdd(Root->TotalDiskUsage, Node->TotalDiskUsage);
          Root->TotalFiles += Node->TotalFiles;
          Root->TotalDirs += Node->TotalDirs;
          Root->UnreadableFolders += Node->UnreadableFolders;
          Root->ExtStats.MergeFrom(&Node->ExtStats);
          Root->AdoptChild(std::move(Node));
        }
        FFilesOff += Scanner.FilesScanned();
        FDirsOff += Scanner.DirsScanned();
        FBytesOff = SaturatingAdd(FBytesOff, Scanner.BytesScanned());
        FProgress->SetProgress(Drive, FFilesOff, FDirsOff, FBytesOff);
      }
      Outcome.Root = std::move(Root);
    } else {
      Scanner.ResetCounters();
      Outcome.Root = Scanner.Scan(FSource.PathToScan);
    }
    Outcome.Ok = !FContext->IsCancelled();
  } catch (const std::bad_alloc&) {
    Outcome.Err = Translate("Not enough memory to finish the scan.");
    Outcome.Ok = false;
  } catch (const std::exception& Error) {
    Outcome.Err = DescribeError(Error);
    Outcome.Ok = false;
  } catch (...) {
    Outcome.Err = "Error: unknown error";
    Outcome.Ok = false;
  }
  return Outcome;
}

void TScanJob::StoreWalkProgress(std::string_view Path, int64_t Files, int64_t Dirs,
                                 int64_t Bytes) {
  const uint32_t Now = FTick.NowMs();
  if (static_cast<uint32_t>(Now - FLastTick) < kProgressStoreIntervalMs) {
    return;
  }
  FLastTick = Now;
  FProgress->SetProgress(Path, Files + FFilesOff, Dirs + FDirsOff, SaturatingAdd(Bytes, FBytesOff));
}

}  // namespace dunstrel
