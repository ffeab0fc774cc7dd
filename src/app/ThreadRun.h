#pragma once

#include <QObject>
#include <atomic>
#include <functional>
#include <thread>

class QTimer;

namespace dunstrel {

// Work for the window done on a thread of its own: seen from the interface thread, Ended tells
// when it is done. What the work writes is the caller's to read once Ended was signalled.
class TThreadRun : public QObject {
  Q_OBJECT

 public:
  // The derived class has called Join first, while what its work uses still exists.
  ~TThreadRun() override;

 Q_SIGNALS:
  void Ended();

 protected:
  explicit TThreadRun(QObject* Parent);
  // Runs Work on the thread; Ended follows once it has returned.
  void Start(std::function<void()> Work);
  // Waits for the thread, if it still runs.
  void Join();

 private:
  void Poll();

  QTimer* FPoll;
  std::atomic<bool> FDone{false};
  std::thread FThread;
};

}  // namespace dunstrel
