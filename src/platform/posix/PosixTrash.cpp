// The trash as the freedesktop.org trash standard lays it out: the item goes into files/ of a
// trash folder and a .trashinfo file beside it in info/ records where it came from and when, so
// any desktop can restore it. Items on the file system of the user's home go to the home trash
// ($XDG_DATA_HOME/Trash); items on another file system go to that file system's own trash at
// its top folder, so that the move stays a rename. Names are handled as bytes throughout.
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/FileRemoval.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/RemovalTarget.h"
#include "platform/TextEncoding.h"
#include "platform/posix/ErrnoProblem.h"
#include "platform/posix/FileDescriptor.h"
#include "platform/posix/MountRoots.h"

namespace dunstrel::platform {

namespace {

constexpr std::string_view kInfoSuffix = ".trashinfo";

std::string TrashFolder() {
  const char* DataHome = std::getenv("XDG_DATA_HOME");
  if (DataHome != nullptr && IsAbsolutePath(DataHome)) {
    return StripTrailingDelimiter(DataHome) + "/Trash";
  }
  return HomeDirectory() + "/.local/share/Trash";
}

// mkdir -p with private permissions for the folders it creates.
bool MakeFolders(const std::string& Path) {
  if (DirectoryExists(Path)) {
    return true;
  }
  const std::string Parent = ParentPath(Path);
  if (!Parent.empty() && Parent != Path && !MakeFolders(Parent)) {
    return false;
  }
  return mkdir(Path.c_str(), 0700) == 0 || errno == EEXIST;
}

bool IsUnreservedUriByte(unsigned char Byte) {
  return (Byte >= 'A' && Byte <= 'Z') || (Byte >= 'a' && Byte <= 'z') ||
         (Byte >= '0' && Byte <= '9') || Byte == '-' || Byte == '_' || Byte == '.' || Byte == '~' ||
         Byte == '/';
}

std::string PercentEncodePath(std::string_view Path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string Encoded;
  Encoded.reserve(Path.size());
  for (const char C : Path) {
    const auto Byte = static_cast<unsigned char>(C);
    if (IsUnreservedUriByte(Byte)) {
      Encoded.push_back(C);
    } else {
      Encoded.push_back('%');
      Encoded.push_back(kHex[Byte >> 4]);
      Encoded.push_back(kHex[Byte & 0x0F]);
    }
  }
  return Encoded;
}

std::string LocalDeletionDate() {
  const time_t Now = time(nullptr);
  tm Local{};
  localtime_r(&Now, &Local);
  char Text[32];
  strftime(Text, sizeof Text, "%Y-%m-%dT%H:%M:%S", &Local);
  return Text;
}

// The first Room bytes of Name, ending on a character boundary when Name is valid UTF-8, so
// that the trash shows a readable name.
std::string_view CutName(std::string_view Name, size_t Room) {
  if (Name.size() <= Room) {
    return Name;
  }
  size_t Boundary = 0;
  for (size_t Pos = 0; Pos < Name.size();) {
    const TDecodedChar Char = DecodeUtf8At(Name, Pos);
    if (!Char.Valid) {
      return Name.substr(0, Room);
    }
    Pos += Char.Length;
    if (Pos <= Room) {
      Boundary = Pos;
    }
  }
  return Name.substr(0, Boundary);
}

// The name in the trash for the Attempt-th try: the item's own name, then "name.2", "name.3"...
// cut so that the info file's name still fits the file system's limit.
std::string TrashName(std::string_view Name, int Attempt) {
  const std::string Suffix = Attempt == 1 ? std::string() : "." + std::to_string(Attempt);
  const size_t Room = NAME_MAX - kInfoSuffix.size() - Suffix.size();
  return std::string(CutName(Name, Room)) + Suffix;
}

bool WriteAll(int Fd, std::string_view Text) {
  while (!Text.empty()) {
    const ssize_t Written = write(Fd, Text.data(), Text.size());
    if (Written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    Text.remove_prefix(static_cast<size_t>(Written));
  }
  return true;
}

// Moves the entry Source of the open folder SourceFd to FilesFd/Name unless something of that
// name is there already (EEXIST). The entry itself moves: a link is never followed.
int RenameWithoutReplacing(int SourceFd, const std::string& Source, int FilesFd,
                           const std::string& Name) {
  if (renameat2(SourceFd, Source.c_str(), FilesFd, Name.c_str(), RENAME_NOREPLACE) == 0) {
    return 0;
  }
  if (errno != EINVAL && errno != ENOSYS) {
    return errno;
  }
  // A file system without the no-replace flag: check first. The info file reserved the name, so
  // only an orphan left by another program can be in the way.
  struct stat Info {};
  if (fstatat(FilesFd, Name.c_str(), &Info, AT_SYMLINK_NOFOLLOW) == 0) {
    return EEXIST;
  }
  return renameat(SourceFd, Source.c_str(), FilesFd, Name.c_str()) == 0 ? 0 : errno;
}

bool Fail(TProblem* Failure, TProblem Why) {
  if (Failure != nullptr) {
    *Failure = std::move(Why);
  }
  return false;
}

bool Fail(TProblem* Failure, TProblemKind Kind, std::string Why) {
  return Fail(Failure, TProblem{Kind, std::move(Why)});
}

// The folder of Path as the kernel sees it, with every link above the item resolved; empty
// when it cannot be resolved.
std::string RealFolder(const std::string& Path) {
  const std::unique_ptr<char, decltype(&free)> Real(realpath(Path.c_str(), nullptr), &free);
  return Real != nullptr ? std::string(Real.get()) : std::string();
}

// The top folder of the mount that holds the existing folder RealPath (free of links), as
// the trash standard's $topdir; empty when a folder on the way up cannot be looked at.
std::string MountTopOf(std::string RealPath, TMountRootTest& Mounts) {
  while (RealPath != "/") {
    const std::string Parent = ParentPath(RealPath);
    struct statx Folder {
    }, Above{};
    if (!StatxNoFollow(AT_FDCWD, RealPath.c_str(), Folder) ||
        !StatxNoFollow(AT_FDCWD, Parent.c_str(), Above)) {
      return {};
    }
    if (Mounts.IsMountRoot(Folder, Above)) {
      return RealPath;
    }
    RealPath = Parent;
  }
  return RealPath;
}

// The nearest folder at or above Path that exists.
std::string ExistingFolderAtOrAbove(std::string Path) {
  while (!DirectoryExists(Path)) {
    const std::string Parent = ParentPath(Path);
    if (Parent.empty() || Parent == Path) {
      return "/";
    }
    Path = Parent;
  }
  return Path;
}

bool SameMountTop(const std::string& A, const std::string& B) {
  struct statx InfoA {
  }, InfoB{};
  return !A.empty() && !B.empty() && StatxNoFollow(AT_FDCWD, A.c_str(), InfoA) &&
         StatxNoFollow(AT_FDCWD, B.c_str(), InfoB) && SameFolder(InfoA, InfoB);
}

// Opens the folder Name of ParentFd, made with private permissions when missing, never through a
// link, and only when it belongs to the user. -1 with errno set otherwise.
int OpenOwnFolder(int ParentFd, const char* Name) {
  if (mkdirat(ParentFd, Name, 0700) != 0 && errno != EEXIST) {
    return -1;
  }
  const int Fd = openat(ParentFd, Name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (Fd < 0) {
    return -1;
  }
  struct stat Info {};
  if (fstat(Fd, &Info) != 0 || Info.st_uid != getuid()) {
    close(Fd);
    errno = EPERM;
    return -1;
  }
  return Fd;
}

// The user's trash folder on the file system whose top folder is TopFd: $topdir/.Trash/$uid when
// the administrator made $topdir/.Trash a folder with the sticky bit (and it is no link), else
// $topdir/.Trash-$uid. -1 with errno set when neither can be had.
int OpenVolumeTrash(int TopFd) {
  const std::string Uid = std::to_string(getuid());
  struct stat Shared {};
  if (fstatat(TopFd, ".Trash", &Shared, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(Shared.st_mode) &&
      (Shared.st_mode & S_ISVTX) != 0) {
    const TFileDescriptor SharedFd(
        openat(TopFd, ".Trash", O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (SharedFd.IsOpen()) {
      if (const int Fd = OpenOwnFolder(SharedFd.Get(), Uid.c_str()); Fd >= 0) {
        return Fd;
      }
    }
  }
  return OpenOwnFolder(TopFd, (".Trash-" + Uid).c_str());
}

// The files/ and info/ folders of one trash, open while the item is moved.
struct TTrashFolders {
  std::optional<TFileDescriptor> Files;
  std::optional<TFileDescriptor> Info;
  // The path recorded in the info file: absolute in the home trash, relative to the top folder
  // in the trash of another file system.
  std::string RecordedPath;
};

bool OpenHomeTrash(const std::string& Absolute, TTrashFolders& Out, TProblem* Failure) {
  const std::string Trash = TrashFolder();
  if (!MakeFolders(Trash + "/files") || !MakeFolders(Trash + "/info")) {
    return Fail(Failure, ProblemOfErrno(errno, Trash));
  }
  Out.Info.emplace(open((Trash + "/info").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  Out.Files.emplace(open((Trash + "/files").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!Out.Info->IsOpen() || !Out.Files->IsOpen()) {
    return Fail(Failure, ProblemOfErrno(errno, Trash));
  }
  Out.RecordedPath = Absolute;
  return true;
}

bool OpenTrashOfVolume(const std::string& Top, const std::string& RealItem, TTrashFolders& Out,
                       TProblem* Failure) {
  const auto NoTrash = [&](int Error) { return Fail(Failure, ProblemOfErrno(Error, Top)); };
  const TFileDescriptor TopFd(open(Top.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!TopFd.IsOpen()) {
    return NoTrash(errno);
  }
  const TFileDescriptor Trash(OpenVolumeTrash(TopFd.Get()));
  if (!Trash.IsOpen()) {
    return NoTrash(errno);
  }
  Out.Info.emplace(OpenOwnFolder(Trash.Get(), "info"));
  if (!Out.Info->IsOpen()) {
    return NoTrash(errno);
  }
  Out.Files.emplace(OpenOwnFolder(Trash.Get(), "files"));
  if (!Out.Files->IsOpen()) {
    return NoTrash(errno);
  }
  Out.RecordedPath = RealItem.substr(Top == "/" ? 1 : Top.size() + 1);
  return true;
}

}  // namespace

bool MoveToTrash(const std::string& Path, TProblem* Failure) {
  if (Failure != nullptr) {
    *Failure = {};
  }
  std::string Why;
  const std::optional<TRemovalTarget> Target = ReadRemovalTarget(Path, Why);
  if (!Target) {
    return Fail(Failure, TProblemKind::RefusedPath, Why);
  }
  const std::string& Name = Target->Name;
  if (Name.empty()) {
    return Fail(Failure, TProblemKind::RefusedPath,
                "\"/\" is the root of the system and is never moved to the trash");
  }
  // The item is named by its open parent and its own name, never followed.
  const TFileDescriptor ParentFd(open(Target->Parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  struct statx Item {
  }, Parent{}, Real{};
  if (!ParentFd.IsOpen() || !StatxNoFollow(ParentFd.Get(), Name.c_str(), Item) ||
      !StatxNoFollow(ParentFd.Get(), "", Parent)) {
    return Fail(Failure, ProblemOfErrno(errno));
  }
  // The folder's path without links, for the trash of its file system; it must still be the
  // folder that was opened.
  const std::string Folder = RealFolder(Target->Parent);
  if (Folder.empty() || !StatxNoFollow(AT_FDCWD, Folder.c_str(), Real) ||
      !SameFolder(Real, Parent)) {
    return Fail(Failure, TProblemKind::Replaced,
                "its folder was moved while it was being moved to the trash");
  }
  TMountRootTest Mounts;
  if (Mounts.IsMountRoot(Item, Parent)) {  // a folder, or a file bound there
    return Fail(Failure, TProblemKind::RefusedPath,
                "it is the mount point of a file system, which is never moved to the trash");
  }
  const std::string Top = MountTopOf(Folder, Mounts);
  if (Top.empty()) {
    return Fail(Failure, ProblemOfErrno(errno));
  }
  TTrashFolders Trash;
  const std::string HomeTop =
      MountTopOf(RealFolder(ExistingFolderAtOrAbove(TrashFolder())), Mounts);
  std::string RealItem;
  AppendChildPath(Folder, Name, RealItem);
  if (SameMountTop(Top, HomeTop) ? !OpenHomeTrash(Target->Path, Trash, Failure)
                                 : !OpenTrashOfVolume(Top, RealItem, Trash, Failure)) {
    return false;
  }
  const int InfoFd = Trash.Info->Get();
  const std::string InfoText = "[Trash Info]\nPath=" + PercentEncodePath(Trash.RecordedPath) +
                               "\nDeletionDate=" + LocalDeletionDate() + "\n";
  for (int Attempt = 1; Attempt < 10000; ++Attempt) {
    const std::string InTrash = TrashName(Name, Attempt);
    const std::string InfoName = InTrash + std::string(kInfoSuffix);
    // Creating the info file exclusively reserves the name against other programs.
    const TFileDescriptor Info(
        openat(InfoFd, InfoName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!Info.IsOpen()) {
      if (errno == EEXIST) {
        continue;
      }
      return Fail(Failure, ProblemOfErrno(errno));
    }
    if (!WriteAll(Info.Get(), InfoText)) {
      const int Error = errno;
      unlinkat(InfoFd, InfoName.c_str(), 0);
      return Fail(Failure, ProblemOfErrno(Error));
    }
    const int Error = RenameWithoutReplacing(ParentFd.Get(), Name, Trash.Files->Get(), InTrash);
    if (Error == 0) {
      return true;
    }
    unlinkat(InfoFd, InfoName.c_str(), 0);
    if (Error == EXDEV) {
      return Fail(Failure, TProblemKind::RefusedPath,
                  "it is on another file system than its trash, and is never copied");
    }
    if (Error != EEXIST) {
      return Fail(Failure, ProblemOfErrno(Error));
    }
  }
  return Fail(Failure, TProblemKind::Other, "the trash holds too many items of this name");
}

}  // namespace dunstrel::platform
