#include "platform/DirectoryLister.h"

namespace dunstrel::platform {

namespace {

// A listing read whole, handed out batch by batch.
class TBufferedFolderReader final : public IFolderReader {
 public:
  explicit TBufferedFolderReader(std::vector<TDirListing> Batches) : FBatches(std::move(Batches)) {}

  bool Next(TDirListing& Out) override {
    Out.Clear();
    while (FNext < FBatches.size() && FBatches[FNext].Count() == 0) {
      ++FNext;
    }
    if (FNext == FBatches.size()) {
      return false;
    }
    std::swap(Out, FBatches[FNext]);
    FBatches[FNext++] = {};
    return true;
  }

 private:
  std::vector<TDirListing> FBatches;
  size_t FNext = 0;
};

}  // namespace

std::shared_ptr<IFolderReader> IDirectoryLister::OpenFolder(
    const std::string& Folder, const std::shared_ptr<IFolderReader>& Parent, const TDirEntry* Seen,
    TListProblem& Problem) {
  (void)Parent;
  const std::lock_guard Lock(FOpenLock);
  std::vector<TDirListing> Batches(1);
  if (!ListFirst(Folder, Seen, Batches.back())) {
    Problem = Batches.back().Problem;
    return nullptr;
  }
  Problem = TListProblem::None;
  for (;;) {
    TDirListing More;
    if (!ListMore(Folder, More)) {
      break;
    }
    Batches.push_back(std::move(More));
  }
  return std::make_shared<TBufferedFolderReader>(std::move(Batches));
}

}  // namespace dunstrel::platform
