#include "app/ThreadRun.h"

#include <QTimer>
#include <utility>

namespace dunstrel {

namespace {

// How often the interface thread looks whether the work has ended.
constexpr int kPollMs = 5;

}  // namespace

TThreadRun::TThreadRun(QObject* Parent) : QObject(Parent), FPoll(new QTimer(this)) {
  connect(FPoll, &QTimer::timeout, this, &TThreadRun::Poll);
}

TThreadRun::~TThreadRun() {
  Join();
}

void TThreadRun::Start(std::function<void()> Work) {
  FPoll->start(kPollMs);
  FThread = std::thread([this, Work = std::move(Work)] {
    Work();
    FDone.store(true, std::memory_order_release);
  });
}

void TThreadRun::Join() {
  if (FThread.joinable()) {
    FThread.join();
  }
}

void TThreadRun::Poll() {
  if (!FDone.load(std::memory_order_acquire)) {
    return;
  }
  FPoll->stop();
  Q_EMIT Ended();
}

}  // namespace dunstrel
