#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/Problem.h"

namespace dunstrel::platform {

// Saves a file whole or not at all. The bytes go to a new file made for this save in the
// target's folder, under a name nobody can have prepared (it must not exist, and a link there is
// never followed); Commit then renames it over the target, replacing the target itself, never
// what a link there points to. Until Commit succeeds the target is untouched, and on any failure,
// or when the object ends without a Commit, only the new file is removed.
class TFileSave {
 public:
  // Makes the new file; IsOpen() tells whether that worked.
  explicit TFileSave(const std::string& Target);
  ~TFileSave();
  TFileSave(const TFileSave&) = delete;
  TFileSave& operator=(const TFileSave&) = delete;

  bool IsOpen() const;
  bool Write(std::string_view Bytes);
  // Writes the new file through to the disk and puts it in the target's place.
  bool Commit();

  // Why the last call failed, and where: the folder where no new file could be made, or the new
  // file that could not be written; no path when the target itself could not be replaced.
  const TProblem& Failure() const;

 private:
  struct TImpl;  // the system's handles, per platform
  std::unique_ptr<TImpl> FImpl;
};

}  // namespace dunstrel::platform
