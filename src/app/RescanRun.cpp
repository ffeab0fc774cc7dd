#include "app/RescanRun.h"

#include <QTimer>
#include <exception>

#include "common/ErrorText.h"
#include "scan/DiskScanner.h"

namespace dunstrel {

namespace {

// How often the interface thread looks whether the walk has ended.
constexpr int kPollMs = 5;

}  // namespace

TRescanRun::TRescanRun(std::shared_ptr<const TScanResults> Shown, const TDirNode& Folder,
                       const TScanContext& Settings,
                       std::unique_ptr<platform::IDirectoryLister> Lister, QObject* Parent)
    : QObject(Parent),
      FShown(std::move(Shown)),
      FFolder(Folder),
      FLister(std::move(Lister)),
      FPoll(new QTimer(this)) {
  FContext.CopySettingsFrom(Settings);
  connect(FPoll, &QTimer::timeout, this, &TRescanRun::Poll);
  FPoll->start(kPollMs);
  FThread = std::thread([this] { Run(); });
}

TRescanRun::~TRescanRun() {
  FContext.Cancel();
  FThread.join();
}

void TRescanRun::Run() {
  TRescanResult Result;
  try {
    TRescanWalk Walk = TDiskScanner(FContext, FLister.get()).Rescan(FFolder);
    Result.Walk = Walk.Outcome;
    if (Walk.Outcome != TRescanOutcome::Cancelled && !FContext.IsCancelled()) {
      Result.Change = TResultsChange::Prepare(
          *FShown, ChangeAfterRescan(FFolder, std::move(Walk), FShown->Count), {&FFolder},
          [this](size_t, size_t) { return !FContext.IsCancelled(); });
    }
  } catch (const std::exception& Error) {
    Result.Change.reset();
    Result.Err = DescribeError(Error);
  }
  const std::lock_guard Lock(FLock);
  FResult = std::move(Result);
  FDone = true;
}

void TRescanRun::Poll() {
  {
    const std::lock_guard Lock(FLock);
    if (!FDone) {
      return;
    }
  }
  FPoll->stop();
  Q_EMIT Ended();
}

TRescanResult TRescanRun::TakeResult() {
  const std::lock_guard Lock(FLock);
  return std::move(FResult);
}

}  // namespace dunstrel
