#include "app/CompareRun.h"

#include <exception>

#include "common/ErrorText.h"
#include "results/ScanExport.h"

namespace dunstrel {

TCompareRun::TCompareRun(std::shared_ptr<const TScanResults> Shown, std::string SavedScan,
                         QObject* Parent)
    : TThreadRun(Parent), FShown(std::move(Shown)), FSavedScan(std::move(SavedScan)) {
  Start([this] { Run(); });
}

TCompareRun::~TCompareRun() {
  Join();
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
  FComparison = std::move(Comparison);
  FErr = std::move(Err);
  FMismatch = Mismatch;
}

std::shared_ptr<const TBaselineComparison> TCompareRun::TakeComparison(std::string& Err,
                                                                       bool& Mismatch) {
  Err = std::move(FErr);
  Mismatch = FMismatch;
  return std::move(FComparison);
}

}  // namespace dunstrel
