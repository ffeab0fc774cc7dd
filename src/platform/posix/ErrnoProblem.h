#pragma once

#include <cerrno>
#include <string>
#include <system_error>

#include "platform/Problem.h"

namespace dunstrel::platform {

// The kind of a system error number, with the system's words for it.
inline TProblem ProblemOfErrno(int Error, std::string Path = {}) {
  TProblemKind Kind = TProblemKind::Other;
  switch (Error) {
    case EACCES:
    case EPERM:
      Kind = TProblemKind::PermissionDenied;
      break;
    case ENOENT:
      Kind = TProblemKind::NotFound;
      break;
    case EBUSY:
      Kind = TProblemKind::Busy;
      break;
    case ENOSPC:
    case EDQUOT:
      Kind = TProblemKind::NoSpace;
      break;
    case EROFS:
      Kind = TProblemKind::ReadOnly;
      break;
    case EMFILE:
    case ENFILE:
      Kind = TProblemKind::TooManyOpen;
      break;
    case ENOTDIR:
      Kind = TProblemKind::NotAFolder;
      break;
    case EISDIR:
      Kind = TProblemKind::NotAFile;
      break;
    default:
      break;
  }
  return {Kind, std::generic_category().message(Error), std::move(Path)};
}

}  // namespace dunstrel::platform
