#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace dunstrel::platform {

// The kinds of problem an operation on a file or folder meets, few enough for the program to
// tell each in the user's language.
enum class TProblemKind : uint8_t {
  PermissionDenied,
  NotFound,
  Busy,  // in use, or a mount point
  NoSpace,
  ReadOnly,  // a read-only file system
  TooManyOpen,
  NotAFile,
  NotAFolder,
  RefusedPath,  // a path the program never acts on: Text says why
  Replaced,     // changed by someone else while it was being worked on: Text says how
  Other,        // Text holds the system's own words
};

// Why an operation failed: its kind, the words in English (the system's, or the program's own
// for a refusal or a replacement), and where, when that is not the path the operation was given.
struct TProblem {
  TProblem() = default;
  TProblem(TProblemKind Kind, std::string Text, std::string Path = {})
      : Kind(Kind), Text(std::move(Text)), Path(std::move(Path)) {}

  TProblemKind Kind = TProblemKind::Other;
  std::string Text;
  std::string Path;
};

}  // namespace dunstrel::platform
