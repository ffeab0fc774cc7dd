#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace dunstrel::platform {

// The entry a removal is given, named as the system will find it: its parent folder, opened as
// the system resolves it, and its own last component, which is never followed.
struct TRemovalTarget {
  std::string Parent;  // absolute; a root keeps its delimiter ("/", "C:\")
  std::string Name;    // the last component; empty when the path is a root itself
  std::string Path;    // Parent and Name, with repeated delimiters made one
};

// Reads Path without interpreting it: trailing delimiters are stripped first, and a path that is
// empty, not absolute, or holds a "." or ".." component is refused (nothing, with the reason in
// English in Why), since only a textual reading could resolve it, and that can differ from what
// the system names. "~" is an ordinary name.
std::optional<TRemovalTarget> ReadRemovalTarget(std::string_view Path, std::string& Why);

}  // namespace dunstrel::platform
