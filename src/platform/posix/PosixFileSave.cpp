#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/FileSave.h"
#include "platform/Paths.h"
#include "platform/SaveTarget.h"
#include "platform/posix/ErrnoProblem.h"

namespace dunstrel::platform {

namespace {

constexpr int kNameAttempts = 100;

}  // namespace

struct TFileSave::TImpl {
  int FolderFd = -1;
  int Fd = -1;
  std::string FolderPath;
  std::string TargetName;
  std::string TempName;
  struct stat Made {};  // the new file's identity, so that only it is ever removed
  TProblem Failure;

  void Fail(std::string Where, int Error) { Failure = ProblemOfErrno(Error, std::move(Where)); }
  std::string TempPath() const {
    std::string Path;
    AppendChildPath(FolderPath, TempName, Path);
    return Path;
  }

  void RemoveNewFile() {
    if (Fd >= 0) {
      close(Fd);
      Fd = -1;
    }
    struct stat Now {};
    if (!TempName.empty() && fstatat(FolderFd, TempName.c_str(), &Now, AT_SYMLINK_NOFOLLOW) == 0 &&
        Now.st_dev == Made.st_dev && Now.st_ino == Made.st_ino) {
      unlinkat(FolderFd, TempName.c_str(), 0);
    }
    TempName.clear();
  }
};

TFileSave::TFileSave(const std::string& Target) : FImpl(std::make_unique<TImpl>()) {
  TImpl& F = *FImpl;
  const TSaveTarget Split = SplitSaveTarget(Target);
  if (Split.Name.empty()) {
    F.Failure = {TProblemKind::NotAFile, "it names a folder, not a file"};
    return;
  }
  F.TargetName = Split.Name;
  F.FolderPath = Split.Folder.empty() ? "." : Split.Folder;
  F.FolderFd = open(F.FolderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (F.FolderFd < 0) {
    F.Fail(F.FolderPath, errno);
    return;
  }
  for (int Attempt = 0; Attempt < kNameAttempts; ++Attempt) {
    const std::string Name = TemporarySaveName(F.TargetName);
    // O_EXCL: a name that exists, a link included, is never opened.
    F.Fd = openat(F.FolderFd, Name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                  0666);
    if (F.Fd >= 0) {
      F.TempName = Name;
      if (fstat(F.Fd, &F.Made) != 0) {
        F.Fail(F.TempPath(), errno);
        F.RemoveNewFile();
      }
      return;
    }
    if (errno != EEXIST) {
      F.Fail(F.FolderPath, errno);
      return;
    }
  }
  F.Fail(F.FolderPath, EEXIST);
}

TFileSave::~TFileSave() {
  FImpl->RemoveNewFile();
  if (FImpl->FolderFd >= 0) {
    close(FImpl->FolderFd);
  }
}

bool TFileSave::IsOpen() const {
  return FImpl->Fd >= 0;
}

bool TFileSave::Write(std::string_view Bytes) {
  TImpl& F = *FImpl;
  if (F.Fd < 0) {
    return false;
  }
  while (!Bytes.empty()) {
    const ssize_t Written = write(F.Fd, Bytes.data(), Bytes.size());
    if (Written < 0) {
      if (errno == EINTR) {
        continue;
      }
      F.Fail(F.TempPath(), errno);
      F.RemoveNewFile();
      return false;
    }
    Bytes.remove_prefix(static_cast<size_t>(Written));
  }
  return true;
}

bool TFileSave::Commit() {
  TImpl& F = *FImpl;
  if (F.Fd < 0) {
    return false;
  }
  // A file system may report a full disk only when the data is written out or the file closed.
  const bool Written = fsync(F.Fd) == 0;
  const int Error = errno;
  const bool Closed = close(F.Fd) == 0;
  F.Fd = -1;
  if (!Written || !Closed) {
    F.Fail(F.TempPath(), Written ? errno : Error);
    F.RemoveNewFile();
    return false;
  }
  if (renameat(F.FolderFd, F.TempName.c_str(), F.FolderFd, F.TargetName.c_str()) != 0) {
    F.Fail({}, errno);
    F.RemoveNewFile();
    return false;
  }
  F.TempName.clear();
  return true;
}

const TProblem& TFileSave::Failure() const {
  return FImpl->Failure;
}

}  // namespace dunstrel::platform
