#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/ThreadRun.h"
#include "platform/DirectoryLister.h"
#include "results/NextResults.h"
#include "results/ScanResults.h"
#include "scan/ScanContext.h"

namespace dunstrel {

// What walking a folder again came to.
struct TRescanResult {
  TRescanOutcome Walk = TRescanOutcome::Cancelled;
  // The change to the next results; none when stopped or failed.
  std::optional<TResultsChange> Change;
  // "TypeName: message" of an error that ended it.
  std::string Err;
};

// One folder of the results shown walked again on a thread of its own, with the scan's filters,
// and the next results prepared from it there: seen from the interface thread, Ended tells when
// it is done. It holds a share of those results, which nothing changes meanwhile. Destroying it
// stops the walk and waits for its thread.
class TRescanRun final : public TThreadRun {
 public:
  TRescanRun(std::shared_ptr<const TScanResults> Shown, const TDirNode& Folder,
             const TScanContext& Settings, std::unique_ptr<platform::IDirectoryLister> Lister,
             QObject* Parent = nullptr);
  ~TRescanRun() override;

  void Stop() { FContext.Cancel(); }
  bool Stopped() const { return FContext.IsCancelled(); }
  const TDirNode& Folder() const { return FFolder; }
  // What the walk came to, once Ended was signalled.
  TRescanResult TakeResult() { return std::move(FResult); }

 private:
  void Run();

  const std::shared_ptr<const TScanResults> FShown;
  const TDirNode& FFolder;
  TScanContext FContext;
  const std::unique_ptr<platform::IDirectoryLister> FLister;
  TRescanResult FResult;  // written on the walk's thread
};

}  // namespace dunstrel
