#include "app/CompareRun.h"

#include <QTimer>
#include <exception>

#include "common/ErrorText.h"
#include "results/ScanExport.h"

namespace dunstrel {

namespace {

// How often the interface thread looks whether the run has ended.
constexpr int kPollMs = 5;

}  // namespace

TCompareRun::TCompareRun(std::shared_ptr<const TScanResults> Shown, std::string SavedScan,
                         QObject* Parent)
    : QObject(Parent),
      FShown(std::move(Shown)),
      FSavedScan(std::move(SavedScan)),
      FPoll(new QTimer(this)) {
  connect(FPoll, &QTimer::timeout, this, &TCompareRun::Poll);
  FPoll->start(kPollMs);
  FThread = std::thread([this] { Run(); });
}

TCompareRun::~TCompareRun() {
  FThread.join();
}

void TCompareRun::Run() {
  std::shared_ptr<const TBaselineComparison> Comparison;
  std::string Err;
  bool Mismatch = false;
  try {
    // The baseline's tree goes once compared: the comparison keeps what it needs of it.
    const std::unique_ptr<TDirNode> Baseline = LoadScanFile(FSavedScan);
    Comparison =
        std::make_shared<const TBaselineComparison>(CompareWithBaseline(*FShown->Root, *Baseline));
  } catch (const EBaselineMismatch& Error) {
    Err = Error.what();
    Mismatch = true;
  } catch (const std::exception& Error) {
    Err = DescribeError(Error);
  }
  const std::lock_guard Lock(FLock);
  FComparison = std::move(Comparison);
  FErr = std::move(Err);
  FMismatch = Mismatch;
  FDone = true;
}

void TCompareRun::Poll() {
  {
    const std::lock_guard Lock(FLock);
    if (!FDone) {
      return;
    }
  }
  FPoll->stop();
  Q_EMIT Ended();
}

std::shared_ptr<const TBaselineComparison> TCompareRun::TakeComparison(std::string& Err,
                                                                       bool& Mismatch) {
  const std::lock_guard Lock(FLock);
  Err = std::move(FErr);
  Mismatch = FMismatch;
  return std::move(FComparison);
}

}  // namespace dunstrel
