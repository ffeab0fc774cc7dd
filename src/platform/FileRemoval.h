#pragma once

#include <string>

#include "platform/Problem.h"

namespace dunstrel::platform {

// Removes a file, a symbolic link (never what it points to) or a folder with everything in it.
// Inside a folder, symbolic links are removed and never followed, and a mount point (another file
// system, or a bind mount of the same one) is never entered: it stays, and so the removal fails.
// The root folder and mount points themselves are refused before anything is touched. Any depth
// can be removed with a few open descriptors. Whatever can be removed is removed; true only when
// Path is entirely gone. On failure, Failure (when given) receives why.
bool DeletePermanently(const std::string& Path, TProblem* Failure = nullptr);

// Moves a file, link or folder into the user's trash, where the desktop's trash can restore it:
// the home trash for an item on the home's file system, else the trash of the item's own file
// system, made at its top folder when missing. The move is always a rename, never a copy. False,
// with the item untouched, when it cannot be moved; Failure (when given) then receives why.
bool MoveToTrash(const std::string& Path, TProblem* Failure = nullptr);

}  // namespace dunstrel::platform
