#pragma once

#include <unistd.h>

namespace dunstrel::platform {

// An open file descriptor, closed when the object ends.
class TFileDescriptor {
 public:
  explicit TFileDescriptor(int Fd) : FFd(Fd) {}
  ~TFileDescriptor() {
    if (FFd >= 0) {
      close(FFd);
    }
  }
  TFileDescriptor(const TFileDescriptor&) = delete;
  TFileDescriptor& operator=(const TFileDescriptor&) = delete;

  int Get() const { return FFd; }
  bool IsOpen() const { return FFd >= 0; }

 private:
  int FFd;
};

}  // namespace dunstrel::platform
