#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/FileRead.h"
#include "platform/posix/ErrnoProblem.h"

namespace dunstrel::platform {

struct TFileRead::TImpl {
  int Fd = -1;
  EFailure Failure = EFailure::None;
  TProblem Problem;

  void FailWithErrno() {
    Failure = EFailure::System;
    Problem = ProblemOfErrno(errno);
  }
  void FailAsNoFile() {
    Failure = EFailure::NotAFile;
    Problem = {TProblemKind::NotAFile, "not a file"};
  }
};

TFileRead::TFileRead(const std::string& Path) : FImpl(std::make_unique<TImpl>()) {
  TImpl& F = *FImpl;
  // What is no regular file is not even opened, where that can be seen beforehand; the open
  // checks again, for an entry replaced meanwhile.
  struct stat Before {};
  if (stat(Path.c_str(), &Before) == 0 && !S_ISREG(Before.st_mode)) {
    F.FailAsNoFile();
    return;
  }
  // O_NONBLOCK: opening a FIFO that has no writer would otherwise wait for one forever.
  F.Fd = open(Path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (F.Fd < 0) {
    F.FailWithErrno();
    return;
  }
  struct stat Info {};
  if (fstat(F.Fd, &Info) != 0) {
    F.FailWithErrno();
  } else if (!S_ISREG(Info.st_mode)) {
    F.FailAsNoFile();
  } else if (const int Flags = fcntl(F.Fd, F_GETFL);
             Flags < 0 || fcntl(F.Fd, F_SETFL, Flags & ~O_NONBLOCK) != 0) {
    F.FailWithErrno();
  }
  if (F.Failure != EFailure::None) {
    close(F.Fd);
    F.Fd = -1;
  }
}

TFileRead::~TFileRead() {
  if (FImpl->Fd >= 0) {
    close(FImpl->Fd);
  }
}

bool TFileRead::IsOpen() const {
  return FImpl->Fd >= 0;
}

int64_t TFileRead::Read(char* Buffer, size_t Size) {
  TImpl& F = *FImpl;
  if (F.Fd < 0) {
    return -1;
  }
  for (;;) {
    const ssize_t Got = read(F.Fd, Buffer, Size);
    if (Got >= 0) {
      return Got;
    }
    if (errno != EINTR) {
      F.FailWithErrno();
      return -1;
    }
  }
}

TFileRead::EFailure TFileRead::Failure() const {
  return FImpl->Failure;
}

const TProblem& TFileRead::Problem() const {
  return FImpl->Problem;
}

}  // namespace dunstrel::platform
