#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "platform/FileSave.h"
#include "platform/SaveTarget.h"

namespace dunstrel::platform {

namespace {

constexpr int kNameAttempts = 100;

// What failed, before the system's reason.
constexpr const char* kFolderUnusable = "its folder cannot be opened: ";
constexpr const char* kNotMade = "no new file can be made in its folder: ";
constexpr const char* kNotWritten = "the new file cannot be written: ";
constexpr const char* kNotReplaced = "it cannot be replaced: ";

std::string ErrnoText(int Error) {
  return std::generic_category().message(Error);
}

}  // namespace

struct TFileSave::TImpl {
  int FolderFd = -1;
  int Fd = -1;
  std::string TargetName;
  std::string TempName;
  struct stat Made {};  // the new file's identity, so that only it is ever removed
  std::string Failure;

  bool Fail(const char* Step, int Error) {
    Failure = std::string(Step) + ErrnoText(Error);
    return false;
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
    F.Failure = "it names a folder, not a file";
    return;
  }
  F.TargetName = Split.Name;
  F.FolderFd =
      open(Split.Folder.empty() ? "." : Split.Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (F.FolderFd < 0) {
    F.Fail(kFolderUnusable, errno);
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
        F.Fail(kNotMade, errno);
        F.RemoveNewFile();
      }
      return;
    }
    if (errno != EEXIST) {
      F.Fail(kNotMade, errno);
      return;
    }
  }
  F.Fail(kNotMade, EEXIST);
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
      F.Fail(kNotWritten, errno);
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
    F.Fail(kNotWritten, Written ? errno : Error);
    F.RemoveNewFile();
    return false;
  }
  if (renameat(F.FolderFd, F.TempName.c_str(), F.FolderFd, F.TargetName.c_str()) != 0) {
    F.Fail(kNotReplaced, errno);
    F.RemoveNewFile();
    return false;
  }
  F.TempName.clear();
  return true;
}

const std::string& TFileSave::Failure() const {
  return FImpl->Failure;
}

}  // namespace dunstrel::platform
