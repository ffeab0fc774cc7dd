#pragma once

#include <QObject>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/DirectoryLister.h"
#include "results/NextResults.h"
#include "results/ScanResults.h"
#include "scan/ScanContext.h"

class QTimer;

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
class TRescanRun final : public QObject {
  Q_OBJECT

 public:
  TRescanRun(std::shared_ptr<const TScanResults> Shown, const TDirNode& Folder,
             const TScanContext& Settings, std::unique_ptr<platform::IDirectoryLister> Lister,
             QObject* Parent = nullptr);
  ~TRescanRun() override;

  void Stop() { FContext.Cancel(); }
  bool Stopped() const { return FContext.IsCancelled(); }
  const TDirNode& Folder() const { return FFolder; }
  // What the walk came to, once Ended was signalled.
  TRescanResult TakeResult();

 Q_SIGNALS:
  void Ended();

 private:
  void Run();
  void Poll();

  const std::shared_ptr<const TScanResults> FShown;
  const TDirNode& FFolder;
  TScanContext FContext;
  const std::unique_ptr<platform::IDirectoryLister> FLister;
  QTimer* FPoll;
  std::mutex FLock;  // guards what follows, written on the walk's thread
  bool FDone = false;
  TRescanResult FResult;
  std::thread FThread;
};

}  // namespace dunstrel
