#include "app/ScanRun.h"

#include <QThreadPool>
#include <chrono>
#include <functional>
#include <mutex>

namespace dunstrel {

namespace {

// How long closing the window waits for a job that does not stop at once (a walk stuck in a
// listing of a network folder).
constexpr std::chrono::milliseconds kShutdownWait(2000);

// Orders the creation of a job before its start on a pool thread by a lock of our own, so the
// hand-over does not rest on the pool's internal locking alone, which thread checkers cannot
// see into. Constant-initialised and trivially destroyed, it is valid for the whole process.
constinit std::mutex JobHandOver;

}  // namespace

TScanRun::TScanRun(std::unique_ptr<IScanSource> Source, std::shared_ptr<TScanContext> Context,
                   TSizeCount Count, const TFormatSettings& Settings, QObject* Parent)
    : QObject(Parent),
      FContext(std::move(Context)),
      FJob(std::make_shared<TScanJob>(FContext, std::move(Source), Count, Settings)) {
  TScanJobNotices Notices;
  Notices.Walked = [this](const TWalkProgress& Progress) { Queue(Progress); };
  Notices.Building = [this](const TBuildStatus& Status) { Queue(Status); };
  Notices.Ended = [this] { Queue(TEnded{}); };
  FJob->SetNotices(std::move(Notices));
  std::function<void()> Body;
  {
    const std::lock_guard HandOver(JobHandOver);
    Body = [Job = FJob] {
      { const std::lock_guard Received(JobHandOver); }
      Job->Run();
    };
  }
  QThreadPool::globalInstance()->start(std::move(Body));
}

TScanRun::~TScanRun() {
  FContext->Cancel();
  FJob->DetachNotices();
  FJob->WaitFinished(kShutdownWait);
}

void TScanRun::Stop() {
  FContext->Cancel();
}

void TScanRun::Queue(TNotice Notice) {
  bool First = false;
  {
    const std::lock_guard Lock(FLock);
    First = FNotices.empty();
    FNotices.push_back(std::move(Notice));
  }
  // One call for what piles up meanwhile; a call still queued when the run goes is dropped with
  // it.
  if (First) {
    QMetaObject::invokeMethod(this, "Deliver", Qt::QueuedConnection);
  }
}

void TScanRun::Deliver() {
  std::deque<TNotice> Notices;
  {
    const std::lock_guard Lock(FLock);
    Notices.swap(FNotices);
  }
  for (const TNotice& Notice : Notices) {
    if (const auto* Progress = std::get_if<TWalkProgress>(&Notice)) {
      Q_EMIT Walked(*Progress);
    } else if (const auto* Status = std::get_if<TBuildStatus>(&Notice)) {
      Q_EMIT Building(*Status);
    } else {
      FRunning = false;
      Q_EMIT Ended(FJob->TakeOutcome());
    }
  }
}

}  // namespace dunstrel
