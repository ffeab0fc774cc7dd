#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ThreadRun.h"
#include "results/NextResults.h"
#include "results/ScanResults.h"
#include "scan/TreeChange.h"

namespace dunstrel {

// The next results after items left the disk, prepared on a thread of their own: in the disk
// usage of ten million files that takes seconds, and the window answers meanwhile. It holds a
// share of the results shown, which nothing changes meanwhile. Destroying it stops the
// preparation and waits for its thread.
class TRemovalRun final : public TThreadRun {
 public:
  TRemovalRun(std::shared_ptr<const TScanResults> Shown, TTreeChange Change,
              std::vector<const TDirNode*> Changed, QObject* Parent = nullptr);
  ~TRemovalRun() override;

  // The results the change was prepared on.
  const std::shared_ptr<const TScanResults>& Shown() const { return FShown; }
  // Once Ended was signalled: the change, or none and the "TypeName: message" of the error that
  // ended its preparation.
  std::optional<TResultsChange> TakeChange() { return std::move(FPrepared); }
  const std::string& Error() const { return FError; }

 private:
  void Run();

  const std::shared_ptr<const TScanResults> FShown;
  TTreeChange FChange;
  std::vector<const TDirNode*> FChanged;
  std::atomic<bool> FStopped{false};
  // Written on the run's thread.
  std::optional<TResultsChange> FPrepared;
  std::string FError;
};

}  // namespace dunstrel
