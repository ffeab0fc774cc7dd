#pragma once

#include <QObject>
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "results/NextResults.h"
#include "results/ScanResults.h"
#include "scan/TreeChange.h"

class QTimer;

namespace dunstrel {

// The next results after items left the disk, prepared on a thread of their own: in the disk
// usage of ten million files that takes seconds, and the window answers meanwhile. Seen from the
// interface thread, Ended tells when they are ready. It holds a share of the results shown, which
// nothing changes meanwhile. Destroying it stops the preparation and waits for its thread.
class TRemovalRun final : public QObject {
  Q_OBJECT

 public:
  TRemovalRun(std::shared_ptr<const TScanResults> Shown, TTreeChange Change,
              std::vector<const TDirNode*> Changed, QObject* Parent = nullptr);
  ~TRemovalRun() override;

  // The results the change was prepared on.
  const std::shared_ptr<const TScanResults>& Shown() const { return FShown; }
  // Once Ended was signalled: the change, or none and the "TypeName: message" of the error that
  // ended its preparation.
  std::optional<TResultsChange> TakeChange();
  std::string Error();

 Q_SIGNALS:
  void Ended();

 private:
  void Poll();

  const std::shared_ptr<const TScanResults> FShown;
  std::atomic<bool> FStopped{false};
  QTimer* FPoll;
  std::mutex FLock;  // guards what follows, written on the preparation's thread
  bool FDone = false;
  std::optional<TResultsChange> FChange;
  std::string FError;
  std::thread FThread;
};

}  // namespace dunstrel
