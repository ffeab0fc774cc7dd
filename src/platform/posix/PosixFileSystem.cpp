#include <limits.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/posix/StatStamp.h"

namespace dunstrel::platform {

bool DirectoryExists(const std::string& Path) {
  struct stat Info {};
  return !Path.empty() && stat(Path.c_str(), &Info) == 0 && S_ISDIR(Info.st_mode);
}

bool FileExists(const std::string& Path) {
  struct stat Info {};
  return !Path.empty() && stat(Path.c_str(), &Info) == 0 && !S_ISDIR(Info.st_mode);
}

EEntryKind EntryKindOf(const std::string& Path) {
  struct stat Info {};
  if (Path.empty() || stat(Path.c_str(), &Info) != 0) {
    return Path.empty() || errno == ENOENT || errno == ENOTDIR ? EEntryKind::Missing
                                                               : EEntryKind::Unknown;
  }
  return S_ISDIR(Info.st_mode)   ? EEntryKind::Folder
         : S_ISREG(Info.st_mode) ? EEntryKind::File
                                 : EEntryKind::Other;
}

std::optional<TEntryInfo> GetEntryInfo(const std::string& Path) {
  struct stat Info {};
  if (Path.empty() || stat(Path.c_str(), &Info) != 0) {
    return std::nullopt;
  }
  TEntryInfo Entry;
  Entry.IsDirectory = S_ISDIR(Info.st_mode);
  Entry.Size = static_cast<int64_t>(Info.st_size);
  Entry.Modified = StampOfStat(Info);
  return Entry;
}

std::string CurrentDirectory() {
  std::vector<char> Buffer(PATH_MAX);
  while (getcwd(Buffer.data(), Buffer.size()) == nullptr) {
    if (errno != ERANGE) {
      return {};
    }
    Buffer.resize(Buffer.size() * 2);
  }
  return std::string(Buffer.data());
}

std::string TempDirectory() {
  const char* Dir = std::getenv("TMPDIR");
  return StripTrailingDelimiter(Dir != nullptr && *Dir != '\0' ? Dir : "/tmp");
}

std::string ExecutableDirectory() {
  std::vector<char> Buffer(PATH_MAX);
  const ssize_t Length = readlink("/proc/self/exe", Buffer.data(), Buffer.size() - 1);
  if (Length <= 0) {
    return {};
  }
  return ParentPath(std::string_view(Buffer.data(), static_cast<size_t>(Length)));
}

std::string HomeDirectory() {
  if (const char* Home = std::getenv("HOME"); Home != nullptr && *Home != '\0') {
    return StripTrailingDelimiter(Home);
  }
  if (const passwd* Entry = getpwuid(getuid()); Entry != nullptr && Entry->pw_dir != nullptr) {
    return StripTrailingDelimiter(Entry->pw_dir);
  }
  return "/";
}

std::string ResolveUserFolderPath(std::string_view Typed) {
  std::string Absolute;
  if (Typed == "~" || Typed.starts_with("~/")) {
    Absolute = HomeDirectory() + std::string(Typed.substr(1));
  } else if (IsAbsolutePath(Typed)) {
    Absolute = std::string(Typed);
  } else {
    Absolute = CurrentDirectory() + "/" + std::string(Typed);
  }
  std::vector<std::string_view> Parts;
  std::string_view Rest(Absolute);
  while (!Rest.empty()) {
    const size_t Slash = Rest.find('/');
    const std::string_view Part = Rest.substr(0, Slash);
    Rest = Slash == std::string_view::npos ? std::string_view() : Rest.substr(Slash + 1);
    if (Part.empty() || Part == ".") {
      continue;
    }
    if (Part == "..") {
      if (!Parts.empty()) {
        Parts.pop_back();
      }
      continue;
    }
    Parts.push_back(Part);
  }
  std::string Result;
  for (const std::string_view Part : Parts) {
    Result.push_back('/');
    Result.append(Part);
  }
  return Result.empty() ? "/" : Result;
}

}  // namespace dunstrel::platform
