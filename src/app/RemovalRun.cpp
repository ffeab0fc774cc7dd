#include "app/RemovalRun.h"

#include <QTimer>
#include <exception>

#include "common/ErrorText.h"

namespace dunstrel {

namespace {

// How often the interface thread looks whether the preparation has ended.
constexpr int kPollMs = 5;

}  // namespace

TRemovalRun::TRemovalRun(std::shared_ptr<const TScanResults> Shown, TTreeChange Change,
                         std::vector<const TDirNode*> Changed, QObject* Parent)
    : QObject(Parent), FShown(std::move(Shown)), FPoll(new QTimer(this)) {
  connect(FPoll, &QTimer::timeout, this, &TRemovalRun::Poll);
  FPoll->start(kPollMs);
  FThread = std::thread([this, Change = std::move(Change), Changed = std::move(Changed)]() mutable {
    std::optional<TResultsChange> Prepared;
    std::string Error;
    try {
      Prepared = TResultsChange::Prepare(*FShown, std::move(Change), std::move(Changed),
                                         [this](size_t, size_t) { return !FStopped; });
    } catch (const std::exception& Failure) {
      Prepared.reset();
      Error = DescribeError(Failure);
    }
    const std::lock_guard Lock(FLock);
    FChange = std::move(Prepared);
    FError = std::move(Error);
    FDone = true;
  });
}

TRemovalRun::~TRemovalRun() {
  FStopped = true;
  FThread.join();
}

void TRemovalRun::Poll() {
  {
    const std::lock_guard Lock(FLock);
    if (!FDone) {
      return;
    }
  }
  FPoll->stop();
  Q_EMIT Ended();
}

std::optional<TResultsChange> TRemovalRun::TakeChange() {
  const std::lock_guard Lock(FLock);
  return std::move(FChange);
}

std::string TRemovalRun::Error() {
  const std::lock_guard Lock(FLock);
  return FError;
}

}  // namespace dunstrel
