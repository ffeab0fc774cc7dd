#include "support/TempDir.h"

#ifdef _WIN32
#include <fstream>
#include <random>

#include "platform/FileSystem.h"
#include "platform/win32/WideText.h"
#else
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace dunstrel::testing {

namespace fs = std::filesystem;

#ifdef _WIN32
namespace {

// The core's paths are UTF-8; std::filesystem takes them as UTF-16.
fs::path NativePath(const std::string& Path) {
  return fs::path(platform::win32::ToWide(Path));
}

}  // namespace

TTempDir::TTempDir() {
  std::random_device Seed;
  std::mt19937 Random(Seed());
  for (int Attempt = 0; Attempt < 100 && FPath.empty(); ++Attempt) {
    const std::string Candidate =
        platform::TempDirectory() + "\\dunstrel-test-" + std::to_string(Random() % 1'000'000'000);
    if (fs::create_directory(NativePath(Candidate))) {
      FPath = Candidate;
    }
  }
  if (FPath.empty()) {
    throw std::runtime_error("cannot create a temporary folder");
  }
}

TTempDir::~TTempDir() {
  std::error_code Ignored;
  // Read-only files a test made must be made writable again to be removed.
  for (auto It = fs::recursive_directory_iterator(NativePath(FPath), Ignored);
       It != fs::recursive_directory_iterator(); It.increment(Ignored)) {
    fs::permissions(It->path(), fs::perms::owner_write, fs::perm_options::add, Ignored);
  }
  fs::remove_all(NativePath(FPath), Ignored);
}

std::string TTempDir::operator/(std::string_view Relative) const {
  std::string Path = FPath + "\\" + std::string(Relative);
  std::replace(Path.begin(), Path.end(), '/', '\\');
  return Path;
}

std::string TTempDir::MakeFile(std::string_view Relative, int64_t Size) const {
  const std::string Path = *this / Relative;
  fs::create_directories(NativePath(Path).parent_path());
  std::ofstream(NativePath(Path), std::ios::binary | std::ios::trunc).close();
  std::error_code Error;
  fs::resize_file(NativePath(Path), static_cast<uintmax_t>(Size), Error);
  if (Error) {
    throw std::runtime_error("cannot create " + Path);
  }
  return Path;
}

std::string TTempDir::MakeDir(std::string_view Relative) const {
  const std::string Path = *this / Relative;
  fs::create_directories(NativePath(Path));
  return Path;
}
#else
TTempDir::TTempDir() {
  std::string Pattern = (fs::temp_directory_path() / "dunstrel-test-XXXXXX").string();
  if (mkdtemp(Pattern.data()) == nullptr) {
    throw std::runtime_error("cannot create a temporary folder");
  }
  FPath = Pattern;
}

TTempDir::~TTempDir() {
  std::error_code Ignored;
  // Folders a test made unreadable must be opened up again to be removed.
  for (auto It = fs::recursive_directory_iterator(
           FPath, fs::directory_options::skip_permission_denied, Ignored);
       It != fs::recursive_directory_iterator(); It.increment(Ignored)) {
    if (It->is_directory(Ignored) && !It->is_symlink(Ignored)) {
      fs::permissions(It->path(), fs::perms::owner_all, fs::perm_options::add, Ignored);
    }
  }
  fs::remove_all(FPath, Ignored);
}

bool MakeFolderChain(const std::string& Top, int Depth, int FileEvery) {
  int Fd = open(Top.c_str(), O_RDONLY | O_DIRECTORY);
  for (int Level = 0; Level < Depth && Fd >= 0; ++Level) {
    if (Level % FileEvery == 0) {
      close(openat(Fd, "file", O_CREAT | O_WRONLY, 0644));
    }
    mkdirat(Fd, "d", 0755);
    const int Child = openat(Fd, "d", O_RDONLY | O_DIRECTORY);
    close(Fd);
    Fd = Child;
  }
  if (Fd < 0) {
    return false;
  }
  close(Fd);
  return true;
}

TScopedFileLimit::TScopedFileLimit(uint64_t Limit) {
  rlimit Current{};
  getrlimit(RLIMIT_NOFILE, &Current);
  FPrevious = Current.rlim_cur;
  Current.rlim_cur = std::min<rlim_t>(Limit, Current.rlim_cur);
  setrlimit(RLIMIT_NOFILE, &Current);
}

TScopedFileLimit::~TScopedFileLimit() {
  rlimit Current{};
  getrlimit(RLIMIT_NOFILE, &Current);
  Current.rlim_cur = FPrevious;
  setrlimit(RLIMIT_NOFILE, &Current);
}

std::string TTempDir::operator/(std::string_view Relative) const {
  return FPath + "/" + std::string(Relative);
}

std::string TTempDir::MakeFile(std::string_view Relative, int64_t Size) const {
  const std::string Path = *this / Relative;
  fs::create_directories(fs::path(Path).parent_path());
  const int Fd = open(Path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
  if (Fd < 0 || ftruncate(Fd, Size) != 0) {
    throw std::runtime_error("cannot create " + Path);
  }
  close(Fd);
  return Path;
}

std::string TTempDir::MakeDir(std::string_view Relative) const {
  const std::string Path = *this / Relative;
  fs::create_directories(Path);
  return Path;
}

void SetLocalModificationTime(const std::string& Path, int Year, int Month, int Day, int Hour,
                              int Minute, int Second) {
  tm Local{};
  Local.tm_year = Year - 1900;
  Local.tm_mon = Month - 1;
  Local.tm_mday = Day;
  Local.tm_hour = Hour;
  Local.tm_min = Minute;
  Local.tm_sec = Second;
  Local.tm_isdst = -1;
  const timespec Times[2] = {{mktime(&Local), 0}, {mktime(&Local), 0}};
  if (utimensat(AT_FDCWD, Path.c_str(), Times, AT_SYMLINK_NOFOLLOW) != 0) {
    throw std::runtime_error("cannot set the time of " + Path);
  }
}

TScopedTimeZone::TScopedTimeZone(const char* Zone) {
  const char* Previous = std::getenv("TZ");
  FHadPrevious = Previous != nullptr;
  FPrevious = FHadPrevious ? Previous : "";
  setenv("TZ", Zone, 1);
  tzset();
}

TScopedTimeZone::~TScopedTimeZone() {
  if (FHadPrevious) {
    setenv("TZ", FPrevious.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
}
#endif

}  // namespace dunstrel::testing
