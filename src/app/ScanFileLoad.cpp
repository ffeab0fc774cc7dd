#include "app/ScanFileLoad.h"

#include "results/ScanExport.h"

namespace dunstrel {

TScanFileLoad::TScanFileLoad(std::string Path, std::shared_ptr<const TScanContext> Context)
    : FPath(std::move(Path)), FContext(std::move(Context)) {}

void TScanFileLoad::SetCompletionNotice(std::function<void()> Notice) {
  const std::lock_guard Lock(FLock);
  FNotice = std::move(Notice);
}

void TScanFileLoad::DetachCompletionNotice() {
  const std::lock_guard Lock(FLock);
  FNotice = nullptr;
}

void TScanFileLoad::Run() {
  TResult Result;
  Result.Path = FPath;
  if (const std::optional<platform::TEntryInfo> Info = platform::GetEntryInfo(FPath)) {
    Result.Written = Info->Modified;
  }
  try {
    Result.Root = LoadScanFile(FPath, [this](int64_t) {
      if (FContext->IsCancelled()) {
        throw EScanFileError("Cancelled by user");
      }
    });
  } catch (const std::exception& Error) {
    Result.Root.reset();
    Result.Err = Error.what();
  }
  const std::lock_guard Lock(FLock);
  FResult = std::move(Result);
  if (FNotice) {
    FNotice();
  }
}

TScanFileLoad::TResult TScanFileLoad::TakeResult() {
  const std::lock_guard Lock(FLock);
  return std::move(FResult);
}

}  // namespace dunstrel
