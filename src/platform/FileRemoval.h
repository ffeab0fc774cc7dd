#pragma once

#include <string>

namespace dunstrel::platform {

// Removes a file, a symbolic link (never what it points to) or a folder with everything in it.
// Inside a folder, symbolic links are removed and never followed, and a folder of another file
// system (a mount point) is left alone, which makes the removal fail. Whatever can be removed
// is removed; true only when Path is entirely gone.
bool DeletePermanently(const std::string& Path);

// Moves a file, link or folder into the user's trash, where the desktop's trash can restore it.
// False when it cannot be moved there, which includes an item on another file system than the
// trash: it is never copied.
bool MoveToTrash(const std::string& Path);

}  // namespace dunstrel::platform
