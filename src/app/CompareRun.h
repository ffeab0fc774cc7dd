#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "app/ThreadRun.h"
#include "results/BaselineComparison.h"
#include "results/ScanResults.h"

namespace dunstrel {

// A saved scan read and compared with the results shown, on a thread of its own: seen from the
// interface thread, Ended tells when it is done. It holds a share of those results, which
// nothing changes meanwhile. Destroying it waits for its thread.
class TCompareRun final : public TThreadRun {
 public:
  TCompareRun(std::shared_ptr<const TScanResults> Shown, std::string SavedScan,
              QObject* Parent = nullptr);
  ~TCompareRun() override;

  // Stop is pressed: what comes is not shown.
  void Stop() { FStopped = true; }
  bool Stopped() const { return FStopped; }
  const std::string& SavedScan() const { return FSavedScan; }
  // Once Ended was signalled: the comparison, or none and Err (a mismatch already in the
  // user's words, in Mismatch; else "TypeName: message").
  std::shared_ptr<const TBaselineComparison> TakeComparison(std::string& Err, bool& Mismatch);

 private:
  void Run();

  const std::shared_ptr<const TScanResults> FShown;
  const std::string FSavedScan;
  std::atomic<bool> FStopped{false};
  // Written on the run's thread.
  std::shared_ptr<const TBaselineComparison> FComparison;
  std::string FErr;
  bool FMismatch = false;
};

}  // namespace dunstrel
