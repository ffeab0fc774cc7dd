#pragma once

#include <QObject>
#include <deque>
#include <memory>
#include <mutex>
#include <variant>

#include "results/ScanJob.h"

namespace dunstrel {

// One scan job running on a pool thread, seen from the interface thread: what the job tells
// arrives as signals there. Destroying the run stops the job, waits for it a little, and cuts
// it off: a job that takes longer ends on its own and tells nobody.
class TScanRun final : public QObject {
  Q_OBJECT

 public:
  TScanRun(std::unique_ptr<IScanSource> Source, std::shared_ptr<TScanContext> Context,
           TSizeCount Count, const TFormatSettings& Settings, QObject* Parent = nullptr);
  ~TScanRun() override;

  // Asks the job to stop at its next chance; it still ends with Ended.
  void Stop();
  bool Stopped() const { return FContext->IsCancelled(); }
  bool Running() const { return FRunning; }

 Q_SIGNALS:
  void Walked(const TWalkProgress& Progress);
  void Building(const TBuildStatus& Status);
  void Ended(const TScanOutcome& Outcome);

 private Q_SLOTS:
  // Signals what the job has told since the last call, in order.
  void Deliver();

 private:
  struct TEnded {};
  using TNotice = std::variant<TWalkProgress, TBuildStatus, TEnded>;
  // Keeps a notice of the job's thread for Deliver on this object's thread.
  void Queue(TNotice Notice);

  const std::shared_ptr<TScanContext> FContext;
  const std::shared_ptr<TScanJob> FJob;
  bool FRunning = true;
  // The job's notices pass to this object's thread under a lock of this program's own.
  std::mutex FLock;
  std::deque<TNotice> FNotices;
};

}  // namespace dunstrel
