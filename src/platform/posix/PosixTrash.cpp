// The user's trash as the freedesktop.org trash standard lays it out: the item goes into
// $XDG_DATA_HOME/Trash/files/ and a .trashinfo file beside it in info/ records where it came
// from and when, so any desktop can restore it. Names are handled as bytes throughout.
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/FileRemoval.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/TextEncoding.h"
#include "platform/posix/FileDescriptor.h"

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

// Moves Source to FilesFd/Name unless something of that name is there already (EEXIST).
int RenameWithoutReplacing(const std::string& Source, int FilesFd, const std::string& Name) {
  if (renameat2(AT_FDCWD, Source.c_str(), FilesFd, Name.c_str(), RENAME_NOREPLACE) == 0) {
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
  return renameat(AT_FDCWD, Source.c_str(), FilesFd, Name.c_str()) == 0 ? 0 : errno;
}

}  // namespace

bool MoveToTrash(const std::string& Path) {
  if (Path.empty()) {
    return false;
  }
  // Recorded as the place to restore to: absolute, without "." or ".." components.
  const std::string Absolute = ResolveUserFolderPath(Path);
  const std::string_view Name = LastComponent(Absolute);
  struct stat Info {};
  if (Name.empty() || Name == "/" || lstat(Absolute.c_str(), &Info) != 0) {
    return false;
  }
  const std::string Trash = TrashFolder();
  if (!MakeFolders(Trash + "/files") || !MakeFolders(Trash + "/info")) {
    return false;
  }
  const TFileDescriptor InfoFd(open((Trash + "/info").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  const TFileDescriptor FilesFd(
      open((Trash + "/files").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!InfoFd.IsOpen() || !FilesFd.IsOpen()) {
    return false;
  }
  const std::string InfoText = "[Trash Info]\nPath=" + PercentEncodePath(Absolute) +
                               "\nDeletionDate=" + LocalDeletionDate() + "\n";
  for (int Attempt = 1; Attempt < 10000; ++Attempt) {
    const std::string InTrash = TrashName(Name, Attempt);
    const std::string InfoName = InTrash + std::string(kInfoSuffix);
    // Creating the info file exclusively reserves the name against other programs.
    const TFileDescriptor Info(
        openat(InfoFd.Get(), InfoName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!Info.IsOpen()) {
      if (errno == EEXIST) {
        continue;
      }
      return false;
    }
    if (!WriteAll(Info.Get(), InfoText)) {
      unlinkat(InfoFd.Get(), InfoName.c_str(), 0);
      return false;
    }
    const int Error = RenameWithoutReplacing(Absolute, FilesFd.Get(), InTrash);
    if (Error == 0) {
      return true;
    }
    unlinkat(InfoFd.Get(), InfoName.c_str(), 0);
    if (Error != EEXIST) {
      return false;  // EXDEV among others: another file system is never copied
    }
  }
  return false;
}

}  // namespace dunstrel::platform
