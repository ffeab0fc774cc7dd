#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dunstrel::testing {

// A new folder under the temporary folder, removed with everything in it at the end of scope.
class TTempDir {
 public:
  TTempDir();
  ~TTempDir();
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;

  const std::string& Path() const { return FPath; }
  // Path of a relative name inside the folder ("/" in it may stand for the platform's delimiter).
  std::string operator/(std::string_view Relative) const;

  // Creates a file of the given size (sparse) with parent folders; returns its path.
  std::string MakeFile(std::string_view Relative, int64_t Size = 0) const;
  std::string MakeDir(std::string_view Relative) const;

 private:
  std::string FPath;
};

#ifndef _WIN32
// POSIX only, as the tests that use them.

// Makes a chain of Depth folders named "d" under Top, each but the last holding one more, and a
// file "file" in every FileEvery-th of them. Made one folder at a time, relative to its parent,
// since the deepest paths are too long to be named. False when the chain could not be made.
bool MakeFolderChain(const std::string& Top, int Depth, int FileEvery);

// Lowers the limit of open files for the lifetime of the object.
class TScopedFileLimit {
 public:
  explicit TScopedFileLimit(uint64_t Limit);
  ~TScopedFileLimit();
  TScopedFileLimit(const TScopedFileLimit&) = delete;
  TScopedFileLimit& operator=(const TScopedFileLimit&) = delete;

 private:
  uint64_t FPrevious = 0;
};

// Sets the modification time of a file from local calendar fields.
void SetLocalModificationTime(const std::string& Path, int Year, int Month, int Day, int Hour,
                              int Minute, int Second);

// Sets TZ for the lifetime of the object.
class TScopedTimeZone {
 public:
  explicit TScopedTimeZone(const char* Zone);
  ~TScopedTimeZone();

 private:
  std::string FPrevious;
  bool FHadPrevious;
};
#endif

}  // namespace dunstrel::testing
