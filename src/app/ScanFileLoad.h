#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "platform/FileSystem.h"
#include "scan/ScanContext.h"
#include "scan/ScanTree.h"

namespace dunstrel {

// One reading of a saved scan on a pool thread. It holds everything it uses, so it may outlive
// the window that started it; cancelling the context stops the reading at its next buffer.
class TScanFileLoad {
 public:
  struct TResult {
    std::unique_ptr<TDirNode> Root;  // none when the file was refused
    std::string Err;
    std::string Path;  // the file read
    // When the file was last written, as near as the file system tells when its scan was made;
    // 0 when unknown.
    platform::TFileStamp Written = 0;
  };

  TScanFileLoad(std::string Path, std::shared_ptr<const TScanContext> Context);

  // Called once on the reading thread after the result is stored, unless detached before.
  void SetCompletionNotice(std::function<void()> Notice);
  // After this returns the notice is never called again, and a call in progress has ended.
  void DetachCompletionNotice();

  void Run();
  TResult TakeResult();

 private:
  const std::string FPath;
  const std::shared_ptr<const TScanContext> FContext;
  std::mutex FLock;
  TResult FResult;
  std::function<void()> FNotice;
};

}  // namespace dunstrel
