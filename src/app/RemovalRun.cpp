#include "app/RemovalRun.h"

#include <exception>

#include "common/ErrorText.h"

namespace dunstrel {

TRemovalRun::TRemovalRun(std::shared_ptr<const TScanResults> Shown, TTreeChange Change,
                         std::vector<const TDirNode*> Changed, QObject* Parent)
    : TThreadRun(Parent),
      FShown(std::move(Shown)),
      FChange(std::move(Change)),
      FChanged(std::move(Changed)) {
  Start([this] { Run(); });
}

TRemovalRun::~TRemovalRun() {
  FStopped = true;
  Join();
}

void TRemovalRun::Run() {
  try {
    FPrepared = TResultsChange::Prepare(*FShown, std::move(FChange), std::move(FChanged),
                                        [this](size_t, size_t) { return !FStopped; });
  } catch (const std::exception& Failure) {
    FPrepared.reset();
    FError = DescribeError(Failure);
  }
}

}  // namespace dunstrel
