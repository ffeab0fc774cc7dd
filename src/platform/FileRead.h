#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/Problem.h"

namespace dunstrel::platform {

// A file opened for reading, only when it is a regular file. Opening never waits: a FIFO without
// a writer, a device, a socket or a folder is refused at once instead of being read or blocking.
class TFileRead {
 public:
  enum class EFailure {
    None,
    NotAFile,  // a FIFO, a device, a socket or a folder
    System,    // Reason() says what the system answered
  };

  explicit TFileRead(const std::string& Path);
  ~TFileRead();
  TFileRead(const TFileRead&) = delete;
  TFileRead& operator=(const TFileRead&) = delete;

  bool IsOpen() const;
  // Up to Size bytes into Buffer: how many were read, 0 at the end, -1 when reading failed.
  int64_t Read(char* Buffer, size_t Size);

  EFailure Failure() const;
  // Why opening or reading failed.
  const TProblem& Problem() const;

 private:
  struct TImpl;  // the system's handle, per platform
  std::unique_ptr<TImpl> FImpl;
};

}  // namespace dunstrel::platform
