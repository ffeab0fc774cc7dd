#include "app/RescanRun.h"

#include <exception>

#include "common/ErrorText.h"
#include "scan/DiskScanner.h"

namespace dunstrel {

TRescanRun::TRescanRun(std::shared_ptr<const TScanResults> Shown, const TDirNode& Folder,
                       const TScanContext& Settings,
                       std::unique_ptr<platform::IDirectoryLister> Lister, QObject* Parent)
    : TThreadRun(Parent), FShown(std::move(Shown)), FFolder(Folder), FLister(std::move(Lister)) {
  FContext.CopySettingsFrom(Settings);
  Start([this] { Run(); });
}

TRescanRun::~TRescanRun() {
  FContext.Cancel();
  Join();
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
  FResult = std::move(Result);
}

}  // namespace dunstrel
